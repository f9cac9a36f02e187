#pragma once
// Plain controls the windows share: the speed button with a glyph, the radio group and
// the masked edit.
#include <QGroupBox>
#include <QLineEdit>
#include <QStringList>
#include <QToolButton>

class QButtonGroup;
class QGridLayout;

// Registers the shared button glyphs (":/glyphs/esci.png" ...); a static library's
// resources need it. Safe to call often.
void initGlyphResources();

// A flat-looking button with a small picture beside its caption. It never takes the
// keyboard focus, so pressing it leaves the user's box as it was.
class SpeedButton : public QToolButton {
    Q_OBJECT
public:
    explicit SpeedButton(QWidget *parent = nullptr);
};

// A titled group of radio buttons, one per item; itemIndex is -1 when none is chosen.
class RadioGroup : public QGroupBox {
    Q_OBJECT
    Q_PROPERTY(QStringList items READ items WRITE setItems)
    Q_PROPERTY(int itemIndex READ itemIndex WRITE setItemIndex)
    Q_PROPERTY(int columns READ columns WRITE setColumns)
public:
    explicit RadioGroup(QWidget *parent = nullptr);

    QStringList items() const { return items_; }
    void setItems(const QStringList &items);
    int itemIndex() const { return itemIndex_; }
    // A change of the choice runs clicked(), as a click does. An index beyond the items is
    // kept until items arrive that have it: a design may give the index before the items.
    void setItemIndex(int index);
    int columns() const { return columns_; }
    void setColumns(int columns);
    QAbstractButton *itemButton(int index) const;

signals:
    void clicked();

private:
    void rebuild();

    QStringList items_;
    int itemIndex_ = -1;
    int wantedIndex_ = -1; // asked for before there was such an item
    int columns_ = 1;
    QButtonGroup *group_;
    QGridLayout *grid_;
};

// A line edit with an edit mask in the notation the windows' designs use, for example
// "!99/99/00;1;_": '0' a required digit, '9' an optional one, 'L' a letter, 'A' a letter or
// digit; the second part says whether literals are kept (always, here) and the third is the
// blank character. text() gives what is shown, blanks as spaces ("  /  /  " when empty).
class MaskEdit : public QLineEdit {
    Q_OBJECT
    Q_PROPERTY(QString editMask READ editMask WRITE setEditMask)
public:
    explicit MaskEdit(QWidget *parent = nullptr);

    QString editMask() const { return editMask_; }
    void setEditMask(const QString &mask);
    QString text() const;
    void setText(const QString &text);

private:
    QString editMask_;
    QChar blank_ = QLatin1Char('_');
};
