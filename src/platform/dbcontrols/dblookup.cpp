#include "dblookup.h"

#include "errorbox.h"

#include <QKeyEvent>

DBLookupComboBox::DBLookupComboBox(QWidget *parent)
    : QComboBox(parent),
      link_([this](DataEvent e, Field *f) {
          if (!writing_ && link_.concernsField(e, f))
              loadValue();
      }),
      list_([this](DataEvent e, Field *) {
          // Moving through the lookup table does not change the list; its rows do.
          if (e != DataEvent::RecordChanged && e != DataEvent::FieldChanged)
              loadList();
      })
{
    list_.setFieldName(QStringLiteral("Nome"));
    setEditable(false);
    setMaxVisibleItems(16);
    connect(this, &QComboBox::activated, this, &DBLookupComboBox::chosen);
}

void DBLookupComboBox::setDataField(const QString &name)
{
    link_.setFieldName(name);
    loadValue();
}

void DBLookupComboBox::setListField(const QString &name)
{
    list_.setFieldName(name);
    loadList();
}

QString DBLookupComboBox::text() const
{
    return currentIndex() >= 0 ? itemText(currentIndex()) : QString();
}

void DBLookupComboBox::setText(const QString &text)
{
    const int index = findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    setCurrentIndex(index);
    unboundText_ = index >= 0 ? text : QString();
}

void DBLookupComboBox::loadList()
{
    QStringList items;
    if (const Field *f = list_.field()) {
        const DataSet *ds = list_.dataSet();
        const int rows = ds->recordCount();
        items.reserve(rows);
        for (int row = 0; row < rows; ++row)
            items.append(ds->valueAt(row, f->index()).toString());
    }
    const QString keep = unboundText_;
    clear();
    addItems(items);
    if (link_.dataSource())
        loadValue();
    else
        setText(keep);
}

void DBLookupComboBox::loadValue()
{
    if (!link_.dataSource())
        return;
    const Field *f = link_.field();
    const QString value = f ? f->asString() : QString();
    // A text that is not in the list shows an empty box; the field keeps it.
    setCurrentIndex(f ? findText(value, Qt::MatchExactly | Qt::MatchCaseSensitive) : -1);
}

void DBLookupComboBox::chosen(int index)
{
    const bool ok = runHandler([&] {
        if (!link_.dataSource()) {
            unboundText_ = itemText(index);
            return;
        }
        Field *f = link_.field();
        if (!f)
            return;
        WriteGuard guard(writing_);
        if (f->dataSet()->state() == DataSetState::Browse)
            f->dataSet()->edit();
        f->setAsString(itemText(index));
    });
    if (!ok) {
        loadValue();
        return;
    }
    emit clicked();
}

void DBLookupComboBox::keyPressEvent(QKeyEvent *event)
{
    const bool erase = event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace;
    if (erase && !link_.dataSource()) {
        setCurrentIndex(-1);
        unboundText_.clear();
        emit clicked();
        return;
    }
    QComboBox::keyPressEvent(event);
}
