#pragma once
// Data-aware text controls: the edit box, the read-only label and the memo. Each shows the
// bound field of the current record; loading a record never puts the dataset into edit
// state, only the user's typing does.
#include "datalink.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

class DBEdit : public QLineEdit {
    Q_OBJECT
    Q_PROPERTY(QString dataField READ dataField WRITE setDataField)
public:
    explicit DBEdit(QWidget *parent = nullptr);

    void setDataSource(DataSource *source) { link_.setDataSource(source); }
    DataSource *dataSource() const { return link_.dataSource(); }
    QString dataField() const { return link_.fieldName(); }
    void setDataField(const QString &name);
    Field *field() const { return link_.field(); }

signals:
    // The text changed: another record became current, or the user typed.
    void changed();

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void dataEvent(DataEvent event, Field *field);
    void load();
    void typed(const QString &text);
    void writeTyped(bool strict);

    DataLink link_;
    bool writing_ = false;
    bool invalid_ = false; // the typed text does not convert to the field's type yet
};

class DBText : public QLabel {
    Q_OBJECT
    Q_PROPERTY(QString dataField READ dataField WRITE setDataField)
public:
    explicit DBText(QWidget *parent = nullptr);

    void setDataSource(DataSource *source) { link_.setDataSource(source); }
    DataSource *dataSource() const { return link_.dataSource(); }
    QString dataField() const { return link_.fieldName(); }
    void setDataField(const QString &name);

private:
    void load();

    DataLink link_;
};

// The memo shows the stored CR LF line breaks as plain ones and writes CR LF back.
class DBMemo : public QPlainTextEdit {
    Q_OBJECT
    Q_PROPERTY(QString dataField READ dataField WRITE setDataField)
    Q_PROPERTY(bool wordWrap READ wordWrap WRITE setWordWrap)
    Q_PROPERTY(ScrollBars scrollBars READ scrollBars WRITE setScrollBars)
public:
    enum ScrollBars { NoScrollBars, Horizontal, Vertical, Both };
    Q_ENUM(ScrollBars)

    explicit DBMemo(QWidget *parent = nullptr);

    void setDataSource(DataSource *source) { link_.setDataSource(source); }
    DataSource *dataSource() const { return link_.dataSource(); }
    QString dataField() const { return link_.fieldName(); }
    void setDataField(const QString &name);

    bool wordWrap() const { return lineWrapMode() != NoWrap; }
    void setWordWrap(bool on) { setLineWrapMode(on ? WidgetWidth : NoWrap); }
    ScrollBars scrollBars() const { return scrollBars_; }
    void setScrollBars(ScrollBars bars);

private:
    void load();
    void typed();

    DataLink link_;
    ScrollBars scrollBars_ = Vertical;
    bool loading_ = false;
    bool writing_ = false;
};
