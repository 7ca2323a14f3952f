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
#include "MotoreProva.h"
#include "RisponditoreBox.h"
#include "RisponditorePin.h"
#include "Supporto.h"
#include "VerificaRefill.h"
#include "documento/VerificaRegistro.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QUrl>
#include <QUrlQuery>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <functional>
#include <map>
#include <sys/resource.h>
#include <unistd.h>

using namespace KaloRefill;

namespace {

const QDate Oggi(2026, 12, 4);
const QColor Giallo(192, 192, 0);

// (date, idscheda) -> cents
using StatoRighe = std::map<std::pair<QDate, int>, qint64>;

qint64 centesimi(const QVariant& v) { return qRound64(v.toDouble() * 100); }

// Everything that makes the refill documents of a file inconsistent, one line each.
QStringList incoerenze(const QString& percorso) {
    QStringList trovate;
    DbDiretto db(percorso);
    if (!MotoreProva::postgreSql()) {
        const auto controllo = db.righe(QStringLiteral("PRAGMA integrity_check"));
        if (controllo.size() != 1 || controllo.at(0).at(0).toString() != QLatin1String("ok"))
            trovate << QStringLiteral("integrity_check non ok");
    }
    for (const auto& r : db.righe(QStringLiteral("select dataregistrazione, count(*) from noteteste "
                                                  "where codcausale='REF' group by dataregistrazione having count(*) > 1")))
        trovate << QStringLiteral("%1 testate il %2").arg(r.at(1).toString(), r.at(0).toString());
    for (const char* tabella : {"noteincassi", "noterighe"})
        for (const auto& r : db.righe(QStringLiteral("select x.id from %1 x left join noteteste t on x.idtesta = t.id "
                                                      "where t.id is null").arg(QLatin1String(tabella))))
            trovate << QStringLiteral("%1 %2 senza testata").arg(QLatin1String(tabella), r.at(0).toString());
    for (const auto& r : db.righe(QStringLiteral("select idtesta, linkscheda from noteincassi group by idtesta, linkscheda "
                                                  "having count(*) > 1")))
        trovate << QStringLiteral("testata %1: apparecchio %2 doppio").arg(r.at(0).toString(), r.at(1).toString());
    const auto testate = db.righe(QStringLiteral(
        "select t.id, t.refillnoleggiatore, (select sum(refillgestore) from noteincassi where idtesta=t.id), "
        "(select count(*) from noteincassi where idtesta=t.id) from noteteste t where codcausale='REF'"));
    for (const auto& t : testate) {
        const qint64 id = t.at(0).toLongLong();
        const qint64 totale = centesimi(t.at(2));
        if (t.at(3).toInt() == 0)
            trovate << QStringLiteral("testata %1 senza righe").arg(id);
        if (t.at(1).isNull() || centesimi(t.at(1)) != totale)
            trovate << QStringLiteral("testata %1: totale %2, righe %3").arg(id).arg(t.at(1).toString()).arg(totale);
        const auto scritture = db.righe(
            QStringLiteral("select riga, dare, avere, codconto from noterighe where idtesta=%1 order by riga").arg(id));
        const QList<QVariantList> attese{{1, 0, totale, QStringLiteral("C.01.001")},
                                         {2, totale, 0, QStringLiteral("C.01.010")}};
        bool giuste = scritture.size() == 2;
        for (int k = 0; giuste && k < 2; ++k)
            giuste = scritture.at(k).at(0).toInt() == attese.at(k).at(0).toInt() &&
                     centesimi(scritture.at(k).at(1)) == attese.at(k).at(1).toLongLong() &&
                     centesimi(scritture.at(k).at(2)) == attese.at(k).at(2).toLongLong() &&
                     scritture.at(k).at(3).toString() == attese.at(k).at(3).toString();
        if (!giuste)
            trovate << QStringLiteral("testata %1: %2 scritture non bilanciate sul totale %3")
                           .arg(id).arg(scritture.size()).arg(totale);
    }
    return trovate;
}

StatoRighe statoFile(const QString& percorso) {
    StatoRighe stato;
    DbDiretto db(percorso);
    for (const auto& r : db.righe(QStringLiteral("select i.dataincasso, i.linkscheda, i.refillgestore from noteincassi i "
                                                  "join noteteste t on i.idtesta = t.id where t.codcausale='REF'")))
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

QString differenza(const StatoRighe& trovato, const StatoRighe& atteso) {
    QStringList righe;
    for (const auto& [chiave, valore] : trovato)
        if (!atteso.count(chiave) || atteso.at(chiave) != valore)
            righe << QStringLiteral("%1/%2: %3 invece di %4")
                         .arg(chiave.first.toString(Qt::ISODate)).arg(chiave.second).arg(valore)
                         .arg(atteso.count(chiave) ? QString::number(atteso.at(chiave)) : QStringLiteral("niente"));
    for (const auto& [chiave, valore] : atteso)
        if (!trovato.count(chiave))
            righe << QStringLiteral("%1/%2: manca (%3)").arg(chiave.first.toString(Qt::ISODate)).arg(chiave.second).arg(valore);
    return righe.join(QStringLiteral("; "));
}

QString programma(const QString& nome) { return QDir(QCoreApplication::applicationDirPath()).filePath(nome); }

QStringList argomenti(const QString& percorso, const PianoSalvataggi& piano, int quanti, bool via,
                      const QString& buoni = {}) {
    QStringList a{percorso,
                  piano.primaData.toString(Qt::ISODate),
                  QString::number(piano.primo),
                  QString::number(piano.passo),
                  QString::number(piano.perGiorno),
                  QString::number(piano.seme),
                  QString::number(quanti)};
    if (via)
        a << QStringLiteral("--via") << QStringLiteral("--lento") << QStringLiteral("30");
    // With the hall's controls on every workstation signs in as OP02.
    if (!buoni.isEmpty())
        a << QStringLiteral("--pin") << QStringLiteral("OP02") << QStringLiteral("2222") << QStringLiteral("--buoni") << buoni;
    return a;
}

int salvataggiRiferiti(const QByteArray& uscita) { return int(uscita.count("salvato ")); }

std::unique_ptr<BancoProva> salaSenzaConferma(int apparecchi = 16, bool controlli = false) {
    auto banco = BancoProva::salaPronta(apparecchi, Oggi);
    banco->host()->salvasettaggio(QStringLiteral("Refill"), QStringLiteral("Salvataggio"), 0);
    // No save of the plans needs a witness: the register alone is under test.
    if (controlli)
        attivaControlli(*banco->host(), 32000);
    return banco;
}

// The register numbered 1..n per hall and year with no gap and no number twice, and in
// step with the documents; n, or -1 with what is wrong.
int righeRegistro(const QString& percorso, QString& problema) {
    DbDiretto db(percorso);
    const auto r = db.righe(QStringLiteral("select count(*), count(distinct numero), min(numero), max(numero) "
                                           "from RegistroRefill"));
    const int righe = r.at(0).at(0).toInt();
    if (righe > 0 && (r.at(0).at(1).toInt() != righe || r.at(0).at(2).toInt() != 1 || r.at(0).at(3).toInt() != righe)) {
        problema = QStringLiteral("%1 righe, %2 numeri diversi, da %3 a %4")
                       .arg(righe).arg(r.at(0).at(1).toInt()).arg(r.at(0).at(2).toInt()).arg(r.at(0).at(3).toInt());
        return -1;
    }
    const auto host = DatabaseHost::apri(percorso);
    const auto problemi = VerificaRegistro(*host, {}, {}).verifica();
    if (!problemi.isEmpty()) {
        problema = VerificaRegistro::tabella(problemi);
        return -1;
    }
    return righe;
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
    void serverPerso_data();
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
        figlio.start(programma(QStringLiteral("salvatore_prova")),
                     argomenti(percorso, piano, 100000, false, controlli ? buoni.path() : QString()));
        QVERIFY2(figlio.waitForStarted(), qPrintable(figlio.errorString()));
        QByteArray uscita;
        while (!uscita.contains("pronto\n") && figlio.waitForReadyRead(10000))
            uscita += figlio.readAllStandardOutput();
        QVERIFY2(uscita.contains("pronto\n"), figlio.readAllStandardError().constData());
        QTest::qWait(int(caso.bounded(20, 400)));
        figlio.kill(); // SIGKILL
        figlio.waitForFinished();
        uscita += figlio.readAllStandardOutput();
        const QByteArray errori = figlio.readAllStandardError();
        QVERIFY2(!errori.contains("messaggio:"), errori.constData());

        const int fatti = salvataggiRiferiti(uscita);
        salvataggiTotali += fatti;
        const StatoRighe trovato = statoFile(percorso);
        const StatoRighe soloFatti = dopo(stato, piano, fatti);
        const StatoRighe conIlSeguente = dopo(stato, piano, fatti + 1);
        QVERIFY2(trovato == soloFatti || trovato == conIlSeguente,
                 qPrintable(QStringLiteral("ciclo %1: il file non è lo stato dopo %2 o %3 salvataggi: %4")
                                .arg(ciclo).arg(fatti).arg(fatti + 1).arg(differenza(trovato, soloFatti))));
        stato = trovato;
        const QStringList problemi = incoerenze(percorso);
        QVERIFY2(problemi.isEmpty(), qPrintable(QStringLiteral("ciclo %1: ").arg(ciclo) + problemi.join(u'\n')));
        if (controlli) {
            QString problema;
            const int righe = righeRegistro(percorso, problema);
            const int salvati = registrate + fatti + (trovato == conIlSeguente && trovato != soloFatti ? 1 : 0);
            QVERIFY2(righe == salvati, qPrintable(QStringLiteral("ciclo %1: registro di %2 righe per %3 salvataggi %4")
                                                       .arg(ciclo).arg(righe).arg(salvati).arg(problema)));
            registrate = righe;
        }
    }
    QVERIFY2(salvataggiTotali >= cicli, "i programmi uccisi non hanno salvato quasi nulla");
    qInfo("%d cicli, %d salvataggi conclusi, 0 documenti incoerenti", cicli, salvataggiTotali);
}

// A box of a save left unanswered at one desk (here the accounts the entries need are
// missing) does not hold the database: another desk saves meanwhile, within a wait far
// shorter than the box stays open.
void TestAtomicita::boxSenzaBlocco() {
    const auto banco = salaSenzaConferma();
    const QString percorso = banco->percorsoFile();
    QVERIFY(DbDiretto(percorso).esegui(QStringLiteral("delete from TabAssociazioneConti")));
    const auto avvia = [&](QProcess& figlio, int primo, const QStringList& altri) {
        figlio.start(programma(QStringLiteral("salvatore_prova")),
                     argomenti(percorso, PianoSalvataggi{Oggi, primo, 1, 0, primo + 1}, 1, false) + altri);
        return figlio.waitForStarted();
    };
    QProcess distratto;
    QVERIFY(avvia(distratto, 0, {QStringLiteral("--tieni"), QStringLiteral("30000")}));
    // The start-up's own warning, then the first box of the save, which stays open.
    QByteArray errori;
    for (int attesa = 0; errori.count("messaggio:") < 2 && attesa < 600; ++attesa) {
        QTest::qWait(50);
        errori += distratto.readAllStandardError();
    }
    QVERIFY2(errori.count("messaggio:") >= 2, errori.constData());

    QProcess altro;
    QVERIFY(avvia(altro, 1, {QStringLiteral("--attesa"), QStringLiteral("3000")}));
    QVERIFY(altro.waitForFinished(60000));
    const QByteArray uscitaAltro = altro.readAllStandardOutput();
    const QByteArray erroriAltro = altro.readAllStandardError();
    QVERIFY2(distratto.state() == QProcess::Running, "la prima postazione ha chiuso il box da sola");
    distratto.kill();
    distratto.waitForFinished();
    QVERIFY2(uscitaAltro.contains("salvato 0") && !erroriAltro.contains("Salvataggio non riuscito"),
             erroriAltro.constData());
    // Both saves are in: the first was kept before its box was shown.
    const StatoRighe trovato = statoFile(percorso);
    QVERIFY2(trovato.count({Oggi, 1001}) && trovato.count({Oggi, 1002}),
             qPrintable(differenza(trovato, {})));
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
    QCOMPARE(banco->conta(QStringLiteral("select count(*) from noteincassi where linkscheda=1002 and refillgestore=20")), 1);
    QCOMPARE(banco->conta(QStringLiteral("select count(*) from noterighe where dare=30 and avere=0")), 1);
    QCOMPARE(banco->conta(QStringLiteral("select count(*) from noterighe where dare=0 and avere=30")), 1);
    QCOMPARE(banco->conta(QStringLiteral("select count(*) from noteteste where refillnoleggiatore=30")), 1);
}

void TestAtomicita::serverPerso_data() {
    QTest::addColumn<bool>("taglio");
    QTest::addColumn<int>("cicli");
    QTest::newRow("server fermato di colpo e riavviato") << false << 10;
    QTest::newRow("connessione tagliata") << true << 5;
}

// The server stops dead (-m immediate) and comes back, or the network cuts the connection,
// while a workstation saves without pause and presses "Salva" again whenever a save does
// not go through. Each press shows at most one box, naming the server; the first press
// after the server is back saves; no confirmed save is lost and nothing is half-written.
void TestAtomicita::serverPerso() {
    const QString cluster = qEnvironmentVariable("KALOREFILL_TEST_PG_CLUSTER");
    if (cluster.isEmpty())
        QSKIP("needs a server of its own to stop: ctest runs it as tst_atomicita_server");
    QFETCH(bool, taglio);
    QFETCH(int, cicli);
    const auto banco = salaSenzaConferma();
    const QString percorso = banco->percorsoFile();
    QUrl indirizzo(percorso);
    QUrlQuery opzioni(indirizzo);
    QString server = opzioni.queryItemValue(QStringLiteral("host")) + u':' + opzioni.queryItemValue(QStringLiteral("port"));
    QProcess staffetta;
    if (taglio) {
        // The workstation reaches the server over TCP through a relay the test can cut.
        staffetta.start(programma(QStringLiteral("staffetta_prova")),
                        {opzioni.queryItemValue(QStringLiteral("host")) + QStringLiteral("/.s.PGSQL.") +
                         opzioni.queryItemValue(QStringLiteral("port"))});
        QVERIFY(staffetta.waitForReadyRead(10000));
        const QString porta = QString::fromLatin1(staffetta.readLine()).trimmed();
        opzioni.removeAllQueryItems(QStringLiteral("host"));
        opzioni.removeAllQueryItems(QStringLiteral("port"));
        opzioni.addQueryItem(QStringLiteral("host"), QStringLiteral("127.0.0.1"));
        opzioni.addQueryItem(QStringLiteral("port"), porta);
        indirizzo.setQuery(opzioni);
        server = QStringLiteral("127.0.0.1:") + porta;
    }
    const auto agisci = [&](const char* azione) {
        if (taglio) {
            staffetta.write("taglia\n");
            return staffetta.waitForReadyRead(10000) && staffetta.readLine().startsWith("tagliato");
        }
        return QProcess::execute(QStringLiteral("sh"), {QStringLiteral(KALOREFILL_CLUSTER_SH), QLatin1String(azione), cluster}) == 0;
    };

    const PianoSalvataggi piano{Oggi, 0, 3, 0, 7};
    QProcess figlio;
    figlio.start(programma(QStringLiteral("salvatore_prova")),
                 argomenti(indirizzo.toString(), piano, 100000, false) +
                     QStringList{QStringLiteral("--riprova"), QStringLiteral("--attesa"), QStringLiteral("2000"),
                                 QStringLiteral("--lento"), QString::number(taglio ? 300 : 20)});
    QVERIFY(figlio.waitForStarted());
    struct Pressione {
        qint64 inizio;
        bool salvato;
        int box;
    };
    QList<Pressione> pressioni;
    int salvati = 0;
    int dentro = 0; // saves that have reached the look-up of the day's header
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
                dentro += parti.value(0) == "dentro";
            }
        }
        return basta();
    };
    for (int ciclo = 0; ciclo < cicli; ++ciclo) {
        const int prima = salvati;
        QVERIFY2(ascolta([&] { return salvati >= prima + 2; }), errori.constData());
        // The cut falls in the middle of a save: its header look-up is slow.
        const int dentroPrima = dentro;
        if (taglio)
            QVERIFY(ascolta([&] { return dentro > dentroPrima; }));
        QVERIFY(agisci("crash"));
        if (!taglio) {
            // Saves pressed while the server is away fail, one box each.
            const qsizetype pressePrima = pressioni.size();
            ascolta([&] { return pressioni.size() > pressePrima + 2; });
            QVERIFY(agisci("resume"));
        }
        const qint64 ripreso = QDateTime::currentMSecsSinceEpoch();
        // Strictly after: a press begun in the millisecond the cut ended may be the one it fell in.
        const auto dopoRipresa = [&] {
            return std::find_if(pressioni.cbegin(), pressioni.cend(), [&](const Pressione& p) { return p.inizio > ripreso; });
        };
        QVERIFY2(ascolta([&] { return dopoRipresa() != pressioni.cend(); }), errori.constData());
        QVERIFY2(dopoRipresa()->salvato, qPrintable(QStringLiteral("ciclo %1: la prima pressione dopo il ritorno non salva").arg(ciclo)));
    }
    figlio.kill();
    figlio.waitForFinished();
    staffetta.kill();
    staffetta.waitForFinished();
    int fallite = 0;
    for (const Pressione& p : pressioni) {
        QVERIFY2(p.box <= (p.salvato ? 0 : 1), qPrintable(QStringLiteral("%1 box per un \"Salva\"").arg(p.box)));
        fallite += !p.salvato;
    }
    QVERIFY(fallite >= cicli);
    for (const QByteArray& riga : errori.split('\n'))
        QVERIFY2(!riga.startsWith("messaggio:") || riga.contains(QStringLiteral("il server del database %1 non risponde").arg(server).toUtf8()),
                 riga.constData());
    const StatoRighe trovato = statoFile(percorso);
    QVERIFY2(trovato == dopo({}, piano, salvati) || trovato == dopo({}, piano, salvati + 1),
             qPrintable(differenza(trovato, dopo({}, piano, salvati))));
    QCOMPARE(incoerenze(percorso), QStringList());
    qInfo("%d cicli, %d salvataggi confermati, %d pressioni non riuscite, nessuna con più di un box", cicli, salvati, fallite);
}

void TestAtomicita::primiSalvataggiInsieme_data() {
    QTest::addColumn<int>("postazioni");
    QTest::addColumn<bool>("controlli");
    QTest::newRow("due") << 2 << false;
    QTest::newRow("quattro") << 4 << false;
    QTest::newRow("due con registro dei buoni") << 2 << true;
    QTest::newRow("quattro con registro dei buoni") << 4 << true;
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
        std::vector<std::unique_ptr<QProcess>> figli;
        for (int k = 0; k < postazioni; ++k) {
            PianoSalvataggi piano{giorno, k, postazioni, 0, 100 * giro + k};
            auto figlio = std::make_unique<QProcess>();
            figlio->start(programma(QStringLiteral("salvatore_prova")),
                          argomenti(percorso, piano, perPostazione, true, controlli ? buoni.path() : QString()));
            QVERIFY(figlio->waitForStarted());
            figli.push_back(std::move(figlio));
        }
        for (auto& figlio : figli) {
            QByteArray uscita;
            while (!uscita.contains("pronto\n") && figlio->waitForReadyRead(20000))
                uscita += figlio->readAllStandardOutput();
            QVERIFY2(uscita.contains("pronto\n"), figlio->readAllStandardError().constData());
        }
        const QByteArray via = "via " + QByteArray::number(QDateTime::currentMSecsSinceEpoch() + 200) + '\n';
        for (auto& figlio : figli) {
            figlio->write(via);
            QVERIFY(figlio->waitForBytesWritten(5000));
        }
        StatoRighe atteso = statoFile(percorso);
        for (int k = 0; k < postazioni; ++k) {
            QProcess& figlio = *figli[std::size_t(k)];
            QVERIFY(figlio.waitForFinished(60000));
            QCOMPARE(figlio.exitCode(), 0);
            const QByteArray errori = figlio.readAllStandardError();
            QVERIFY2(!errori.contains("messaggio:"), errori.constData());
            atteso = dopo(atteso, PianoSalvataggi{giorno, k, postazioni, 0, 100 * giro + k}, perPostazione);
        }
        QCOMPARE(statoFile(percorso), atteso);
        const QStringList problemi = incoerenze(percorso);
        QVERIFY2(problemi.isEmpty(), qPrintable(problemi.join(u'\n')));
        DbDiretto db(percorso);
        QCOMPARE(db.conta(QStringLiteral("noteteste"), QStringLiteral("codcausale='REF' and dataregistrazione='%1'")
                                                              .arg(giorno.toString(Qt::ISODate))), 1);
        if (controlli) {
            QString problema;
            QCOMPARE(righeRegistro(percorso, problema), (giro + 1) * postazioni * perPostazione);
            QVERIFY2(problema.isEmpty(), qPrintable(problema));
        }
    }
}

void TestAtomicita::unitaNonRiuscita_data() {
    QTest::addColumn<QString>("causa");
    QTest::addColumn<QString>("motivo");
    QTest::newRow("blocco di un'altra postazione") << QStringLiteral("blocco") << QStringLiteral("occupato da un'altra postazione");
    QTest::newRow("disco pieno al commit") << QStringLiteral("disco") << QStringLiteral("disco");
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
    OpzioniHost opzioni;
    opzioni.data = Oggi;
    opzioni.user = QStringLiteral("OP01");
    opzioni.attesaBloccoMs = 200;
    auto host = DatabaseHost::apri(percorso, opzioni);
    RisponditoreBox box;
    auto form = apriForm(host);
    const StatoRighe prima = statoFile(percorso);

    form->CmdApparecchio[1]->click();
    digita(*form, QStringLiteral("12,5"));
    const QString captionPrima = form->CmdApparecchio[1]->caption();
    const QString totalePrima = form->LabTotali->caption();

    {
        DbDiretto altro(percorso);
        rlimit limitePrima{};
        if (causa == QLatin1String("blocco") && MotoreProva::postgreSql()) {
            // Another workstation in the middle of its save holds the server's save lock.
            QVERIFY(altro.esegui(QStringLiteral("BEGIN")));
            QVERIFY(altro.esegui(QStringLiteral("SELECT pg_advisory_xact_lock(1263683148)")));
        } else if (causa == QLatin1String("blocco")) {
            QVERIFY(altro.esegui(QStringLiteral("BEGIN IMMEDIATE")));
        } else {
            // The write-ahead log may not grow: the commit's pages cannot reach the disk.
            QVERIFY(altro.esegui(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)")));
            std::signal(SIGXFSZ, SIG_IGN);
            getrlimit(RLIMIT_FSIZE, &limitePrima);
            rlimit limite = limitePrima;
            limite.rlim_cur = rlim_t(QFileInfo(percorso + QStringLiteral("-wal")).size());
            setrlimit(RLIMIT_FSIZE, &limite);
        }
        // Pressed again while the cause lasts: one box a press, every time.
        for (int volta = 0; volta < 3; ++volta)
            form->CmdSalva->click();
        if (causa == QLatin1String("blocco"))
            altro.esegui(QStringLiteral("ROLLBACK"));
        else
            setrlimit(RLIMIT_FSIZE, &limitePrima);
    }

    QCOMPARE(box.boxes().size(), 3);
    for (const RisponditoreBox::Box& b : box.boxes()) {
        QVERIFY2(b.testo.startsWith(QStringLiteral("Salvataggio non riuscito:")) && b.testo.contains(motivo) &&
                     !b.testo.contains(QStringLiteral("danneggiato")),
                 qPrintable(box.testi().join(u'|')));
        QCOMPARE(b.icona, QMessageBox::Warning);
    }
    QCOMPARE(statoFile(percorso), prima);
    DbDiretto db(percorso);
    QCOMPARE(db.conta(QStringLiteral("noteteste")) + db.conta(QStringLiteral("LogOperazioni")), 0);
    QCOMPARE(form->RefillAperto, qint16(-1));
    QCOMPARE(form->LabValore->caption(), QStringLiteral("12,5"));
    QCOMPARE(form->CmdApparecchio[1]->backColor(), Giallo);
    QCOMPARE(form->CmdApparecchio[1]->caption(), captionPrima);
    QCOMPARE(form->LabTotali->caption(), totalePrima);
    QVERIFY(form->CmdSalva->isEnabled());

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
        QTest::newRow("ruolo in sola lettura") << QStringLiteral("SELECT") << QStringLiteral("noteteste");
        QTest::newRow("ruolo senza le scritture contabili")
            << QStringLiteral("SELECT, INSERT, UPDATE, DELETE") << QStringLiteral("noterighe");
        return;
    }
    QTest::newRow("file in sola lettura") << QStringLiteral("file") << QStringLiteral("in sola lettura");
    QTest::newRow("cartella in sola lettura") << QStringLiteral("cartella") << QStringLiteral("in sola lettura");
    QTest::newRow("disco pieno, file chiuso") << QStringLiteral("disco") << QStringLiteral("disco");
    QTest::newRow("disco pieno, file in uso") << QStringLiteral("disco in uso") << QStringLiteral("disco");
}

// A database that cannot be written (a read-only file or folder, a disk too full for even
// the engine's shared-memory file, a server role without the rights a save needs) is
// refused when it is opened, in one line that names the cause, never as a damaged file,
// and the file stays as it was. Root may write anything, so as root the program runs as
// nobody.
void TestAtomicita::aperturaRifiutata() {
    QFETCH(QString, caso);
    QFETCH(QString, motivo);
    QTemporaryDir dir(QStringLiteral("/tmp/kalorefill-sololettura-XXXXXX"));
    QString percorso = dir.filePath(QStringLiteral("sala.db"));
    const auto banco = salaSenzaConferma(3);
    QStringList prima{QStringLiteral("sh"), QStringLiteral("-c"), QStringLiteral("exec \"$0\" \"$@\"")};
    QString ruolo;
    const bool root = ::geteuid() == 0;
    if (MotoreProva::postgreSql()) {
        QUrl indirizzo(banco->percorsoFile());
        const QString schema = QUrlQuery(indirizzo).queryItemValue(QStringLiteral("options")).section(u'=', 1);
        ruolo = QStringLiteral("lettore_%1_%2").arg(QCoreApplication::applicationPid()).arg(caso.size());
        QVERIFY(DbDiretto(banco->percorsoFile())
                    .esegui({QStringLiteral("CREATE ROLE %1 LOGIN").arg(ruolo),
                             QStringLiteral("GRANT USAGE ON SCHEMA %2 TO %1").arg(ruolo, schema),
                             QStringLiteral("GRANT %3 ON ALL TABLES IN SCHEMA %2 TO %1").arg(ruolo, schema, caso),
                             QStringLiteral("REVOKE INSERT ON %2.noterighe FROM %1").arg(ruolo, schema)}));
        indirizzo.setUserName(ruolo);
        percorso = indirizzo.toString();
        motivo = QStringLiteral("kalorefill: il ruolo %1 non può scrivere nella tabella %2").arg(ruolo, motivo);
    } else {
        QVERIFY(DbDiretto(banco->percorsoFile()).esegui(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)")));
        QVERIFY(QFile::copy(banco->percorsoFile(), percorso));
        if (caso.startsWith(QLatin1String("disco"))) {
            if (caso.endsWith(QLatin1String("in uso")))
                QVERIFY(QFile(percorso + QStringLiteral("-wal")).open(QIODevice::WriteOnly));
            // No file may grow at all; the signal that would end the program is ignored.
            prima[2] = QStringLiteral("trap '' XFSZ; ulimit -f 0; exec \"$0\" \"$@\"");
        } else {
            // Flags as rwx digits: 0x7755 is rwxr-xr-x for the owner and the user.
            using P = QFileDevice::Permissions;
            const bool cartella = caso == QLatin1String("cartella");
            QFile::setPermissions(dir.path(), cartella ? P(0x5555) : P(0x7755));
            QFile::setPermissions(percorso, cartella ? (root ? P(0x6666) : P(0x6644)) : (root ? P(0x6644) : P(0x4444)));
            if (root)
                prima = QStringList{QStringLiteral("runuser"), QStringLiteral("-u"), QStringLiteral("nobody"), QStringLiteral("--")};
        }
    }
    QFile file(percorso);
    const QByteArray contenuto = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    file.close();
    QProcess kalorefill;
    const QString comando = prima.takeFirst();
    kalorefill.start(comando, prima + QStringList{programma(QStringLiteral("kalorefill")), QStringLiteral("--verifica"),
                                                           QStringLiteral("--database"), percorso});
    QVERIFY(kalorefill.waitForFinished(30000));
    const QString errore = QString::fromUtf8(kalorefill.readAllStandardError());
    QFile::setPermissions(dir.path(), QFileDevice::Permissions(0x7700));
    if (!ruolo.isEmpty())
        DbDiretto(banco->percorsoFile()).esegui(QStringLiteral("DROP OWNED BY %1; DROP ROLE %1").arg(ruolo));
    QVERIFY2(kalorefill.exitCode() == 1, qPrintable(errore));
    QVERIFY2(errore.contains(motivo) && !errore.contains(QStringLiteral("danneggiato")), qPrintable(errore));
    QCOMPARE(errore.count(u'\n'), 1);
    if (ruolo.isEmpty()) {
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll() == contenuto);
        if (!caso.startsWith(QLatin1String("disco")))
            QVERIFY(!QFile::exists(percorso + QStringLiteral("-wal")));
    }
}

void TestAtomicita::verificaERipara_data() {
    QTest::addColumn<QString>("danno");
    QTest::addColumn<QString>("problema");
    QTest::addColumn<qint64>("totaleAtteso");
    // Two machines saved: 1001 for 10,00 and 1002 for 5,50.
    QTest::newRow("totale diverso") << QStringLiteral("update noteteste set refillnoleggiatore=10")
                                    << QStringLiteral("diverso dalla somma") << 1550LL;
    QTest::newRow("totale vuoto") << QStringLiteral("update noteteste set refillnoleggiatore=null")
                                  << QStringLiteral("totale della testata vuoto") << 1550LL;
    QTest::newRow("scritture cancellate") << QStringLiteral("delete from noterighe")
                                          << QStringLiteral("0 scritture") << 1550LL;
    QTest::newRow("una sola scrittura") << QStringLiteral("delete from noterighe where riga=2")
                                        << QStringLiteral("1 scritture") << 1550LL;
    QTest::newRow("scrittura sbilanciata") << QStringLiteral("update noterighe set dare=99 where riga=2")
                                           << QStringLiteral("non è dare") << 1550LL;
    QTest::newRow("scrittura sul conto sbagliato")
        << QStringLiteral("update noterighe set codconto='C.09.999' where riga=1")
        << QStringLiteral("sul conto C.01.001") << 1550LL;
    // A second header of the same day, as two old programs made it: one machine in both
    // (the later save, 7,00, wins), one only in the second.
    QTest::newRow("testata doppia")
        << QStringLiteral("insert into noteteste (codcausale, dataregistrazione, Codlocale) values ('REF', '2026-12-04', 'SG01');"
                          "insert into noteincassi (idtesta, linkscheda, dataincasso, refillgestore, iddata) values "
                          "((select max(id) from noteteste), 1001, '2026-12-04', 7, '2099-01-01 00:00:00'),"
                          "((select max(id) from noteteste), 1003, '2026-12-04', 3, '2099-01-01 00:00:00')")
        << QStringLiteral("testata doppia") << 1550LL - 1000 + 700 + 300;
    const QString riga = QStringLiteral("insert into noteincassi (idtesta, linkscheda, dataincasso, refillgestore, iddata) "
                                        "values (%1, %2, '%3', %4, '2099-01-01 00:00:00')");
    // A machine twice in its header: the later save wins.
    QTest::newRow("riga doppia") << riga.arg(QStringLiteral("(select max(id) from noteteste)")).arg(1001).arg(QStringLiteral("2026-12-04")).arg(7)
                                 << QStringLiteral("riga doppia") << 1550LL - 1000 + 700;
    // Rows and entries whose header has gone: a row joins its date's header, an entry goes,
    // and so does a row whose date has no header left.
    QTest::newRow("riga senza testata") << riga.arg(999999).arg(1003).arg(QStringLiteral("2026-12-04")).arg(3)
                                        << QStringLiteral("senza testata") << 1550LL + 300;
    QTest::newRow("riga senza testata né documento") << riga.arg(999999).arg(1003).arg(QStringLiteral("2026-12-03")).arg(3)
                                                      << QStringLiteral("senza testata") << 1550LL;
    QTest::newRow("scrittura senza testata")
        << QStringLiteral("insert into noterighe (idtesta, riga, descrizione, dare, avere, codconto, Data) "
                          "values (999999, 1, 'Refill Hopper', 0, 4, 'C.01.001', '2026-12-04')")
        << QStringLiteral("senza testata") << 1550LL;
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
        salvaRefill(*form, 0, QStringLiteral("10"));
        salvaRefill(*form, 1, QStringLiteral("5,5"));
        QVERIFY(box.boxes().isEmpty());
        StatoModulo::istanza().applicazione.reset();
    }
    QVERIFY(incoerenze(percorso).isEmpty());
    {
        DbDiretto db(percorso);
        for (const QString& istruzione : danno.split(u';'))
            QVERIFY(db.esegui(istruzione));
    }
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
    QCOMPARE(db.conta(QStringLiteral("noteteste")), 1);
    QCOMPARE(centesimi(db.valore(QStringLiteral("select refillnoleggiatore from noteteste"))), totaleAtteso);
    QCOMPARE(db.conta(QStringLiteral("LogOperazioni"), QStringLiteral("operazione='Riparazione Refill'")), 1);

    // The program says the same through --verifica: nothing left, exit 0.
    QProcess kalorefill;
    kalorefill.start(programma(QStringLiteral("kalorefill")),
                     {QStringLiteral("--verifica"), QStringLiteral("--database"), percorso});
    QVERIFY(kalorefill.waitForFinished(30000));
    QCOMPARE(kalorefill.exitCode(), 0);
}

QTEST_MAIN(TestAtomicita)
#include "tst_atomicita.moc"
