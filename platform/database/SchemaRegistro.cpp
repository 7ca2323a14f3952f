#include "SchemaRegistro.h"

#include "ConnessioneSqlite.h"
#include "host/Errore.h"

#include <QSqlError>

namespace KaloRefill {

namespace {

using T = TipoColonna;

struct Colonna {
    const char* nome;
    TipoColonna tipo;
};

const Colonna colonneOperatori[] = {{"ruolo", T::Testo},     {"attivo", T::Booleano},     {"pinhash", T::Testo},
                                    {"tentativipin", T::Intero}, {"bloccatofino", T::DataOra}};

const Colonna colonneRegistro[] = {
    {"codlocale", T::Testo},      {"anno", T::Intero},         {"numero", T::Intero},
    {"dataora", T::DataOra},      {"giornata", T::Data},       {"idscheda", T::Intero},
    {"codiceinterno", T::Testo},  {"nomescheda", T::Testo},    {"codiceaams", T::Testo},
    {"prima", T::Importo},        {"dopo", T::Importo},        {"differenza", T::Importo},
    {"operatore", T::Testo},      {"testimone", T::Testo},     {"motivo", T::Testo},
    {"annocorretto", T::Intero},  {"numerocorretto", T::Intero}, {"impronta", T::Testo},
};

int versioneSegnata(ConnessioneSqlite& c) {
    return c.leggi(QStringLiteral("SELECT valore FROM kalorefill_database WHERE chiave = 'versione_schema'"))
        .righe.value(0)
        .value(0)
        .toInt();
}

QStringList colonneDi(ConnessioneSqlite& c, const QString& tabella) {
    QStringList nomi;
    for (const QVariantList& riga : c.leggi(c.dialetto().colonneDellaTabella(), {tabella}).righe)
        nomi << riga.value(0).toString().toLower();
    return nomi;
}

QStringList istruzioni(ConnessioneSqlite& c) {
    const DialettoSql& d = c.dialetto();
    QStringList sql;
    const QStringList operatori = colonneDi(c, QStringLiteral("operatori"));
    for (const Colonna& col : colonneOperatori)
        if (!operatori.contains(QLatin1String(col.nome)))
            sql << QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 %3")
                       .arg(d.nome(QStringLiteral("operatori")), d.nome(QLatin1String(col.nome)), d.tipo(col.tipo));
    // The operators a hall already has stay at work.
    if (!operatori.contains(QStringLiteral("attivo")))
        sql << QStringLiteral("UPDATE %1 SET attivo = -1").arg(d.nome(QStringLiteral("operatori")));
    if (c.leggi(d.esisteTabella(), {QStringLiteral("RegistroRefill")}).righe.value(0).value(0).toInt() == 0) {
        QStringList colonne{d.colonnaChiave()};
        for (const Colonna& col : colonneRegistro)
            colonne << d.nome(QLatin1String(col.nome)) + QLatin1Char(' ') + d.tipo(col.tipo);
        sql << QStringLiteral("CREATE TABLE %1 (%2)")
                   .arg(d.nome(QStringLiteral("RegistroRefill")), colonne.join(QStringLiteral(", ")));
        // One number per hall and year, whatever a program does.
        sql << QStringLiteral("CREATE UNIQUE INDEX \"idx_registrorefill_numero\" ON %1 (codlocale, anno, numero)")
                   .arg(d.nome(QStringLiteral("RegistroRefill")));
        sql << QStringLiteral("CREATE INDEX \"idx_registrorefill_giornata\" ON %1 (giornata, idscheda)")
                   .arg(d.nome(QStringLiteral("RegistroRefill")));
    }
    return sql;
}

} // namespace

void SchemaRegistro::aggiorna(ConnessioneSqlite& connessione) {
    // What is missing is looked for every time: a new database gets the same step.
    QStringList sql = istruzioni(connessione);
    if (sql.isEmpty() && versioneSegnata(connessione) >= versione)
        return;
    sql << QStringLiteral("UPDATE kalorefill_database SET valore = '%1' WHERE chiave = 'versione_schema'")
               .arg(versione);
    sql << connessione.dialetto().contrassegni(versione);
    QSqlDatabase db = connessione.database();
    if (!db.transaction())
        throw ConnessioneSqlite::errore(QStringLiteral("Impossibile aggiornare il database"), db.lastError());
    try {
        for (const QString& istruzione : sql)
            connessione.esegui(istruzione);
    } catch (...) {
        db.rollback();
        throw;
    }
    if (!db.commit())
        throw ConnessioneSqlite::errore(QStringLiteral("Impossibile aggiornare il database"), db.lastError());
}

} // namespace KaloRefill
