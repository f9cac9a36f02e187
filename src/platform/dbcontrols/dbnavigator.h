#pragma once
// Record navigator: a row of buttons over a data source. The set of buttons and their hints
// are chosen per window; deleting asks the standard confirmation; the click event tells
// which button was pressed, after its action ran.
#include "datalink.h"

#include <QStringList>
#include <QWidget>

#include <array>

class QToolButton;

class DBNavigator : public QWidget {
    Q_OBJECT
    // Names among first, prior, next, last, insert, delete, edit, post, cancel, refresh.
    Q_PROPERTY(QStringList visibleButtons READ visibleButtons WRITE setVisibleButtons)
    // One hint per visible button, in button order; empty keeps the standard hints.
    Q_PROPERTY(QStringList hints READ hints WRITE setHints)
    Q_PROPERTY(bool confirmDelete READ confirmDelete WRITE setConfirmDelete)
public:
    enum Button { First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel, Refresh };
    Q_ENUM(Button)
    static constexpr int ButtonCount = 10;

    explicit DBNavigator(QWidget *parent = nullptr);

    void setDataSource(DataSource *source) { link_.setDataSource(source); }
    DataSource *dataSource() const { return link_.dataSource(); }

    QStringList visibleButtons() const;
    void setVisibleButtons(const QStringList &names);
    QStringList hints() const { return hints_; }
    void setHints(const QStringList &hints);
    bool confirmDelete() const { return confirmDelete_; }
    void setConfirmDelete(bool on) { confirmDelete_ = on; }

    QToolButton *button(Button b) const { return buttons_[size_t(b)]; }
    // Presses a button as the user does (nothing when it is hidden or disabled).
    void press(Button b);

signals:
    void clicked(DBNavigator::Button button);

private:
    void updateButtons();
    void applyHints();
    void act(Button b);

    DataLink link_;
    std::array<QToolButton *, ButtonCount> buttons_{};
    QStringList hints_;
    bool confirmDelete_ = true;
};
