#pragma once
// Data-aware picture: shows the picture blob of the current record at its own size,
// centred in the box and cut to it, never scaled.
#include "datalink.h"

#include <QFrame>
#include <QPixmap>

class DBImage : public QFrame {
    Q_OBJECT
    Q_PROPERTY(QString dataField READ dataField WRITE setDataField)
public:
    explicit DBImage(QWidget *parent = nullptr);

    void setDataSource(DataSource *source) { link_.setDataSource(source); }
    DataSource *dataSource() const { return link_.dataSource(); }
    QString dataField() const { return link_.fieldName(); }
    void setDataField(const QString &name);

    const QPixmap &picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void load();

    DataLink link_;
    QPixmap picture_;
};
