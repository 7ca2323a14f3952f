// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
// A save is kept whole or not at all: programs killed in the middle of saving, several
// workstations making the first save of a day at once, a unit of work that cannot start
// or is lost, files that cannot be written, and the mending of documents left
// inconsistent by older programs. Every check reads the file through a connection of its
// own, not through the host under test.
#include "PianoSalvataggi.h"

#include "BancoProva.h"
#include "DbDiretto.h"
#include "Incoerenze.h"
#include "MotoreProva.h"
#include "RisponditoreBox.h"
#include "RisponditorePin.h"
#include "Supporto.h"
#include "VerificaRefill.h"
#include "documento/VerificaRegistro.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QUrl>
#include <QUrlQuery>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <deque>
#include <functional>
#include <map>
#include <sys/resource.h>
#include <unistd.h>

using namespace KaloRefill;
using namespace Qt::StringLiterals;

namespace {

const QDate Oggi(2026, 12, 4);

// (date, idscheda) -> cents
using StatoRighe = std::map<std::pair<QDate, int>, qint64>;

qint64 centesimi(const QVariant& v) { return qRound64(v.toDouble() * 100); }

StatoRighe statoFile(const QString& percorso) {
    StatoRighe stato;
    for (const auto& r : DbDiretto(percorso).righe(
             u"select i.dataincasso, i.linkscheda, i.refillgestore from noteincassi i "
             "join noteteste t on i.idtesta = t.id where t.codcausale='REF'"_s))
        stato[{r.at(0).toDate(), r.at(1).toInt()}] = centesimi(r.at(2));
    return stato;
}

// A machine that already has an amount on the date offers it as the first operand of a
// "+": what the operator types is added to it.
StatoRighe dopo(StatoRighe stato, const PianoSalvataggi& piano, int salvataggi) {
    for (int i = 0; i < salvataggi; ++i)
        stato[{piano.data(i), 1001 + piano.pulsante(i)}] += piano.centesimi(i);
    return stato;
}

// "2026-12-04/1001=1250 ...", for the messages of a failed check.
QString testo(const StatoRighe& stato) {
    QStringList righe;
    for (const auto& [chiave, valore] : stato)
        righe << u"%1/%2=%3"_s.arg(chiave.first.toString(Qt::ISODate)).arg(chiave.second).arg(valore);
    return righe.join(u' ');
}

QString programma(const QString& nome) {
    return QDir(QCoreApplication::applicationDirPath()).filePath(nome);
}

// A workstation (salvatore_prova) making the saves of a plan on the file.
void avvia(QProcess& figlio, const QString& percorso, const PianoSalvataggi& piano, int quanti,
           const QStringList& altri = {}) {
    figlio.start(programma(u"salvatore_prova"_s),
                 QStringList{percorso, piano.primaData.toString(Qt::ISODate),
                             QString::number(piano.primo), QString::number(piano.passo),
                             QString::number(piano.perGiorno), QString::number(piano.seme),
                             QString::number(quanti)} + altri);
}

// Reads a workstation's output until its form is up.
bool pronto(QProcess& figlio, QByteArray& uscita) {
    while (!uscita.contains("pronto\n") && figlio.waitForReadyRead(20000))
        uscita += figlio.readAllStandardOutput();
    return uscita.contains("pronto\n");
}

// With the hall's controls on every workstation signs in as OP02, slips into `buoni`.
QStringList conControlli(bool controlli, const QTemporaryDir& buoni) {
    if (!controlli)
        return {};
    return {u"--pin"_s, u"OP02"_s, u"2222"_s, u"--buoni"_s, buoni.path()};
}

std::unique_ptr<BancoProva> salaSenzaConferma(int apparecchi = 16, bool controlli = false) {
    auto banco = BancoProva::salaPronta(apparecchi, Oggi);
    banco->host()->salvasettaggio(u"Refill"_s, u"Salvataggio"_s, 0);
    // No save of the plans needs a witness: the register alone is under test.
    if (controlli)
        attivaControlli(*banco->host(), 32000);
    return banco;
}

// The register as its own check reads it (numbered from 1 with no gap and no number twice,
// in step with the documents): "n righe", or what is wrong.
QString registro(const QString& percorso) {
    const auto problemi = VerificaRegistro(*DatabaseHost::apri(percorso), {}, {}).verifica();
    if (!problemi.isEmpty())
        return VerificaRegistro::tabella(problemi);
    return u"%1 righe"_s.arg(DbDiretto(percorso).conta(u"RegistroRefill"_s));
}

} // namespace

class TestAtomicita : public QObject {
    Q_OBJECT
private slots:
    // Runs on the engine the test run chose; see MotoreProva.
    void initTestCase() { KALOREFILL_MOTORE_PRONTO(); }
    void arrestoBrusco_data();
    void arrestoBrusco();
    void boxSenzaBlocco();
    void scritturaRifiutata();
    void serverPerso();
    void primiSalvataggiInsieme_data();
    void primiSalvataggiInsieme();
    void unitaNonRiuscita_data();
    void unitaNonRiuscita();
    void aperturaRifiutata_data();
    void aperturaRifiutata();
    void verificaERipara_data();
    void verificaERipara();
};

void TestAtomicita::arrestoBrusco_data() {
    QTest::addColumn<bool>("controlli");
    QTest::newRow("senza controlli") << false;
    QTest::newRow("con registro dei buoni") << true;
}

// A workstation killed at a random moment while it saves, again and again on the same
// file: after each kill the file holds every save the program had finished, at most the
// one it was making, and no half of anything; with the controls on, the register has one
// row per save kept, numbered without a gap or a repeat.
void TestAtomicita::arrestoBrusco() {
    QFETCH(bool, controlli);
    const auto banco = salaSenzaConferma(16, controlli);
    const QString percorso = banco->percorsoFile();
    const QTemporaryDir buoni;
    int registrate = 0;
    QRandomGenerator caso(20261204);
    StatoRighe stato;
    int salvataggiTotali = 0;
    const int cicli = 30;
    for (int ciclo = 0; ciclo < cicli; ++ciclo) {
        PianoSalvataggi piano{Oggi.addDays(ciclo * 2), ciclo % 16, 5, 3, ciclo + 1};
        QProcess figlio;
        avvia(figlio, percorso, piano, 100000, conControlli(controlli, buoni));
        QByteArray uscita;
        QVERIFY2(pronto(figlio, uscita), figlio.readAllStandardError().constData());
        QTest::qWait(int(caso.bounded(20, 400)));
        figlio.kill(); // SIGKILL
        figlio.waitForFinished();
        uscita += figlio.readAllStandardOutput();
        const QByteArray errori = figlio.readAllStandardError();
        QVERIFY2(!errori.contains("messaggio:"), errori.constData());

        const int fatti = int(uscita.count("salvato "));
        salvataggiTotali += fatti;
        const StatoRighe trovato = statoFile(percorso);
        const StatoRighe soloFatti = dopo(stato, piano, fatti);
        const bool conIlSeguente = trovato != soloFatti && trovato == dopo(stato, piano, fatti + 1);
        QVERIFY2(trovato == soloFatti || conIlSeguente,
                 qPrintable(u"ciclo %1: il file non è lo stato dopo %2 o %3 salvataggi: %4 invece di %5"_s
                                .arg(ciclo).arg(fatti).arg(fatti + 1).arg(testo(trovato), testo(soloFatti))));
        stato = trovato;
        const QStringList problemi = incoerenze(percorso);
        QVERIFY2(problemi.isEmpty(), qPrintable(u"ciclo %1: "_s.arg(ciclo) + problemi.join(u'\n')));
        registrate += fatti + (conIlSeguente ? 1 : 0);
        if (controlli)
            QCOMPARE(registro(percorso), u"%1 righe"_s.arg(registrate));
    }
    QVERIFY2(salvataggiTotali >= cicli, "i programmi uccisi non hanno salvato quasi nulla");
}

// A box of a save left unanswered at one desk (here the accounts the entries need are
// missing) does not hold the database: another desk saves meanwhile, within a wait far
// shorter than the box stays open.
void TestAtomicita::boxSenzaBlocco() {
    const auto banco = salaSenzaConferma();
    const QString percorso = banco->percorsoFile();
    QVERIFY(DbDiretto(percorso).esegui(u"delete from TabAssociazioneConti"_s));
    QProcess distratto;
    avvia(distratto, percorso, PianoSalvataggi{Oggi, 0, 1, 0, 1}, 1, {u"--tieni"_s, u"30000"_s});
    // The start-up's own warning, then the first box of the save, which stays open.
    QByteArray errori;
    for (int attesa = 0; errori.count("messaggio:") < 2 && attesa < 600; ++attesa) {
        QTest::qWait(50);
        errori += distratto.readAllStandardError();
    }
    QVERIFY2(errori.count("messaggio:") >= 2, errori.constData());

    QProcess altro;
    avvia(altro, percorso, PianoSalvataggi{Oggi, 1, 1, 0, 2}, 1, {u"--attesa"_s, u"3000"_s});
    QVERIFY(altro.waitForFinished(60000));
    const QByteArray erroriAltro = altro.readAllStandardError();
    QVERIFY2(distratto.state() == QProcess::Running, "la prima postazione ha chiuso il box da sola");
    distratto.kill();
    distratto.waitForFinished();
    QVERIFY2(altro.readAllStandardOutput().contains("salvato 0") &&
                 !erroriAltro.contains("Salvataggio non riuscito"),
             erroriAltro.constData());
    // Both saves are in: the first was kept before its box was shown.
    const StatoRighe trovato = statoFile(percorso);
    QVERIFY2(trovato.count({Oggi, 1001}) && trovato.count({Oggi, 1002}), qPrintable(testo(trovato)));
}

// A write the database refuses mid-save is a box of its own, before the box of any later
// step, and the rest of the save is kept, as with every failing step; a server, which gets
// the writes later with the next statement, must keep both the box and its place. Here the
// log's column "orario" and the rows' "catapparecchio" were renamed under a running form:
// the log row is refused at its insert, the machine row's field at its assignment.
void TestAtomicita::scritturaRifiutata() {
    const auto banco = salaSenzaConferma(3);
    const auto form = apriForm(banco->host());
    salvaRefill(*form, 0, QStringLiteral("10"));
    const int logPrima = banco->conta(QStringLiteral("select count(*) from LogOperazioni"));
    DbDiretto db(banco->percorsoFile());
    QVERIFY(db.esegui(QStringLiteral("ALTER TABLE LogOperazioni RENAME COLUMN orario TO orario_vecchio")));
    QVERIFY(db.esegui(QStringLiteral("ALTER TABLE noteincassi RENAME COLUMN catapparecchio TO categoria_vecchia")));

    RisponditoreBox box;
    salvaRefill(*form, 1, QStringLiteral("20"));
    const QStringList testi = box.testi();
    QCOMPARE(testi.size(), 2);
    QVERIFY2(testi.at(0).contains(u"orario", Qt::CaseInsensitive), qPrintable(testi.join(u" / ")));
    QVERIFY2(testi.at(1).contains(u"catapparecchio", Qt::CaseInsensitive), qPrintable(testi.join(u" / ")));
    QCOMPARE(banco->conta(QStringLiteral("select count(*) from LogOperazioni")), logPrima);
    // The header's total of 30,00 and its two entries of it: see incoerenze.
    QCOMPARE(statoFile(banco->percorsoFile()), (StatoRighe{{{Oggi, 1001}, 1000}, {{Oggi, 1002}, 2000}}));
    QCOMPARE(incoerenze(banco->percorsoFile()), QStringList());
}

// The server stops dead (-m immediate) and comes back while a workstation saves without
// pause and presses "Salva" again whenever a save does not go through. Each press shows at
// most one box, naming the server; the first press after the server is back saves; no
// confirmed save is lost and nothing is half-written.
void TestAtomicita::serverPerso() {
    const QString cluster = qEnvironmentVariable("KALOREFILL_TEST_PG_CLUSTER");
    if (cluster.isEmpty())
        QSKIP("needs a server of its own to stop: ctest runs it as tst_atomicita_server");
    const auto banco = salaSenzaConferma();
    const QString percorso = banco->percorsoFile();
    const QUrlQuery opzioni{QUrl(percorso)};
    const QString server = opzioni.queryItemValue(u"host"_s) + u':' + opzioni.queryItemValue(u"port"_s);
    const auto agisci = [&](const char* azione) {
        return QProcess::execute(u"sh"_s, {QStringLiteral(KALOREFILL_CLUSTER_SH), QLatin1String(azione), cluster}) == 0;
    };

    const PianoSalvataggi piano{Oggi, 0, 3, 0, 7};
    QProcess figlio;
    avvia(figlio, percorso, piano, 100000, {u"--riprova"_s, u"--attesa"_s, u"2000"_s, u"--lento"_s, u"20"_s});
    struct Pressione {
        qint64 inizio;
        bool salvato;
        int box;
    };
    QList<Pressione> pressioni;
    int salvati = 0;
    QByteArray errori;
    // Reads what the workstation said until `basta` holds, for at most 30 s.
    const auto ascolta = [&](const std::function<bool()>& basta) {
        for (int giro = 0; !basta() && giro < 300; ++giro) {
            figlio.waitForReadyRead(100);
            errori += figlio.readAllStandardError();
            while (figlio.canReadLine()) {
                const QList<QByteArray> parti = figlio.readLine().trimmed().split(' ');
                if (parti.value(0) == "salva")
                    pressioni.append({parti.value(2).toLongLong(), parti.value(3) == "1", parti.value(4).toInt()});
                salvati += parti.value(0) == "salvato";
            }
        }
        return basta();
    };
    const int cicli = 10;
    for (int ciclo = 0; ciclo < cicli; ++ciclo) {
        const int prima = salvati;
        QVERIFY2(ascolta([&] { return salvati >= prima + 2; }), errori.constData());
        QVERIFY(agisci("crash"));
        // Saves pressed while the server is away fail, one box each.
        const qsizetype pressePrima = pressioni.size();
        ascolta([&] { return pressioni.size() > pressePrima + 2; });
        QVERIFY(agisci("resume"));
        const qint64 ripreso = QDateTime::currentMSecsSinceEpoch();
        // Strictly after: a press begun in the millisecond the server came back may have met it away.
        const auto dopoRipresa = [&] {
            return std::find_if(pressioni.cbegin(), pressioni.cend(), [&](const Pressione& p) { return p.inizio > ripreso; });
        };
        QVERIFY2(ascolta([&] { return dopoRipresa() != pressioni.cend(); }), errori.constData());
        QVERIFY2(dopoRipresa()->salvato, qPrintable(u"ciclo %1: la prima pressione dopo il ritorno non salva"_s.arg(ciclo)));
    }
    figlio.kill();
    figlio.waitForFinished();
    int fallite = 0;
    for (const Pressione& p : pressioni) {
        QVERIFY2(p.box <= (p.salvato ? 0 : 1), qPrintable(u"%1 box per un \"Salva\""_s.arg(p.box)));
        fallite += !p.salvato;
    }
    QVERIFY(fallite >= cicli);
    for (const QByteArray& riga : errori.split('\n'))
        QVERIFY2(!riga.startsWith("messaggio:") || riga.contains(u"il server del database %1 non risponde"_s.arg(server).toUtf8()),
                 riga.constData());
    const StatoRighe trovato = statoFile(percorso);
    QVERIFY2(trovato == dopo({}, piano, salvati) || trovato == dopo({}, piano, salvati + 1),
             qPrintable(testo(trovato) + u" dopo "_s + QString::number(salvati)));
    QCOMPARE(incoerenze(percorso), QStringList());
}

void TestAtomicita::primiSalvataggiInsieme_data() {
    QTest::addColumn<int>("postazioni");
    QTest::addColumn<bool>("controlli");
    QTest::newRow("quattro") << 4 << false;
    QTest::newRow("due con registro dei buoni") << 2 << true;
}

// Several workstations make the first saves of a new day at the same moment: one header,
// every machine once, exact totals and entries, and nobody sees an error.
void TestAtomicita::primiSalvataggiInsieme() {
    QFETCH(int, postazioni);
    QFETCH(bool, controlli);
    const auto banco = salaSenzaConferma(16, controlli);
    const QString percorso = banco->percorsoFile();
    const QTemporaryDir buoni;
    const int giri = 3;
    const int perPostazione = 3;
    for (int giro = 0; giro < giri; ++giro) {
        const QDate giorno = Oggi.addDays(giro + 1);
        const auto piano = [&](int k) { return PianoSalvataggi{giorno, k, postazioni, 0, 100 * giro + k}; };
        std::deque<QProcess> figli(static_cast<std::size_t>(postazioni));
        for (int k = 0; k < postazioni; ++k)
            avvia(figli[std::size_t(k)], percorso, piano(k), perPostazione,
                  QStringList{u"--via"_s, u"--lento"_s, u"30"_s} + conControlli(controlli, buoni));
        for (QProcess& figlio : figli) {
            QByteArray uscita;
            QVERIFY2(pronto(figlio, uscita), figlio.readAllStandardError().constData());
        }
        const QByteArray via = "via " + QByteArray::number(QDateTime::currentMSecsSinceEpoch() + 200) + '\n';
        for (QProcess& figlio : figli) {
            figlio.write(via);
            QVERIFY(figlio.waitForBytesWritten(5000));
        }
        StatoRighe atteso = statoFile(percorso);
        for (int k = 0; k < postazioni; ++k) {
            QProcess& figlio = figli[std::size_t(k)];
            QVERIFY(figlio.waitForFinished(60000));
            QCOMPARE(figlio.exitCode(), 0);
            const QByteArray errori = figlio.readAllStandardError();
            QVERIFY2(!errori.contains("messaggio:"), errori.constData());
            atteso = dopo(atteso, piano(k), perPostazione);
        }
        QCOMPARE(testo(statoFile(percorso)), testo(atteso));
        const QStringList problemi = incoerenze(percorso);
        QVERIFY2(problemi.isEmpty(), qPrintable(problemi.join(u'\n')));
        if (controlli)
            QCOMPARE(registro(percorso), u"%1 righe"_s.arg((giro + 1) * postazioni * perPostazione));
    }
}

void TestAtomicita::unitaNonRiuscita_data() {
    QTest::addColumn<QString>("causa");
    QTest::addColumn<QString>("motivo");
    QTest::newRow("blocco di un'altra postazione") << u"blocco"_s << u"occupato da un'altra postazione"_s;
    QTest::newRow("disco pieno al commit") << u"disco"_s << u"disco"_s;
}

// The unit cannot start, or is lost at its end: one box says so, nothing is written, and
// the entry stays open with its amount so "Salva" can be pressed again.
void TestAtomicita::unitaNonRiuscita() {
    QFETCH(QString, causa);
    QFETCH(QString, motivo);
    if (causa == QLatin1String("disco") && MotoreProva::postgreSql())
        QSKIP("files only: the server's disk is not this process's to fill");
    const auto banco = salaSenzaConferma(3);
    const QString percorso = banco->percorsoFile();
    RisponditoreBox box;
    auto form = apriForm(DatabaseHost::apri(percorso, OpzioniHost{Oggi, u"OP01"_s, {}, 200}));

    form->CmdApparecchio[1]->click();
    digita(*form, u"12,5"_s);
    const QString captionPrima = form->CmdApparecchio[1]->caption();
    const QString totalePrima = form->LabTotali->caption();

    {
        DbDiretto altro(percorso);
        rlimit limitePrima{};
        if (causa == QLatin1String("blocco") && MotoreProva::postgreSql()) {
            // Another workstation in the middle of its save holds the server's save lock.
            QVERIFY(altro.esegui(u"BEGIN"_s));
            QVERIFY(altro.esegui(u"SELECT pg_advisory_xact_lock(1263683148)"_s));
        } else if (causa == QLatin1String("blocco")) {
            QVERIFY(altro.esegui(u"BEGIN IMMEDIATE"_s));
        } else {
            // The write-ahead log may not grow: the commit's pages cannot reach the disk.
            QVERIFY(altro.esegui(u"PRAGMA wal_checkpoint(TRUNCATE)"_s));
            std::signal(SIGXFSZ, SIG_IGN);
            getrlimit(RLIMIT_FSIZE, &limitePrima);
            rlimit limite = limitePrima;
            limite.rlim_cur = rlim_t(QFileInfo(percorso + u"-wal"_s).size());
            setrlimit(RLIMIT_FSIZE, &limite);
        }
        // Pressed again while the cause lasts: one box a press, every time.
        for (int volta = 0; volta < 3; ++volta)
            form->CmdSalva->click();
        if (causa == QLatin1String("blocco"))
            altro.esegui(u"ROLLBACK"_s);
        else
            setrlimit(RLIMIT_FSIZE, &limitePrima);
    }

    QCOMPARE(box.boxes().size(), 3);
    for (const RisponditoreBox::Box& b : box.boxes())
        QVERIFY2(b.testo.startsWith(u"Salvataggio non riuscito:"_s) && b.testo.contains(motivo) &&
                     !b.testo.contains(u"danneggiato"_s),
                 qPrintable(box.testi().join(u'|')));
    DbDiretto db(percorso);
    QCOMPARE(db.conta(u"noteteste"_s) + db.conta(u"noteincassi"_s) + db.conta(u"LogOperazioni"_s), 0);
    QCOMPARE(form->RefillAperto, qint16(-1));
    QCOMPARE(form->LabValore->caption(), u"12,5"_s);
    QCOMPARE(form->CmdApparecchio[1]->caption(), captionPrima);
    QCOMPARE(form->LabTotali->caption(), totalePrima);

    // Once the cause is gone, pressing "Salva" again saves the amount.
    box.azzera();
    form->CmdSalva->click();
    QCOMPARE(box.boxes().size(), 0);
    QCOMPARE(statoFile(percorso), (StatoRighe{{{Oggi, 1002}, 1250}}));
    QVERIFY(incoerenze(percorso).isEmpty());
    form.reset();
    StatoModulo::istanza().applicazione.reset();
}

void TestAtomicita::aperturaRifiutata_data() {
    QTest::addColumn<QString>("caso");
    QTest::addColumn<QString>("motivo"); // what the one line says
    if (MotoreProva::postgreSql()) {
        QTest::newRow("ruolo senza le scritture contabili")
            << u"SELECT, INSERT, UPDATE, DELETE"_s << u"noterighe"_s;
        return;
    }
    QTest::newRow("file in sola lettura") << u"file"_s << u"in sola lettura"_s;
    QTest::newRow("disco pieno, file chiuso") << u"disco"_s << u"disco"_s;
    QTest::newRow("disco pieno, file in uso") << u"disco in uso"_s << u"disco"_s;
}

// A database that cannot be written (a read-only file, a disk too full for even
// the engine's shared-memory file, a server role without the rights a save needs) is
// refused when it is opened, in one line that names the cause, never as a damaged file,
// and the file stays as it was. Root may write anything, so as root the program runs as
// nobody.
void TestAtomicita::aperturaRifiutata() {
    QFETCH(QString, caso);
    QFETCH(QString, motivo);
    QTemporaryDir dir(u"/tmp/kalorefill-sololettura-XXXXXX"_s);
    QString percorso = dir.filePath(u"sala.db"_s);
    const auto banco = salaSenzaConferma(3);
    QStringList prima{u"sh"_s, u"-c"_s, u"exec \"$0\" \"$@\""_s};
    QString ruolo;
    const bool root = ::geteuid() == 0;
    if (MotoreProva::postgreSql()) {
        QUrl indirizzo(banco->percorsoFile());
        const QString schema = QUrlQuery(indirizzo).queryItemValue(u"options"_s).section(u'=', 1);
        ruolo = u"lettore_%1_%2"_s.arg(QCoreApplication::applicationPid()).arg(caso.size());
        QVERIFY(DbDiretto(banco->percorsoFile())
                    .esegui({u"CREATE ROLE %1 LOGIN"_s.arg(ruolo),
                             u"GRANT USAGE ON SCHEMA %2 TO %1"_s.arg(ruolo, schema),
                             u"GRANT %3 ON ALL TABLES IN SCHEMA %2 TO %1"_s.arg(ruolo, schema, caso),
                             u"REVOKE INSERT ON %2.noterighe FROM %1"_s.arg(ruolo, schema)}));
        indirizzo.setUserName(ruolo);
        percorso = indirizzo.toString();
        motivo = u"kalorefill: il ruolo %1 non può scrivere nella tabella %2"_s.arg(ruolo, motivo);
    } else {
        QVERIFY(DbDiretto(banco->percorsoFile()).esegui(u"PRAGMA wal_checkpoint(TRUNCATE)"_s));
        QVERIFY(QFile::copy(banco->percorsoFile(), percorso));
        if (caso.startsWith(QLatin1String("disco"))) {
            if (caso.endsWith(QLatin1String("in uso")))
                QVERIFY(QFile(percorso + u"-wal"_s).open(QIODevice::WriteOnly));
            // No file may grow at all; the signal that would end the program is ignored.
            prima[2] = u"trap '' XFSZ; ulimit -f 0; exec \"$0\" \"$@\""_s;
        } else {
            // Flags as rwx digits: 0x7755 is rwxr-xr-x for the owner and the user.
            using P = QFileDevice::Permissions;
            QFile::setPermissions(dir.path(), P(0x7755));
            QFile::setPermissions(percorso, root ? P(0x6644) : P(0x4444));
            if (root)
                prima = QStringList{u"runuser"_s, u"-u"_s, u"nobody"_s, u"--"_s};
        }
    }
    QFile file(percorso);
    const QByteArray contenuto = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    file.close();
    QProcess kalorefill;
    const QString comando = prima.takeFirst();
    kalorefill.start(comando, prima + QStringList{programma(u"kalorefill"_s), u"--verifica"_s,
                                                           u"--database"_s, percorso});
    QVERIFY(kalorefill.waitForFinished(30000));
    const QString errore = QString::fromUtf8(kalorefill.readAllStandardError());
    QFile::setPermissions(dir.path(), QFileDevice::Permissions(0x7700));
    if (!ruolo.isEmpty())
        DbDiretto(banco->percorsoFile()).esegui(u"DROP OWNED BY %1; DROP ROLE %1"_s.arg(ruolo));
    QVERIFY2(kalorefill.exitCode() == 1, qPrintable(errore));
    QVERIFY2(errore.contains(motivo) && !errore.contains(u"danneggiato"_s), qPrintable(errore));
    QCOMPARE(errore.count(u'\n'), 1);
    if (ruolo.isEmpty()) {
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll() == contenuto);
        if (!caso.startsWith(QLatin1String("disco")))
            QVERIFY(!QFile::exists(percorso + u"-wal"_s));
    }
}

void TestAtomicita::verificaERipara_data() {
    QTest::addColumn<QString>("danno");
    QTest::addColumn<QString>("problema");
    QTest::addColumn<qint64>("totaleAtteso");
    const auto riga = [](const char* nome, const QString& danno, const char* problema, qint64 totale) {
        QTest::newRow(nome) << danno << QString::fromUtf8(problema) << totale;
    };
    // Two machines saved: 1001 for 10,00 and 1002 for 5,50.
    riga("totale diverso", u"update noteteste set refillnoleggiatore=10"_s, "diverso dalla somma", 1550);
    riga("totale vuoto", u"update noteteste set refillnoleggiatore=null"_s, "totale della testata vuoto", 1550);
    riga("una sola scrittura", u"delete from noterighe where riga=2"_s, "1 scritture", 1550);
    riga("scrittura sbilanciata", u"update noterighe set dare=99 where riga=2"_s, "non è dare", 1550);
    riga("scrittura sul conto sbagliato", u"update noterighe set codconto='C.09.999' where riga=1"_s,
         "sul conto C.01.001", 1550);
    const QString incasso = u"insert into noteincassi (idtesta, linkscheda, dataincasso, refillgestore, iddata) "
                            "values (%1, %2, '%3', %4, '2099-01-01 00:00:00')"_s;
    const QString ultima = u"(select max(id) from noteteste)"_s;
    // A second header of the same day, as two old programs made it: one machine in both
    // (the later save, 7,00, wins), one only in the second.
    riga("testata doppia",
         u"insert into noteteste (codcausale, dataregistrazione, Codlocale) values ('REF', '2026-12-04', 'SG01');"_s +
             incasso.arg(ultima).arg(1001).arg(u"2026-12-04"_s).arg(7) + u';' +
             incasso.arg(ultima).arg(1003).arg(u"2026-12-04"_s).arg(3),
         "testata doppia", 1550 - 1000 + 700 + 300);
    // A machine twice in its header: the later save wins.
    riga("riga doppia", incasso.arg(ultima).arg(1001).arg(u"2026-12-04"_s).arg(7), "riga doppia", 1550 - 1000 + 700);
    // Rows and entries whose header has gone: a row joins its date's header, an entry goes,
    // and so does a row whose date has no header left.
    riga("riga senza testata", incasso.arg(999999).arg(1003).arg(u"2026-12-04"_s).arg(3), "senza testata", 1550 + 300);
    riga("riga senza testata né documento", incasso.arg(999999).arg(1003).arg(u"2026-12-03"_s).arg(3),
         "senza testata", 1550);
    riga("scrittura senza testata",
         u"insert into noterighe (idtesta, riga, descrizione, dare, avere, codconto, Data) "
         "values (999999, 1, 'Refill Hopper', 0, 4, 'C.01.001', '2026-12-04')"_s,
         "senza testata", 1550);
}

// Documents damaged in each way are listed, mended in one go, logged, and consistent after.
void TestAtomicita::verificaERipara() {
    QFETCH(QString, danno);
    QFETCH(QString, problema);
    QFETCH(qint64, totaleAtteso);
    const auto banco = salaSenzaConferma(3);
    const QString percorso = banco->percorsoFile();
    {
        RisponditoreBox box;
        auto form = apriForm(banco->host());
        salvaRefill(*form, 0, u"10"_s);
        salvaRefill(*form, 1, u"5,5"_s);
        StatoModulo::istanza().applicazione.reset();
    }
    QVERIFY(DbDiretto(percorso).esegui(danno.split(u';')));
    QVERIFY(!incoerenze(percorso).isEmpty());

    VerificaRefill verifica(*banco->host(), Oggi.addDays(-1), Oggi);
    const auto trovati = verifica.verifica();
    QVERIFY2(!trovati.isEmpty() && VerificaRefill::tabella(trovati).contains(problema),
             qPrintable(VerificaRefill::tabella(trovati)));
    // Outside the period nothing is found, and nothing is mended.
    QVERIFY(VerificaRefill(*banco->host(), Oggi.addDays(1), Oggi.addDays(9)).verifica().isEmpty());

    verifica.ripara();
    QVERIFY(verifica.verifica().isEmpty());
    QCOMPARE(incoerenze(percorso), QStringList());
    DbDiretto db(percorso);
    QCOMPARE(db.conta(u"noteteste"_s), 1);
    QCOMPARE(centesimi(db.valore(u"select refillnoleggiatore from noteteste"_s)), totaleAtteso);
    QCOMPARE(db.conta(u"LogOperazioni"_s, u"operazione='Riparazione Refill'"_s), 1);
}

QTEST_MAIN(TestAtomicita)
#include "tst_atomicita.moc"
