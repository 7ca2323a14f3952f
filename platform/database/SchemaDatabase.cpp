// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "SchemaDatabase.h"

#include "Connessione.h"
#include "TipoColonna.h"
#include "host/Errore.h"

#include <QHash>
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

struct ColonnaNuova {
    const char16_t* tabella;
    Colonna colonna;
};

// What one version adds to the one before: whole tables, columns of existing tables, then
// the statements that give the rows already there the values the new columns mean for
// them. Only additions: a program of an older version never meets a column it lacks.
struct Passo {
    int versione;
    std::initializer_list<Tabella> tabelle;
    std::initializer_list<ColonnaNuova> colonne;
    std::initializer_list<const char16_t*> istruzioni;
};

const Passo passi[] = {
    // Operators with a role and a way to leave service without losing their history; the
    // venue's name beside its company name. Operators already there stay at work.
    {2,
     {},
     {{u"operatori", {u"ruolo", T::Testo}},
      {u"operatori", {u"attivo", T::Booleano}},
      {u"anagraficalocali", {u"nomelocale", T::Testo}}},
     {u"UPDATE operatori SET ruolo = 'operatore', attivo = -1"}},
    // Accountable refills: each operator's PIN (its Argon2id hash only), the count of wrong
    // PINs and the end of a lock-out; the register of the saves, numbered once per hall and
    // year whatever a program does, and read by business day and machine.
    {3,
     {{u"RegistroRefill",
       {{u"Codlocale", T::Testo},     {u"anno", T::Intero},          {u"numero", T::Intero},
        {u"dataora", T::DataOra},     {u"giornata", T::Data},        {u"idscheda", T::Intero},
        {u"codiceinterno", T::Testo}, {u"Nomescheda", T::Testo},     {u"codiceaams", T::Testo},
        {u"prima", T::Importo},       {u"dopo", T::Importo},         {u"differenza", T::Importo},
        {u"operatore", T::Testo},     {u"testimone", T::Testo},      {u"motivo", T::Testo},
        {u"annocorretto", T::Intero}, {u"numerocorretto", T::Intero}, {u"impronta", T::Testo}}}},
     {{u"operatori", {u"pinhash", T::Testo}},
      {u"operatori", {u"tentativipin", T::Intero}},
      {u"operatori", {u"bloccatofino", T::DataOra}}},
     {u"CREATE UNIQUE INDEX \"idx_registrorefill_numero\" ON RegistroRefill (codlocale, anno, numero)",
      u"CREATE INDEX \"idx_registrorefill_giornata\" ON RegistroRefill (giornata, idscheda)"}},
    // The day total joins a day's rows to their header by its key and checks the causal
    // code and the venue there: with both in the key's index a server reads the headers of
    // that day alone, rather than every header of the years behind it.
    {4,
     {},
     {},
     {u"CREATE INDEX IF NOT EXISTS \"idx_noteteste_id_codcausale_codlocale\" ON noteteste (id, codcausale, codlocale)"}},
};

// Lookups of the save and of the day totals; each keeps their cost independent of the
// years of history in the file. The headers' index also holds the day total, so the
// count and total of a list of registrations are read from the index alone.
const std::pair<const char16_t*, const char16_t*> indici[] = {
    {u"noteteste", u"codcausale, dataregistrazione, refillnoleggiatore"},
    {u"noteincassi", u"idtesta, linkscheda"},
    {u"noteincassi", u"dataincasso"},
    {u"noterighe", u"idtesta"},
    {u"apparecchi", u"idscheda"},
    {u"apparecchi", u"attiva, tipologiaincasso, ordineincasso"},
};

QString definizioneColonna(const DialettoSql& dialetto, const Colonna& c) {
    return dialetto.nome(QString::fromUtf16(c.nome)) + QLatin1Char(' ') + dialetto.tipo(c.tipo);
}

QString nomeIndice(const QString& tabella, QString colonne) {
    colonne.remove(QLatin1Char(' '));
    colonne.replace(QLatin1Char(','), QLatin1Char('_'));
    return QStringLiteral("idx_%1_%2").arg(tabella.toLower(), colonne.toLower());
}

Errore nonKaloRefill(const Connessione& connessione, const QString& nome,
                    const QString& motivo) {
    return Errore::database(connessione.dialetto().soggetto(nome) +
                            QStringLiteral(" non è un database KaloRefill: %1.").arg(motivo));
}

int numero(Connessione& connessione, const QString& sql, const QVariantList& valori = {}) {
    return connessione.leggi(sql, valori).righe.value(0).value(0).toInt();
}

// The marks every engine keeps in the table kalorefill_database; the schema version.
int versioneDalContrassegno(Connessione& connessione, const QString& nome) {
    const auto righe = connessione.leggi(QStringLiteral(
        "SELECT chiave, valore FROM kalorefill_database "
        "WHERE chiave IN ('applicazione', 'versione_schema')"));
    QString applicazione;
    int versione = 0;
    for (const QVariantList& riga : righe.righe) {
        if (riga.value(0).toString().compare(u"applicazione", Qt::CaseInsensitive) == 0)
            applicazione = riga.value(1).toString();
        else
            versione = riga.value(1).toInt();
    }
    if (applicazione != u"KaloRefill")
        throw nonKaloRefill(connessione, nome, QStringLiteral("manca il contrassegno del programma"));
    return versione;
}

QString creaTabella(const DialettoSql& dialetto, const Tabella& t) {
    QStringList colonne{dialetto.colonnaChiave()};
    for (const Colonna& c : t.colonne)
        colonne.append(definizioneColonna(dialetto, c));
    return QStringLiteral("CREATE TABLE %1 (%2)")
        .arg(dialetto.nome(QString::fromUtf16(t.nome)), colonne.join(QStringLiteral(", ")));
}

// The statements of the steps after version `da` up to version `a`.
QStringList istruzioniPassi(const DialettoSql& dialetto, int da, int a) {
    QStringList sql;
    for (const Passo& passo : passi) {
        if (passo.versione <= da || passo.versione > a)
            continue;
        for (const Tabella& t : passo.tabelle)
            sql.append(creaTabella(dialetto, t));
        for (const ColonnaNuova& nuova : passo.colonne)
            sql.append(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2")
                           .arg(dialetto.nome(QString::fromUtf16(nuova.tabella)),
                                definizioneColonna(dialetto, nuova.colonna)));
        for (const char16_t* istruzione : passo.istruzioni)
            sql.append(QString::fromUtf16(istruzione));
    }
    return sql;
}

QStringList marcheVersione(const DialettoSql& dialetto, int versione) {
    QStringList sql{
        QStringLiteral("UPDATE \"kalorefill_database\" SET \"valore\" = '%1' "
                       "WHERE \"chiave\" = 'versione_schema'")
            .arg(versione)};
    sql.append(dialetto.contrassegni(versione));
    return sql;
}

} // namespace

QStringList SchemaDatabase::istruzioni(MotoreSql motore, int finoA) {
    return istruzioni(*DialettoSql::per(motore), finoA);
}

QStringList SchemaDatabase::istruzioni(const DialettoSql& dialetto, int finoA) {
    QStringList sql = dialetto.preparazioneSchema();
    for (const Tabella& t : tabelle)
        sql.append(creaTabella(dialetto, t));
    for (const auto& [tabella, colonne] : indici) {
        const QString nomeTabella = QString::fromUtf16(tabella);
        const QString elenco = QString::fromUtf16(colonne);
        sql.append(QStringLiteral("CREATE INDEX \"%1\" ON %2 (%3)")
                       .arg(nomeIndice(nomeTabella, elenco), dialetto.nome(nomeTabella), elenco));
    }
    sql.append(QStringLiteral("CREATE UNIQUE INDEX \"idx_impostazioni_sezione_chiave\" ON "
                              "\"impostazioni\" (sezione, chiave)"));
    sql.append(QStringLiteral("CREATE TABLE \"kalorefill_database\" (\"chiave\" %1 PRIMARY KEY, "
                              "\"valore\" %1)")
                   .arg(dialetto.tipo(TipoColonna::Testo)));
    sql.append(QStringLiteral(
        "INSERT INTO \"kalorefill_database\" VALUES ('applicazione', 'KaloRefill')"));
    sql.append(QStringLiteral(
        "INSERT INTO \"kalorefill_database\" VALUES ('versione_schema', '1')"));
    sql.append(istruzioniPassi(dialetto, 1, finoA));
    sql.append(marcheVersione(dialetto, finoA));
    return sql;
}

void SchemaDatabase::aggiorna(Connessione& connessione, const QString& nome) {
    connessione.iniziaUnita();
    int trovata = 0;
    try {
        // Read again under the lock: another program may have brought it up to date since.
        trovata = versioneDalContrassegno(connessione, nome);
        if (trovata < versione) {
            const DialettoSql& dialetto = connessione.dialetto();
            for (const QString& sql : istruzioniPassi(dialetto, trovata, versione) +
                                          marcheVersione(dialetto, versione))
                connessione.esegui(sql);
        }
        connessione.confermaUnita();
        // The columns known before the upgrade are not the tables' any more.
        connessione.catalogo().dimentica();
    } catch (const Errore& e) {
        connessione.annullaUnita();
        throw Errore::database(
            QStringLiteral("Impossibile aggiornare il database %1 dalla versione %2 alla %3 "
                           "dello schema: %4")
                .arg(nome)
                .arg(trovata)
                .arg(versione)
                .arg(e.descrizione()));
    }
}

void SchemaDatabase::crea(Connessione& connessione) {
    QSqlDatabase db = connessione.database();
    if (!db.transaction())
        throw Connessione::errore(QStringLiteral("Impossibile creare il database"),
                                        db.lastError());
    try {
        for (const QString& sql : istruzioni(connessione.dialetto()))
            connessione.esegui(sql);
    } catch (...) {
        db.rollback();
        throw;
    }
    if (!db.commit())
        throw Connessione::errore(QStringLiteral("Impossibile creare il database"),
                                        db.lastError());
    connessione.catalogo().dimentica();
}

int SchemaDatabase::verifica(Connessione& connessione, const QString& nome) {
    const Connessione::Contrassegno contrassegno = connessione.contrassegno(nome);
    if (!contrassegno.presente)
        throw nonKaloRefill(connessione, nome,
                            contrassegno.vuoto ? QStringLiteral("è vuoto (crearlo con kalorefill "
                                                                "--crea-database)")
                                               : QStringLiteral("manca il contrassegno del programma"));
    const int dalContrassegno = versioneDalContrassegno(connessione, nome);
    const int versioneTrovata = contrassegno.versione.value_or(dalContrassegno);
    if (versioneTrovata < 1)
        throw nonKaloRefill(connessione, nome, QStringLiteral("versione dello schema mancante"));
    if (versioneTrovata > versione)
        throw Errore::database(
            QStringLiteral(
                "Il database %1 è stato creato da una versione più recente di KaloRefill "
                "(schema %2, questo programma gestisce fino allo schema %3).")
                .arg(nome)
                .arg(versioneTrovata)
                .arg(versione));
    return versioneTrovata;
}

QString SchemaDatabase::nomeDichiarato(const QString& colonna) {
    static const QHash<QString, QString> nomi = [] {
        QHash<QString, QString> elenco;
        const auto aggiungi = [&elenco](const Colonna& c) {
            const QString nome = QString::fromUtf16(c.nome);
            elenco.insert(nome.toLower(), nome);
        };
        for (const Tabella& t : tabelle)
            for (const Colonna& c : t.colonne)
                aggiungi(c);
        for (const Passo& passo : passi) {
            for (const Tabella& t : passo.tabelle)
                for (const Colonna& c : t.colonne)
                    aggiungi(c);
            for (const ColonnaNuova& nuova : passo.colonne)
                aggiungi(nuova.colonna);
        }
        return elenco;
    }();
    // The server gives names in lower case already: found without making a copy.
    const auto esatto = nomi.constFind(colonna);
    return esatto != nomi.cend() ? *esatto : nomi.value(colonna.toLower(), colonna);
}

void SchemaDatabase::verificaVuoto(Connessione& connessione, const QString& nome) {
    if (numero(connessione, connessione.dialetto().contaTabelle()) != 0)
        throw Errore::database(
            QStringLiteral("Il database %1 contiene già delle tabelle: un database KaloRefill "
                           "si crea solo in un database vuoto.")
                .arg(nome));
}

} // namespace KaloRefill
