#include "errorbox.h"

#include "dataset.h"
#include "dialogs.h"

#include <new>

RuntimeError::RuntimeError(const QString &text)
    : std::runtime_error(text.toStdString()), text_(text)
{
}

QString errorText(const std::exception_ptr &error)
{
    try {
        std::rethrow_exception(error);
    } catch (const EngineError &e) {
        return e.text();
    } catch (const RuntimeError &e) {
        return e.text();
    } catch (const std::bad_alloc &) {
        return QStringLiteral("Memoria insufficiente");
    } catch (const std::exception &e) {
        return QString::fromLocal8Bit(e.what());
    } catch (...) {
        return QStringLiteral("Errore sconosciuto");
    }
}

void showError(const std::exception_ptr &error)
{
    const QString text = errorText(error);
    // An error raised while the error box itself is shown must not escape either.
    try {
        Dialogs::instance().error(text);
    } catch (...) {
    }
}
