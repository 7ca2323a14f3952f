// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
// How long "Riepilogo Refill" takes to open a whole year of a hall with 40 machines, each
// refilled on most days, beside ten years of other documents in the same tables; and the
// engine's plan for each of its queries, which must use the index on the amount date.
//
//   bench_riepilogo [--ripetizioni N] [--anni-refill N] [--schermata FILE.png]
//
// --anni-refill puts that many years of refills before the end (default 1): the year's
// cost must not grow with older refill history.
//
// --schermata also saves a picture of the window on the last month of that year.
#include "CalcoloRiepilogo.h"
#include "DatabaseHost.h"
#include "FinestraRiepilogo.h"
#include "SqlTranslator.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace KaloRefill;

namespace {

constexpr int Apparecchi = 40;
const QDate UltimoGiorno(2026, 11, 30);

void esegui(QSqlQuery& q) {
    if (!q.exec())
        qFatal("%s", qPrintable(q.lastError().text()));
}

// Straight into the file in one transaction; the host then reads it as any history.
void generaStorico(const QString& file, int anniRefill) {
    QSqlDatabase db =
        QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("generatore"));
    db.setDatabaseName(file);
    if (!db.open())
        qFatal("%s", qPrintable(db.lastError().text()));
    db.transaction();
    QSqlQuery q(db);
    q.prepare(QStringLiteral(
        "insert into apparecchi (idscheda, Idapparecchio, codiceinterno, Nomescheda, "
        "codiceaams, tipologiaincasso, categoria, attiva, ordineincasso) "
        "values (?, ?, ?, ?, ?, 6, ?, -1, ?)"));
    for (int i = 1; i <= Apparecchi; ++i) {
        q.addBindValue(1000 + i);
        q.addBindValue(5000 + i);
        q.addBindValue(QStringLiteral("A%1").arg(i, 2, 10, QLatin1Char('0')));
        q.addBindValue(QStringLiteral("Slot %1").arg(i));
        q.addBindValue(QStringLiteral("AAMS%1").arg(i, 8, 10, QLatin1Char('0')));
        q.addBindValue(i <= 30 ? QStringLiteral("AWP") : QStringLiteral("VLT"));
        q.addBindValue(i);
        esegui(q);
    }
    QSqlQuery altro(db);
    altro.exec(QStringLiteral("insert into anagraficalocali (Codlocale) values ('SG01')"));

    QSqlQuery testa(db), riga(db);
    testa.prepare(
        QStringLiteral("insert into noteteste (codcausale, dataregistrazione, Codlocale, chiuso) "
                       "values (?, ?, 'SG01', 0)"));
    riga.prepare(
        QStringLiteral("insert into noteincassi (idtesta, linkscheda, Codlocale, dataincasso, "
                       "tipoincasso, refillgestore, riga) values (?, ?, 'SG01', ?, 6, ?, 0)"));
    QRandomGenerator caso(2026);
    const double importi[] = {20, 50, 75.5, 100, 150, 200};
    // Ten years of takings documents, and the years of refills.
    for (QDate d = UltimoGiorno.addYears(-10); d <= UltimoGiorno; d = d.addDays(1)) {
        const QString data = d.toString(Qt::ISODate);
        const bool refill = d > UltimoGiorno.addYears(-anniRefill);
        for (const QString& causale :
             refill ? QStringList{QStringLiteral("INC"), QStringLiteral("REF")}
                    : QStringList{QStringLiteral("INC")}) {
            testa.addBindValue(causale);
            testa.addBindValue(data);
            esegui(testa);
            const qint64 id = testa.lastInsertId().toLongLong();
            for (int m = 1; m <= Apparecchi; ++m) {
                // Refills on about one day in four; two machines empty fast in the last week.
                const bool svuotata = m <= 2 && d > UltimoGiorno.addDays(-7);
                if (causale == QStringLiteral("REF") && !svuotata && caso.bounded(4) != 0)
                    continue;
                riga.addBindValue(id);
                riga.addBindValue(1000 + m);
                riga.addBindValue(data);
                riga.addBindValue(importi[caso.bounded(6)]);
                esegui(riga);
            }
        }
    }
    db.commit();
}

void piano(const QString& file, const QString& sql) {
    QSqlDatabase db = QSqlDatabase::database(QStringLiteral("generatore"));
    db.setDatabaseName(file);
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("EXPLAIN QUERY PLAN ") + SqlTranslator().translate(sql).sql))
        qFatal("%s", qPrintable(q.lastError().text()));
    while (q.next())
        std::printf("    %s\n", qPrintable(q.value(3).toString()));
}

double mediana(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.at(v.size() / 2);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    QCommandLineParser parser;
    parser.addOption(
        {QStringLiteral("ripetizioni"), QString(), QStringLiteral("n"), QStringLiteral("7")});
    parser.addOption({QStringLiteral("schermata"), QString(), QStringLiteral("file")});
    parser.addOption(
        {QStringLiteral("anni-refill"), QString(), QStringLiteral("n"), QStringLiteral("1")});
    parser.process(app);
    const int ripetizioni = std::max(1, parser.value(QStringLiteral("ripetizioni")).toInt());

    QTemporaryDir cartella;
    const QString file = cartella.filePath(QStringLiteral("anno.db"));
    OpzioniHost opzioni;
    opzioni.data = UltimoGiorno;
    DatabaseHost::crea(file, opzioni).reset();
    generaStorico(file, std::clamp(parser.value(QStringLiteral("anni-refill")).toInt(), 1, 10));
    auto host = DatabaseHost::apri(file, opzioni);
    const QDate dal = UltimoGiorno.addYears(-1).addDays(1);

    std::printf("Riepilogo di un anno (%s - %s), %d apparecchi\n",
                qPrintable(dal.toString(Qt::ISODate)),
                qPrintable(UltimoGiorno.toString(Qt::ISODate)), Apparecchi);
    std::printf("Piani delle interrogazioni:\n");
    piano(file, CalcoloRiepilogo::sqlPerApparecchio(QStringLiteral("SG01"), dal, UltimoGiorno));
    piano(file, CalcoloRiepilogo::sqlPerGiorno(QStringLiteral("SG01"), dal, UltimoGiorno));
    piano(file, CalcoloRiepilogo::sqlRegistro(CalcoloRiepilogo::inizioStorico(UltimoGiorno),
                                              UltimoGiorno));

    std::vector<double> calcolo, finestra;
    Riepilogo r;
    for (int i = 0; i < ripetizioni; ++i) {
        QElapsedTimer t;
        t.start();
        r = CalcoloRiepilogo(*host).calcola(dal, UltimoGiorno, 2);
        calcolo.push_back(t.nsecsElapsed() / 1e6);
        t.restart();
        {
            FinestraRiepilogo f(host);
            f.impostaPeriodo(dal, UltimoGiorno);
            f.show();
            QApplication::processEvents();
        }
        finestra.push_back(t.nsecsElapsed() / 1e6);
    }
    int segnalati = 0;
    for (const auto& a : r.apparecchi)
        segnalati += a.allarme ? 1 : 0;
    std::printf("Refill: %d su %lld apparecchi, %lld giorni, %d segnalati\n", r.numero(),
                static_cast<long long>(r.apparecchi.size()),
                static_cast<long long>(r.giorni.size()), segnalati);
    std::printf("Calcolo (mediana di %d):                 %8.1f ms\n", ripetizioni,
                mediana(calcolo));
    std::printf("Apertura della finestra (mediana di %d): %8.1f ms\n", ripetizioni,
                mediana(finestra));

    if (parser.isSet(QStringLiteral("schermata"))) {
        FinestraRiepilogo f(host);
        f.resize(1280, 800);
        f.impostaPeriodo(QDate(2026, 11, 1), UltimoGiorno);
        f.show();
        QApplication::processEvents();
        if (!f.grab().save(parser.value(QStringLiteral("schermata"))))
            qFatal("schermata non salvata");
    }
    return 0;
}
