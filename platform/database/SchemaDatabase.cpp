#include "SchemaDatabase.h"

#include "ConnessioneSqlite.h"
#include "TipoColonna.h"
#include "host/Errore.h"

#include <QSqlError>

#include <initializer_list>
#include <utility>

namespace KaloRefill {

namespace {

using T = TipoColonna;

struct Colonna {
    const char16_t* nome;
    TipoColonna tipo;
};

struct Tabella {
    const char16_t* nome;
    std::initializer_list<Colonna> colonne;
};

// Names as the suite spells them; the engine matches them without regard to case.
const Tabella tabelle[] = {
    {u"noteteste",
     {{u"codcausale", T::Testo},
      {u"dataregistrazione", T::Data},
      {u"Codlocale", T::Testo},
      {u"codiceazienda", T::Testo},
      {u"idoperatore", T::Testo},
      {u"chiuso", T::Booleano},
      {u"import", T::Intero},
      {u"iddata", T::DataOra},
      {u"refillnoleggiatore", T::Importo},
      {u"note", T::Testo}}},
    {u"noteincassi",
     {{u"idtesta", T::Intero},
      {u"linkscheda", T::Intero},
      {u"linkapparecchio", T::Testo},
      {u"codarticolo", T::Testo},
      {u"Codlocale", T::Testo},
      {u"dataincasso", T::Data},
      {u"tipoincasso", T::Intero},
      {u"Descrizione", T::Testo},
      {u"refillgestore", T::Importo},
      {u"refilllocale", T::Importo},
      {u"riga", T::Intero16},
      {u"catapparecchio", T::Testo},
      {u"idoperatore", T::Testo},
      {u"iddata", T::DataOra}}},
    {u"noterighe",
     {{u"idtesta", T::Intero},
      {u"Data", T::Data},
      {u"Descrizione", T::Testo},
      {u"dare", T::Importo},
      {u"avere", T::Importo},
      {u"codconto", T::Testo},
      {u"Codlocale", T::Testo},
      {u"iddata", T::DataOra},
      {u"idoperatore", T::Testo},
      {u"riga", T::Intero16}}},
    {u"LogOperazioni",
     {{u"iddata", T::DataOra},
      {u"idoperatore", T::Testo},
      {u"orario", T::Ora},
      {u"importo1", T::Importo},
      {u"Descrizione", T::Testo},
      {u"notevarie", T::Testo},
      {u"operazione", T::Testo}}},
    {u"apparecchi",
     {{u"idscheda", T::Intero},
      {u"Idapparecchio", T::Testo},
      {u"codiceinterno", T::Testo},
      {u"Nomescheda", T::Testo},
      {u"nomemobile", T::Testo},
      {u"codiceaams", T::Testo},
      {u"tipologiaincasso", T::Intero},
      {u"categoria", T::Testo},
      {u"attiva", T::Booleano},
      {u"ordineincasso", T::Intero},
      {u"Codlocale", T::Testo}}},
    {u"anagraficalocali",
     {{u"Codlocale", T::Testo},
      {u"ragionesociale", T::Testo},
      {u"indirizzo", T::Testo},
      {u"citta", T::Testo}}},
    {u"TabAssociazioneConti",
     {{u"CassaSalaGiochi", T::Testo},
      {u"CassaRefill", T::Testo},
      {u"CassaBar", T::Testo},
      {u"Banca", T::Testo}}},
    {u"operatori", {{u"codice", T::Testo}, {u"nome", T::Testo}, {u"cognome", T::Testo}}},
    // The search component keeps, per list and operator, the order and width of columns.
    {u"viste",
     {{u"modulo", T::Testo},
      {u"utente", T::Testo},
      {u"colonna", T::Testo},
      {u"posizione", T::Intero},
      {u"larghezza", T::Intero}}},
    {u"impostazioni", {{u"sezione", T::Testo}, {u"chiave", T::Testo}, {u"valore", T::Testo}}},
};

// Lookups of the save and of the day totals; each keeps their cost independent of the
// years of history in the file.
const std::pair<const char16_t*, const char16_t*> indici[] = {
    {u"noteteste", u"codcausale, dataregistrazione"},
    {u"noteincassi", u"idtesta, linkscheda"},
    {u"noteincassi", u"dataincasso"},
    {u"noterighe", u"idtesta"},
    {u"apparecchi", u"idscheda"},
    {u"apparecchi", u"attiva, tipologiaincasso, ordineincasso"},
};

QString definizioneColonna(const Colonna& c) {
    QString testo = QLatin1Char('"') + QString::fromUtf16(c.nome) + QStringLiteral("\" ") +
                    dichiarazione(c.tipo);
    if (c.tipo == TipoColonna::Testo)
        testo.append(QStringLiteral(" COLLATE NOCASE"));
    if (c.tipo == TipoColonna::Booleano)
        testo.append(QStringLiteral(" DEFAULT 0"));
    return testo;
}

QString nomeIndice(const QString& tabella, QString colonne) {
    colonne.remove(QLatin1Char(' '));
    colonne.replace(QLatin1Char(','), QLatin1Char('_'));
    return QStringLiteral("idx_%1_%2").arg(tabella.toLower(), colonne.toLower());
}

Errore nonKaloRefill(const QString& percorsoFile, const QString& motivo) {
    return Errore::database(
        QStringLiteral("Il file %1 non è un database KaloRefill: %2.").arg(percorsoFile, motivo));
}

} // namespace

QStringList SchemaDatabase::istruzioni() {
    QStringList sql;
    for (const Tabella& t : tabelle) {
        QStringList colonne{QStringLiteral("\"id\" INTEGER PRIMARY KEY AUTOINCREMENT")};
        for (const Colonna& c : t.colonne)
            colonne.append(definizioneColonna(c));
        sql.append(QStringLiteral("CREATE TABLE \"%1\" (%2)")
                       .arg(QString::fromUtf16(t.nome), colonne.join(QStringLiteral(", "))));
    }
    for (const auto& [tabella, colonne] : indici) {
        const QString nomeTabella = QString::fromUtf16(tabella);
        const QString elenco = QString::fromUtf16(colonne);
        sql.append(QStringLiteral("CREATE INDEX \"%1\" ON \"%2\" (%3)")
                       .arg(nomeIndice(nomeTabella, elenco), nomeTabella, elenco));
    }
    sql.append(QStringLiteral("CREATE UNIQUE INDEX \"idx_impostazioni_sezione_chiave\" ON "
                              "\"impostazioni\" (sezione, chiave)"));
    sql.append(QStringLiteral("CREATE TABLE \"kalorefill_database\" "
                              "(\"chiave\" TEXT PRIMARY KEY COLLATE NOCASE, \"valore\" TEXT)"));
    sql.append(QStringLiteral(
        "INSERT INTO \"kalorefill_database\" VALUES ('applicazione', 'KaloRefill')"));
    sql.append(
        QStringLiteral("INSERT INTO \"kalorefill_database\" VALUES ('versione_schema', '%1')")
            .arg(versione));
    sql.append(QStringLiteral("PRAGMA application_id = %1").arg(idApplicazione));
    sql.append(QStringLiteral("PRAGMA user_version = %1").arg(versione));
    return sql;
}

void SchemaDatabase::crea(ConnessioneSqlite& connessione) {
    QSqlDatabase db = connessione.database();
    if (!db.transaction())
        throw ConnessioneSqlite::errore(QStringLiteral("Impossibile creare il database"),
                                        db.lastError());
    try {
        for (const QString& sql : istruzioni())
            connessione.esegui(sql);
    } catch (...) {
        db.rollback();
        throw;
    }
    if (!db.commit())
        throw ConnessioneSqlite::errore(QStringLiteral("Impossibile creare il database"),
                                        db.lastError());
}

void SchemaDatabase::verifica(ConnessioneSqlite& connessione, const QString& percorsoFile) {
    ConnessioneSqlite::Risultato intestazione;
    try {
        intestazione = connessione.leggi(
            QStringLiteral("SELECT (SELECT application_id FROM pragma_application_id), "
                           "(SELECT user_version FROM pragma_user_version), "
                           "(SELECT count(*) FROM sqlite_master WHERE type = 'table' "
                           "AND name = 'kalorefill_database')"));
    } catch (const Errore& e) {
        throw Errore::database(QStringLiteral("Il file %1 è danneggiato o non è un database: %2")
                                   .arg(percorsoFile, e.descrizione()));
    }
    const QVariantList& riga = intestazione.righe.value(0);
    if (riga.size() != 3 || riga.at(0).toLongLong() != idApplicazione || riga.at(2).toInt() != 1)
        throw nonKaloRefill(percorsoFile, QStringLiteral("manca il contrassegno del programma"));
    const auto contrassegno = connessione.leggi(
        QStringLiteral("SELECT valore FROM kalorefill_database WHERE chiave = 'applicazione'"));
    if (contrassegno.righe.isEmpty() ||
        contrassegno.righe.at(0).value(0).toString() != u"KaloRefill")
        throw nonKaloRefill(percorsoFile, QStringLiteral("manca il contrassegno del programma"));
    const int versioneFile = riga.at(1).toInt();
    if (versioneFile < 1)
        throw nonKaloRefill(percorsoFile, QStringLiteral("versione dello schema mancante"));
    if (versioneFile > versione)
        throw Errore::database(
            QStringLiteral(
                "Il database %1 è stato creato da una versione più recente di KaloRefill "
                "(schema %2, questo programma gestisce fino allo schema %3).")
                .arg(percorsoFile)
                .arg(versioneFile)
                .arg(versione));
}

} // namespace KaloRefill
