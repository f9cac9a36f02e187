#pragma once
// The main menu: the program's main window. It opens the nine catalogue tables when it is
// created, closes them (and both queries) when it closes, and opens every function window.
#include <QWidget>

#include <functional>
#include <memory>

namespace Ui {
class TfMain;
}

class TfMain : public QWidget {
    Q_OBJECT
public:
    explicit TfMain(QWidget *parent = nullptr);
    ~TfMain() override;

    // The tables are closed while `show` runs (the backup window copies and replaces their
    // files) and opened again afterwards in the usual order.
    void conTabelleChiuse(const std::function<void()> &show);

    Ui::TfMain *ui;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void FormCreate();
    void FormClose();
    void sbCdClick();
    void sbImpClick();
    void sbStatClick();
    void sbManualeClick();
    void sbAutoreClick();
    void sbBackupClick();
    void sbListeClick();
    void sbEsciClick();
};

extern TfMain *fMain;

// Opens the nine catalogue tables in the main menu's order; the first that fails ends it,
// leaving the ones after it closed.
void apriTabelle();
// Closes the nine tables, then qRicerca and qAnni.
void chiudiTabelle();
