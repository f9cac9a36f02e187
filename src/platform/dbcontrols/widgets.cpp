#include "widgets.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

void initGlyphResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(glyphs);
        return true;
    }();
    Q_UNUSED(done);
}

SpeedButton::SpeedButton(QWidget *parent) : QToolButton(parent)
{
    // Before setupUi sets the button's icon from ":/glyphs/...".
    initGlyphResources();
    setFocusPolicy(Qt::NoFocus);
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    setIconSize(QSize(16, 16));
    setCursor(Qt::PointingHandCursor);
}

RadioGroup::RadioGroup(QWidget *parent)
    : QGroupBox(parent), group_(new QButtonGroup(this)), grid_(new QGridLayout(this))
{
    grid_->setContentsMargins(8, 4, 8, 4);
    grid_->setVerticalSpacing(2);
    connect(group_, &QButtonGroup::idClicked, this, [this](int id) {
        wantedIndex_ = -1;
        if (id == itemIndex_)
            return;
        itemIndex_ = id;
        emit clicked();
    });
}

void RadioGroup::setItems(const QStringList &items)
{
    items_ = items;
    if (itemIndex_ >= items_.size())
        itemIndex_ = -1;
    rebuild();
    if (wantedIndex_ >= 0 && wantedIndex_ < items_.size())
        setItemIndex(wantedIndex_);
}

void RadioGroup::setColumns(int columns)
{
    columns_ = std::max(1, columns);
    rebuild();
}

QAbstractButton *RadioGroup::itemButton(int index) const
{
    return group_->button(index);
}

void RadioGroup::setItemIndex(int index)
{
    wantedIndex_ = index >= items_.size() ? index : -1;
    if (index < -1 || index >= items_.size())
        index = -1;
    if (index == itemIndex_)
        return;
    itemIndex_ = index;
    if (index >= 0) {
        group_->button(index)->setChecked(true);
    } else if (QAbstractButton *checked = group_->checkedButton()) {
        group_->setExclusive(false);
        checked->setChecked(false);
        group_->setExclusive(true);
    }
    emit clicked();
}

void RadioGroup::rebuild()
{
    for (QAbstractButton *b : group_->buttons()) {
        group_->removeButton(b);
        delete b;
    }
    const int perColumn = int((items_.size() + columns_ - 1) / columns_);
    for (int i = 0; i < items_.size(); ++i) {
        auto *b = new QRadioButton(items_[i], this);
        b->setObjectName(QStringLiteral("item%1").arg(i));
        group_->addButton(b, i);
        grid_->addWidget(b, perColumn ? i % perColumn : i, perColumn ? i / perColumn : 0);
        b->setChecked(i == itemIndex_);
    }
}

MaskEdit::MaskEdit(QWidget *parent) : QLineEdit(parent) {}

void MaskEdit::setEditMask(const QString &mask)
{
    editMask_ = mask;
    const QStringList parts = mask.split(QLatin1Char(';'));
    if (parts.size() > 2 && !parts[2].isEmpty())
        blank_ = parts[2].at(0);
    QString qtMask;
    bool literal = false;
    for (const QChar c : parts.value(0)) {
        if (literal) {
            qtMask += QLatin1Char('\\');
            qtMask += c;
            literal = false;
            continue;
        }
        switch (c.unicode()) {
        case '!': break;                // leading blanks: nothing to do on input
        case '\\': literal = true; break;
        case '0': qtMask += QLatin1Char('9'); break; // required digit
        case '9': qtMask += QLatin1Char('0'); break; // optional digit
        case 'L': qtMask += QLatin1Char('A'); break; // required letter
        case 'l': qtMask += QLatin1Char('a'); break;
        case 'A': qtMask += QLatin1Char('N'); break; // required letter or digit
        case 'a': qtMask += QLatin1Char('n'); break;
        case '>': case '<': qtMask += c; break;
        default:
            if (QStringLiteral("9aAnNXxdDhHbB0#").contains(c))
                qtMask += QLatin1Char('\\');
            qtMask += c;
        }
    }
    setInputMask(qtMask.isEmpty() ? QString() : qtMask + QLatin1Char(';') + blank_);
}

QString MaskEdit::text() const
{
    if (inputMask().isEmpty())
        return QLineEdit::text();
    QString shown = displayText();
    shown.replace(blank_, QLatin1Char(' '));
    return shown;
}

void MaskEdit::setText(const QString &text)
{
    QLineEdit::setText(text);
}
