// sonaro-sql DIR STATEMENT: one statement of the local dialect over the catalogue in DIR,
// printed as CSV. Read-only: it doubles as the catalogue's CSV export.
#include "csv.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fputs("Usage: sonaro-sql DIR STATEMENT\n", stderr);
        return 1;
    }
    try {
        const QByteArray csv = runStatementToCsv(args[1], args[2]);
        std::fwrite(csv.constData(), 1, size_t(csv.size()), stdout);
        return 0;
    } catch (const EngineError &e) {
        std::fprintf(stderr, "%s\n", e.text().toUtf8().constData());
        return 2;
    }
}
