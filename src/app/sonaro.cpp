// The program body: the application, its title, the data module, then the main menu,
// whose closing ends the program.
#include "errorbox.h"
#include "modulo.h"
#include "principale.h"
#include "qtdialogs.h"

#if __has_include("autore.h")
#include "autore.h"
#define SONARO_HAS_ABOUT 1
#endif

#include <QApplication>
#include <QDir>
#include <QLocale>
#include <QTimer>

#include <cstdio>

namespace {

// A net under every event: an exception no handler guard caught still ends in the error
// box instead of ending the program.
class SonaroApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject *receiver, QEvent *event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (...) {
            showError(std::current_exception());
            return false;
        }
    }
};

// --screenshot DIR: saves the main menu and the about box as PNG pictures, then ends.
void takeScreenshots(const QString &dir)
{
    QDir().mkpath(dir);
    bool ok = fMain->grab().save(dir + QStringLiteral("/principale.png"));
#ifdef SONARO_HAS_ABOUT
    TAboutBox box;
    box.show();
    QApplication::processEvents();
    ok = box.grab().save(dir + QStringLiteral("/autore.png")) && ok;
    box.close();
#endif
    std::fprintf(stderr, ok ? "Screenshots saved in %s\n" : "Cannot save screenshots in %s\n",
                 qPrintable(dir));
    // Closing the menu runs FormClose; quitting does not wait for other windows to go.
    fMain->close();
    QCoreApplication::quit();
}

// Numbers and dates follow the user's regional settings; a machine that has none (the C
// locale of a bare system) gets Italy's, the language the program speaks.
void useRegionalSettings()
{
    if (QLocale::system().language() == QLocale::C)
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
}

} // namespace

int main(int argc, char *argv[])
{
    SonaroApplication app(argc, argv);
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Sonaro"));
    useRegionalSettings();
    installaTraduzioniQt();
    QtDialogs dialogs;
    Dialogs::install(&dialogs);

    data = new Tdata;
    fMain = new TfMain;
    fMain->show();

    const QStringList args = QCoreApplication::arguments();
    const qsizetype shot = args.indexOf(QStringLiteral("--screenshot"));
    if (shot > 0 && shot + 1 < args.size())
        QTimer::singleShot(300, fMain, [dir = args[shot + 1]] { takeScreenshots(dir); });

    const int code = QApplication::exec();
    delete fMain;
    fMain = nullptr;
    delete data;
    data = nullptr;
    Dialogs::install(nullptr);
    return code;
}
