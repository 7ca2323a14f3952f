// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
// The same save, page load and day total on either engine, for choosing between a file and
// a server: one year and ten years of history (refill documents and other kinds of
// documents in the shared tables), through the real form. Without --server it measures a
// SQLite file; bench_refill holds the detailed figures of record for files.
//
//   bench_motori [--giorni-anno N] [--ripetizioni N] [--server postgresql://...]
//
// With --server the databases are made on that PostgreSQL server (the address names a
// database the user can connect to and may create databases from), one per history length.
#include "DatabaseHost.h"
#include "ParametriServer.h"
#include "HostCronometrato.h"
#include "entry/StatoModulo.h"
#include "form/FrmRefill.h"

#include <QApplication>
#include <QCheckBox>
#include <QCommandLineParser>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <unistd.h>
#include <cstdio>
#include <functional>
#include <vector>

using namespace KaloRefill;

namespace {
constexpr int Apparecchi = 40;
const QDate UltimoGiorno(2026, 12, 4);

// Causal codes of the other documents the suite keeps in the same tables.
const QStringList AltreCausali{QStringLiteral("INC"), QStringLiteral("VER"), QStringLiteral("PRE")};

void esegui(QSqlQuery& q) {
    if (!q.exec())
        qFatal("%s", qPrintable(q.lastError().text()));
}

// Writes the history straight into the file, in one transaction: far faster than row by
// row through the host, and the form then reads it as any other history.
void generaStorico(const QString& file, int giorni) {
    const bool server = ParametriServer::eIndirizzo(file);
    {
        QSqlDatabase db;
        if (server) {
            db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("generatore"));
            ParametriServer::leggi(file).applica(db);
        } else {
            db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("generatore"));
            db.setDatabaseName(file);
        }
        if (!db.open())
            qFatal("%s", qPrintable(db.lastError().text()));
        db.transaction();
        QSqlQuery macchina(db);
        macchina.prepare(QStringLiteral(
            "insert into apparecchi (idscheda, Idapparecchio, codiceinterno, Nomescheda, nomemobile, codiceaams, "
            "tipologiaincasso, categoria, attiva, ordineincasso) values (?, ?, ?, ?, ?, ?, 6, 'AWP', -1, ?)"));
        for (int i = 1; i <= Apparecchi; ++i) {
            macchina.addBindValue(1000 + i);
            macchina.addBindValue(5000 + i);
            macchina.addBindValue(QStringLiteral("AWP%1").arg(i, 2, 10, QLatin1Char('0')));
            macchina.addBindValue(QStringLiteral("Slot %1").arg(i));
            macchina.addBindValue(QStringLiteral("Mobile %1").arg(i));
            macchina.addBindValue(QStringLiteral("AAMS%1").arg(i, 12, 10, QLatin1Char('0')));
            macchina.addBindValue(i);
            esegui(macchina);
        }
        QSqlQuery altro(db);
        altro.exec(QStringLiteral("insert into anagraficalocali (Codlocale) values ('SG01')"));
        altro.exec(QStringLiteral("insert into TabAssociazioneConti (CassaSalaGiochi, CassaRefill) values ('C1', 'C2')"));

        QSqlQuery testa(db), riga(db), movimento(db);
        testa.prepare(QStringLiteral("insert into noteteste (codcausale, dataregistrazione, Codlocale, chiuso, "
                                     "refillnoleggiatore) values (?, ?, 'SG01', 0, ?)") +
                     (server ? QStringLiteral(" returning id") : QString()));
        riga.prepare(QStringLiteral("insert into noteincassi (idtesta, linkscheda, linkapparecchio, Codlocale, "
                                    "dataincasso, tipoincasso, Descrizione, refillgestore, riga) "
                                    "values (?, ?, ?, 'SG01', ?, ?, 'storico', ?, 0)"));
        movimento.prepare(QStringLiteral("insert into noterighe (idtesta, Data, Descrizione, dare, avere, riga) "
                                         "values (?, ?, 'storico', ?, ?, ?)"));
        const QDate primo = UltimoGiorno.addDays(-giorni);
        for (int g = 0; g < giorni; ++g) {
            const QString data = primo.addDays(g).toString(Qt::ISODate);
            QStringList causali{QStringLiteral("REF")};
            causali << AltreCausali;
            for (const QString& causale : causali) {
                testa.addBindValue(causale);
                testa.addBindValue(data);
                testa.addBindValue(Apparecchi * 10.0);
                esegui(testa);
                const qint64 idTesta =
                    server && testa.next() ? testa.value(0).toLongLong() : testa.lastInsertId().toLongLong();
                for (int i = 1; i <= Apparecchi; ++i) {
                    riga.addBindValue(idTesta);
                    riga.addBindValue(1000 + i);
                    riga.addBindValue(5000 + i);
                    riga.addBindValue(data);
                    riga.addBindValue(causale == QLatin1String("REF") ? 6 : 1);
                    riga.addBindValue(10.0);
                    esegui(riga);
                }
                for (int r = 1; r <= 2; ++r) {
                    movimento.addBindValue(idTesta);
                    movimento.addBindValue(data);
                    movimento.addBindValue(r == 1 ? 0.0 : Apparecchi * 10.0);
                    movimento.addBindValue(r == 1 ? Apparecchi * 10.0 : 0.0);
                    movimento.addBindValue(r);
                    esegui(movimento);
                }
            }
        }
        db.commit();
        // A server plans by its statistics, which its autovacuum would gather soon after a
        // load this size; the timed part must not depend on when that happens.
        if (server)
            QSqlQuery(db).exec(QStringLiteral("ANALYZE"));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("generatore"));
}

double mediana(std::vector<double> tempi) {
    std::sort(tempi.begin(), tempi.end());
    const std::size_t n = tempi.size();
    return n % 2 ? tempi[n / 2] : (tempi[n / 2 - 1] + tempi[n / 2]) / 2;
}

double misura(int ripetizioni, const std::function<void(int)>& azione) {
    std::vector<double> tempi;
    for (int i = 0; i < ripetizioni; ++i) {
        QElapsedTimer t;
        t.start();
        azione(i);
        tempi.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
    }
    return mediana(tempi);
}

struct Misure {
    double salvataggio = 0, pagina = 0, totale = 0;
    qint64 righe = 0;
    // Time of each kind of call over all the saves, when asked for.
    QMap<QString, double> dettagliSalvataggio;
};

// A new, empty database on the server for one history length, made from its address.
QString databaseServer(const QString& server, int giorni) {
    const ParametriServer parametri = ParametriServer::leggi(server);
    const QString nome = QStringLiteral("bench_refill_%1").arg(giorni);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("amministrazione"));
        parametri.applica(db);
        if (!db.open())
            qFatal("%s", qPrintable(db.lastError().text()));
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(nome)) ||
            !q.exec(QStringLiteral("CREATE DATABASE %1").arg(nome)))
            qFatal("%s", qPrintable(q.lastError().text()));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("amministrazione"));
    return parametri.conDatabase(nome).descrizione();
}

Misure misuraStorico(int giorni, int ripetizioni, bool dettagli, const QString& server) {
    QTemporaryDir cartella;
    const QString file =
        server.isEmpty() ? cartella.filePath(QStringLiteral("storico.db")) : databaseServer(server, giorni);
    {
        OpzioniHost opzioni;
        opzioni.data = UltimoGiorno;
        DatabaseHost::crea(file, opzioni);
    }
    generaStorico(file, giorni);
    // The generated history must be on disk before timing starts: otherwise the first
    // commits of the form pay for flushing it.
    if (server.isEmpty()) {
        QFile scritto(file);
        if (scritto.open(QIODevice::ReadWrite))
            ::fsync(scritto.handle());
    }

    OpzioniHost opzioni;
    opzioni.data = UltimoGiorno;
    opzioni.user = QStringLiteral("bench");
    auto cronometro = std::make_shared<HostCronometrato>(DatabaseHost::apri(file, opzioni));
    if (dettagli)
        StatoModulo::istanza().applicazione = cronometro;
    else
        StatoModulo::istanza().applicazione = DatabaseHost::apri(file, opzioni);
    Misure m;
    m.righe = StatoModulo::istanza().applicazione->openrecordset(QStringLiteral("select * from noteincassi"))->RecordCount();
    {
        FrmRefill form;
        form.Form_Load();
        form.ChkConferma->setCheckState(Qt::Unchecked);
        const auto salva = [&form](int i) {
            form.CmdApparecchio_Click(i % FrmRefill::NumeroPulsanti);
            form.PremiTasto(QString::number(i % 9 + 1));
            form.PremiTasto(QStringLiteral("Salva"));
        };
        // A first round creates the day's header and rows; the timed saves then change them
        // as an operator's corrections do, and warm the caches as a working day would.
        for (int i = 0; i < FrmRefill::NumeroPulsanti; ++i)
            salva(i);
        cronometro->azzera();
        m.salvataggio = misura(ripetizioni, salva);
        m.dettagliSalvataggio = cronometro->tempi;
        m.pagina = misura(ripetizioni, [&form](int) { form.RicaricaPagina(); });
        m.totale = misura(ripetizioni, [&form](int) { form.TotaleGiornata(); });
    }
    StatoModulo::istanza().applicazione.reset();
    StatoModulo::istanza().rsAssociazioneConti.reset();
    return m;
}
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Costo di salvataggio, pagina e totale al crescere dello storico"));
    parser.addHelpOption();
    parser.addOption({QStringLiteral("giorni-anno"), QStringLiteral("Giorni di storico per anno."), QStringLiteral("n"),
                      QStringLiteral("365")});
    parser.addOption({QStringLiteral("ripetizioni"), QStringLiteral("Misure per operazione."), QStringLiteral("n"),
                      QStringLiteral("31")});
    parser.addOption({QStringLiteral("dettagli"), QStringLiteral("Tempo di ogni tipo di chiamata nei salvataggi.")});
    parser.addOption({QStringLiteral("server"), QStringLiteral("Misura su un server PostgreSQL invece che su un file."),
                      QStringLiteral("postgresql://...")});
    parser.process(app);
    const bool dettagli = parser.isSet(QStringLiteral("dettagli"));
    const int giorniAnno = parser.value(QStringLiteral("giorni-anno")).toInt();
    const int ripetizioni = parser.value(QStringLiteral("ripetizioni")).toInt();

    QTextStream out(stdout);
    const QString server = parser.value(QStringLiteral("server"));
    const Misure uno = misuraStorico(giorniAnno, ripetizioni, dettagli, server);
    const Misure dieci = misuraStorico(giorniAnno * 10, ripetizioni, dettagli, server);
    out << QStringLiteral("storico   righe noteincassi   salvataggio ms   pagina ms   totale ms\n");
    const auto riga = [&out](const char* nome, const Misure& m) {
        out << QStringLiteral("%1 %2 %3 %4 %5\n")
                   .arg(QLatin1String(nome), -9)
                   .arg(m.righe, 19)
                   .arg(m.salvataggio, 16, 'f', 2)
                   .arg(m.pagina, 11, 'f', 2)
                   .arg(m.totale, 11, 'f', 2);
    };
    riga("1 anno", uno);
    riga("10 anni", dieci);
    out << QStringLiteral("rapporto 10/1: salvataggio %1, pagina %2, totale %3 (mediane di %4 misure)\n")
               .arg(dieci.salvataggio / uno.salvataggio, 0, 'f', 2)
               .arg(dieci.pagina / uno.pagina, 0, 'f', 2)
               .arg(dieci.totale / uno.totale, 0, 'f', 2)
               .arg(ripetizioni);
    if (dettagli) {
        out << QStringLiteral("\nms in tutti i salvataggi, 1 anno -> 10 anni\n");
        for (auto it = dieci.dettagliSalvataggio.begin(); it != dieci.dettagliSalvataggio.end(); ++it)
            out << QStringLiteral("%1 %2 -> %3\n")
                       .arg(it.key(), -90)
                       .arg(uno.dettagliSalvataggio.value(it.key()), 8, 'f', 2)
                       .arg(it.value(), 8, 'f', 2);
    }
    return 0;
}
