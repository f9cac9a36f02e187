#pragma once
// The data module: the one owner of every table, query and data source of the catalogue.
// It has no behaviour of its own; windows use its components by name. Everything is
// closed at creation; the main menu opens the tables.
#include "dataset.h"

class Tdata {
public:
    Tdata();
    ~Tdata();
    Tdata(const Tdata &) = delete;
    Tdata &operator=(const Tdata &) = delete;

    // Tables come before the data sources that point at them (and so outlive them).
    Table tArchivio{QStringLiteral("tArchivio"), QStringLiteral("archivio.db")};
    Table tCanzoni{QStringLiteral("tCanzoni"), QStringLiteral("canzoni.db")};
    Table tAutori{QStringLiteral("tAutori"), QStringLiteral("autori.db")};
    Table tEt{QStringLiteral("tEt"), QStringLiteral("et.db")};
    Table tProv{QStringLiteral("tProv"), QStringLiteral("prov.db")};
    Table tSup{QStringLiteral("tSup"), QStringLiteral("sup.db")};
    Table tTipo{QStringLiteral("tTipo"), QStringLiteral("tipo.db")};
    Table tGen{QStringLiteral("tGen"), QStringLiteral("gen.db")};
    Table tNeg{QStringLiteral("tNeg"), QStringLiteral("neg.db")};
    Query qRicerca{QStringLiteral("qRicerca")};
    Query qAnni{QStringLiteral("qAnni")};

    DataSource dsArchvio{QStringLiteral("dsArchvio"), &tArchivio};
    DataSource dsCanzoni{QStringLiteral("dsCanzoni"), &tCanzoni};
    DataSource dsAutori{QStringLiteral("dsAutori"), &tAutori};
    DataSource dsEt{QStringLiteral("dsEt"), &tEt};
    DataSource dsProv{QStringLiteral("dsProv"), &tProv};
    DataSource dsSup{QStringLiteral("dsSup"), &tSup};
    DataSource dsTipo{QStringLiteral("dsTipo"), &tTipo};
    DataSource dsGen{QStringLiteral("dsGen"), &tGen};
    DataSource dsNeg{QStringLiteral("dsNeg"), &tNeg};
    DataSource dsQuery{QStringLiteral("dsQuery"), &qRicerca};
    DataSource dsAnni{QStringLiteral("dsAnni"), &qAnni};

    // Field objects of archivio.db, in stored order (owned by tArchivio).
    Field *tArchivioNumero;
    Field *tArchivioCodice;
    Field *tArchivioAutore;
    Field *tArchivioTitolo;
    Field *tArchivioDurata;
    Field *tArchivioProvenienza;
    Field *tArchivioEtichetta;
    Field *tArchivioAnnoP;
    Field *tArchivioSupporto;
    Field *tArchivioTipo;
    Field *tArchivioTracks;
    Field *tArchivioGenere;
    Field *tArchivioNegozio;
    Field *tArchivioValore;
    Field *tArchivioData;
    Field *tArchivioAnno;
    Field *tArchivioNote;
    Field *tArchivioCopertina;

    // Field objects of canzoni.db (owned by tCanzoni).
    Field *tCanzoniCodice;
    Field *tCanzoniNome;
    Field *tCanzoniTempo;
    Field *tCanzoniVersione;
    Field *tCanzoniNote;
    Field *tCanzoniTesto;
};

// The program's one data module, made by the program body before the main menu.
extern Tdata *data;
