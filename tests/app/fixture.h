#pragma once
// A demo catalogue as the current folder, the program's own files in another temporary
// folder, the data module, and the scripted dialogs.
#include "qstringprint.h"
#include "aprifile.h"
#include "catalogo.h"
#include "modulo.h"
#include "principale.h"
#include "programma.h"
#include "scripteddialogs.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <memory>
#include <ostream>

class MenuTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        catalogo::DemoOptions options;
        options.cds = 8;
        options.seed = 3;
        options.tracksPerCd = 3;
        options.coversEvery = 0;
        catalogue = std::make_unique<catalogo::TempCatalogue>(&options);
        ASSERT_TRUE(programDir.isValid());
        impostaCartellaProgramma(programDir.path());
        data = new Tdata;
    }
    void TearDown() override
    {
        delete fMain;
        fMain = nullptr;
        delete data;
        data = nullptr;
        impostaCartellaProgramma(QString());
        catalogue.reset();
    }

    // The nine tables in the order the main menu opens them.
    static std::vector<Table *> tables()
    {
        return {&data->tArchivio, &data->tCanzoni, &data->tAutori, &data->tEt, &data->tProv,
                &data->tNeg,      &data->tSup,     &data->tTipo,   &data->tGen};
    }
    static int openTables()
    {
        int n = 0;
        for (Table *t : tables())
            n += t->active() ? 1 : 0;
        return n;
    }

    // A picture file in the program's folder, and set.xxt naming it (plus `rest`).
    QString writeSkin(const char *name = "sfondo.jpg", const QByteArray &rest = "\r\n")
    {
        const QString picture = programDir.filePath(QString::fromLatin1(name));
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(Qt::darkBlue);
        image.save(picture);
        writeSet(picture.toLocal8Bit() + rest);
        return picture;
    }
    void writeSet(const QByteArray &content)
    {
        QFile f(programDir.filePath(QStringLiteral("set.xxt")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
    }

    std::unique_ptr<catalogo::TempCatalogue> catalogue;
    QTemporaryDir programDir;
    ScriptedDialogs dialogs;
};
