#include "programma.h"

#include "errorbox.h"

#include <QCoreApplication>
#include <QFile>

namespace {
QString cartellaImpostata;
}

QString cartellaProgramma()
{
    return cartellaImpostata.isEmpty() ? QCoreApplication::applicationDirPath() : cartellaImpostata;
}

void impostaCartellaProgramma(const QString &dir)
{
    cartellaImpostata = dir;
}

QString percorsoSetXxt()
{
    return cartellaProgramma() + QStringLiteral("/set.xxt");
}

// The path is kept in the local 8-bit encoding, the one file names have here, so that any
// picture the user can choose is found again.
QString leggiSetXxt()
{
    const QString path = percorsoSetXxt();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw RuntimeError(QStringLiteral("Errore di I/O: impossibile leggere il file \"%1\" (%2).")
                               .arg(path, file.errorString()));
    QByteArray riga = file.readLine();
    while (riga.endsWith('\n') || riga.endsWith('\r'))
        riga.chop(1);
    return QString::fromLocal8Bit(riga);
}

void scriviSetXxt(const QString &fileSkin)
{
    const QString path = percorsoSetXxt();
    QFile file(path);
    const QByteArray riga = fileSkin.toLocal8Bit() + "\r\n";
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(riga) != riga.size()
        || !file.flush())
        throw RuntimeError(QStringLiteral("Errore di I/O: impossibile scrivere il file \"%1\" (%2).")
                               .arg(path, file.errorString()));
}
