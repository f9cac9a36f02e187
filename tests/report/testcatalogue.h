#pragma once
// A fresh catalogue with its CD and track tables open, and helpers to fill them.
#include "qstringprint.h"
#include "catalogo.h"
#include "dataset.h"

#include <QFile>
#include <QVariant>

#include <ostream>
#include <utility>
#include <vector>

struct TestCatalogue {
    catalogo::TempCatalogue dir;
    Table archivio{QStringLiteral("tArchivio"), QStringLiteral("archivio.db")};
    Table canzoni{QStringLiteral("tCanzoni"), QStringLiteral("canzoni.db")};

    TestCatalogue()
    {
        archivio.open();
        canzoni.open();
        archivio.fieldByName(QStringLiteral("Valore"))->setDisplayFormat(QStringLiteral("0,.00"));
    }

    static void add(DataSet &ds, const std::vector<std::pair<const char *, QVariant>> &values)
    {
        ds.append();
        for (const auto &[name, value] : values)
            ds.fieldByName(QString::fromLatin1(name))->setValue(value);
        ds.post();
    }
};

// The golden file `name` beside the test; SONARO_UPDATE_GOLDEN=1 rewrites it.
inline QString goldenPath(const QString &name)
{
    return qEnvironmentVariable("SONARO_SOURCE_DIR") + QStringLiteral("/tests/report/golden/") + name;
}

inline QString readGolden(const QString &name, const QString &actual)
{
    QFile f(goldenPath(name));
    if (qEnvironmentVariableIntValue("SONARO_UPDATE_GOLDEN") == 1) {
        if (f.open(QIODevice::WriteOnly))
            f.write(actual.toUtf8());
        return actual;
    }
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("(missing golden file %1)").arg(f.fileName());
    return QString::fromUtf8(f.readAll());
}
