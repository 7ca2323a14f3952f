#include "ArgomentiProgramma.h"

#include <QTest>

using KaloRefill::ArgomentiProgramma;
using Azione = ArgomentiProgramma::Azione;

class TestArgomentiProgramma : public QObject {
    Q_OBJECT

private:
    static ArgomentiProgramma leggi(QStringList argomenti) {
        argomenti.prepend(QStringLiteral("kalorefill"));
        return ArgomentiProgramma::analizza(argomenti);
    }

private slots:
    void opzioniAccettate_data() {
        QTest::addColumn<QStringList>("argomenti");
        QTest::addColumn<int>("azione");
        QTest::addColumn<QString>("database");
        QTest::addColumn<QDate>("data");
        QTest::addColumn<QString>("utente");
        QTest::addColumn<bool>("nonModale");

        const auto avvia = static_cast<int>(Azione::Avvia);
        QTest::newRow("nessuna opzione: demo, oggi, modale")
            << QStringList{} << avvia << QString() << QDate() << QString() << false;
        QTest::newRow("database") << QStringList{QStringLiteral("--database"),
                                                 QStringLiteral("/dati/sala.db")}
                                  << avvia << QStringLiteral("/dati/sala.db") << QDate()
                                  << QString() << false;
        QTest::newRow("database con =")
            << QStringList{QStringLiteral("--database=/dati/sala uno.db")} << avvia
            << QStringLiteral("/dati/sala uno.db") << QDate() << QString() << false;
        QTest::newRow("data") << QStringList{QStringLiteral("--date"), QStringLiteral("2025-03-14")}
                              << avvia << QString() << QDate(2025, 3, 14) << QString() << false;
        QTest::newRow("29 febbraio bisestile")
            << QStringList{QStringLiteral("--date=2024-02-29")} << avvia << QString()
            << QDate(2024, 2, 29) << QString() << false;
        QTest::newRow("utente") << QStringList{QStringLiteral("--user"), QStringLiteral("OP02")}
                                << avvia << QString() << QDate() << QStringLiteral("OP02") << false;
        QTest::newRow("non modale") << QStringList{QStringLiteral("--modeless")} << avvia
                                    << QString() << QDate() << QString() << true;
        QTest::newRow("tutte insieme, in altro ordine")
            << QStringList{QStringLiteral("--modeless"), QStringLiteral("--user=Mario Rossi"),
                           QStringLiteral("--date"),     QStringLiteral("2026-12-04"),
                           QStringLiteral("--database"), QStringLiteral("x.db")}
            << avvia << QStringLiteral("x.db") << QDate(2026, 12, 4)
            << QStringLiteral("Mario Rossi") << true;
        QTest::newRow("versione") << QStringList{QStringLiteral("--version")}
                                  << static_cast<int>(Azione::MostraVersione) << QString()
                                  << QDate() << QString() << false;
        QTest::newRow("aiuto") << QStringList{QStringLiteral("--help")}
                               << static_cast<int>(Azione::MostraAiuto) << QString() << QDate()
                               << QString() << false;
        QTest::newRow("aiuto breve")
            << QStringList{QStringLiteral("-h")} << static_cast<int>(Azione::MostraAiuto)
            << QString() << QDate() << QString() << false;
        QTest::newRow("l'aiuto vince sulla versione")
            << QStringList{QStringLiteral("--version"), QStringLiteral("--help")}
            << static_cast<int>(Azione::MostraAiuto) << QString() << QDate() << QString() << false;
    }

    void opzioniAccettate() {
        QFETCH(QStringList, argomenti);
        QFETCH(int, azione);
        QFETCH(QString, database);
        QFETCH(QDate, data);
        QFETCH(QString, utente);
        QFETCH(bool, nonModale);

        const ArgomentiProgramma letti = leggi(argomenti);
        QCOMPARE(letti.errore(), QString());
        QCOMPARE(static_cast<int>(letti.azione()), azione);
        QCOMPARE(letti.database(), database);
        QCOMPARE(letti.data(), data);
        QCOMPARE(letti.utente(), utente);
        QCOMPARE(letti.nonModale(), nonModale);
    }

    void opzioniRifiutate_data() {
        QTest::addColumn<QStringList>("argomenti");
        // A piece the message must show, so the operator sees what to fix.
        QTest::addColumn<QString>("citato");

        QTest::newRow("opzione sconosciuta")
            << QStringList{QStringLiteral("--colore")} << QStringLiteral("--colore");
        QTest::newRow("opzione breve sconosciuta")
            << QStringList{QStringLiteral("-x")} << QStringLiteral("-x");
        QTest::newRow("opzione con un trattino")
            << QStringList{QStringLiteral("-databse")} << QStringLiteral("databse");
        QTest::newRow("mese 13") << QStringList{QStringLiteral("--date"),
                                                QStringLiteral("2025-13-01")}
                                 << QStringLiteral("2025-13-01");
        QTest::newRow("30 febbraio")
            << QStringList{QStringLiteral("--date=2025-02-30")} << QStringLiteral("2025-02-30");
        QTest::newRow("29 febbraio non bisestile")
            << QStringList{QStringLiteral("--date=2025-02-29")} << QStringLiteral("2025-02-29");
        QTest::newRow("data all'italiana")
            << QStringList{QStringLiteral("--date"), QStringLiteral("14/03/2025")}
            << QStringLiteral("14/03/2025");
        QTest::newRow("data senza zeri")
            << QStringList{QStringLiteral("--date"), QStringLiteral("2025-3-4")}
            << QStringLiteral("2025-3-4");
        QTest::newRow("data con l'ora") << QStringList{QStringLiteral("--date=2025-03-14T10:00")}
                                        << QStringLiteral("2025-03-14T10:00");
        QTest::newRow("data mancante")
            << QStringList{QStringLiteral("--date")} << QStringLiteral("--date");
        QTest::newRow("database mancante")
            << QStringList{QStringLiteral("--modeless"), QStringLiteral("--database")}
            << QStringLiteral("--database");
        QTest::newRow("database vuoto")
            << QStringList{QStringLiteral("--database=")} << QStringLiteral("database");
        QTest::newRow("utente vuoto") << QStringList{QStringLiteral("--user"), QStringLiteral("  ")}
                                      << QStringLiteral("operatore");
        QTest::newRow("valore a un interruttore")
            << QStringList{QStringLiteral("--modeless=1")} << QStringLiteral("--modeless");
        QTest::newRow("argomento in più")
            << QStringList{QStringLiteral("sala.db")} << QStringLiteral("sala.db");
        QTest::newRow("data ripetuta")
            << QStringList{QStringLiteral("--date=2025-03-14"), QStringLiteral("--date=2025-03-15")}
            << QStringLiteral("--date");
        QTest::newRow("errore insieme alla versione")
            << QStringList{QStringLiteral("--version"), QStringLiteral("--colore")}
            << QStringLiteral("--colore");
    }

    void opzioniRifiutate() {
        QFETCH(QStringList, argomenti);
        QFETCH(QString, citato);

        const ArgomentiProgramma letti = leggi(argomenti);
        QCOMPARE(letti.azione(), Azione::Errore);
        QVERIFY2(letti.errore().contains(citato), qPrintable(letti.errore()));
        QVERIFY2(!letti.errore().contains(QLatin1Char('\n')), "the message must fit on one line");
        // QCommandLineParser's own English must not reach the Italian operator.
        QVERIFY2(!letti.errore().contains(QLatin1String("option"), Qt::CaseInsensitive) &&
                     !letti.errore().contains(QLatin1String("Missing")) &&
                     !letti.errore().contains(QLatin1String("Unexpected")),
                 qPrintable(letti.errore()));
        QCOMPARE(letti.database(), QString());
    }

    void aiutoNominaOgniOpzione() {
        const QString aiuto = ArgomentiProgramma::testoAiuto(QStringLiteral("/home/sala/demo.db"));
        for (const char* opzione :
             {"--database", "--date", "--user", "--modeless", "--version", "--help"})
            QVERIFY2(aiuto.contains(QLatin1String(opzione)), opzione);
        QVERIFY(aiuto.contains(QStringLiteral("/home/sala/demo.db")));
        // Every option the help names must be one the parser takes.
        for (const QString& argomenti :
             {QStringLiteral("--database=a.db"), QStringLiteral("--date=2025-01-01"),
              QStringLiteral("--user=a"), QStringLiteral("--modeless"), QStringLiteral("--version"),
              QStringLiteral("--help")})
            QVERIFY2(leggi({argomenti}).azione() != Azione::Errore, qPrintable(argomenti));
    }
};

QTEST_GUILESS_MAIN(TestArgomentiProgramma)
#include "tst_argomentiprogramma.moc"
