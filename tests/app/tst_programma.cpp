// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
// The program as a user runs it, and the command line it reads.
#include "ArgomentiProgramma.h"
#include "DbDiretto.h"
#include "MotoreProva.h"
#include "Programma.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using KaloRefill::ArgomentiProgramma;
using KaloRefill::Programma;
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

QByteArray contenuto(const QString& percorso) {
    QFile file(percorso);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<illeggibile>");
}

QStringList elencoCartella(const QString& cartella) {
    return QDir(cartella).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

class TestProgramma : public QObject {
    Q_OBJECT

    QTemporaryDir m_cartella;

    // The program as a user runs it, in a home of our own so the user's demo database is
    // never touched; without a screen unless asked, as what needs none must work so.
    // False when it did not end by itself: a program still running has opened the form.
    bool avvia(QProcess& processo, const QStringList& argomenti, bool conSchermo = false,
               bool esceDopoDisegno = false) const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* nome : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_DATA_HOME"})
            env.remove(QLatin1String(nome));
        env.insert(QStringLiteral("HOME"), m_cartella.filePath(QStringLiteral("casa")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_cartella.path()); // owner-only, as Qt wants
        if (conSchermo)
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        // The windows close by themselves once painted, and the moment is written out.
        if (esceDopoDisegno)
            env.insert(QStringLiteral("KALOREFILL_ESCI_DOPO_DISEGNO"), QStringLiteral("1"));
        processo.setProcessEnvironment(env);
        processo.start(QStringLiteral(KALOREFILL_PROGRAMMA), argomenti);
        if (processo.waitForFinished(30000))
            return processo.exitStatus() == QProcess::NormalExit;
        processo.kill();
        processo.waitForFinished();
        return false;
    }

private slots:
    // Runs on the engine the test run chose; see MotoreProva.
    void initTestCase() { KALOREFILL_MOTORE_PRONTO(); }

    // A refused line reads "Errore: " and a piece the message must show, so the operator
    // sees what to fix.
    void argomenti_data() {
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
        riga("--riepilogo|--dal|2026-11-30|--al=2026-11-30", // one day
             "Avvia, riepilogo, dal=2026-11-30, al=2026-11-30");
        riga("--demo|--crea-database=postgresql://cassa@sala:5432/refill",
             "CreaDatabase, crea=postgresql://cassa@sala:5432/refill, demo");
        riga("--anagrafiche|--database=/dati/sala.db", "Anagrafiche, db=/dati/sala.db");
        riga("--importa-apparecchi|Sala 1.csv", "ImportaApparecchi, file=Sala 1.csv");
        riga("--ripristina|/copie/k.db|--user=capo", "Ripristina, utente=capo, file=/copie/k.db");

        riga("--colore", "Errore: --colore");
        riga("-colore", "Errore: colore");
        riga("--date=2025-02-30", "Errore: 2025-02-30");
        riga("--date", "Errore: --date");
        riga("--database=", "Errore: database");
        riga("--modeless=1", "Errore: --modeless");
        riga("sala.db", "Errore: sala.db");
        riga("--date=2025-03-14|--date=2025-03-15", "Errore: --date");
        riga("--date=1899-12-31", "Errore: fuori intervallo: \"1899-12-31\"");
        riga("--verifica|1800-01-01|2026-01-01", "Errore: 1800-01-01");
        riga("--dal=2026-11-01", "Errore: --riepilogo");
        riga("--riepilogo|--dal=2026-11-30|--al=2026-11-01", "Errore: --dal");
        riga("--riepilogo|--verifica", "Errore: --verifica");
        riga("--demo|--database=a.db", "Errore: --database");
        riga("--backup=/copie|--ripristina=/copie/k.db", "Errore: --backup");
        riga("--configura|--database=a.db", "Errore: --database");
        riga("--crea-database=a.db|--database=b.db", "Errore: --database");
        riga("--crea-database=", "Errore: destinazione");
    }

    void argomenti() {
        QFETCH(QString, riga);
        QFETCH(QString, letto);
        const ArgomentiProgramma letti = leggi(riga);
        const QString errore = letti.errore();
        if (!letto.startsWith(u"Errore: ")) {
            QCOMPARE(errore, QString());
            QCOMPARE(descrivi(letti), letto);
            return;
        }
        QCOMPARE(letti.azione(), ArgomentiProgramma::Azione::Errore);
        // One line naming what to fix, without QCommandLineParser's own English.
        QVERIFY2(errore.contains(letto.mid(8)) && !errore.contains(u'\n') &&
                     !errore.contains(u"option"_s, Qt::CaseInsensitive),
                 qPrintable(errore));
    }

    // A wrong command line (exit code 2), or a file that is not a usable KaloRefill database
    // (exit code 1), ends the program with one line on standard error; the file is left
    // exactly as it was, nothing is made beside it. "FILE" stands for the row's own file.
    void rifiutati_data() {
        QTest::addColumn<QStringList>("argomenti");
        QTest::addColumn<QByteArray>("file"); // null: no file; "sqlite": another program's
        QTest::addColumn<QString>("citato");
        const QStringList conFile{QStringLiteral("--database"), QStringLiteral("FILE")};
        QTest::newRow("opzione sconosciuta")
            << QStringList{QStringLiteral("--colore")} << QByteArray() << "--colore";
        QTest::newRow("file di testo")
            << conFile << QByteArray("Registro refill di marzo\nSG01;AWP01;100,00\n") << "FILE";
        QTest::newRow("file vuoto") << conFile << QByteArray("") << "FILE";
        QTest::newRow("database SQLite di un altro programma")
            << conFile << QByteArray("sqlite") << "FILE";
        QTest::newRow("file mancante") << conFile << QByteArray() << "non esiste";
    }

    // --crea-database --demo makes a database the program then opens, whole as --verifica
    // finds it; a second --crea-database on it is refused in one line and leaves it as it
    // was. --riepilogo (and --registro) opens the summary on it, a module of its own loaded
    // from beside the libraries: its window is painted and the program ends well when it is
    // closed.
    void creaDatabaseEApri() {
        const QTemporaryDir cartella;
        const QString destinazione = MotoreProva::nuovoDatabase(cartella.path());
        QProcess processo;
        QVERIFY(avvia(processo, {QStringLiteral("--crea-database"), destinazione,
                                 QStringLiteral("--demo"), QStringLiteral("--date=2026-12-04")}));
        QCOMPARE(processo.readAllStandardError(), QByteArray());
        QCOMPARE(processo.exitCode(), 0);
        QVERIFY(processo.readAllStandardOutput().startsWith("Creato il database KaloRefill"));
        // The demo hall's documents and register are whole, as the check finds them.
        QVERIFY(avvia(processo, {QStringLiteral("--verifica"), QStringLiteral("--database"), destinazione}, true));
        QVERIFY2(processo.exitCode() == 0, processo.readAllStandardOutput().constData());

        QVERIFY(avvia(processo, {QStringLiteral("--crea-database"), destinazione}));
        QCOMPARE(processo.exitCode(), Programma::esitoFallito);
        const QString errori = QString::fromLocal8Bit(processo.readAllStandardError());
        QVERIFY2(errori.startsWith(QLatin1String("kalorefill: ")) && errori.count(u'\n') == 1,
                 qPrintable(errori));

        // "Registro buoni" comes from the same module.
        for (const char* finestra : {"--riepilogo", "--registro"}) {
            QVERIFY(avvia(processo,
                          {QStringLiteral("--database"), destinazione, QLatin1String(finestra),
                           QStringLiteral("--dal=2026-11-01"), QStringLiteral("--al=2026-11-30")},
                          true, true));
            const QByteArray erroriRiepilogo = processo.readAllStandardError();
            QVERIFY2(!erroriRiepilogo.contains("kalorefill:"), erroriRiepilogo.constData());
            QCOMPARE(processo.exitCode(), 0);
            QVERIFY(processo.readAllStandardOutput().startsWith("disegnato "));
        }
    }

    void rifiutati() {
        QFETCH(QStringList, argomenti);
        QFETCH(QByteArray, file);
        QFETCH(QString, citato);
        const QTemporaryDir cartella;
        const QString percorso = cartella.filePath(QStringLiteral("sala.db"));
        // Only opening a file needs a screen; a wrong option is told without one.
        const bool apreFile = argomenti.contains(QStringLiteral("FILE"));
        argomenti.replaceInStrings(QStringLiteral("FILE"), percorso);
        citato.replace(QStringLiteral("FILE"), QDir::toNativeSeparators(percorso));
        if (file == "sqlite") {
            QVERIFY(DbDiretto(percorso).esegui(QStringLiteral("create table clienti (a)")));
        } else if (!file.isNull()) {
            QFile scritto(percorso);
            QVERIFY(scritto.open(QIODevice::WriteOnly) && scritto.write(file) == file.size());
        }
        const QByteArray prima = contenuto(percorso);
        const QStringList elencoPrima = elencoCartella(cartella.path());

        QProcess processo;
        QVERIFY2(avvia(processo, argomenti, apreFile), "it opened a window instead of refusing");
        QCOMPARE(processo.exitCode(),
                 apreFile ? Programma::esitoFallito : Programma::esitoRigaDiComando);
        QCOMPARE(processo.readAllStandardOutput(), QByteArray());
        const QString errori = QString::fromLocal8Bit(processo.readAllStandardError());
        QVERIFY2(errori.startsWith(QLatin1String("kalorefill: ")) && errori.endsWith(u'\n') &&
                     errori.count(u'\n') == 1 && errori.contains(citato),
                 qPrintable(errori));
        QVERIFY2(contenuto(percorso) == prima, "the refused file was changed");
        QCOMPARE(elencoCartella(cartella.path()), elencoPrima);
    }
};

QTEST_GUILESS_MAIN(TestProgramma)
#include "tst_programma.moc"
