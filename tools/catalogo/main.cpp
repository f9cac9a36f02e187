// sonaro-catalogo: creates a catalogue's nine empty tables, or a demo catalogue.
#include "catalogo.h"
#include "dataset.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

static int usage()
{
    std::fputs("Usage: sonaro-catalogo create DIR\n"
               "       sonaro-catalogo demo DIR --cds N --seed S [--tracks-per-cd K] [--covers-every M]\n",
               stderr);
    return 1;
}

static bool readOption(const QStringList &args, int &i, const char *name, int &value)
{
    if (args[i] != QLatin1String(name) || i + 1 >= args.size())
        return false;
    bool ok = false;
    value = args[++i].toInt(&ok);
    if (!ok || value < 0)
        throw EngineError(QStringLiteral("%1 needs a whole number").arg(QLatin1String(name)));
    return true;
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3)
        return usage();
    try {
        if (args[1] == QLatin1String("create") && args.size() == 3) {
            catalogo::createCatalogue(args[2]);
            std::printf("Catalogue created in %s\n", qPrintable(args[2]));
            return 0;
        }
        if (args[1] != QLatin1String("demo"))
            return usage();
        catalogo::DemoOptions o;
        int seed = 1;
        for (int i = 3; i < args.size(); ++i) {
            if (!readOption(args, i, "--cds", o.cds) && !readOption(args, i, "--seed", seed)
                && !readOption(args, i, "--tracks-per-cd", o.tracksPerCd)
                && !readOption(args, i, "--covers-every", o.coversEvery))
                return usage();
        }
        o.seed = quint32(seed);
        catalogo::fillDemo(args[2], o);
        std::printf("Demo catalogue with %d CDs created in %s\n", o.cds, qPrintable(args[2]));
        return 0;
    } catch (const EngineError &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.text()));
        return 2;
    }
}
