// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "DatabaseHost.h"

#include "ConnessioneSqlite.h"
#include "Impostazioni.h"
#include "IndirizzoDatabase.h"
#include "ParametriServer.h"
#include "SchemaDatabase.h"
#include "SqliteRecordset.h"
#include "host/Errore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QStandardPaths>

#include <iterator>
#include <optional>
#include <utility>

#include <unistd.h>

namespace KaloRefill {

namespace {

QString conSeparatore(QString cartella) {
    if (!cartella.endsWith(QLatin1Char('/')) && !cartella.endsWith(QLatin1Char('\\')))
        cartella.append(QLatin1Char('/'));
    return cartella;
}

// The first bytes of every SQLite file. Checked before the engine sees the file, which
// would take an empty file for a new database.
bool intestazioneSqlite(const QString& percorsoFile) {
    QFile file(percorsoFile);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    static const QByteArray firma("SQLite format 3\0", 16);
    return file.read(firma.size()) == firma;
}

void modoWal(ConnessioneSqlite& connessione) {
    // Readers and a writer of several hosts work side by side.
    const auto risultato = connessione.leggi(QStringLiteral("PRAGMA journal_mode = WAL"));
    const QString modo = risultato.righe.value(0).value(0).toString();
    if (modo.compare(u"wal", Qt::CaseInsensitive) != 0)
        throw Errore::database(
            QStringLiteral("Il database non può lavorare in modalità WAL (modalità: %1).")
                .arg(modo));
}

// Saving needs the file and, for the -wal and -shm files beside it, its folder.
void scrivibile(const QString& percorsoFile) {
    const QFileInfo info(percorsoFile);
    const auto puoScrivere = [](const QString& percorso) {
        return ::access(QFile::encodeName(percorso).constData(), W_OK) == 0;
    };
    if (!puoScrivere(info.absoluteFilePath()))
        throw Errore::database(
            QStringLiteral("Il database %1 è in sola lettura: i refill non si potrebbero salvare.")
                .arg(percorsoFile));
    if (!puoScrivere(info.absolutePath()))
        throw Errore::database(
            QStringLiteral("La cartella del database %1 è in sola lettura: i refill non si "
                           "potrebbero salvare.")
                .arg(percorsoFile));
}

// A role that may only read, or may not write one of the tables a save writes, would see
// every save fail: it is refused when the database is opened, in one line.
void dirittiDelRuolo(ConnessioneSqlite& connessione) {
    static constexpr std::pair<const char*, const char*> necessari[] = {
        {"noteteste", "INSERT"},     {"noteteste", "UPDATE"},   {"LogOperazioni", "INSERT"},
        {"noteincassi", "INSERT"},   {"noteincassi", "UPDATE"}, {"noterighe", "INSERT"},
        {"noterighe", "DELETE"},
    };
    QStringList controlli;
    for (const auto& [tabella, diritto] : necessari)
        controlli << QStringLiteral("has_table_privilege('%1', '%2')")
                         .arg(connessione.dialetto().nome(QLatin1String(tabella)), QLatin1String(diritto));
    const auto risultato =
        connessione.leggi(QStringLiteral("SELECT current_user, ") + controlli.join(QStringLiteral(", ")));
    const QVariantList riga = risultato.righe.value(0);
    for (qsizetype i = 0; i < qsizetype(std::size(necessari)); ++i)
        if (!riga.value(i + 1).toBool())
            throw Errore(CodiceErrore::AutorizzazioneNegata,
                         QStringLiteral("il ruolo %1 non può scrivere nella tabella %2 (manca il diritto %3)")
                             .arg(riga.value(0).toString(), QLatin1String(necessari[i].first),
                                  QLatin1String(necessari[i].second)));
}

class UnitaSqlite final : public UnitaDiLavoro {
public:
    explicit UnitaSqlite(std::shared_ptr<ConnessioneSqlite> connessione)
        : m_connessione(std::move(connessione)) {
        m_connessione->iniziaUnita();
    }
    ~UnitaSqlite() override {
        if (m_aperta)
            m_connessione->annullaUnita();
    }
    void Conferma() override {
        m_aperta = false;
        m_connessione->confermaUnita();
    }

private:
    std::shared_ptr<ConnessioneSqlite> m_connessione;
    bool m_aperta = true;
};

} // namespace

struct DatabaseHost::Privato {
    std::shared_ptr<ConnessioneSqlite> connessione;
    QString percorsoFile;
    // Set for a database on a server: where to connect again.
    std::optional<ParametriServer> server;
    OpzioniHost opzioni;
    // Set by setUser: handed back exactly as given, whatever its type.
    QVariant user;
};

DatabaseHost::DatabaseHost(std::unique_ptr<Privato> privato) : d(std::move(privato)) {}

DatabaseHost::~DatabaseHost() = default;

std::shared_ptr<DatabaseHost> DatabaseHost::apri(const IndirizzoDatabase& indirizzo,
                                                 const OpzioniHost& opzioni) {
    if (indirizzo.server())
        return apriServer(indirizzo.parametri(), opzioni, false);
    const QString percorsoFile = indirizzo.file();
    const QFileInfo info(percorsoFile);
    if (!info.exists())
        throw Errore::database(QStringLiteral("Il database %1 non esiste.").arg(percorsoFile));
    if (!info.isFile())
        throw Errore::database(QStringLiteral("%1 non è un file di database.").arg(percorsoFile));
    if (!info.isReadable() || !QFile(percorsoFile).open(QIODevice::ReadOnly))
        throw Errore::database(QStringLiteral("Il database %1 non è leggibile.").arg(percorsoFile));
    if (!intestazioneSqlite(percorsoFile))
        throw Errore::database(
            QStringLiteral("Il file %1 non è un database KaloRefill: non è un database SQLite.")
                .arg(percorsoFile));
    scrivibile(percorsoFile);

    // Look first without the right to write: a file refused here is left as it was. A file
    // no connection has open is read as immutable, so not even a -wal or -shm file appears
    // beside it; a file in use already has them, and its latest rows are in the -wal.
    int versioneTrovata = 0;
    {
        const bool inUso = QFileInfo::exists(percorsoFile + QStringLiteral("-wal")) ||
                           QFileInfo::exists(percorsoFile + QStringLiteral("-shm"));
        const auto controllo =
            ConnessioneSqlite::apri(percorsoFile, inUso ? ConnessioneSqlite::Accesso::SolaLettura
                                                        : ConnessioneSqlite::Accesso::Immutabile);
        versioneTrovata = SchemaDatabase::verifica(*controllo, percorsoFile);
    }

    auto privato = std::make_unique<Privato>();
    privato->connessione = ConnessioneSqlite::apri(
        percorsoFile, ConnessioneSqlite::Accesso::LetturaScrittura, opzioni.attesaBloccoMs);
    modoWal(*privato->connessione);
    if (versioneTrovata < SchemaDatabase::versione)
        SchemaDatabase::aggiorna(*privato->connessione, percorsoFile);
    privato->percorsoFile = info.absoluteFilePath();
    privato->opzioni = opzioni;
    return std::shared_ptr<DatabaseHost>(new DatabaseHost(std::move(privato)));
}

std::shared_ptr<DatabaseHost> DatabaseHost::crea(const IndirizzoDatabase& indirizzo,
                                                 const OpzioniHost& opzioni) {
    if (indirizzo.server())
        return apriServer(indirizzo.parametri(), opzioni, true);
    const QString percorsoFile = indirizzo.file();
    const QFileInfo info(percorsoFile);
    if (info.exists())
        throw Errore::database(
            QStringLiteral("Il file %1 esiste già: un nuovo database va creato in un file nuovo.")
                .arg(percorsoFile));
    if (!info.absoluteDir().exists())
        throw Errore::database(
            QStringLiteral("La cartella %1 non esiste.").arg(info.absolutePath()));

    auto privato = std::make_unique<Privato>();
    try {
        privato->connessione = ConnessioneSqlite::apri(
            percorsoFile, ConnessioneSqlite::Accesso::LetturaScrittura, opzioni.attesaBloccoMs);
        modoWal(*privato->connessione);
        SchemaDatabase::crea(*privato->connessione);
    } catch (...) {
        // A half-built file would later be refused as foreign: leave no file at all.
        privato->connessione.reset();
        for (const QString& suffisso : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm"),
                                        QStringLiteral("-journal")})
            QFile::remove(percorsoFile + suffisso);
        throw;
    }
    privato->percorsoFile = info.absoluteFilePath();
    privato->opzioni = opzioni;
    return std::shared_ptr<DatabaseHost>(new DatabaseHost(std::move(privato)));
}

std::shared_ptr<DatabaseHost> DatabaseHost::apriServer(const ParametriServer& parametri,
                                                       const OpzioniHost& opzioni, bool nuovo) {
    auto privato = std::make_unique<Privato>();
    privato->connessione = ConnessioneSqlite::apriServer(parametri, opzioni.attesaBloccoMs);
    if (nuovo) {
        SchemaDatabase::verificaVuoto(*privato->connessione, parametri.descrizione());
        SchemaDatabase::crea(*privato->connessione);
    } else {
        const int versione = SchemaDatabase::verifica(*privato->connessione, parametri.descrizione());
        dirittiDelRuolo(*privato->connessione);
        if (versione < SchemaDatabase::versione)
            SchemaDatabase::aggiorna(*privato->connessione, parametri.descrizione());
    }
    privato->percorsoFile = parametri.descrizione();
    privato->server = parametri;
    privato->opzioni = opzioni;
    return std::shared_ptr<DatabaseHost>(new DatabaseHost(std::move(privato)));
}

RecordsetPtr DatabaseHost::openrecordset(const QString& sql) {
    TranslatedStatement istruzione = d->connessione->traduci(sql);
    if (istruzione.kind != StatementKind::Select)
        throw Errore::database(
            QStringLiteral("L'istruzione non restituisce righe: usare Execute (%1).").arg(sql));
    return std::make_shared<SqliteRecordset>(d->connessione, std::move(istruzione), sql);
}

RecordsetPtr DatabaseHost::OpenRecordSetPreferenze(const QString& sql) {
    // The views of the lists live in the same database as the data, on the server too, so
    // an operator finds them at any workstation.
    return openrecordset(sql);
}

void DatabaseHost::Execute(const QString& sql) {
    const TranslatedStatement& istruzione = d->connessione->traduci(sql);
    if (istruzione.kind == StatementKind::Select)
        d->connessione->leggi(istruzione.sql);
    else
        d->connessione->esegui(istruzione.sql);
}

qint16 DatabaseHost::leggisettaggio(const QString& sezione, const QString& chiave,
                                    qint16 predefinito) {
    return Impostazioni(*d->connessione).leggi(sezione, chiave, predefinito);
}

void DatabaseHost::salvasettaggio(const QString& sezione, const QString& chiave, qint16 valore) {
    Impostazioni(*d->connessione).salva(sezione, chiave, valore);
}

QDate DatabaseHost::Data() {
    return d->opzioni.data.isValid() ? d->opzioni.data : QDate::currentDate();
}

QVariant DatabaseHost::User() {
    if (d->user.isValid())
        return d->user;
    if (!d->opzioni.user.isEmpty())
        return d->opzioni.user;
    QString nome = qEnvironmentVariable("USER");
    if (nome.isEmpty())
        nome = qEnvironmentVariable("USERNAME");
    return nome;
}

QString DatabaseHost::Percorso() {
    if (!d->opzioni.percorso.isEmpty())
        return conSeparatore(d->opzioni.percorso);
    if (d->server)
        return conSeparatore(
            QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    return conSeparatore(QFileInfo(d->percorsoFile).absolutePath());
}

std::unique_ptr<UnitaDiLavoro> DatabaseHost::IniziaUnita() {
    return std::make_unique<UnitaSqlite>(d->connessione);
}

QString DatabaseHost::controllaIntegrita(const IndirizzoDatabase& indirizzo,
                                         const std::atomic<bool>* basta) {
    // A server looks after its own pages (and its administrator after the server): there
    // is no file here for the program to read.
    if (indirizzo.server())
        return {};
    const QString percorsoFile = indirizzo.file();
    try {
        const auto connessione =
            ConnessioneSqlite::apri(percorsoFile, ConnessioneSqlite::Accesso::SolaLettura);
        connessione->interrompibile(basta);
        const auto risultato = connessione->leggi(QStringLiteral("PRAGMA quick_check"));
        QStringList problemi;
        for (const QVariantList& riga : risultato.righe)
            for (const QString& linea : riga.value(0).toString().split(QLatin1Char('\n')))
                if (!linea.trimmed().isEmpty() && !linea.startsWith(QLatin1String("***")))
                    problemi << linea.trimmed();
        if (problemi == QStringList{QStringLiteral("ok")})
            return {};
        // The first findings say where; the rest only repeat it.
        QString testo = problemi.mid(0, 2).join(QStringLiteral("; "));
        if (problemi.size() > 2)
            testo += QStringLiteral(" (e altri %1 problemi)").arg(problemi.size() - 2);
        return QStringLiteral("Il database %1 è danneggiato: %2").arg(percorsoFile, testo);
    } catch (const Errore& errore) {
        // Stopped half-way says nothing about the file.
        if (basta && basta->load())
            return {};
        return QStringLiteral("Il database %1 è danneggiato: %2")
            .arg(percorsoFile, errore.descrizione());
    }
}

void DatabaseHost::setData(const QDate& data) {
    d->opzioni.data = data;
}

void DatabaseHost::setUser(const QVariant& user) {
    d->user = user;
}

QString DatabaseHost::percorsoFile() const {
    return d->percorsoFile;
}

} // namespace KaloRefill
