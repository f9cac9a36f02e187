#pragma once
// The lookup lists editor: one of the seven lookup tables at a time, chosen with a radio
// group, edited row by row in a grid with a navigator.
#include <QDialog>

namespace Ui {
class TfImpos;
}

class TfImpos : public QDialog {
    Q_OBJECT
public:
    explicit TfImpos(QWidget *parent = nullptr);
    ~TfImpos() override;

    Ui::TfImpos *ui;

    // Every way of closing runs FormClose; a row that cannot be posted keeps it open.
    void done(int result) override;

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void FormCreate();
    bool FormClose();
    void rgTipoClick();
    void sbesciClick();

    int scelta_ = 0;           // the list the grid shows
    bool ripristino_ = false;  // the radio group is being put back after a failed switch
};

extern TfImpos *fImpos;
