// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
// Accountable refills on the real form over a real database: the PIN pad, the witness
// step, the numbered and chained register written in the save's unit, the slip, the
// register's check against tampering, the business day and the schema upgrade.
#include "BancoProva.h"
#include "MotoreProva.h"
#include "ParametriServer.h"
#include "SchemaDatabase.h"
#include "RisponditoreBox.h"
#include "RisponditorePin.h"
#include "Supporto.h"
#include "FinestraRegistroBuoni.h"
#include "FinestraRiepilogo.h"
#include "RegistroBuoni.h"

#include "controlli/ControlliRefill.h"
#include "entry/Configura.h"
#include "controlli/DlgPin.h"
#include "documento/BuonoRefill.h"
#include "documento/ImportoInLettere.h"
#include "documento/ImpostazioniControlli.h"
#include "documento/RegistroRefill.h"
#include "documento/VerificaRegistro.h"
#include "host/Errore.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QTableView>
#include <QTableWidget>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QPushButton>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace KaloRefill;
using R = RisponditorePin::Risposta;

Q_DECLARE_METATYPE(QList<RisponditorePin::Risposta>)

namespace {

int annoCorrente() { return ImpostazioniControlli::giornata(QDateTime::currentDateTime(), QTime(6, 0)).year(); }

// A hall of 4 machines with the controls on, no save confirmation, slips into `buoni`.
std::unique_ptr<BancoProva> salaControllata(const QString& buoni) {
    auto banco = BancoProva::salaPronta(4);
    banco->host()->salvasettaggio(QStringLiteral("Refill"), QStringLiteral("Salvataggio"), 0);
    attivaControlli(*banco->host());
    StatoModulo::istanza().cartellaBuoni = buoni;
    return banco;
}

QString registro(const BancoProva& banco) {
    QStringList righe;
    for (const QVariantMap& r : banco.righe(QStringLiteral("select * from RegistroRefill order by anno, numero")))
        righe << QStringLiteral("%1 %2 %3 %4 %5 %6 %7")
                     .arg(r.value(QStringLiteral("numero")).toString(),
                          QString::number(qRound64(r.value(QStringLiteral("differenza")).toDouble() * 100)),
                          r.value(QStringLiteral("operatore")).toString(), r.value(QStringLiteral("testimone")).toString(),
                          r.value(QStringLiteral("motivo")).toString(), r.value(QStringLiteral("numerocorretto")).toString(),
                          r.value(QStringLiteral("codiceinterno")).toString())
                     .simplified();
    return righe.join(QLatin1Char('\n'));
}

QString documento(const BancoProva& banco) {
    QStringList righe;
    for (const QVariantMap& r : banco.righe(QStringLiteral("select linkscheda, refillgestore from noteincassi order by linkscheda")))
        righe << r.value(QStringLiteral("linkscheda")).toString() + QLatin1Char('=') +
                     QString::number(qRound64(r.value(QStringLiteral("refillgestore")).toDouble() * 100));
    return righe.join(QLatin1Char(' '));
}

QString esegui(const QString& programma, const QStringList& argomenti) {
    QProcess p;
    p.start(programma, argomenti);
    if (!p.waitForFinished(60000))
        return QStringLiteral("(non finito)");
    // Ligatures of the PDF's fonts ("ﬁ") read as their letters.
    return QString::fromUtf8(p.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
}

} // namespace

class TestRegistro : public QObject {
    Q_OBJECT
    QTemporaryDir m_buoni;
    // The throwaway print server's folder; libcups reads CUPS_SERVER once, so it is set first.
    QTemporaryDir m_cups;

private slots:
    void initTestCase() {
        KALOREFILL_MOTORE_PRONTO();
        qputenv("CUPS_SERVER", QFile::encodeName(m_cups.filePath(QStringLiteral("cups.sock"))));
    }
    void cleanup() {
        StatoModulo::istanza().applicazione.reset();
        StatoModulo::istanza().rsAssociazioneConti.reset();
    }

    void importoInLettere_data();
    void importoInLettere();
    void giornataOperativa_data();
    void giornataOperativa();
    void registroDeiSalvataggi();
    void numerazionePerSalaEAnno();
    void rifiuti_data();
    void rifiuti();
    void accessoEBloccoInattivita();
    void gestionePin_data();
    void gestionePin();
    void ristampaDaCerca();
    void buonoStampato();
    void buonoSullaStampante();
    void manomissioni_data();
    void manomissioni();
    void dataDiLavoroSegueLaGiornata();
    void aggiornamentoSchema();
};

void TestRegistro::importoInLettere_data() {
    QTest::addColumn<qint64>("centesimi");
    QTest::addColumn<QString>("lettere");
    QTest::newRow("un centesimo") << 1LL << "un centesimo";
    QTest::newRow("un euro") << 100LL << "un euro";
    QTest::newRow("ventuno") << 2100LL << "ventuno euro";
    QTest::newRow("ventitré") << 2300LL << "ventitré euro";
    QTest::newRow("centottantotto") << 18800LL << "centottantotto euro";
    QTest::newRow("con centesimi") << 125050LL << "milleduecentocinquanta euro e cinquanta centesimi";
    QTest::newRow("duemilatré") << 200300LL << "duemilatré euro";
    QTest::newRow("mille e un centesimo") << 100001LL << "mille euro e un centesimo";
    QTest::newRow("centomila") << 10000000LL << "centomila euro";
}

void TestRegistro::importoInLettere() {
    QFETCH(qint64, centesimi);
    QFETCH(QString, lettere);
    QCOMPARE(ImportoInLettere::testo(Valuta::daDecimillesimi(centesimi * 100)), lettere);
}

void TestRegistro::giornataOperativa_data() {
    QTest::addColumn<QTime>("ora");
    QTest::addColumn<QTime>("inizio");
    QTest::addColumn<int>("giorniIndietro");
    QTest::newRow("05:59 con inizio alle 6") << QTime(5, 59, 59) << QTime(6, 0) << 1;
    QTest::newRow("06:00 con inizio alle 6") << QTime(6, 0) << QTime(6, 0) << 0;
    QTest::newRow("00:10 con inizio a mezzanotte") << QTime(0, 10) << QTime(0, 0) << 0;
}

void TestRegistro::giornataOperativa() {
    QFETCH(QTime, ora);
    QFETCH(QTime, inizio);
    QFETCH(int, giorniIndietro);
    const QDate giorno(2027, 1, 1);
    QCOMPARE(ImpostazioniControlli::giornata(QDateTime(giorno, ora), inizio), giorno.addDays(-giorniIndietro));
}

// The operator signs in; a small refill needs nobody else, a large one a witness, a
// decrease a witness and a reason and points at the row it corrects. The document keeps
// the net amount, the log the operator who typed the PIN, the register every save.
void TestRegistro::registroDeiSalvataggi() {
    QTemporaryDir buoni;
    const auto banco = salaControllata(buoni.path());
    RisponditoreBox box;
    RisponditorePin pin;
    pin.rispondi({{QStringLiteral("OP02"), QStringLiteral("2222")}});
    auto form = apriForm(banco->host());
    QCOMPARE(pin.pad(), QStringList{QStringLiteral("Accesso operatore")});
    QCOMPARE(form->controlli()->operatore(), QStringLiteral("OP02"));

    salvaRefill(*form, 0, QStringLiteral("100"));
    QCOMPARE(pin.pad().size(), 1);
    pin.rispondi({{QStringLiteral("OP03"), QStringLiteral("3333")}});
    salvaRefill(*form, 1, QStringLiteral("600"));
    QCOMPARE(pin.pad().size(), 2);
    QVERIFY2(pin.richieste().at(1).contains(QStringLiteral("€ 600,00")), qPrintable(pin.richieste().at(1)));
    pin.rispondi({{QStringLiteral("OP01"), QStringLiteral("1111"), 0}});
    salvaRefill(*form, 0, QStringLiteral("40"), true);
    QCOMPARE(pin.pad().size(), 3);
    QCOMPARE(box.testi(), QStringList());

    QCOMPARE(registro(*banco), QStringLiteral("1 10000 OP02 C1\n"
                                              "2 60000 OP02 OP03 C2\n"
                                              "3 -6000 OP02 OP01 errore di digitazione 1 C1"));
    QCOMPARE(banco->righe(QStringLiteral("select distinct anno from RegistroRefill")).at(0).value(QStringLiteral("anno")).toInt(),
             annoCorrente());
    QCOMPARE(documento(*banco), QStringLiteral("1001=4000 1002=60000"));
    QCOMPARE(banco->conta(QStringLiteral("select * from LogOperazioni where idoperatore='OP02'")), 3);
    QCOMPARE(VerificaRegistro::tabella(VerificaRegistro(*banco->host(), {}, {}).verifica()),
             QStringLiteral("Registro buoni:\n"));
    // A slip for each refill, none for the decrease.
    QCOMPARE(QDir(buoni.path()).entryList(QDir::Files).size(), 2);

    // "Registro buoni" of the day: each number's state, the totals, the correction's reason,
    // and the number that goes missing when a row is taken out behind the program's back.
    const QDate giorno(2026, 12, 4);
    FinestraRegistroBuoni finestra(banco->host(), giorno, giorno);
    QStringList stati;
    for (int i = 0; i < finestra.tabella()->rowCount(); ++i)
        stati << finestra.tabella()->item(i, 0)->text().section(u'/', 0, 0) + QLatin1Char(' ') +
                     finestra.tabella()->item(i, 8)->text();
    QCOMPARE(stati, (QStringList{QStringLiteral("N. 1 corretto"), QStringLiteral("N. 2 valido"),
                                 QStringLiteral("N. 3 correzione")}));
    const QString riepilogo = finestra.riepilogo()->text();
    for (const char* atteso : {"Numeri mancanti: nessuno.", "OP02: 3 buoni, € 640,00", "OP01: 1 buoni, € -60,00",
                               "OP03: 1 buoni, € 600,00"})
        QVERIFY2(riepilogo.contains(QString::fromUtf8(atteso)), qPrintable(riepilogo));
    const QString pdf = buoni.filePath(QStringLiteral("registro.pdf"));
    QVERIFY(finestra.salvaPdf(pdf));
    const QString testo = esegui(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    for (const QString& atteso : {QStringLiteral("Registro buoni"), QStringLiteral("dal 04/12/2026 al 04/12/2026"),
                                  QStringLiteral("KaloRefill ") + Configura().Ver(), QStringLiteral("stampato il"),
                                  QStringLiteral("corregge il N. 1/%1 € -60,00, motivo: errore di digitazione").arg(annoCorrente())})
        QVERIFY2(testo.simplified().contains(atteso), qPrintable(atteso + QStringLiteral(" non è in:\n") + testo));
    // The same from "Riepilogo Refill", whose button shows only where the controls are on.
    FinestraRiepilogo riepilogoRefill(banco->host());
    riepilogoRefill.impostaPeriodo(giorno, giorno);
    auto* pulsante = riepilogoRefill.findChild<QPushButton*>(QStringLiteral("CmdRegistroBuoni"));
    QVERIFY(!pulsante->isHidden());
    pulsante->click();
    QCOMPARE(riepilogoRefill.findChild<FinestraRegistroBuoni*>()->tabella()->rowCount(), 3);
    const auto senzaControlli = BancoProva::salaPronta(1);
    const FinestraRiepilogo semplice(senzaControlli->host());
    QVERIFY(semplice.findChild<QPushButton*>(QStringLiteral("CmdRegistroBuoni"))->isHidden());

    banco->host()->Execute(QStringLiteral("delete from RegistroRefill where numero=2"));
    const RegistroBuoni dopo(*banco->host(), giorno, giorno);
    QCOMPARE(dopo.lacune().size(), 1);
    QCOMPARE(dopo.lacune().at(0).da, qint64(2));
    QVERIFY(dopo.csv(QDateTime::currentDateTime()).contains(QStringLiteral("SG01;mancano;%1;da 2 a 2").arg(annoCorrente())));
}

// One sequence per hall and year: a new year starts again from 1, another hall has its own,
// and a clock put back never reopens a year already closed.
void TestRegistro::numerazionePerSalaEAnno() {
    const auto banco = salaControllata(m_buoni.path());
    RegistroRefill registro(*banco->host());
    QStringList numeri;
    for (const auto& [sala, anno] : {std::pair{"SG01", 2026}, {"SG01", 2026}, {"SG02", 2026}, {"SG01", 2027},
                                     {"SG01", 2026}, {"SG02", 2026}}) {
        RigaRegistro r;
        r.codLocale = QLatin1String(sala);
        r.anno = anno;
        r.dataOra = QDateTime(QDate(anno, 12, 31), QTime(12, 0));
        r.giornata = r.dataOra.date();
        r.idScheda = 1001;
        registro.aggiungi(r);
        numeri << r.codLocale + QLatin1Char(' ') + r.nome();
    }
    QCOMPARE(numeri, (QStringList{QStringLiteral("SG01 N. 1/2026"), QStringLiteral("SG01 N. 2/2026"),
                                  QStringLiteral("SG02 N. 1/2026"), QStringLiteral("SG01 N. 1/2027"),
                                  QStringLiteral("SG01 N. 2/2027"), QStringLiteral("SG02 N. 2/2026")}));
}

void TestRegistro::rifiuti_data() {
    QTest::addColumn<int>("pulsante");
    QTest::addColumn<QString>("importo");
    QTest::addColumn<QList<R>>("risposte");
    QTest::addColumn<QStringList>("boxAttesi");
    const QString o3 = QStringLiteral("OP03");
    // Machine 1 (button 0) already holds 100,00, saved by OP02.
    QTest::newRow("PIN del testimone errato") << 1 << "600" << QList<R>{{o3, QStringLiteral("9999")}}
                                              << QStringList{QStringLiteral("PIN errato")};
    QTest::newRow("testimone uguale all'operatore")
        << 1 << "600" << QList<R>{{QStringLiteral("OP02"), QStringLiteral("2222")}}
        << QStringList{QStringLiteral("non può essere l'operatore")};
    QTest::newRow("diminuzione senza motivo") << 0 << "40" << QList<R>{{o3, QStringLiteral("3333")}}
                                              << QStringList{QStringLiteral("richiede il motivo")};
    QTest::newRow("altro senza testo") << 0 << "40" << QList<R>{{o3, QStringLiteral("3333"), 3}}
                                       << QStringList{QStringLiteral("Scrivere il motivo")};
    QTest::newRow("oltre la soglia del responsabile") << 1 << "2500" << QList<R>{{o3, QStringLiteral("3333")}}
                                                      << QStringList{QStringLiteral("deve essere un responsabile")};
    QList<R> cinqueErrati(5, R{o3, QStringLiteral("0000")});
    cinqueErrati << R{o3, QStringLiteral("3333")};
    QStringList blocco(4, QStringLiteral("PIN errato"));
    blocco << QStringLiteral("bloccato per 5 minuti") << QStringLiteral("bloccato fino alle");
    QTest::newRow("testimone bloccato dopo cinque PIN errati") << 1 << "600" << cinqueErrati << blocco;
}

// Each refusal is one box, the pad stays open for another try, and when the operator
// gives up nothing of the save is written.
void TestRegistro::rifiuti() {
    QFETCH(int, pulsante);
    QFETCH(QString, importo);
    QFETCH(QList<R>, risposte);
    QFETCH(QStringList, boxAttesi);
    const auto banco = salaControllata(m_buoni.path());
    RisponditoreBox box;
    RisponditorePin pin;
    pin.rispondi({{QStringLiteral("OP02"), QStringLiteral("2222")}});
    auto form = apriForm(banco->host());
    salvaRefill(*form, 0, QStringLiteral("100"));
    const QString registroPrima = registro(*banco);
    const QString documentoPrima = documento(*banco);
    const int logPrima = banco->conta(QStringLiteral("select * from LogOperazioni where operazione like '%Refill'"));

    for (const R& r : risposte)
        pin.rispondi({r});
    salvaRefill(*form, pulsante, importo, pulsante == 0);

    QCOMPARE(box.boxes().size(), boxAttesi.size());
    for (qsizetype i = 0; i < boxAttesi.size(); ++i)
        QVERIFY2(box.testi().at(i).contains(boxAttesi.at(i)), qPrintable(box.testi().at(i)));
    QCOMPARE(registro(*banco), registroPrima);
    QCOMPARE(documento(*banco), documentoPrima);
    QCOMPARE(banco->conta(QStringLiteral("select * from LogOperazioni where operazione like '%Refill'")), logPrima);
    QCOMPARE(banco->conta(QStringLiteral("select * from LogOperazioni where operazione='Blocco PIN' and idoperatore='OP03'")),
             boxAttesi.size() > 1 ? 1 : 0);
    // The entry is still open with its amount, to be saved with another witness.
    QCOMPARE(form->RefillAperto, qint16(-1));
}

// A wrong PIN at the pad that opens the form, then the right one; after the idle time the
// form locks and whoever signs in next is the operator of the next save.
void TestRegistro::accessoEBloccoInattivita() {
    const auto banco = salaControllata(m_buoni.path());
    banco->host()->salvasettaggio(QStringLiteral("Refill"), QStringLiteral("BloccoInattivita"), 2);
    RisponditoreBox box;
    RisponditorePin pin;
    pin.rispondi({{QStringLiteral("OP02"), QStringLiteral("2223")}, {QStringLiteral("OP02"), QStringLiteral("2222")}});
    auto form = apriForm(banco->host());
    QCOMPARE(box.boxes().size(), 1);
    QVERIFY(box.testi().at(0).contains(QStringLiteral("PIN errato per Bruno Verdi (OP02)")));
    QCOMPARE(form->controlli()->operatore(), QStringLiteral("OP02"));
    QTimer& timer = form->controlli()->timerInattivita();
    QVERIFY(timer.isActive());
    QCOMPARE(timer.interval(), 2 * 60 * 1000);

    pin.rispondi({{QStringLiteral("OP03"), QStringLiteral("3333")}});
    form->controlli()->bloccaPerInattivita();
    QCOMPARE(pin.pad().size(), 3);
    QVERIFY(pin.richieste().last().contains(QStringLiteral("bloccata per inattività")));
    salvaRefill(*form, 2, QStringLiteral("50"));
    QCOMPARE(registro(*banco), QStringLiteral("1 5000 OP03 C3"));
    QCOMPARE(banco->conta(QStringLiteral("select * from noteincassi where idoperatore='OP03'")), 1);
}

void TestRegistro::gestionePin_data() {
    QTest::addColumn<bool>("responsabileSenzaPin");
    QTest::addColumn<QList<R>>("risposte");
    QTest::addColumn<QStringList>("boxAttesi");
    QTest::addColumn<bool>("impostato");
    const QString o3 = QStringLiteral("OP03");
    const R annulla{QStringLiteral("CmdAnnullaPin")};
    const QString bloccato = QStringLiteral("bloccato fino alle");
    QTest::newRow("il responsabile reimposta il PIN di un operatore bloccato")
        << false << QList<R>{{QStringLiteral("OP01"), QStringLiteral("1111")}, {o3, QStringLiteral("4444")}, {o3, QStringLiteral("4444")}}
        << QStringList{QStringLiteral("Nuovo PIN impostato per OP03")} << true;
    QTest::newRow("nessun responsabile ha un PIN: il primo conferma senza")
        << true << QList<R>{{QStringLiteral("OP01"), QString()}, {o3, QStringLiteral("4444")}, {o3, QStringLiteral("4444")}}
        << QStringList{QStringLiteral("Nuovo PIN impostato per OP03")} << true;
    QTest::newRow("PIN del responsabile errato") << false << QList<R>{{QStringLiteral("OP01"), QStringLiteral("9999")}, annulla}
                                                 << QStringList{QStringLiteral("PIN errato"), bloccato} << false;
    QTest::newRow("un operatore non è un responsabile") << false << QList<R>{{QStringLiteral("OP02"), QStringLiteral("2222")}, annulla}
                                                        << QStringList{QStringLiteral("Toccare il proprio nome"), bloccato} << false;
    QTest::newRow("PIN troppo corto")
        << false << QList<R>{{QStringLiteral("OP01"), QStringLiteral("1111")}, {o3, QStringLiteral("44")}, annulla}
        << QStringList{QStringLiteral("da 4 a 8 cifre"), bloccato} << false;
    QTest::newRow("i due PIN non coincidono")
        << false << QList<R>{{QStringLiteral("OP01"), QStringLiteral("1111")}, {o3, QStringLiteral("4444")}, {o3, QStringLiteral("5555")}, annulla}
        << QStringList{QStringLiteral("non coincidono"), bloccato} << false;
}

// "Gestione PIN" on the pad that opens the form: only a responsabile's PIN lets anyone set a
// PIN (the new one twice, 4 to 8 digits); a new PIN opens the lock of five wrong ones, and
// who set whose is logged. OP03, locked out, then tries to sign in with the new PIN.
void TestRegistro::gestionePin() {
    QFETCH(bool, responsabileSenzaPin);
    QFETCH(QList<R>, risposte);
    QFETCH(QStringList, boxAttesi);
    QFETCH(bool, impostato);
    const auto banco = salaControllata(m_buoni.path());
    const RecordsetPtr op3 = banco->host()->openrecordset(QStringLiteral("select * from operatori where codice='OP03'"));
    op3->SetField(QStringLiteral("bloccatofino"), QDateTime::currentDateTime().addSecs(3600));
    op3->Update();
    if (responsabileSenzaPin)
        banco->host()->Execute(QStringLiteral("update operatori set pinhash=null where codice='OP01'"));
    const QString hash = QStringLiteral("select pinhash from operatori where codice='OP03'");
    const QVariant prima = banco->righe(hash).at(0).value(QStringLiteral("pinhash"));
    RisponditoreBox box;
    RisponditorePin pin;
    pin.rispondi({{QStringLiteral("CmdGestionePin")}});
    for (const R& r : risposte)
        pin.rispondi({r});
    pin.rispondi({{QStringLiteral("OP03"), QStringLiteral("4444")}});
    auto form = apriForm(banco->host());

    QVERIFY2(box.boxes().size() == boxAttesi.size(), qPrintable(box.testi().join(QStringLiteral(" | "))));
    for (qsizetype i = 0; i < boxAttesi.size(); ++i)
        QVERIFY2(box.testi().at(i).contains(boxAttesi.at(i)), qPrintable(box.testi().at(i)));
    QCOMPARE(form->controlli()->operatore(), impostato ? QStringLiteral("OP03") : QString());
    QCOMPARE(banco->righe(hash).at(0).value(QStringLiteral("pinhash")) != prima, impostato);
    QCOMPARE(banco->conta(QStringLiteral("select * from LogOperazioni where operazione='Gestione PIN' and idoperatore='OP01'")),
             impostato ? 1 : 0);
}

// "Cerca" with the controls on lists the numbered slips; "Ristampa buono" makes a one-page
// copy marked "COPIA" of a refill's slip and logs it, refuses a correction (it has no
// slip), and "Apri" still takes the form to the slip's day.
void TestRegistro::ristampaDaCerca() {
    QTemporaryDir buoni;
    const auto banco = salaControllata(buoni.path());
    RisponditoreBox box;
    RisponditorePin pin;
    pin.rispondi({{QStringLiteral("OP02"), QStringLiteral("2222")}, {QStringLiteral("OP01"), QStringLiteral("1111"), 0}});
    auto form = apriForm(banco->host());
    salvaRefill(*form, 0, QStringLiteral("100"));
    salvaRefill(*form, 0, QStringLiteral("40"), true);
    const QDate giorno = form->dataRegistrazione();
    form->impostaDataRegistrazione(giorno.addDays(-5));
    form->txtData_Change();
    QCOMPARE(box.testi(), QStringList());

    int righe = -1;
    QTimer lista;
    lista.setInterval(5);
    connect(&lista, &QTimer::timeout, this, [&] {
        QWidget* finestra = QApplication::activeModalWidget();
        if (!finestra || finestra->objectName() != QStringLiteral("FinestraRicerca"))
            return;
        lista.stop();
        auto* tabella = finestra->findChild<QTableView*>();
        righe = tabella->model()->rowCount();
        // Newest first: the correction N. 2, then the refill N. 1.
        for (const int riga : {1, 0}) {
            tabella->selectRow(riga);
            finestra->findChild<QPushButton*>(QStringLiteral("pulsanteRistampa"))->click();
        }
        tabella->selectRow(1);
        finestra->findChild<QPushButton*>(QStringLiteral("pulsanteApri"))->click();
    });
    lista.start();
    form->CmdTrova->click();

    QCOMPARE(righe, 2);
    QCOMPARE(box.boxes().size(), 2);
    const QString numero = QStringLiteral("N. 1/%1").arg(annoCorrente());
    QVERIFY2(box.testi().at(0).startsWith(QStringLiteral("Copia del buono %1 salvata in").arg(numero)), qPrintable(box.testi().at(0)));
    QVERIFY2(box.testi().at(1).contains(QStringLiteral("è una correzione")), qPrintable(box.testi().at(1)));
    QCOMPARE(form->dataRegistrazione(), giorno);
    QCOMPARE(banco->conta(QStringLiteral("select * from LogOperazioni where operazione='Ristampa buono' and idoperatore='OP02'")), 1);
    const QStringList copie = QDir(buoni.path()).entryList({QStringLiteral("*-copia.pdf")});
    QCOMPARE(copie.size(), 1);
    const QString testo = esegui(QStringLiteral("pdftotext"), {QDir(buoni.path()).filePath(copie.at(0)), QStringLiteral("-")});
    QVERIFY2(testo.contains(QStringLiteral("COPIA")) && testo.contains(numero) && !testo.contains(QStringLiteral("Esemplare")) &&
                 testo.contains(QStringLiteral("Bruno Verdi (OP02)")) && testo.count(QLatin1Char('\f')) == 1,
             qPrintable(testo));
}

// The slip of a refill read back from its PDF: number, amount in words, both names; its QR
// code decodes to the same number and amount.
void TestRegistro::buonoStampato() {
    QTemporaryDir buoni;
    const auto banco = salaControllata(buoni.path());
    RisponditoreBox box;
    RisponditorePin pin;
    pin.rispondi({{QStringLiteral("OP02"), QStringLiteral("2222")}, {QStringLiteral("OP03"), QStringLiteral("3333")}});
    auto form = apriForm(banco->host());
    salvaRefill(*form, 3, QStringLiteral("1250,5"));
    QCOMPARE(box.testi(), QStringList());
    const QStringList pdf = QDir(buoni.path()).entryList({QStringLiteral("*.pdf")});
    QCOMPARE(pdf.size(), 1);
    const QString file = QDir(buoni.path()).filePath(pdf.at(0));
    const QString numero = QStringLiteral("N. 1/%1").arg(annoCorrente());

    const QString testo = esegui(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
    for (const QString& atteso : {numero, QStringLiteral("milleduecentocinquanta euro e cinquanta centesimi"),
                                  QStringLiteral("€ 1.250,50"), QStringLiteral("Bruno Verdi (OP02)"),
                                  QStringLiteral("Carla Bianchi (OP03)"), QStringLiteral("Esemplare 2 di 2")})
        QVERIFY2(testo.contains(atteso), qPrintable(atteso + QStringLiteral(" non è in:\n") + testo));

    const QString png = QDir(buoni.path()).filePath(QStringLiteral("pagina"));
    esegui(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("200"), QStringLiteral("-png"),
                                        QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-singlefile"), file, png});
    const QString qr = esegui(QStringLiteral("zbarimg"), {QStringLiteral("--raw"), QStringLiteral("-q"),
                                                          png + QStringLiteral(".png")}).trimmed();
    QVERIFY2(qr.startsWith(QStringLiteral("KALOREFILL BUONO SG01 %1 EUR 1.250,50 IMPRONTA ").arg(numero)), qPrintable(qr));
    const QString impronta = banco->righe(QStringLiteral("select impronta from RegistroRefill")).at(0).value(QStringLiteral("impronta")).toString();
    QVERIFY(qr.endsWith(impronta.left(12)));
}

// The slip sent to a CUPS queue: a cupsd of the test's own (private configuration, a raw
// queue, CUPS_SERVER at its socket) receives one job, the slip's two copies on the 80 mm roll.
void TestRegistro::buonoSullaStampante() {
    const QString cupsd = QStandardPaths::findExecutable(QStringLiteral("cupsd"), {QStringLiteral("/usr/sbin")});
    QVERIFY2(!cupsd.isEmpty(), "cupsd non installato: make deps");
    const QDir d(m_cups.path());
    for (const char* cartella : {"conf", "spool", "cache", "state", "tmp", "log"})
        QVERIFY(d.mkpath(QLatin1String(cartella)));
    const auto scrivi = [&d](const char* nome, const QString& testo) {
        QFile f(d.filePath(QLatin1String(nome)));
        return f.open(QIODevice::WriteOnly) && f.write(testo.toUtf8()) > 0;
    };
    QVERIFY(scrivi("conf/cupsd.conf", QStringLiteral("Listen %1\nWebInterface No\nBrowsing No\nDefaultAuthType None\n"
                                                     "<Location />\nOrder allow,deny\nAllow all\n</Location>\n")
                                          .arg(d.filePath(QStringLiteral("cups.sock")))));
    QVERIFY(scrivi("conf/cups-files.conf",
                   QStringLiteral("ServerRoot %1/conf\nRequestRoot %1/spool\nCacheDir %1/cache\nStateDir %1/state\n"
                                  "TempDir %1/tmp\nErrorLog %1/log/error_log\nAccessLog %1/log/access_log\n"
                                  "PageLog %1/log/page_log\nFileDevice Yes\nSystemGroup root\n").arg(d.path())));
    QProcess server;
    server.start(cupsd, {QStringLiteral("-f"), QStringLiteral("-c"), d.filePath(QStringLiteral("conf/cupsd.conf")),
                         QStringLiteral("-s"), d.filePath(QStringLiteral("conf/cups-files.conf"))});
    QVERIFY2(server.waitForStarted(), qPrintable(server.errorString()));
    const auto ferma = qScopeGuard([&server] {
        StatoModulo::istanza().stampanteBuoni.clear();
        server.terminate();
        server.waitForFinished(10000);
    });
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(d.filePath(QStringLiteral("cups.sock"))), 20000);
    QCOMPARE(QProcess::execute(QStringLiteral("lpadmin"), {QStringLiteral("-p"), QStringLiteral("Buoni80"), QStringLiteral("-E"),
                                                          QStringLiteral("-v"), QStringLiteral("file:///dev/null")}), 0);

    QTemporaryDir buoni;
    const auto banco = salaControllata(buoni.path());
    banco->host()->salvasettaggio(QStringLiteral("Refill"), QStringLiteral("FormatoBuono"), 1);
    StatoModulo::istanza().stampanteBuoni = QStringLiteral("Buoni80");
    RisponditoreBox box;
    RisponditorePin pin;
    pin.rispondi({{QStringLiteral("OP02"), QStringLiteral("2222")}});
    auto form = apriForm(banco->host());
    salvaRefill(*form, 2, QStringLiteral("250"));
    QCOMPARE(box.testi(), QStringList());
    QCOMPARE(QDir(buoni.path()).entryList(QDir::Files), QStringList());
    // The job's document stays in the spool once printed.
    const QDir spool(d.filePath(QStringLiteral("spool")));
    QTRY_COMPARE_WITH_TIMEOUT(spool.entryList({QStringLiteral("d*")}, QDir::Files).size(), 1, 20000);
    const QString documento = spool.filePath(spool.entryList({QStringLiteral("d*")}, QDir::Files).at(0));
    const QString testo = esegui(QStringLiteral("pdftotext"), {documento, QStringLiteral("-")});
    for (const QString& atteso : {QStringLiteral("N. 1/%1").arg(annoCorrente()), QStringLiteral("duecentocinquanta euro"),
                                  QStringLiteral("Bruno Verdi (OP02)"), QStringLiteral("Esemplare 2 di 2")})
        QVERIFY2(testo.contains(atteso), qPrintable(atteso + QStringLiteral(" non è in:\n") + testo));
    // 80 by 200 mm.
    const QString info = esegui(QStringLiteral("pdfinfo"), {documento});
    QVERIFY2(info.simplified().contains(QStringLiteral("Page size: 227 x 567 pts")), qPrintable(info));
}

void TestRegistro::manomissioni_data() {
    QTest::addColumn<QStringList>("istruzioni");
    QTest::addColumn<int>("numero");
    QTest::addColumn<QString>("descrizione");
    QTest::newRow("importo cambiato") << QStringList{QStringLiteral("update RegistroRefill set dopo=90, differenza=90 where numero=2")}
                                      << 2 << "l'impronta registrata";
    QTest::newRow("riga tolta") << QStringList{QStringLiteral("delete from RegistroRefill where numero=2")} << 3
                                << "manca il numero 2";
    QTest::newRow("due righe scambiate")
        << QStringList{QStringLiteral("update RegistroRefill set numero=-3 where numero=3"),
                       QStringLiteral("update RegistroRefill set numero=3 where numero=2"),
                       QStringLiteral("update RegistroRefill set numero=2 where numero=-3")}
        << 2 << "l'impronta registrata";
    QTest::newRow("impronta cambiata") << QStringList{QStringLiteral("update RegistroRefill set impronta='0123456789ab' where numero=3")}
                                       << 3 << "(0123456789ab…)";
    QTest::newRow("riga aggiunta")
        << QStringList{QStringLiteral("insert into RegistroRefill (codlocale, anno, numero, giornata, idscheda, prima, dopo, "
                                      "differenza, operatore, impronta) select codlocale, anno, 5, giornata, idscheda, dopo, "
                                      "dopo+50, 50, operatore, impronta from RegistroRefill where numero=4")}
        << 5 << "l'impronta registrata";
    // Machine 2's amount changed in the day's document, not in the register.
    QTest::newRow("documento cambiato") << QStringList{QStringLiteral("update noteincassi set refillgestore=99 where linkscheda=1002")}
                                        << 2 << "il documento del giorno ha € 99";
}

// Rows changed, removed, swapped or added behind the program's back are found, and the
// first problem names the row where the register stops being what was written.
void TestRegistro::manomissioni() {
    QFETCH(QStringList, istruzioni);
    QFETCH(int, numero);
    QFETCH(QString, descrizione);
    const auto banco = salaControllata(m_buoni.path());
    {
        RisponditoreBox box;
        RisponditorePin pin;
        pin.rispondi({{QStringLiteral("OP02"), QStringLiteral("2222")}});
        auto form = apriForm(banco->host());
        for (int i = 0; i < 4; ++i)
            salvaRefill(*form, i, QString::number(10 * (i + 1)));
        QCOMPARE(box.testi(), QStringList());
    }
    QVERIFY(VerificaRegistro(*banco->host(), {}, {}).verifica().isEmpty());
    for (const QString& sql : istruzioni)
        banco->host()->Execute(sql);
    const auto problemi = VerificaRegistro(*banco->host(), {}, {}).verifica();
    const QString tabella = VerificaRegistro::tabella(problemi);
    QVERIFY2(!problemi.isEmpty(), "la manomissione non è stata trovata");
    QCOMPARE(problemi.first().numero, qint64(numero));
    QVERIFY2(problemi.first().descrizione.contains(descrizione), qPrintable(tabella));

    const QString uscita = esegui(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("kalorefill")),
                                  {QStringLiteral("--verifica"), QStringLiteral("--database"), banco->percorsoFile()});
    QVERIFY2(uscita.contains(QStringLiteral("SG01 N. %1/%2").arg(numero).arg(annoCorrente())), qPrintable(uscita));
    // --ripara mends documents only: the register stays as it was found, and says so.
    const QString trovato = registro(*banco);
    const QString riparato = esegui(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("kalorefill")),
                                    {QStringLiteral("--ripara"), QStringLiteral("--database"), banco->percorsoFile()});
    QVERIFY2(riparato.contains(QStringLiteral("Il registro dei buoni non si ripara")), qPrintable(riparato));
    QCOMPARE(registro(*banco), trovato);
}

// With the host giving today and the business day starting at 23:59, the form opens on
// yesterday, as a refill before the day's start belongs to the day before.
void TestRegistro::dataDiLavoroSegueLaGiornata() {
    if (QTime::currentTime() >= QTime(23, 58))
        QSKIP("a cavallo dell'inizio della giornata");
    const auto banco = salaControllata(m_buoni.path());
    banco->host()->salvasettaggio(QStringLiteral("Refill"), QStringLiteral("InizioGiornata"), 23 * 60 + 59);
    banco->host()->setData(QDate::currentDate());
    RisponditoreBox box;
    RisponditorePin pin;
    pin.rispondi({{QStringLiteral("OP02"), QStringLiteral("2222")}});
    auto form = apriForm(banco->host());
    QCOMPARE(form->dataRegistrazione(), QDate::currentDate().addDays(-1));
    // A working date the host chose stays as it is.
    banco->host()->setData(QDate(2026, 12, 4));
    pin.rispondi({{QStringLiteral("OP02"), QStringLiteral("2222")}});
    form = apriForm(banco->host());
    QCOMPARE(form->dataRegistrazione(), QDate(2026, 12, 4));
}

// A database of schema version 2 gets the operators' PIN columns and the register when it
// is opened, and says version 3 from then on.
void TestRegistro::aggiornamentoSchema() {
    auto banco = BancoProva::salaPronta(1);
    const QString percorso = banco->percorsoFile();
    {
        // Taken back to version 2 behind the program's back, on a connection of the test's own.
        QSqlDatabase db;
        if (ParametriServer::eIndirizzo(percorso)) {
            db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("vecchio"));
            ParametriServer::leggi(percorso).applica(db);
        } else {
            db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("vecchio"));
            db.setDatabaseName(percorso);
        }
        QVERIFY(db.open());
        QStringList sql{QStringLiteral("drop table RegistroRefill"), QStringLiteral("alter table operatori drop column pinhash"),
                        QStringLiteral("alter table operatori drop column bloccatofino"),
                        QStringLiteral("alter table operatori drop column tentativipin"),
                        QStringLiteral("update kalorefill_database set valore='2' where chiave='versione_schema'")};
        if (!MotoreProva::postgreSql())
            sql << QStringLiteral("PRAGMA user_version = 2");
        for (const QString& istruzione : sql) {
            QSqlQuery q(db);
            QVERIFY2(q.exec(istruzione), qPrintable(q.lastError().text()));
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("vecchio"));

    auto host = DatabaseHost::apri(percorso);
    QCOMPARE(host->openrecordset(QStringLiteral("select * from RegistroRefill"))->RecordCount(), 0);
    const QStringList colonne = host->openrecordset(QStringLiteral("select * from operatori"))->FieldNames();
    for (const char* c : {"ruolo", "attivo", "pinhash", "tentativipin", "bloccatofino"})
        QVERIFY2(colonne.contains(QLatin1String(c), Qt::CaseInsensitive), c);
    const RecordsetPtr versione =
        host->openrecordset(QStringLiteral("select valore from kalorefill_database where chiave='versione_schema'"));
    QCOMPARE(versione->Field(QStringLiteral("valore")).toString(), QString::number(SchemaDatabase::versione));
}

QTEST_MAIN(TestRegistro)
#include "tst_registro.moc"
