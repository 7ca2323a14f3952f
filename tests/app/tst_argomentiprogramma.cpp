#include "ArgomentiProgramma.h"

#include <QTest>

using KaloRefill::ArgomentiProgramma;
using Azione = ArgomentiProgramma::Azione;

// '|' separates the arguments, so values may hold blanks.
static ArgomentiProgramma leggi(const QString& riga) {
    QStringList argomenti{QStringLiteral("kalorefill")};
    if (!riga.isEmpty())
        argomenti << riga.split(QLatin1Char('|'));
    return ArgomentiProgramma::analizza(argomenti);
}

class TestArgomentiProgramma : public QObject {
    Q_OBJECT

private slots:
    void opzioniAccettate_data() {
        QTest::addColumn<QString>("riga");
        QTest::addColumn<Azione>("azione");
        QTest::addColumn<QString>("database");
        QTest::addColumn<QDate>("data");
        QTest::addColumn<QString>("utente");
        QTest::addColumn<bool>("nonModale");
        const auto riga = [](const char* nome, const char* testo, Azione azione, const char* db,
                             QDate data, const char* utente, bool nonModale) {
            QTest::newRow(nome) << QString::fromUtf8(testo) << azione << QString::fromUtf8(db)
                                << data << QString::fromUtf8(utente) << nonModale;
        };
        riga("nessuna opzione: demo, oggi, modale", "", Azione::Avvia, "", {}, "", false);
        riga("valori separati", "--database|/dati/sala.db|--date|2024-02-29|--user|OP02",
             Azione::Avvia, "/dati/sala.db", QDate(2024, 2, 29), "OP02", false);
        riga("valori con =, altro ordine",
             "--modeless|--user=Mario Rossi|--date=2026-12-04|--database=/dati/sala uno.db",
             Azione::Avvia, "/dati/sala uno.db", QDate(2026, 12, 4), "Mario Rossi", true);
        riga("versione", "--version", Azione::MostraVersione, "", {}, "", false);
        riga("aiuto", "--help", Azione::MostraAiuto, "", {}, "", false);
        riga("aiuto breve", "-h", Azione::MostraAiuto, "", {}, "", false);
    }

    void opzioniAccettate() {
        QFETCH(QString, riga);
        const ArgomentiProgramma letti = leggi(riga);
        QCOMPARE(letti.errore(), QString());
        QTEST(letti.azione(), "azione");
        QTEST(letti.database(), "database");
        QTEST(letti.data(), "data");
        QTEST(letti.utente(), "utente");
        QTEST(letti.nonModale(), "nonModale");
    }

    void riepilogo_data() {
        QTest::addColumn<QString>("riga");
        QTest::addColumn<bool>("riepilogo");
        QTest::addColumn<QDate>("dal");
        QTest::addColumn<QDate>("al");
        QTest::newRow("la Gestione Refill") << QString() << false << QDate() << QDate();
        QTest::newRow("mese corrente") << QStringLiteral("--riepilogo") << true << QDate() << QDate();
        QTest::newRow("periodo intero")
            << QStringLiteral("--riepilogo|--dal|2026-11-01|--al=2026-11-30") << true
            << QDate(2026, 11, 1) << QDate(2026, 11, 30);
        QTest::newRow("solo l'inizio") << QStringLiteral("--dal=2026-11-01|--riepilogo") << true
                                       << QDate(2026, 11, 1) << QDate();
    }

    void riepilogo() {
        QFETCH(QString, riga);
        const ArgomentiProgramma letti = leggi(riga);
        QCOMPARE(letti.errore(), QString());
        QCOMPARE(letti.azione(), Azione::Avvia);
        QTEST(letti.riepilogo(), "riepilogo");
        QTEST(letti.dal(), "dal");
        QTEST(letti.al(), "al");
    }

    void opzioniRifiutate_data() {
        QTest::addColumn<QString>("riga");
        // A piece the message must show, so the operator sees what to fix.
        QTest::addColumn<QString>("citato");
        const auto riga = [](const char* nome, const char* testo, const char* citato) {
            QTest::newRow(nome) << QString::fromUtf8(testo) << QString::fromUtf8(citato);
        };
        riga("opzione sconosciuta", "--colore", "--colore");
        riga("30 febbraio", "--date=2025-02-30", "2025-02-30");
        riga("data all'italiana", "--date|14/03/2025", "14/03/2025");
        riga("data mancante", "--date", "--date");
        riga("database vuoto", "--database=", "database");
        riga("valore a un interruttore", "--modeless=1", "--modeless");
        riga("argomento in più", "sala.db", "sala.db");
        riga("data ripetuta", "--date=2025-03-14|--date=2025-03-15", "--date");
        riga("errore insieme alla versione", "--version|--colore", "--colore");
        riga("periodo senza riepilogo", "--dal=2026-11-01", "--riepilogo");
        riga("periodo rovesciato", "--riepilogo|--dal=2026-11-30|--al=2026-11-01", "--dal");
        riga("fine del periodo non valida", "--riepilogo|--al=2026-11-31", "2026-11-31");
        riga("riepilogo e verifica", "--riepilogo|--verifica", "--verifica");
    }

    void opzioniRifiutate() {
        QFETCH(QString, riga);
        QFETCH(QString, citato);
        const QString errore = leggi(riga).errore();
        QCOMPARE(leggi(riga).azione(), Azione::Errore);
        // One line naming what to fix, without QCommandLineParser's own English.
        QVERIFY2(errore.contains(citato) && !errore.contains(u'\n') &&
                     !errore.contains(QLatin1String("option"), Qt::CaseInsensitive),
                 qPrintable(errore));
    }
};

QTEST_GUILESS_MAIN(TestArgomentiProgramma)
#include "tst_argomentiprogramma.moc"
