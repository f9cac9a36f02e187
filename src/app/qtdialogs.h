#pragma once
// The program's dialogs: Qt's message boxes with Italian buttons, Qt's file dialogs, the
// open-picture dialog with its preview, the report preview, chart printing and the desktop.
#include "dialogs.h"

#include <QString>

class QtDialogs : public Dialogs {
public:
    void message(const QString &text) override;
    bool information(const QString &text) override;
    bool confirm(const QString &text) override;
    void error(const QString &text) override;

    QString openFile(const FileDialogSpec &opts) override;
    QString saveFile(const FileDialogSpec &opts) override;
    QString openPicture(const FileDialogSpec &opts) override;

    void previewReport(Report &report) override;
    void printChart(DBChart &chart) override;

    int openWithDesktop(const QString &target) override;
    int execModal(QDialog &window) override;
};

// "Testo|*.txt|Tutti|*.*" (the windows' notation) as Qt's "Testo (*.txt);;Tutti (*.*)".
QString qtFileFilter(const QString &filter);

// The name typed in a file dialog with the default extension added when it has none.
QString withDefaultExtension(const QString &path, const QString &extension);

// The filter of every picture format the loader knows, all of them first.
QString pictureFilter();

// Loads Qt's own Italian texts (file dialogs, standard menus), so that no English caption
// shows where the program speaks Italian. False when the translation is not installed.
bool installaTraduzioniQt();
