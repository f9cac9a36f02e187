#pragma once
// Catalogue creation and demo data. The program itself never creates a table, so the
// installation (and every test that needs a catalogue) comes through here.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

namespace catalogo {

// The nine table files, in the order the main menu opens them.
QStringList tableFiles();

// Creates the nine empty tables in `dir` (made if missing), each lookup table with its
// reserved first row. Throws EngineError, changing nothing, when `dir` already holds any
// of the nine files.
void createCatalogue(const QString &dir);

struct DemoOptions {
    int cds = 300;
    quint32 seed = 1;
    int tracksPerCd = 12;  // on average; each CD gets between K-3 and K+3 (at least 1)
    int coversEvery = 10;  // every M-th CD gets a cover picture; 0 for none
};

// Creates a new catalogue in `dir` and fills it: CDs with every field, their tracks with
// lyrics, covers as BMP files' bytes, and every lookup list. Same seed, same catalogue.
void fillDemo(const QString &dir, const DemoOptions &options);

// The bytes of a small 24-bit BMP file (a gradient picked by `seed`).
QByteArray makeBmp(int width, int height, quint32 seed);

// A catalogue in a fresh temporary folder that is the current directory while this lives
// (the engine opens tables by their bare names there). For tests.
class TempCatalogue {
public:
    explicit TempCatalogue(const DemoOptions *demo = nullptr); // empty catalogue when null
    ~TempCatalogue();
    TempCatalogue(const TempCatalogue &) = delete;
    TempCatalogue &operator=(const TempCatalogue &) = delete;
    QString path() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace catalogo
