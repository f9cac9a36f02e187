#include "autore.h"

#include "ui_autore.h"

#include "aprifile.h"
#include "errorbox.h"

#include <QGuiApplication>
#include <QScreen>

TAboutBox *AboutBox = nullptr;

const QString TAboutBox::primoSito = QStringLiteral("https://www.sonaro.example.org/");
const QString TAboutBox::secondoSito = QStringLiteral("https://www.sonaro.example.com/");
const QString TAboutBox::email = QStringLiteral("autore@sonaro.example.org");

TAboutBox::TAboutBox(QWidget *parent) : QDialog(parent), ui(new Ui::TAboutBox)
{
    Q_INIT_RESOURCE(autore);
    ui->setupUi(this);
    setObjectName(QStringLiteral("AboutBox"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint);
    setFixedSize(size());
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    connectHandler(ui->sbMainIT, &QToolButton::clicked, this,
                   [this] { sbMainITClick(ui->sbMainIT); });
    connectHandler(ui->sbMainCOM, &QToolButton::clicked, this,
                   [this] { sbMainITClick(ui->sbMainCOM); });
    connectHandler(ui->sbEmail, &QToolButton::clicked, this, [this] { sbEmailClick(); });
    connectHandler(ui->sbLic, &QToolButton::clicked, this, [this] { sbLicClick(); });
    connect(ui->OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

TAboutBox::~TAboutBox()
{
    delete ui;
}

void TAboutBox::sbMainITClick(QObject *Sender)
{
    // One handler for both web buttons, told apart by the pressed button's name.
    if (Sender->objectName() == QLatin1String("sbMainIT"))
        ApriFile(primoSito, QString(), QString(), 5);
    else
        ApriFile(secondoSito, QString(), QString(), 5);
}

void TAboutBox::sbEmailClick()
{
    ApriFile(QStringLiteral("mailto:%1?subject=Sonaro").arg(email), QString(), QString(), 5);
}

void TAboutBox::sbLicClick()
{
    ApriFile(QStringLiteral("licenzaSonaro.txt"), QString(), QString(), 5);
}
