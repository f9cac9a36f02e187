// Sample data in Italian: authors, titles, labels, shops, tracks with lyrics, covers.
#include "demodata.h"

#include "sqlite.h"

#include <QDate>
#include <QDir>

namespace catalogo {

namespace {

const char *const autori[] = {
    "Lucio Battisti", "Fabrizio De André", "Francesco De Gregori", "Mina", "Adriano Celentano",
    "Lucio Dalla", "Franco Battiato", "Vasco Rossi", "Paolo Conte", "Gianna Nannini",
    "Pino Daniele", "Loredana Bertè", "Renato Zero", "Claudio Baglioni", "Zucchero",
    "Fiorella Mannoia", "Ivano Fossati", "Edoardo Bennato", "Antonello Venditti", "Ornella Vanoni",
    "Giorgio Gaber", "Enzo Jannacci", "Luigi Tenco", "Mia Martini", "Francesco Guccini",
    "Eros Ramazzotti", "Laura Pausini", "Ligabue", "Jovanotti", "Carmen Consoli",
    "Articolo 31", "Pooh", "New Trolls", "Premiata Forneria Marconi", "Banco del Mutuo Soccorso",
    "Orchestra della Scala", "Luciano Pavarotti", "Andrea Bocelli", "Ennio Morricone", "Nino Rota"};
const char *const provenienze[] = {"Italia", "Stati Uniti", "Regno Unito", "Germania", "Francia",
                                   "Giappone", "Paesi Bassi", "Importazione parallela europea"};
const char *const etichette[] = {"CGD", "Ricordi", "RCA Italiana", "EMI Italiana", "Numero Uno",
                                 "Sony Music", "Universal Music Italia", "Warner Music Italia",
                                 "Sugar Music", "Carosello", "BMG Ricordi", "Fonit Cetra",
                                 "Deutsche Grammophon Gesellschaft Hamburg"};
const char *const supporti[] = {"CD", "CD doppio", "Vinile", "Musicassetta", "SACD", "DVD Audio"};
const char *const tipi[] = {"Album", "Raccolta", "Live", "Colonna sonora", "Singolo", "EP"};
const char *const generi[] = {"Cantautori", "Pop", "Rock", "Jazz", "Classica", "Lirica",
                              "Blues", "Folk", "Progressive", "Colonne sonore"};
const char *const negozi[] = {"Ricordi Media Store Milano", "Feltrinelli Roma", "Discoteca Laziale",
                              "FNAC Torino", "Messaggerie Musicali", "World of Music",
                              "La Bancarella di Bologna", "Disco Club Genova", "Mercatino Firenze"};
const char *const parole1[] = {"Il cielo", "La strada", "Le stagioni", "Il mare", "La notte",
                               "Un giorno", "Le parole", "Il tempo", "La luna", "Il vento",
                               "Canzoni", "Storie", "La voce", "Il sogno", "Le luci"};
const char *const parole2[] = {"di Milano", "d'inverno", "senza fine", "del sud", "in città",
                               "di settembre", "lontano", "e altre storie", "di carta", "perduto",
                               "dal vivo", "sul fiume", "a colori", "di sempre", "nel cuore"};
const char *const versioni[] = {"Originale", "Live", "Rimasterizzata", "Versione radio",
                                "Acustica", "Demo"};
const char *const versi[] = {
    "Cammino piano nella sera che scende", "e il tuo nome torna come il vento",
    "Le finestre accese sopra la città", "non ho parole per dire quello che sento",
    "Ricordo il mare e le tue mani", "domani forse cambierà la luna",
    "Ho lasciato il cuore alla stazione", "canta ancora, canta piano",
    "Tra le strade di un'estate lontana", "resta qui finché la notte è nostra",
    "La pioggia batte sui tetti di ardesia", "e tutto il resto non conta niente"};

template <size_t N>
QString pick(const char *const (&list)[N], quint32 r)
{
    return QString::fromUtf8(list[r % N]);
}

// A small deterministic generator: the same seed makes the same catalogue everywhere.
class Random {
public:
    explicit Random(quint32 seed) : s_(seed * 2654435761u + 0x9E3779B9u) {}
    quint32 next()
    {
        s_ ^= s_ << 13;
        s_ ^= s_ >> 17;
        s_ ^= s_ << 5;
        return s_;
    }
    int range(int lo, int hi) { return lo + int(next() % quint32(hi - lo + 1)); }
    bool chance(int percent) { return int(next() % 100) < percent; }

private:
    quint32 s_;
};

QString lyrics(Random &r)
{
    QStringList lines;
    const int n = r.range(4, 8);
    for (int i = 0; i < n; ++i)
        lines << pick(versi, r.next());
    return lines.join(QStringLiteral("\r\n"));
}

template <size_t N>
void fillLookup(const QString &dir, const QString &file, const char *const (&list)[N])
{
    sqlite::Db db(QDir(dir).filePath(file), file);
    sqlite::Transaction tx(db);
    sqlite::Stmt ins(db, QStringLiteral("INSERT INTO %1 (Nome) VALUES (?)").arg(file.section(QLatin1Char('.'), 0, 0)));
    for (const char *v : list) {
        ins.bind(1, QString::fromUtf8(v));
        ins.step();
    }
    tx.commit();
}

struct Writers {
    sqlite::Db cds, tracks;
    sqlite::Stmt cd, track;
    explicit Writers(const QString &dir)
        : cds(QDir(dir).filePath(QStringLiteral("archivio.db")), QStringLiteral("archivio.db")),
          tracks(QDir(dir).filePath(QStringLiteral("canzoni.db")), QStringLiteral("canzoni.db"))
    {
        // A new catalogue is rebuilt from scratch if this fails, so the bulk load skips syncing.
        cds.exec(QStringLiteral("PRAGMA synchronous=OFF"));
        tracks.exec(QStringLiteral("PRAGMA synchronous=OFF"));
        tracks.exec(QStringLiteral("PRAGMA cache_size=-65536"));
        cd = sqlite::Stmt(cds, QStringLiteral("INSERT INTO archivio VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"));
        track = sqlite::Stmt(tracks, QStringLiteral("INSERT INTO canzoni VALUES (?,?,?,?,?,?)"));
    }
};

void writeTracks(Writers &w, Random &r, const QString &codice, int count)
{
    for (int t = 0; t < count; ++t) {
        w.track.bind(1, codice);
        w.track.bind(2, pick(parole1, r.next()) + QLatin1Char(' ') + pick(parole2, r.next()));
        w.track.bind(3, QStringLiteral("%1:%2").arg(r.range(2, 7)).arg(r.range(0, 59), 2, 10, QLatin1Char('0')));
        w.track.bind(4, r.chance(70) ? QVariant() : QVariant(pick(versioni, r.next())));
        w.track.bind(5, r.chance(85) ? QVariant() : QVariant(QStringLiteral("Traccia bonus")));
        w.track.bind(6, lyrics(r));
        w.track.step();
    }
}

void writeCd(Writers &w, Random &r, int i, const DemoOptions &o)
{
    const QString codice = QStringLiteral("%1%2").arg(QChar(u'A' + char16_t(r.next() % 26))).arg(i + 1, 6, 10, QLatin1Char('0'));
    const int tracks = std::max(1, o.tracksPerCd + r.range(-3, 3));
    QVariantList v;
    v << (i + 1) << codice << pick(autori, r.next())
      << (pick(parole1, r.next()) + QLatin1Char(' ') + pick(parole2, r.next()))
      << QStringLiteral("%1:%2").arg(r.range(30, 79)).arg(r.range(0, 59), 2, 10, QLatin1Char('0'))
      << pick(provenienze, r.next()) << pick(etichette, r.next()) << QString::number(r.range(1960, 2005))
      << pick(supporti, r.next()) << pick(tipi, r.next()) << double(tracks) << pick(generi, r.next())
      << pick(negozi, r.next()) << double(r.range(790, 3500)) / 100.0;
    if (r.chance(95)) {
        const QDate d = QDate(1985, 1, 1).addDays(r.range(0, 7670));
        v << d.toString(Qt::ISODate) << QString::number(d.year());
    } else {
        v << QVariant() << QVariant(); // bought long ago, date unknown
    }
    v << (r.chance(30) ? QVariant(QStringLiteral("Prima stampa, ottime condizioni.")) : QVariant());
    v << (o.coversEvery > 0 && i % o.coversEvery == 0 ? QVariant(makeBmp(32, 32, r.next())) : QVariant());
    w.cd.bindAll(v);
    w.cd.step();
    writeTracks(w, r, codice, tracks);
}

} // namespace

void writeDemo(const QString &dir, const DemoOptions &o)
{
    fillLookup(dir, QStringLiteral("autori.db"), autori);
    fillLookup(dir, QStringLiteral("prov.db"), provenienze);
    fillLookup(dir, QStringLiteral("et.db"), etichette);
    fillLookup(dir, QStringLiteral("sup.db"), supporti);
    fillLookup(dir, QStringLiteral("tipo.db"), tipi);
    fillLookup(dir, QStringLiteral("gen.db"), generi);
    fillLookup(dir, QStringLiteral("neg.db"), negozi);
    Writers w(dir);
    Random r(o.seed);
    {
        sqlite::Transaction a(w.cds), b(w.tracks);
        for (int i = 0; i < o.cds; ++i)
            writeCd(w, r, i, o);
        b.commit();
        a.commit();
    }
    w.cds.exec(QStringLiteral("PRAGMA synchronous=FULL"));
    w.tracks.exec(QStringLiteral("PRAGMA synchronous=FULL"));
}

} // namespace catalogo
