#include "ArgomentiProgramma.h"
#include "DatabaseHost.h"
#include "DatiDemo.h"
#include "Programma.h"
#include "entry/Configura.h"
#include "host/SqlTesti.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace KaloRefill;

namespace {

struct Esito {
    bool finito = false;
    QProcess::ExitStatus stato = QProcess::CrashExit;
    int codice = -1;
    QString uscita;
    QString errori;
};

QByteArray contenuto(const QString& percorso) {
    QFile file(percorso);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<illeggibile>");
}

// Straight to SQLite, past the host: files the host did not make.
bool eseguiSql(const QString& percorso, const QStringList& istruzioni) {
    bool riuscito = true;
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("diretto"));
        db.setDatabaseName(percorso);
        riuscito = db.open();
        QSqlQuery query(db);
        for (const QString& istruzione : istruzioni)
            riuscito = riuscito && query.exec(istruzione);
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("diretto"));
    return riuscito;
}

QStringList elencoCartella(const QString& cartella) {
    return QDir(cartella).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                    QDir::Name);
}

} // namespace

class TestProgramma : public QObject {
    Q_OBJECT

    QTemporaryDir m_cartella;
    int m_numero = 0;

    // A clean environment of our own: the user's demo database is never touched, and Qt
    // has nothing to complain about on standard error.
    QProcessEnvironment ambiente(bool conSchermo = true) const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        const QString casa = m_cartella.filePath(QStringLiteral("casa"));
        env.insert(QStringLiteral("HOME"), casa);
        env.insert(QStringLiteral("XDG_DATA_HOME"), casa + QStringLiteral("/dati"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), casa + QStringLiteral("/config"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"),
                   m_cartella.filePath(QStringLiteral("runtime")));
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        if (conSchermo)
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        else
            env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        return env;
    }

    Esito avvia(const QStringList& argomenti, const QProcessEnvironment& env) const {
        QProcess processo;
        processo.setProcessEnvironment(env);
        processo.start(QStringLiteral(KALOREFILL_PROGRAMMA), argomenti);
        Esito esito;
        if (!processo.waitForStarted(10000))
            return esito;
        processo.closeWriteChannel();
        // A refused file must end the program at once; a program still running has opened
        // the form on it.
        esito.finito = processo.waitForFinished(30000);
        if (!esito.finito) {
            processo.kill();
            processo.waitForFinished();
        }
        esito.stato = processo.exitStatus();
        esito.codice = processo.exitCode();
        esito.uscita = QString::fromLocal8Bit(processo.readAllStandardOutput());
        esito.errori = QString::fromLocal8Bit(processo.readAllStandardError());
        return esito;
    }

    Esito avvia(const QStringList& argomenti) const { return avvia(argomenti, ambiente()); }

    QString nuovaCartella() {
        const QString cartella = m_cartella.filePath(QStringLiteral("caso%1").arg(++m_numero));
        QDir().mkpath(cartella);
        return cartella;
    }

    static void verificaUnaRigaDiErrore(const Esito& esito, int codiceAtteso) {
        QVERIFY2(esito.finito, "the program did not end: it opened a window instead of refusing");
        QCOMPARE(esito.stato, QProcess::NormalExit);
        QCOMPARE(esito.codice, codiceAtteso);
        QCOMPARE(esito.uscita, QString());
        QVERIFY2(esito.errori.startsWith(QLatin1String("kalorefill: ")), qPrintable(esito.errori));
        QVERIFY2(esito.errori.endsWith(QLatin1Char('\n')) &&
                     esito.errori.count(QLatin1Char('\n')) == 1,
                 qPrintable(esito.errori));
    }

    QString databaseDemo(const QString& cartella) const {
        const QString percorso = QDir(cartella).filePath(QStringLiteral("sala.db"));
        auto host = DatabaseHost::crea(percorso,
                                       OpzioniHost{QDate(2025, 3, 14), QStringLiteral("OP01"), {}});
        DatiDemo::riempi(*host, QDate(2025, 3, 14));
        return percorso;
    }

private slots:
    void initTestCase() {
        QVERIFY(m_cartella.isValid());
        QVERIFY(QDir().mkpath(m_cartella.filePath(QStringLiteral("runtime"))));
        QFile::setPermissions(m_cartella.filePath(QStringLiteral("runtime")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY2(QFile::exists(QStringLiteral(KALOREFILL_PROGRAMMA)), KALOREFILL_PROGRAMMA);
    }

    void versione() {
        const Esito esito = avvia({QStringLiteral("--version")});
        QVERIFY(esito.finito);
        QCOMPARE(esito.codice, 0);
        QCOMPARE(esito.uscita, QStringLiteral(KALOREFILL_VERSIONE_ATTESA "\n"));
        QCOMPARE(esito.errori, QString());
    }

    void aiuto() {
        const Esito esito = avvia({QStringLiteral("--help")});
        QCOMPARE(esito.codice, 0);
        QVERIFY2(esito.uscita.contains(QLatin1String("--database")), qPrintable(esito.uscita));
        QCOMPARE(esito.errori, QString());
    }

    // What needs no window works on a machine without a screen; what needs one says so.
    void senzaSchermo() {
        const Esito versione = avvia({QStringLiteral("--version")}, ambiente(false));
        QCOMPARE(versione.codice, 0);
        QCOMPARE(versione.uscita, QStringLiteral(KALOREFILL_VERSIONE_ATTESA "\n"));

        const Esito sbagliata = avvia({QStringLiteral("--colore")}, ambiente(false));
        verificaUnaRigaDiErrore(sbagliata, Programma::esitoRigaDiComando);
        QVERIFY2(sbagliata.errori.contains(QLatin1String("--colore")),
                 qPrintable(sbagliata.errori));

        const Esito apertura =
            avvia({QStringLiteral("--database"), databaseDemo(nuovaCartella())}, ambiente(false));
        verificaUnaRigaDiErrore(apertura, Programma::esitoFallito);
        QVERIFY2(apertura.errori.contains(QLatin1String("schermo")), qPrintable(apertura.errori));
    }

    void rigaDiComandoErrata_data() {
        QTest::addColumn<QStringList>("argomenti");
        QTest::addColumn<QString>("citato");
        QTest::newRow("opzione sconosciuta")
            << QStringList{QStringLiteral("--colore")} << QStringLiteral("--colore");
        QTest::newRow("data impossibile")
            << QStringList{QStringLiteral("--date"), QStringLiteral("2025-02-30")}
            << QStringLiteral("2025-02-30");
        QTest::newRow("parola con un trattino")
            << QStringList{QStringLiteral("-colore")} << QStringLiteral("colore");
    }

    void rigaDiComandoErrata() {
        QFETCH(QStringList, argomenti);
        QFETCH(QString, citato);
        const Esito esito = avvia(argomenti);
        verificaUnaRigaDiErrore(esito, Programma::esitoRigaDiComando);
        QVERIFY2(esito.errori.contains(citato), qPrintable(esito.errori));
    }

    // A file that is not a usable KaloRefill database is refused and left exactly as it was:
    // no byte changed, no journal or schema added beside it.
    void fileRifiutati_data() {
        QTest::addColumn<QString>("tipo");
        QTest::newRow("file di testo") << QStringLiteral("testo");
        QTest::newRow("file vuoto") << QStringLiteral("vuoto");
        QTest::newRow("database SQLite di un altro programma") << QStringLiteral("estraneo");
        QTest::newRow("database KaloRefill troncato") << QStringLiteral("troncato");
        QTest::newRow("database KaloRefill di una versione futura") << QStringLiteral("futuro");
    }

    void fileRifiutati() {
        QFETCH(QString, tipo);
        const QString cartella = nuovaCartella();
        QString percorso = QDir(cartella).filePath(QStringLiteral("sala.db"));
        if (tipo == QLatin1String("testo") || tipo == QLatin1String("vuoto")) {
            QFile file(percorso);
            QVERIFY(file.open(QIODevice::WriteOnly));
            if (tipo == QLatin1String("testo"))
                file.write("Registro refill di marzo\nSG01;AWP01;100,00\nSG01;AWP02;50,00\n");
        } else if (tipo == QLatin1String("estraneo")) {
            QVERIFY(eseguiSql(percorso, {QStringLiteral("create table clienti (nome text)"),
                                         QStringLiteral("insert into clienti values ('Rossi')")}));
        } else if (tipo == QLatin1String("futuro")) {
            percorso = databaseDemo(cartella);
            QVERIFY(eseguiSql(percorso, {QStringLiteral("pragma user_version = 999")}));
        } else {
            const QString intero = databaseDemo(cartella);
            QByteArray byte = contenuto(intero);
            QVERIFY(QFile::remove(intero));
            QFile file(percorso);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(byte.left(byte.size() / 2));
        }
        const QByteArray prima = contenuto(percorso);
        const QStringList elencoPrima = elencoCartella(cartella);

        const Esito esito = avvia({QStringLiteral("--database"), percorso, QStringLiteral("--date"),
                                   QStringLiteral("2025-03-14")});
        verificaUnaRigaDiErrore(esito, Programma::esitoFallito);
        QVERIFY2(esito.errori.contains(QDir::toNativeSeparators(percorso)),
                 qPrintable(esito.errori));
        QVERIFY2(contenuto(percorso) == prima, "the refused file was changed");
        const QStringList elencoDopo = elencoCartella(cartella);
        QVERIFY2(elencoDopo == elencoPrima,
                 qPrintable(QStringLiteral("files beside it: %1 (%2)")
                                .arg(elencoDopo.join(QLatin1Char(' ')), esito.errori.trimmed())));
    }

    void fileMancante() {
        const QString cartella = nuovaCartella();
        const QString percorso = QDir(cartella).filePath(QStringLiteral("inesistente.db"));
        const Esito esito = avvia({QStringLiteral("--database"), percorso});
        verificaUnaRigaDiErrore(esito, Programma::esitoFallito);
        QVERIFY2(esito.errori.contains(QLatin1String("non esiste")), qPrintable(esito.errori));
        // Opening must never make an empty database where the operator mistyped a name.
        QCOMPARE(elencoCartella(cartella), QStringList());
    }

    void cartellaInvece() {
        const QString cartella = nuovaCartella();
        const Esito esito = avvia({QStringLiteral("--database"), cartella});
        verificaUnaRigaDiErrore(esito, Programma::esitoFallito);
        QCOMPARE(elencoCartella(cartella), QStringList());
    }

    // The first run without --database makes the demo database; later runs open it again
    // as it is, whatever the working date.
    void demoAlPrimoAvvio() {
        QStandardPaths::setTestModeEnabled(true);
        const QString percorso = Programma::percorsoDemo();
        QFile::remove(percorso);
        const auto argomenti = [](const char* data) {
            return ArgomentiProgramma::analizza(
                {QStringLiteral("kalorefill"), QStringLiteral("--date"), QLatin1String(data)});
        };

        auto host = Programma::apriDatabase(argomenti("2025-03-14"));
        QVERIFY(host);
        QVERIFY(QFile::exists(percorso));
        QCOMPARE(host->Data(), QDate(2025, 3, 14));
        QCOMPARE(host->openrecordset(SqlTesti::apparecchiAttivi())->RecordCount(), 40);
        QCOMPARE(host->openrecordset(SqlTesti::testataRefill(QDate(2025, 3, 13)))->RecordCount(),
                 1);
        host.reset();
        QCOMPARE(
            elencoCartella(QFileInfo(percorso).absolutePath()).filter(QStringLiteral(".nuovo")),
            QStringList());

        host = Programma::apriDatabase(argomenti("2025-04-01"));
        QCOMPARE(host->Data(), QDate(2025, 4, 1));
        QCOMPARE(host->openrecordset(SqlTesti::locali())->RecordCount(), 1);
        QCOMPARE(host->openrecordset(SqlTesti::elencoRefill())->RecordCount(), 3);
        QCOMPARE(host->openrecordset(SqlTesti::testataRefill(QDate(2025, 3, 13)))->RecordCount(),
                 1);
        host.reset();
        QVERIFY(QFile::remove(percorso));
    }

    // What the program hands to the module is enough for the form: it lists the demo hall's
    // forty refill machines on three pages.
    void moduloSulDemo() {
        QStandardPaths::setTestModeEnabled(true);
        const QString percorso = Programma::percorsoDemo();
        QFile::remove(percorso);
        auto host = Programma::apriDatabase(ArgomentiProgramma::analizza(
            {QStringLiteral("kalorefill"), QStringLiteral("--date=2025-03-14"),
             QStringLiteral("--modeless")}));

        Configura configura;
        configura.setApplicazione(host);
        configura.setModale(QStringLiteral("0"));
        configura.Start();
        QWidget* modulo = nullptr;
        for (QWidget* finestra : QApplication::topLevelWidgets()) {
            if (finestra->isVisible() && finestra->findChild<QLabel*>(QStringLiteral("LabStato")))
                modulo = finestra;
        }
        QVERIFY2(modulo, "Start opened no refill form");
        const QString stato = modulo->findChild<QLabel*>(QStringLiteral("LabStato"))->text();
        QVERIFY2(stato.contains(QLatin1String(":= 40")) && stato.contains(QLatin1String(":= 3")),
                 qPrintable(stato));
        modulo->close();
        configura.setApplicazione(nullptr);
        host.reset();
        QVERIFY(QFile::remove(percorso));
    }
};

QTEST_MAIN(TestProgramma)
#include "tst_programma.moc"
