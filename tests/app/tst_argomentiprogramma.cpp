// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "ArgomentiProgramma.h"

#include <QTest>

using KaloRefill::ArgomentiProgramma;
using namespace Qt::StringLiterals;

namespace {

// '|' separates the arguments, so values may hold blanks.
ArgomentiProgramma leggi(const QString& riga) {
    QStringList argomenti{u"kalorefill"_s};
    if (!riga.isEmpty())
        argomenti << riga.split(u'|');
    return ArgomentiProgramma::analizza(argomenti);
}

// Everything the program reads from the line, in one text: every row checks every field.
QString descrivi(const ArgomentiProgramma& a) {
    const char* azioni[] = {"Avvia",       "MostraVersione",    "MostraAiuto", "Errore",
                            "Verifica",    "Ripara",            "CreaDatabase", "Configura",
                            "Anagrafiche", "ImportaApparecchi", "Backup",       "Ripristina"};
    QStringList parti{QString::fromLatin1(azioni[int(a.azione())])};
    const auto se = [&parti](bool c, const QString& testo) {
        if (c)
            parti << testo;
    };
    se(!a.database().isEmpty(), u"db="_s + a.database());
    se(a.data().isValid(), u"data="_s + a.data().toString(Qt::ISODate));
    se(!a.utente().isEmpty(), u"utente="_s + a.utente());
    se(a.nonModale(), u"nonmodale"_s);
    se(a.riepilogo(), u"riepilogo"_s);
    se(a.dal().isValid(), u"dal="_s + a.dal().toString(Qt::ISODate));
    se(a.al().isValid(), u"al="_s + a.al().toString(Qt::ISODate));
    se(!a.creaDatabase().isEmpty(), u"crea="_s + a.creaDatabase());
    se(a.demo(), u"demo"_s);
    se(!a.file().isEmpty(), u"file="_s + a.file());
    return parti.join(u", "_s);
}

} // namespace

class TestArgomentiProgramma : public QObject {
    Q_OBJECT

private slots:
    void accettate_data() {
        QTest::addColumn<QString>("riga");
        QTest::addColumn<QString>("letto");
        const auto riga = [](const char* testo, const char* letto) {
            QTest::newRow(*testo ? testo : "nessuna opzione")
                << QString::fromUtf8(testo) << QString::fromUtf8(letto);
        };
        riga("", "Avvia"); // the demo, today, modal, the refill form
        riga("--database|/dati/sala.db|--date|2024-02-29|--user|OP02",
             "Avvia, db=/dati/sala.db, data=2024-02-29, utente=OP02");
        riga("--modeless|--user=Mario Rossi|--date=2026-12-04|--database=/dati/sala uno.db",
             "Avvia, db=/dati/sala uno.db, data=2026-12-04, utente=Mario Rossi, nonmodale");
        riga("--version", "MostraVersione");
        riga("--help", "MostraAiuto");
        riga("-h", "MostraAiuto");
        riga("--riepilogo", "Avvia, riepilogo"); // the current month
        riga("--riepilogo|--dal|2026-11-01|--al=2026-11-30",
             "Avvia, riepilogo, dal=2026-11-01, al=2026-11-30");
        riga("--dal=2026-11-01|--riepilogo", "Avvia, riepilogo, dal=2026-11-01");
        riga("--crea-database|/dati/sala.db", "CreaDatabase, crea=/dati/sala.db");
        riga("--demo|--crea-database=postgresql://cassa@sala:5432/refill",
             "CreaDatabase, crea=postgresql://cassa@sala:5432/refill, demo");
        riga("--demo|--user=OP1", "Avvia, utente=OP1, demo");
        riga("--configura", "Configura");
        riga("--anagrafiche|--database=/dati/sala.db", "Anagrafiche, db=/dati/sala.db");
        riga("--importa-apparecchi|Sala 1.csv", "ImportaApparecchi, file=Sala 1.csv");
        riga("--backup=/copie", "Backup, file=/copie");
        riga("--ripristina|/copie/k.db|--user=capo", "Ripristina, utente=capo, file=/copie/k.db");
    }

    void accettate() {
        QFETCH(QString, riga);
        const ArgomentiProgramma letti = leggi(riga);
        QCOMPARE(letti.errore(), QString());
        QTEST(descrivi(letti), "letto");
    }

    void rifiutate_data() {
        QTest::addColumn<QString>("riga");
        // A piece the message must show, so the operator sees what to fix.
        QTest::addColumn<QString>("citato");
        const auto riga = [](const char* testo, const char* citato) {
            QTest::newRow(testo) << QString::fromUtf8(testo) << QString::fromUtf8(citato);
        };
        riga("--colore", "--colore");
        riga("-colore", "colore");
        riga("--date=2025-02-30", "2025-02-30");
        riga("--date|14/03/2025", "14/03/2025");
        riga("--date", "--date");
        riga("--database=", "database");
        riga("--modeless=1", "--modeless");
        riga("sala.db", "sala.db");
        riga("--date=2025-03-14|--date=2025-03-15", "--date");
        riga("--date=0001-01-01", "fuori intervallo");
        riga("--date=1899-12-31", "1899-12-31");
        riga("--verifica|1800-01-01|2026-01-01", "1800-01-01");
        riga("--version|--colore", "--colore");
        riga("--dal=2026-11-01", "--riepilogo");
        riga("--riepilogo|--dal=2026-11-30|--al=2026-11-01", "--dal");
        riga("--riepilogo|--al=2026-11-31", "2026-11-31");
        riga("--riepilogo|--verifica", "--verifica");
        riga("--demo|--database=a.db", "--database");
        riga("--backup=/copie|--ripristina=/copie/k.db", "--backup");
        riga("--configura|--database=a.db", "--database");
        riga("--backup", "--backup");
        riga("--anagrafiche|--verifica", "--anagrafiche");
        riga("--crea-database=a.db|--database=b.db", "--database");
        riga("--crea-database=", "destinazione");
    }

    void rifiutate() {
        QFETCH(QString, riga);
        QFETCH(QString, citato);
        const ArgomentiProgramma letti = leggi(riga);
        QCOMPARE(letti.azione(), ArgomentiProgramma::Azione::Errore);
        // One line naming what to fix, without QCommandLineParser's own English.
        const QString errore = letti.errore();
        QVERIFY2(errore.contains(citato) && !errore.contains(u'\n') &&
                     !errore.contains(u"option"_s, Qt::CaseInsensitive),
                 qPrintable(errore));
    }
};

QTEST_GUILESS_MAIN(TestArgomentiProgramma)
#include "tst_argomentiprogramma.moc"
