// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "DatabaseHost.h"

#include "ConnessioneFile.h"
#include "ConnessioneServer.h"
#include "Impostazioni.h"
#include "IndirizzoDatabase.h"
#include "ParametriServer.h"
#include "RecordsetSql.h"
#include "SchemaDatabase.h"
#include "UnitaLavoro.h"
#include "host/Errore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTimer>

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

} // namespace

struct DatabaseHost::Privato {
    std::shared_ptr<Connessione> connessione;
    QString percorsoFile;
    // Set for a database on a server: where to connect again.
    std::optional<ParametriServer> server;
    OpzioniHost opzioni;
    // Set by setUser: handed back exactly as given, whatever its type.
    QVariant user;
    // On a server: the settings as one read found them, until the event loop turns.
    struct Istantanea {
        QHash<QString, QVariant> valori;
        bool valida = true;
    };
    std::shared_ptr<Istantanea> impostazioni;
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
            ConnessioneFile::apri(percorsoFile, inUso ? ConnessioneFile::Accesso::SolaLettura
                                                      : ConnessioneFile::Accesso::Immutabile);
        versioneTrovata = SchemaDatabase::verifica(*controllo, percorsoFile);
    }

    auto privato = std::make_unique<Privato>();
    privato->connessione = ConnessioneFile::apri(
        percorsoFile, ConnessioneFile::Accesso::LetturaScrittura, opzioni.attesaBloccoMs);
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
        privato->connessione = ConnessioneFile::apri(
            percorsoFile, ConnessioneFile::Accesso::LetturaScrittura, opzioni.attesaBloccoMs);
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
    const auto server = ConnessioneServer::apri(parametri, opzioni.attesaBloccoMs);
    privato->connessione = server;
    if (nuovo) {
        SchemaDatabase::verificaVuoto(*privato->connessione, parametri.descrizione());
        SchemaDatabase::crea(*privato->connessione);
    } else {
        const int versione = SchemaDatabase::verifica(*privato->connessione, parametri.descrizione());
        server->verificaDiritti();
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
    return std::make_shared<RecordsetSql>(d->connessione, std::move(istruzione), sql);
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
        d->connessione->eseguiDopo(istruzione.sql, {}, {});
}

qint16 DatabaseHost::leggisettaggio(const QString& sezione, const QString& chiave,
                                    qint16 predefinito) {
    Impostazioni impostazioni(*d->connessione);
    if (!d->server || QCoreApplication::instance() == nullptr)
        return impostazioni.leggi(sezione, chiave, predefinito);
    // A server far away: the settings read together (the start-up reads eight) come from
    // one read of the table, kept until control returns to the event loop or this host
    // writes one.
    if (!d->impostazioni || !d->impostazioni->valida) {
        auto istantanea = std::make_shared<Privato::Istantanea>();
        istantanea->valori = impostazioni.tutte();
        QTimer::singleShot(0, QCoreApplication::instance(),
                           [debole = std::weak_ptr(istantanea)] {
                               if (const auto i = debole.lock())
                                   i->valida = false;
                           });
        d->impostazioni = std::move(istantanea);
    }
    return Impostazioni::valore(d->impostazioni->valori.value(Impostazioni::chiave(sezione, chiave)), predefinito);
}

void DatabaseHost::salvasettaggio(const QString& sezione, const QString& chiave, qint16 valore) {
    d->impostazioni.reset();
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
    return std::make_unique<UnitaLavoro>(d->connessione);
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
            ConnessioneFile::apri(percorsoFile, ConnessioneFile::Accesso::SolaLettura);
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
