#include "dbedit.h"

#include "convert.h"
#include "errorbox.h"

#include <QFocusEvent>
#include <QScrollBar>


DBEdit::DBEdit(QWidget *parent)
    : QLineEdit(parent), link_([this](DataEvent e, Field *f) { dataEvent(e, f); })
{
    connect(this, &QLineEdit::textChanged, this, &DBEdit::changed);
    connect(this, &QLineEdit::textEdited, this, &DBEdit::typed);
    load();
}

void DBEdit::setDataField(const QString &name)
{
    link_.setFieldName(name);
    load();
}

void DBEdit::dataEvent(DataEvent event, Field *field)
{
    if (writing_ || !link_.concernsField(event, field))
        return;
    invalid_ = false;
    load();
}

void DBEdit::load()
{
    const Field *f = field();
    const DataSet *ds = link_.dataSet();
    setReadOnly(!f || ds->readOnly() || f->dataType() == FieldType::Picture);
    QString shown;
    // A date shows its four-digit year, so typing it back never moves it to another century.
    if (f && f->dataType() == FieldType::Date)
        shown = dateToStr(f->asDate());
    else if (f)
        shown = hasFocus() ? f->asString() : f->displayText();
    // A stored value longer than what the program writes is still shown whole.
    if (f && f->dataType() == FieldType::Text && f->size() > 0)
        setMaxLength(std::max<int>(f->size(), int(shown.size())));
    else
        setMaxLength(32767);
    if (shown != text())
        setText(shown);
}

void DBEdit::typed(const QString &)
{
    runHandler([this] { writeTyped(false); });
}

void DBEdit::writeTyped(bool strict)
{
    Field *f = field();
    if (!f)
        return;
    WriteGuard guard(writing_);
    DataSet *ds = f->dataSet();
    if (ds->state() == DataSetState::Browse)
        ds->edit();
    if (strict) {
        assignText(f, text());
        invalid_ = false;
        return;
    }
    try {
        assignText(f, text());
        invalid_ = false;
    } catch (const RuntimeError &) {
        // Half-typed numbers and dates are normal while typing; leaving the box tells.
        invalid_ = true;
    }
}

void DBEdit::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    if (!invalid_ && !writing_)
        load(); // the edit text rather than the display text
}

void DBEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    const bool away = event->reason() != Qt::ActiveWindowFocusReason
                      && event->reason() != Qt::PopupFocusReason;
    if (invalid_ && away)
        runHandler([this] { writeTyped(true); });
    if (!invalid_)
        load();
}

DBText::DBText(QWidget *parent)
    : QLabel(parent), link_([this](DataEvent e, Field *f) {
          if (link_.concernsField(e, f))
              load();
      })
{
}

void DBText::setDataField(const QString &name)
{
    link_.setFieldName(name);
    load();
}

void DBText::load()
{
    const Field *f = link_.field();
    setText(f ? f->displayText() : QString());
}

DBMemo::DBMemo(QWidget *parent)
    : QPlainTextEdit(parent), link_([this](DataEvent e, Field *f) {
          if (!writing_ && link_.concernsField(e, f))
              load();
      })
{
    setScrollBars(Vertical);
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (!loading_)
            runHandler([this] { typed(); });
    });
}

void DBMemo::setDataField(const QString &name)
{
    link_.setFieldName(name);
    load();
}

void DBMemo::setScrollBars(ScrollBars bars)
{
    scrollBars_ = bars;
    const bool h = bars == Horizontal || bars == Both;
    const bool v = bars == Vertical || bars == Both;
    setHorizontalScrollBarPolicy(h ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(v ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

void DBMemo::load()
{
    const Field *f = link_.field();
    const DataSet *ds = link_.dataSet();
    setReadOnly(!f || ds->readOnly());
    // Stored lyrics and notes break lines with CR LF; the box shows plain line breaks.
    QString shown = f ? f->asString() : QString();
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (shown == toPlainText())
        return;
    WriteGuard guard(loading_);
    setPlainText(shown);
}

void DBMemo::typed()
{
    Field *f = link_.field();
    if (!f)
        return;
    WriteGuard guard(writing_);
    QString text = toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    f->setAsString(text);
}
