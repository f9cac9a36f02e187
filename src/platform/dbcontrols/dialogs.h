#pragma once
// Everything modal that a person answers goes through this interface. The program installs
// the Qt implementation at start; tests install a scripted one that records every call and
// answers from a queue.
#include <QString>

class QWidget;
class QDialog;
class Report; // platform/report
class DBChart; // platform/chart

struct FileDialogSpec {
    QString title;
    QString filter;           // "File di Testo|*.txt" (the system's own notation)
    QString defaultExtension; // "txt", added to a name typed without one
    QString initialDir;
    bool askBeforeReplace = false;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;

    virtual void message(const QString &text) = 0;     // plain box, OK
    virtual bool information(const QString &text) = 0; // OK and Cancel: true on OK
    virtual bool confirm(const QString &text) = 0;     // Yes and No: true on Yes
    virtual void error(const QString &text) = 0;       // error box, OK

    // File dialogs: the chosen path, or an empty text when the user cancels.
    virtual QString openFile(const FileDialogSpec &opts) = 0;
    virtual QString saveFile(const FileDialogSpec &opts) = 0;
    virtual QString openPicture(const FileDialogSpec &opts) = 0; // with a preview

    // Modal report preview; returns when the user closes it.
    virtual void previewReport(Report &report) = 0;
    // Prints a chart on the default printer in landscape, without a dialog.
    virtual void printChart(DBChart &chart) = 0;

    // Opens a file or address with the desktop's default program; returns a status the
    // callers may ignore (greater than 32 means it was handed over).
    virtual int openWithDesktop(const QString &target) = 0;

    // Runs a window modally; returns its result code.
    virtual int execModal(QDialog &window) = 0;

    static Dialogs &instance();
    static void install(Dialogs *dialogs); // not owned
};
