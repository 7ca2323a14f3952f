// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
// The "Cerca" list over a short and a long history: from the press to the first rows
// painted (offscreen) and the peak memory of the process, each measured in a process of
// its own so that one size does not inherit the other's memory. The ratios must stay
// near 1: opening the list reads one page and one summary, whatever the history. The
// figures of record (ratio lines) are bench_refill's, which opens the list from the form.
//
//   bench_elenco [--ripetizioni N]          both sizes, medians and ratios
//   bench_elenco crea FILE TESTATE          a database with that many refill headers
//   bench_elenco apri FILE                  one opening: "ms KB"
#include "DatabaseHost.h"
#include "FinestraRicerca.h"
#include "ImpostazioniRicerca.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDateTime>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace KaloRefill;

namespace {

const QDate UltimoGiorno(2026, 12, 4);

void esegui(QSqlQuery& q) {
    if (!q.exec())
        qFatal("%s", qPrintable(q.lastError().text()));
}

// Refill headers as the form writes them, one per day back from UltimoGiorno and per
// venue: the moment and the operator of the last save, the day's total.
void crea(const QString& file, int testate) {
    DatabaseHost::crea(file);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("b"));
        db.setDatabaseName(file);
        if (!db.open())
            qFatal("%s", qPrintable(db.lastError().text()));
        db.transaction();
        QSqlQuery q(db);
        for (int i = 1; i <= 5; ++i) {
            q.prepare(
                QStringLiteral("insert into operatori (codice, nome, cognome) values (?,?,?)"));
            q.addBindValue(QStringLiteral("OP%1").arg(i));
            q.addBindValue(QStringLiteral("Nome%1").arg(i));
            q.addBindValue(QStringLiteral("Cognome%1").arg(i));
            esegui(q);
        }
        q.prepare(QStringLiteral(
            "insert into noteteste (codcausale, dataregistrazione, Codlocale, codiceazienda, "
            "idoperatore, chiuso, import, iddata, refillnoleggiatore) values "
            "('REF', ?, ?, 'Salagiochi', ?, 0, 0, ?, ?)"));
        QRandomGenerator caso(42);
        for (int i = 0; i < testate; ++i) {
            const QDate giorno = UltimoGiorno.addDays(-(i / 10));
            const QTime ora(8 + caso.bounded(14), caso.bounded(60), caso.bounded(60));
            q.addBindValue(giorno.toString(Qt::ISODate));
            q.addBindValue(QStringLiteral("SG%1").arg(i % 10, 2, 10, QLatin1Char('0')));
            q.addBindValue(QStringLiteral("OP%1").arg(1 + caso.bounded(5)));
            q.addBindValue(QDateTime(giorno, ora).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
            q.addBindValue(caso.bounded(100000) / 100.0);
            esegui(q);
        }
        db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("b"));
}

// As "Cerca" does it: the three sets, the component's window, the first rows painted.
int apri(const QString& file) {
    const auto host = DatabaseHost::apri(file);
    QElapsedTimer tempo;
    tempo.start();
    ImpostazioniRicerca impostazioni;
    impostazioni.viste = host->OpenRecordSetPreferenze(QStringLiteral("select * from viste"));
    impostazioni.operatori = host->openrecordset(QStringLiteral("select * from operatori"));
    impostazioni.user = host->User();
    impostazioni.modulo = QStringLiteral("Refill");
    impostazioni.caption = QStringLiteral("Elenco Refill");
    impostazioni.recordset = host->openrecordset(QStringLiteral(
        "select * from noteteste where codcausale='Ref' order by dataregistrazione desc"));
    impostazioni.recordset->SetFilter(QString());
    impostazioni.campoRicerca = QStringLiteral("dataregistrazione");
    const qint64 t0 = tempo.elapsed();
    FinestraRicerca finestra(impostazioni);
    const qint64 t1 = tempo.elapsed();
    finestra.show();
    QApplication::processEvents();
    const qint64 t2 = tempo.elapsed();
    const QPixmap dipinta = finestra.grab();
    const qint64 ms = tempo.elapsed();
    if (qEnvironmentVariableIsSet("BENCH_DETTAGLI"))
        std::fprintf(stderr, "set %lld, finestra %lld, mostrata %lld ms\n",
                     static_cast<long long>(t0), static_cast<long long>(t1 - t0),
                     static_cast<long long>(t2 - t1));
    if (dipinta.isNull() || finestra.findChild<QTableView*>()->model()->rowCount() == 0)
        qFatal("lista non mostrata");
    if (qEnvironmentVariableIsSet("BENCH_DETTAGLI")) {
        // The operator sorts: every row is read once.
        QElapsedTimer ordine;
        ordine.start();
        finestra.findChild<QTableView*>()->sortByColumn(2, Qt::AscendingOrder);
        std::fprintf(stderr, "ordinamento %lld ms\n", static_cast<long long>(ordine.elapsed()));
    }
    rusage uso{};
    getrusage(RUSAGE_SELF, &uso);
    std::printf("%lld %ld\n", static_cast<long long>(ms), uso.ru_maxrss);
    return 0;
}

double mediana(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList argomenti = QApplication::arguments();
    if (argomenti.size() == 4 && argomenti.at(1) == QLatin1String("crea")) {
        crea(argomenti.at(2), argomenti.at(3).toInt());
        return 0;
    }
    if (argomenti.size() == 3 && argomenti.at(1) == QLatin1String("apri"))
        return apri(argomenti.at(2));

    QCommandLineParser opzioni;
    opzioni.addOption({QStringLiteral("ripetizioni"), QStringLiteral("Aperture per misura."),
                       QStringLiteral("N"), QStringLiteral("7")});
    opzioni.process(app);
    const int ripetizioni = std::max(1, opzioni.value(QStringLiteral("ripetizioni")).toInt());

    QTemporaryDir cartella;
    const QList<int> misure{3650, 36500};
    QList<QString> file;
    for (const int testate : misure) {
        file.append(cartella.filePath(QStringLiteral("elenco%1.kdb").arg(testate)));
        crea(file.last(), testate);
    }
    std::vector<double> ms[2], mb[2];
    // Alternated, so that a busy moment of the machine weighs on both sizes alike.
    for (int r = 0; r < ripetizioni; ++r) {
        for (int i = 0; i < 2; ++i) {
            QProcess figlio;
            figlio.start(QApplication::applicationFilePath(), {QStringLiteral("apri"), file.at(i)});
            figlio.waitForFinished(120000);
            const QStringList valori =
                QString::fromLatin1(figlio.readAllStandardOutput()).split(QLatin1Char(' '));
            if (figlio.exitCode() != 0 || valori.size() != 2)
                qFatal("apertura non riuscita: %s", figlio.readAllStandardError().constData());
            ms[i].push_back(valori.at(0).toDouble());
            mb[i].push_back(valori.at(1).toDouble() / 1024.0);
        }
    }
    for (int i = 0; i < 2; ++i)
        std::printf("elenco %6d testate: apertura %6.1f ms (min %.0f, max %.0f), picco %.1f MB\n",
                    misure.at(i), mediana(ms[i]), *std::min_element(ms[i].begin(), ms[i].end()),
                    *std::max_element(ms[i].begin(), ms[i].end()), mediana(mb[i]));
    std::printf("solo componente: list_36500_vs_3650 %.2f\n", mediana(ms[1]) / mediana(ms[0]));
    std::printf("solo componente: list_memory_36500_vs_3650 %.2f\n", mediana(mb[1]) / mediana(mb[0]));
    return 0;
}
