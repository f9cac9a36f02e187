#include "dbimage.h"

#include <QPainter>

DBImage::DBImage(QWidget *parent)
    : QFrame(parent), link_([this](DataEvent e, Field *f) {
          if (link_.concernsField(e, f))
              load();
      })
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setFocusPolicy(Qt::TabFocus);
}

void DBImage::setDataField(const QString &name)
{
    link_.setFieldName(name);
    load();
}

void DBImage::load()
{
    const Field *f = link_.field();
    QPixmap picture;
    if (f && !f->isNull())
        picture.loadFromData(f->asBytes()); // a blob that is no picture shows nothing
    picture_ = picture;
    update();
}

void DBImage::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    if (picture_.isNull())
        return;
    QPainter painter(this);
    const QRect box = contentsRect();
    painter.setClipRect(box);
    const QSize size = picture_.deviceIndependentSize().toSize();
    const QPoint topLeft(box.left() + (box.width() - size.width()) / 2,
                         box.top() + (box.height() - size.height()) / 2);
    painter.drawPixmap(QRect(topLeft, size), picture_);
}
