// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
// The pictures of the list windows in the README: the component's window grabbed
// offscreen over the demo hall, as "Cerca" and "Stampa" open it.
//
//   schermate_ricerca CARTELLA
#include "DatabaseHost.h"
#include "DatiDemo.h"
#include "FinestraRicerca.h"
#include "host/SqlTesti.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdio>

using namespace KaloRefill;

namespace {

const QDate Lavoro(2026, 12, 4);

void scatta(DatabaseHost& host, const QString& modulo, const QString& titolo, const QString& sql,
            const QString& campo, const QString& file) {
    ImpostazioniRicerca impostazioni;
    impostazioni.user = host.User();
    impostazioni.modulo = modulo;
    impostazioni.caption = titolo;
    impostazioni.viste = host.OpenRecordSetPreferenze(SqlTesti::viste());
    impostazioni.operatori = host.openrecordset(SqlTesti::operatori());
    impostazioni.recordset = host.openrecordset(sql);
    impostazioni.recordset->SetFilter(QString());
    impostazioni.campoRicerca = campo;
    FinestraRicerca finestra(impostazioni);
    finestra.resize(1024, 640);
    finestra.show();
    QApplication::processEvents();
    if (!finestra.grab().save(file))
        std::fprintf(stderr, "%s non scritto\n", qPrintable(file));
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QDir cartella(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    QTemporaryDir temporanea;
    const auto host = DatabaseHost::crea(temporanea.filePath(QStringLiteral("demo.kdb")),
                                         OpzioniHost{Lavoro, QStringLiteral("mario"), {}});
    DatiDemo::riempi(*host, Lavoro);

    scatta(*host, QStringLiteral("Refill"), QStringLiteral("Elenco Refill"),
           SqlTesti::elencoRefill(), QStringLiteral("dataregistrazione"),
           cartella.filePath(QStringLiteral("ricerca-elenco.png")));
    const QDate giorno = Lavoro.addDays(-1);
    const RecordsetPtr locale = host->openrecordset(SqlTesti::locali());
    const RecordsetPtr totale = host->openrecordset(
        SqlTesti::totaleGiorno(locale->Field(QStringLiteral("Codlocale")).toString(), giorno));
    scatta(*host, QStringLiteral("RefillGiorno"),
           QStringLiteral("Totale Refill del %1 -> €  %2")
               .arg(giorno.toString(QStringLiteral("dd/MM/yyyy")),
                    totale->Field(QStringLiteral("SommaDiRefillGestore")).toString()),
           SqlTesti::refillDelGiorno(giorno), QStringLiteral("dataincasso"),
           cartella.filePath(QStringLiteral("ricerca-report.png")));
    scatta(*host, QStringLiteral("RefillGiorno"),
           QStringLiteral("Riepilogo Refill Odierni  -> Nessun refill caricato"),
           SqlTesti::refillDelGiorno(QDate(2026, 12, 6)), QStringLiteral("dataincasso"),
           cartella.filePath(QStringLiteral("ricerca-report-vuoto.png")));
    return 0;
}
