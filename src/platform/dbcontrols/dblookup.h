#pragma once
// Lookup combo: lists the values of one field (`Nome` by default) of a lookup data source,
// in that dataset's order.
//
// Bound (a data source and a data field are set): shows the record's field text when it is
// in the list, otherwise an empty box while the field keeps its text; choosing an item
// writes its text into the field.
// Unbound: a pick list whose chosen text the handlers read; disabling keeps the choice,
// Delete or Backspace empties it.
#include "datalink.h"

#include <QComboBox>

class DBLookupComboBox : public QComboBox {
    Q_OBJECT
    Q_PROPERTY(QString dataField READ dataField WRITE setDataField)
    Q_PROPERTY(QString listField READ listField WRITE setListField)
    Q_PROPERTY(QString keyField READ keyField WRITE setKeyField)
public:
    explicit DBLookupComboBox(QWidget *parent = nullptr);

    void setDataSource(DataSource *source) { link_.setDataSource(source); }
    DataSource *dataSource() const { return link_.dataSource(); }
    QString dataField() const { return link_.fieldName(); }
    void setDataField(const QString &name);

    void setListSource(DataSource *source) { list_.setDataSource(source); }
    DataSource *listSource() const { return list_.dataSource(); }
    QString listField() const { return list_.fieldName(); }
    void setListField(const QString &name);
    // The list shows and writes one field, so the key is the shown field.
    QString keyField() const { return listField(); }
    void setKeyField(const QString &name) { setListField(name); }

    // The chosen text; empty when nothing is chosen.
    QString text() const;
    // Chooses the item with this text (exact match); an unknown text empties the box.
    void setText(const QString &text);

signals:
    // The user chose an item (bound: after it was written into the field).
    void clicked();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void loadList();
    void loadValue();
    void chosen(int index);

    DataLink link_;
    DataLink list_;
    QString unboundText_;
    bool writing_ = false;
};
