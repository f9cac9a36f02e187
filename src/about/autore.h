#pragma once
// The about box: who made the program, its licence, where to find news of it.
#include <QDialog>

namespace Ui {
class TAboutBox;
}

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget *parent = nullptr);
    ~TAboutBox() override;

    Ui::TAboutBox *ui;

    // The maker's pages and address.
    static const QString primoSito;
    static const QString secondoSito;
    static const QString email;

private:
    void sbMainITClick(QObject *Sender);
    void sbEmailClick();
    void sbLicClick();
};

extern TAboutBox *AboutBox;
