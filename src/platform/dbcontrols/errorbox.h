#pragma once
// The error box and the guard every handler runs in: an exception that escapes a handler
// ends it at the failing step, its text is shown in the error box, and the window stays as
// the earlier steps left it. Exceptions never cross Qt's event loop.
#include <QObject>
#include <QString>

#include <exception>
#include <stdexcept>
#include <type_traits>
#include <utility>

// Errors that are not the engine's (files, pictures, conversions): the text is what the
// user reads in the error box.
class RuntimeError : public std::runtime_error {
public:
    explicit RuntimeError(const QString &text);
    const QString &text() const noexcept { return text_; }

private:
    QString text_;
};

// The user's text of an exception in flight or caught.
QString errorText(const std::exception_ptr &error);

// Shows the error box for an exception caught by a guard.
void showError(const std::exception_ptr &error);

// Runs one handler; returns false when it ended with an error (already shown).
template <class F>
bool runHandler(F &&handler) noexcept
{
    try {
        std::forward<F>(handler)();
        return true;
    } catch (...) {
        showError(std::current_exception());
        return false;
    }
}

// Connects a signal to a handler through the guard. The handler may take the signal's
// arguments (or a leading part of them, as Qt allows) or none.
template <class Sender, class Signal, class Handler>
QMetaObject::Connection connectHandler(const Sender *sender, Signal signal,
                                       const QObject *context, Handler handler)
{
    return QObject::connect(sender, signal, context,
                            [handler](auto &&...args) mutable {
                                runHandler([&] {
                                    if constexpr (std::is_invocable_v<Handler &, decltype(args)...>)
                                        handler(std::forward<decltype(args)>(args)...);
                                    else
                                        handler();
                                });
                            });
}
