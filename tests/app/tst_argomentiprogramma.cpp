#include "ArgomentiProgramma.h"

#include <QTest>

using KaloRefill::ArgomentiProgramma;
using Azione = ArgomentiProgramma::Azione;

namespace {

ArgomentiProgramma leggi(const QString& rigaDiComando) {
    QStringList argomenti{QStringLiteral("kalorefill")};
    // '|' separates the arguments, so values may hold blanks.
    if (!rigaDiComando.isEmpty())
        argomenti << rigaDiComando.split(QLatin1Char('|'));
    return ArgomentiProgramma::analizza(argomenti);
}

} // namespace

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
        riga("database", "--database|/dati/sala.db", Azione::Avvia, "/dati/sala.db", {}, "", false);
        riga("database con =", "--database=/dati/sala uno.db", Azione::Avvia, "/dati/sala uno.db",
             {}, "", false);
        riga("data", "--date|2025-03-14", Azione::Avvia, "", QDate(2025, 3, 14), "", false);
        riga("29 febbraio", "--date=2024-02-29", Azione::Avvia, "", QDate(2024, 2, 29), "", false);
        riga("utente", "--user|OP02", Azione::Avvia, "", {}, "OP02", false);
        riga("tutte, in altro ordine",
             "--modeless|--user=Mario Rossi|--date|2026-12-04|--database|x.db", Azione::Avvia,
             "x.db", QDate(2026, 12, 4), "Mario Rossi", true);
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

    void opzioniRifiutate_data() {
        QTest::addColumn<QString>("riga");
        // A piece the message must show, so the operator sees what to fix.
        QTest::addColumn<QString>("citato");
        const auto riga = [](const char* nome, const char* testo, const char* citato) {
            QTest::newRow(nome) << QString::fromUtf8(testo) << QString::fromUtf8(citato);
        };
        riga("opzione sconosciuta", "--colore", "--colore");
        riga("opzione breve sconosciuta", "-x", "-x");
        riga("mese 13", "--date|2025-13-01", "2025-13-01");
        riga("30 febbraio", "--date=2025-02-30", "2025-02-30");
        riga("data all'italiana", "--date|14/03/2025", "14/03/2025");
        riga("data senza zeri", "--date|2025-3-4", "2025-3-4");
        riga("data mancante", "--date", "--date");
        riga("database vuoto", "--database=", "database");
        riga("valore a un interruttore", "--modeless=1", "--modeless");
        riga("argomento in più", "sala.db", "sala.db");
        riga("data ripetuta", "--date=2025-03-14|--date=2025-03-15", "--date");
        riga("errore insieme alla versione", "--version|--colore", "--colore");
    }

    void opzioniRifiutate() {
        QFETCH(QString, riga);
        QFETCH(QString, citato);
        const ArgomentiProgramma letti = leggi(riga);
        QCOMPARE(letti.azione(), Azione::Errore);
        QVERIFY2(letti.errore().contains(citato), qPrintable(letti.errore()));
        QVERIFY2(!letti.errore().contains(QLatin1Char('\n')), "the message must fit on one line");
        // QCommandLineParser's own English must not reach the Italian operator.
        QVERIFY2(!letti.errore().contains(QLatin1String("option"), Qt::CaseInsensitive),
                 qPrintable(letti.errore()));
    }

    // Every option the help names is one the parser takes.
    void aiutoNominaOgniOpzione() {
        const QString aiuto = ArgomentiProgramma::testoAiuto(QStringLiteral("/home/sala/demo.db"));
        QVERIFY(aiuto.contains(QStringLiteral("/home/sala/demo.db")));
        for (const char* riga : {"--database|a.db", "--date|2025-01-01", "--user|a", "--modeless",
                                 "--version", "--help"}) {
            QVERIFY2(aiuto.contains(QString::fromUtf8(riga).section(QLatin1Char('|'), 0, 0)), riga);
            QVERIFY2(leggi(QString::fromUtf8(riga)).azione() != Azione::Errore, riga);
        }
    }
};

QTEST_GUILESS_MAIN(TestArgomentiProgramma)
#include "tst_argomentiprogramma.moc"
