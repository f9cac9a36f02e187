#include "modulo.h"

Tdata *data = nullptr;

namespace {

// A field object: `size` is the most characters written (a longer text is cut on
// assignment), `display` the display width where one is set.
Field *declare(Table &t, const char *name, FieldType type, int size = 0, int display = 0)
{
    Field *f = t.addField(QLatin1String(name), type, size);
    f->setDisplayWidth(display);
    return f;
}

} // namespace

Tdata::Tdata()
    : tArchivioNumero(declare(tArchivio, "Numero", FieldType::Integer)),
      tArchivioCodice(declare(tArchivio, "Codice", FieldType::Text, 10, 7)),
      tArchivioAutore(declare(tArchivio, "Autore", FieldType::Text, 33)),
      tArchivioTitolo(declare(tArchivio, "Titolo", FieldType::Text, 43)),
      tArchivioDurata(declare(tArchivio, "Durata", FieldType::Text, 20, 17)),
      tArchivioProvenienza(declare(tArchivio, "Provenienza", FieldType::Text, 20, 12)),
      tArchivioEtichetta(declare(tArchivio, "Etichetta", FieldType::Text, 35)),
      tArchivioAnnoP(declare(tArchivio, "AnnoP", FieldType::Text, 4)),
      tArchivioSupporto(declare(tArchivio, "Supporto", FieldType::Text, 20, 12)),
      tArchivioTipo(declare(tArchivio, "Tipo", FieldType::Text, 20, 12)),
      tArchivioTracks(declare(tArchivio, "Tracks", FieldType::Float)),
      tArchivioGenere(declare(tArchivio, "Genere", FieldType::Text, 20, 12)),
      tArchivioNegozio(declare(tArchivio, "Negozio", FieldType::Text, 40, 30)),
      tArchivioValore(declare(tArchivio, "Valore", FieldType::Float)),
      tArchivioData(declare(tArchivio, "Data", FieldType::Date)),
      tArchivioAnno(declare(tArchivio, "Anno", FieldType::Text, 4)),
      tArchivioNote(declare(tArchivio, "Note", FieldType::Memo)),
      tArchivioCopertina(declare(tArchivio, "Copertina", FieldType::Picture)),
      tCanzoniCodice(declare(tCanzoni, "Codice", FieldType::Text, 10)),
      tCanzoniNome(declare(tCanzoni, "Nome", FieldType::Text, 40)),
      tCanzoniTempo(declare(tCanzoni, "Tempo", FieldType::Text, 5)),
      tCanzoniVersione(declare(tCanzoni, "Versione", FieldType::Text, 40)),
      tCanzoniNote(declare(tCanzoni, "Note", FieldType::Text, 40)),
      tCanzoniTesto(declare(tCanzoni, "Testo", FieldType::Memo))
{
    tArchivioCodice->setRequired(true);
    tArchivioValore->setDisplayFormat(QStringLiteral("0,.00"));
    qAnni.addSql(QStringLiteral("Select distinct  Anno from Archivio"));
}

Tdata::~Tdata() = default;
