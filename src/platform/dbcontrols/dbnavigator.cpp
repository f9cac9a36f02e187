#include "dbnavigator.h"

#include "dialogs.h"
#include "errorbox.h"
#include "glyphs.h"

#include <QHBoxLayout>
#include <QToolButton>

namespace {

const char *const names[DBNavigator::ButtonCount] = {
    "first", "prior", "next", "last", "insert", "delete", "edit", "post", "cancel", "refresh"};

const char *const standardHints[DBNavigator::ButtonCount] = {
    "Primo record",      "Record precedente", "Record successivo",   "Ultimo record",
    "Inserisci record",  "Elimina record",    "Modifica record",     "Conferma modifiche",
    "Annulla modifiche", "Aggiorna dati"};

} // namespace

DBNavigator::DBNavigator(QWidget *parent)
    : QWidget(parent), link_([this](DataEvent, Field *) { updateButtons(); })
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (int i = 0; i < ButtonCount; ++i) {
        auto *b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(names[i]));
        b->setIcon(navigatorGlyph(i));
        b->setIconSize(QSize(16, 16));
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        // Taking focus on click lets an open grid editor commit before the action runs.
        b->setFocusPolicy(Qt::ClickFocus);
        layout->addWidget(b);
        buttons_[size_t(i)] = b;
        connect(b, &QToolButton::clicked, this, [this, i] { act(Button(i)); });
    }
    applyHints();
    updateButtons();
}

QStringList DBNavigator::visibleButtons() const
{
    QStringList shown;
    for (int i = 0; i < ButtonCount; ++i)
        if (!buttons_[size_t(i)]->isHidden())
            shown.append(QString::fromLatin1(names[i]));
    return shown;
}

void DBNavigator::setVisibleButtons(const QStringList &shown)
{
    for (int i = 0; i < ButtonCount; ++i)
        buttons_[size_t(i)]->setHidden(
            !shown.contains(QString::fromLatin1(names[i]), Qt::CaseInsensitive));
    applyHints();
}

void DBNavigator::setHints(const QStringList &hints)
{
    hints_ = hints;
    applyHints();
}

void DBNavigator::applyHints()
{
    int next = 0;
    for (int i = 0; i < ButtonCount; ++i) {
        QToolButton *b = buttons_[size_t(i)];
        QString hint = QString::fromUtf8(standardHints[i]);
        if (!b->isHidden() && next < hints_.size())
            hint = hints_[next++];
        b->setToolTip(hint);
    }
}

void DBNavigator::press(Button b)
{
    QToolButton *button = buttons_[size_t(b)];
    if (!button->isHidden() && button->isEnabled())
        button->click();
}

void DBNavigator::act(Button b)
{
    const bool done = runHandler([&] {
        DataSet *ds = link_.dataSet();
        if (!ds || !ds->active())
            return;
        switch (b) {
        case First: ds->first(); break;
        case Prior: ds->prior(); break;
        case Next: ds->next(); break;
        case Last: ds->last(); break;
        case Insert: ds->insert(); break;
        case Delete:
            if (!confirmDelete_
                || Dialogs::instance().confirm(QStringLiteral("Eliminare il record?")))
                ds->deleteRecord();
            break;
        case Edit: ds->edit(); break;
        case Post: ds->post(); break;
        case Cancel: ds->cancel(); break;
        case Refresh: ds->refresh(); break;
        }
    });
    updateButtons();
    // The window's click handler runs only after the action succeeded.
    if (done)
        runHandler([&] { emit clicked(b); });
}

void DBNavigator::updateButtons()
{
    const DataSet *ds = link_.dataSet();
    const bool active = ds && ds->active();
    const bool editing = active
                         && (ds->state() == DataSetState::Edit
                             || ds->state() == DataSetState::Insert);
    const bool canModify = active && !ds->readOnly();
    const int rec = active ? ds->recNo() : -1;
    const int count = active ? ds->recordCount() : 0;
    const bool up = active && (editing || rec > 0);
    const bool down = active && (editing || (rec >= 0 && rec < count - 1));
    const bool enabled[ButtonCount] = {up,        up,
                                       down,      down,
                                       canModify, canModify && count > 0,
                                       canModify && !editing && count > 0,
                                       canModify && editing,
                                       canModify && editing,
                                       active && !editing};
    for (int i = 0; i < ButtonCount; ++i)
        buttons_[size_t(i)]->setEnabled(enabled[i]);
}
