// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
// Accountable refills on the real form over a real database: the PIN pad, the witness
// step, the numbered and chained register written in the save's unit, the slip, the
// register's check against tampering, the business day and the schema upgrade.
#include "BancoProva.h"
#include "MotoreProva.h"
#include "RisponditoreBox.h"
#include "RisponditorePin.h"
#include "Supporto.h"
#include "FinestraRegistroBuoni.h"
#include "FinestraRiepilogo.h"
#include "RegistroBuoni.h"

#include "controlli/ControlliRefill.h"
#include "documento/ImportoInLettere.h"
#include "documento/ImpostazioniControlli.h"
#include "documento/RegistroRefill.h"
#include "documento/VerificaRegistro.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QTableView>
#include <QTableWidget>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace KaloRefill;
using namespace Qt::StringLiterals;
using R = RisponditorePin::Risposta;

Q_DECLARE_METATYPE(QList<RisponditorePin::Risposta>)

namespace {

int annoCorrente() { return ImpostazioniControlli::giornata(QDateTime::currentDateTime(), QTime(6, 0)).year(); }

// A hall of 4 machines with the controls on, no save confirmation, slips into `buoni`;
// `apri` opens the form with these answers for its pads (OP02 signs in).
struct Sala {
    QTemporaryDir buoni;
    std::unique_ptr<BancoProva> banco = BancoProva::salaPronta(4);
    RisponditoreBox box;
    RisponditorePin pin;
    std::unique_ptr<FrmRefill> form;

    Sala() {
        host().salvasettaggio(u"Refill"_s, u"Salvataggio"_s, 0);
        attivaControlli(host());
        StatoModulo::istanza().cartellaBuoni = buoni.path();
    }
    DatabaseHost& host() const { return *banco->host(); }
    void apri(const QList<R>& risposte = {{u"OP02"_s, u"2222"_s}}) {
        for (const R& r : risposte)
            pin.rispondi({r});
        form = apriForm(banco->host());
    }
    QStringList file(const QString& nome = u"*.pdf"_s) const { return QDir(buoni.path()).entryList({nome}, QDir::Files); }
};

QString registro(const BancoProva& banco) {
    QStringList righe;
    for (const QVariantMap& r : banco.righe(u"select * from RegistroRefill order by anno, numero"_s)) {
        QStringList campi{r.value(u"numero"_s).toString(),
                          QString::number(qRound64(r.value(u"differenza"_s).toDouble() * 100))};
        for (const char* c : {"operatore", "testimone", "motivo", "numerocorretto", "codiceinterno"})
            campi << r.value(QLatin1String(c)).toString();
        righe << campi.join(u' ').simplified();
    }
    return righe.join(u'\n');
}

QString documento(const BancoProva& banco) {
    QStringList righe;
    for (const QVariantMap& r : banco.righe(u"select linkscheda, refillgestore from noteincassi order by linkscheda"_s))
        righe << r.value(u"linkscheda"_s).toString() + u'=' +
                     QString::number(qRound64(r.value(u"refillgestore"_s).toDouble() * 100));
    return righe.join(u' ');
}

QString esegui(const QString& programma, const QStringList& argomenti) {
    QProcess p;
    p.start(programma, argomenti);
    if (!p.waitForFinished(60000))
        return u"(non finito)"_s;
    // Ligatures of the PDF's fonts ("ﬁ") read as their letters.
    return QString::fromUtf8(p.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
}

// The texts of `attesi` that `testo` lacks.
QStringList mancanti(const QString& testo, const QStringList& attesi) {
    QStringList assenti;
    for (const QString& atteso : attesi)
        if (!testo.simplified().contains(atteso))
            assenti << atteso;
    return assenti;
}

// One box for each expected text, in order, each holding its text.
void confrontaBox(const RisponditoreBox& box, const QStringList& attesi) {
    QVERIFY2(box.boxes().size() == attesi.size(), qPrintable(box.testi().join(u" | "_s)));
    for (qsizetype i = 0; i < attesi.size(); ++i)
        QVERIFY2(box.testi().at(i).contains(attesi.at(i)), qPrintable(box.testi().at(i)));
}

} // namespace

class TestRegistro : public QObject {
    Q_OBJECT
    // The throwaway print server's folder; libcups reads CUPS_SERVER once, so it is set first.
    QTemporaryDir m_cups;

private slots:
    void initTestCase() {
        KALOREFILL_MOTORE_PRONTO();
        qputenv("CUPS_SERVER", QFile::encodeName(m_cups.filePath(u"cups.sock"_s)));
    }
    void cleanup() {
        StatoModulo::istanza().applicazione.reset();
        StatoModulo::istanza().rsAssociazioneConti.reset();
    }

    void importoInLettere_data() {
        QTest::addColumn<qint64>("centesimi");
        QTest::addColumn<QString>("lettere");
        QTest::newRow("un centesimo") << 1LL << "un centesimo";
        QTest::newRow("ventuno") << 2100LL << "ventuno euro";
        QTest::newRow("centottantotto") << 18800LL << "centottantotto euro";
        QTest::newRow("con centesimi") << 125050LL << "milleduecentocinquanta euro e cinquanta centesimi";
        QTest::newRow("duemilatré") << 200300LL << "duemilatré euro";
        QTest::newRow("mille e un centesimo") << 100001LL << "mille euro e un centesimo";
    }

    void importoInLettere() {
        QFETCH(qint64, centesimi);
        QFETCH(QString, lettere);
        QCOMPARE(ImportoInLettere::testo(Valuta::daDecimillesimi(centesimi * 100)), lettere);
    }

    void giornataOperativa_data() {
        QTest::addColumn<QTime>("ora");
        QTest::addColumn<int>("giorniIndietro");
        QTest::newRow("05:59:59") << QTime(5, 59, 59) << 1;
        QTest::newRow("06:00") << QTime(6, 0) << 0;
    }

    // With the business day starting at 6, a refill before it belongs to the day before.
    void giornataOperativa() {
        QFETCH(QTime, ora);
        QFETCH(int, giorniIndietro);
        const QDate giorno(2027, 1, 1);
        QCOMPARE(ImpostazioniControlli::giornata(QDateTime(giorno, ora), QTime(6, 0)), giorno.addDays(-giorniIndietro));
    }

    // The operator signs in; a small refill needs nobody else, a large one a witness, a
    // decrease a witness and a reason and points at the row it corrects. The document keeps
    // the net amount, the log the operator who typed the PIN, the register every save.
    void registroDeiSalvataggi() {
        Sala s;
        s.apri();
        QCOMPARE(s.pin.pad(), QStringList{u"Accesso operatore"_s});
        salvaRefill(*s.form, 0, u"100"_s);
        s.pin.rispondi({{u"OP03"_s, u"3333"_s}});
        salvaRefill(*s.form, 1, u"600"_s);
        QVERIFY2(s.pin.richieste().value(1).contains(u"€ 600,00"_s), qPrintable(s.pin.richieste().join(u'\n')));
        s.pin.rispondi({{u"OP01"_s, u"1111"_s, 0}});
        salvaRefill(*s.form, 0, u"40"_s, true);
        QCOMPARE(s.box.testi(), QStringList());

        QCOMPARE(registro(*s.banco), u"1 10000 OP02 C1\n2 60000 OP02 OP03 C2\n3 -6000 OP02 OP01 errore di digitazione 1 C1"_s);
        QCOMPARE(documento(*s.banco), u"1001=4000 1002=60000"_s);
        QCOMPARE(s.banco->conta(u"select * from LogOperazioni where idoperatore='OP02'"_s), 3);
        QCOMPARE(VerificaRegistro::tabella(VerificaRegistro(s.host(), {}, {}).verifica()), u"Registro buoni:\n"_s);
        // A slip for each refill, none for the decrease.
        QCOMPARE(s.file(u"*"_s).size(), 2);

        // "Cerca" with the controls on lists the numbered slips, newest first; "Ristampa buono"
        // makes a one-page copy marked "COPIA" of a refill's slip and logs it, refuses a
        // correction (it has no slip), and "Apri" still takes the form to the slip's day.
        const QDate giorno = s.form->dataRegistrazione();
        s.form->impostaDataRegistrazione(giorno.addDays(-5));
        s.form->txtData_Change();
        int righe = -1;
        QTimer lista;
        lista.setInterval(5);
        connect(&lista, &QTimer::timeout, this, [&] {
            QWidget* finestra = QApplication::activeModalWidget();
            if (!finestra || finestra->objectName() != u"FinestraRicerca"_s)
                return;
            lista.stop();
            auto* tabella = finestra->findChild<QTableView*>();
            righe = tabella->model()->rowCount();
            // The refill N. 1, then the correction N. 3.
            for (const int riga : {2, 0}) {
                tabella->selectRow(riga);
                finestra->findChild<QPushButton*>(u"pulsanteRistampa"_s)->click();
            }
            tabella->selectRow(2);
            finestra->findChild<QPushButton*>(u"pulsanteApri"_s)->click();
        });
        lista.start();
        s.form->CmdTrova->click();
        QCOMPARE(righe, 3);
        const QString numero = u"N. 1/%1"_s.arg(annoCorrente());
        confrontaBox(s.box, {u"Copia del buono %1 salvata in"_s.arg(numero), u"è una correzione"_s});
        QCOMPARE(s.form->dataRegistrazione(), giorno);
        QCOMPARE(s.banco->conta(u"select * from LogOperazioni where operazione='Ristampa buono' and idoperatore='OP02'"_s), 1);
        const QStringList copie = s.file(u"*-copia.pdf"_s);
        QCOMPARE(copie.size(), 1);
        const QString copia = esegui(u"pdftotext"_s, {s.buoni.filePath(copie.at(0)), u"-"_s});
        QCOMPARE(mancanti(copia, {u"COPIA"_s, numero, u"Bruno Verdi (OP02)"_s}), QStringList());
        QVERIFY2(!copia.contains(u"Esemplare"_s) && copia.count(u'\f') == 1, qPrintable(copia));

        // "Registro buoni" of the day: each number's state, the totals, the correction's reason,
        // and the number that goes missing when a row is taken out behind the program's back.
        FinestraRegistroBuoni finestra(s.banco->host(), giorno, giorno);
        QStringList stati;
        for (int i = 0; i < finestra.tabella()->rowCount(); ++i)
            stati << finestra.tabella()->item(i, 0)->text().section(u'/', 0, 0) + u' ' + finestra.tabella()->item(i, 8)->text();
        QCOMPARE(stati, (QStringList{u"N. 1 corretto"_s, u"N. 2 valido"_s, u"N. 3 correzione"_s}));
        QCOMPARE(mancanti(finestra.riepilogo()->text(), {u"Numeri mancanti: nessuno."_s, u"OP02: 3 buoni, € 640,00"_s,
                                                        u"OP01: 1 buoni, € -60,00"_s, u"OP03: 1 buoni, € 600,00"_s}),
                 QStringList());
        // Printed, the correction says what it corrects and why.
        const QString pdf = s.buoni.filePath(u"registro.pdf"_s);
        QVERIFY(finestra.salvaPdf(pdf));
        QVERIFY(esegui(u"pdftotext"_s, {u"-layout"_s, pdf, u"-"_s}).simplified().contains(
            u"corregge il %1 € -60,00, motivo: errore di digitazione"_s.arg(numero)));
        // "Riepilogo Refill" has a button for it only where the controls are on.
        const FinestraRiepilogo riepilogoRefill(s.banco->host());
        QVERIFY(!riepilogoRefill.findChild<QPushButton*>(u"CmdRegistroBuoni"_s)->isHidden());
        const auto senzaControlli = BancoProva::salaPronta(1);
        const FinestraRiepilogo semplice(senzaControlli->host());
        QVERIFY(semplice.findChild<QPushButton*>(u"CmdRegistroBuoni"_s)->isHidden());

        s.host().Execute(u"delete from RegistroRefill where numero=2"_s);
        const RegistroBuoni dopo(s.host(), giorno, giorno);
        QVERIFY(dopo.csv(QDateTime::currentDateTime()).contains(u"SG01;mancano;%1;da 2 a 2"_s.arg(annoCorrente())));
    }

    // One sequence per hall and year: a new year starts again from 1, another hall has its own,
    // and a clock put back never reopens a year already closed.
    void numerazionePerSalaEAnno() {
        const auto banco = BancoProva::salaPronta(1);
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
            numeri << r.codLocale + u' ' + r.nome();
        }
        QCOMPARE(numeri, (QStringList{u"SG01 N. 1/2026"_s, u"SG01 N. 2/2026"_s, u"SG02 N. 1/2026"_s, u"SG01 N. 1/2027"_s,
                                      u"SG01 N. 2/2027"_s, u"SG02 N. 2/2026"_s}));
    }

    void rifiuti_data() {
        QTest::addColumn<int>("pulsante");
        QTest::addColumn<QString>("importo");
        QTest::addColumn<QList<R>>("risposte");
        QTest::addColumn<QStringList>("boxAttesi");
        const QString o3 = u"OP03"_s;
        // Machine 1 (button 0) already holds 100,00, saved by OP02.
        QTest::newRow("testimone uguale all'operatore")
            << 1 << "600" << QList<R>{{u"OP02"_s, u"2222"_s}} << QStringList{u"non può essere l'operatore"_s};
        QTest::newRow("diminuzione senza motivo")
            << 0 << "40" << QList<R>{{o3, u"3333"_s}} << QStringList{u"richiede il motivo"_s};
        QTest::newRow("altro senza testo") << 0 << "40" << QList<R>{{o3, u"3333"_s, 3}} << QStringList{u"Scrivere il motivo"_s};
        QTest::newRow("oltre la soglia del responsabile")
            << 1 << "2500" << QList<R>{{o3, u"3333"_s}} << QStringList{u"deve essere un responsabile"_s};
        QList<R> cinqueErrati(5, R{o3, u"0000"_s});
        cinqueErrati << R{o3, u"3333"_s};
        QStringList blocco(4, u"PIN errato"_s);
        blocco << u"bloccato per 5 minuti"_s << u"bloccato fino alle"_s;
        QTest::newRow("testimone bloccato dopo cinque PIN errati") << 1 << "600" << cinqueErrati << blocco;
    }

    // Each refusal is one box, the pad stays open for another try, and when the operator
    // gives up nothing of the save is written.
    void rifiuti() {
        QFETCH(int, pulsante);
        QFETCH(QString, importo);
        QFETCH(QList<R>, risposte);
        QFETCH(QStringList, boxAttesi);
        Sala s;
        s.apri();
        salvaRefill(*s.form, 0, u"100"_s);
        for (const R& r : risposte)
            s.pin.rispondi({r});
        salvaRefill(*s.form, pulsante, importo, pulsante == 0);

        confrontaBox(s.box, boxAttesi);
        // Only the first save, 100,00 on machine 1.
        QCOMPARE(registro(*s.banco), u"1 10000 OP02 C1"_s);
        QCOMPARE(documento(*s.banco), u"1001=10000"_s);
        QCOMPARE(s.banco->conta(u"select * from LogOperazioni where operazione like '%Refill'"_s), 1);
        QCOMPARE(s.banco->conta(u"select * from LogOperazioni where operazione='Blocco PIN' and idoperatore='OP03'"_s),
                 boxAttesi.size() > 1 ? 1 : 0);
        // The entry is still open with its amount, to be saved with another witness.
        QCOMPARE(s.form->RefillAperto, qint16(-1));
    }

    // A wrong PIN at the pad that opens the form, then the right one; after the idle time the
    // form locks and whoever signs in next is the operator of the next save. With the host
    // giving today and the business day starting at 23:59, the form opens on yesterday, as a
    // refill before the day's start belongs to the day before.
    void accessoEBloccoInattivita() {
        if (QTime::currentTime() >= QTime(23, 58))
            QSKIP("a cavallo dell'inizio della giornata");
        Sala s;
        s.host().salvasettaggio(u"Refill"_s, u"BloccoInattivita"_s, 2);
        s.host().salvasettaggio(u"Refill"_s, u"InizioGiornata"_s, 23 * 60 + 59);
        s.banco->host()->setData(QDate::currentDate());
        s.apri({{u"OP02"_s, u"2223"_s}, {u"OP02"_s, u"2222"_s}});
        QCOMPARE(s.form->dataRegistrazione(), QDate::currentDate().addDays(-1));
        confrontaBox(s.box, {u"PIN errato per Bruno Verdi (OP02)"_s});
        QCOMPARE(s.form->controlli()->operatore(), u"OP02"_s);
        QTimer& timer = s.form->controlli()->timerInattivita();
        QVERIFY(timer.isActive());
        QCOMPARE(timer.interval(), 2 * 60 * 1000);

        s.pin.rispondi({{u"OP03"_s, u"3333"_s}});
        s.form->controlli()->bloccaPerInattivita();
        QVERIFY(s.pin.richieste().last().contains(u"bloccata per inattività"_s));
        salvaRefill(*s.form, 2, u"50"_s);
        QCOMPARE(registro(*s.banco), u"1 5000 OP03 C3"_s);
        QCOMPARE(s.banco->conta(u"select * from noteincassi where idoperatore='OP03'"_s), 1);
        // A working date the host chose stays as it is.
        s.banco->host()->setData(QDate(2026, 12, 4));
        s.apri();
        QCOMPARE(s.form->dataRegistrazione(), QDate(2026, 12, 4));
    }

    void gestionePin_data() {
        QTest::addColumn<bool>("responsabileSenzaPin");
        QTest::addColumn<QList<R>>("risposte");
        QTest::addColumn<QStringList>("boxAttesi");
        QTest::addColumn<bool>("impostato");
        const R op1{u"OP01"_s, u"1111"_s}, nuovo{u"OP03"_s, u"4444"_s}, annulla{u"CmdAnnullaPin"_s};
        const QString impostato = u"Nuovo PIN impostato per OP03"_s, bloccato = u"bloccato fino alle"_s;
        QTest::newRow("il responsabile reimposta il PIN di un operatore bloccato")
            << false << QList<R>{op1, nuovo, nuovo} << QStringList{impostato} << true;
        QTest::newRow("nessun responsabile ha un PIN: il primo conferma senza")
            << true << QList<R>{{u"OP01"_s, QString()}, nuovo, nuovo} << QStringList{impostato} << true;
        QTest::newRow("PIN del responsabile errato")
            << false << QList<R>{{u"OP01"_s, u"9999"_s}, annulla} << QStringList{u"PIN errato"_s, bloccato} << false;
        QTest::newRow("un operatore non è un responsabile")
            << false << QList<R>{{u"OP02"_s, u"2222"_s}, annulla} << QStringList{u"Toccare il proprio nome"_s, bloccato}
            << false;
        QTest::newRow("PIN troppo corto")
            << false << QList<R>{op1, {u"OP03"_s, u"44"_s}, annulla} << QStringList{u"da 4 a 8 cifre"_s, bloccato} << false;
        QTest::newRow("i due PIN non coincidono")
            << false << QList<R>{op1, nuovo, {u"OP03"_s, u"5555"_s}, annulla} << QStringList{u"non coincidono"_s, bloccato}
            << false;
    }

    // "Gestione PIN" on the pad that opens the form: only a responsabile's PIN lets anyone set a
    // PIN (the new one twice, 4 to 8 digits); a new PIN opens the lock of five wrong ones, and
    // who set whose is logged. OP03, locked out, then tries to sign in with the new PIN.
    void gestionePin() {
        QFETCH(bool, responsabileSenzaPin);
        QFETCH(QList<R>, risposte);
        QFETCH(QStringList, boxAttesi);
        QFETCH(bool, impostato);
        Sala s;
        const RecordsetPtr op3 = s.host().openrecordset(u"select * from operatori where codice='OP03'"_s);
        op3->SetField(u"bloccatofino"_s, QDateTime::currentDateTime().addSecs(3600));
        op3->Update();
        if (responsabileSenzaPin)
            s.host().Execute(u"update operatori set pinhash=null where codice='OP01'"_s);
        const QString hash = u"select pinhash from operatori where codice='OP03'"_s;
        const QVariant prima = s.banco->righe(hash).at(0).value(u"pinhash"_s);
        s.apri(QList<R>{{u"CmdGestionePin"_s}} + risposte + QList<R>{{u"OP03"_s, u"4444"_s}});

        confrontaBox(s.box, boxAttesi);
        QCOMPARE(s.form->controlli()->operatore(), impostato ? u"OP03"_s : QString());
        QCOMPARE(s.banco->righe(hash).at(0).value(u"pinhash"_s) != prima, impostato);
        QCOMPARE(s.banco->conta(u"select * from LogOperazioni where operazione='Gestione PIN' and idoperatore='OP01'"_s),
                 impostato ? 1 : 0);
    }

    // The slip sent to a CUPS queue: a cupsd of the test's own (private configuration, a raw
    // queue, CUPS_SERVER at its socket) receives one job, the slip's two copies on the 80 mm roll,
    // read back from the spool: number, amount in figures and in words, both names, QR code.
    void buonoSullaStampante() {
        const QString cupsd = QStandardPaths::findExecutable(u"cupsd"_s, {u"/usr/sbin"_s});
        QVERIFY2(!cupsd.isEmpty(), "cupsd non installato: make deps");
        const QDir d(m_cups.path());
        for (const char* cartella : {"conf", "spool", "cache", "state", "tmp", "log"})
            QVERIFY(d.mkpath(QLatin1String(cartella)));
        QFile conf(d.filePath(u"conf/cupsd.conf"_s)), file(d.filePath(u"conf/cups-files.conf"_s));
        QVERIFY(conf.open(QIODevice::WriteOnly) && file.open(QIODevice::WriteOnly));
        conf.write(u"Listen %1/cups.sock\nWebInterface No\nBrowsing No\nDefaultAuthType None\n"
                   "<Location />\nOrder allow,deny\nAllow all\n</Location>\n"_s.arg(d.path()).toUtf8());
        file.write(u"ServerRoot %1/conf\nRequestRoot %1/spool\nCacheDir %1/cache\nStateDir %1/state\nTempDir %1/tmp\n"
                   "ErrorLog %1/log/error_log\nAccessLog %1/log/access_log\nPageLog %1/log/page_log\n"
                   "FileDevice Yes\nSystemGroup root\n"_s.arg(d.path()).toUtf8());
        conf.close();
        file.close();
        QProcess server;
        server.start(cupsd, {u"-f"_s, u"-c"_s, conf.fileName(), u"-s"_s, file.fileName()});
        QVERIFY2(server.waitForStarted(), qPrintable(server.errorString()));
        const auto ferma = qScopeGuard([&server] {
            StatoModulo::istanza().stampanteBuoni.clear();
            server.terminate();
            server.waitForFinished(10000);
        });
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(d.filePath(u"cups.sock"_s)), 20000);
        QCOMPARE(QProcess::execute(u"lpadmin"_s, {u"-p"_s, u"Buoni80"_s, u"-E"_s, u"-v"_s, u"file:///dev/null"_s}), 0);

        Sala s;
        s.host().salvasettaggio(u"Refill"_s, u"FormatoBuono"_s, 1);
        StatoModulo::istanza().stampanteBuoni = u"Buoni80"_s;
        s.apri({{u"OP02"_s, u"2222"_s}, {u"OP03"_s, u"3333"_s}});
        salvaRefill(*s.form, 3, u"1250,5"_s);
        QCOMPARE(s.box.testi(), QStringList());
        QCOMPARE(s.file(u"*"_s), QStringList());
        // The job's document stays in the spool once printed.
        const QDir spool(d.filePath(u"spool"_s));
        QTRY_COMPARE_WITH_TIMEOUT(spool.entryList({u"d*"_s}, QDir::Files).size(), 1, 20000);
        const QString documento = spool.filePath(spool.entryList({u"d*"_s}, QDir::Files).at(0));
        const QString numero = u"N. 1/%1"_s.arg(annoCorrente());
        QCOMPARE(mancanti(esegui(u"pdftotext"_s, {documento, u"-"_s}),
                          {numero, u"milleduecentocinquanta euro e cinquanta centesimi"_s, u"€ 1.250,50"_s,
                           u"Bruno Verdi (OP02)"_s, u"Carla Bianchi (OP03)"_s, u"Esemplare 1 di 2"_s, u"Esemplare 2 di 2"_s}),
                 QStringList());
    }

    void manomissioni_data() {
        QTest::addColumn<QStringList>("istruzioni");
        QTest::addColumn<int>("numero");
        QTest::addColumn<QString>("descrizione");
        QTest::newRow("importo cambiato")
            << QStringList{u"update RegistroRefill set dopo=90, differenza=90 where numero=2"_s} << 2 << "l'impronta registrata";
        QTest::newRow("riga tolta") << QStringList{u"delete from RegistroRefill where numero=2"_s} << 3 << "manca il numero 2";
        QTest::newRow("due righe scambiate") << QStringList{u"update RegistroRefill set numero=-3 where numero=3"_s,
                                                            u"update RegistroRefill set numero=3 where numero=2"_s,
                                                            u"update RegistroRefill set numero=2 where numero=-3"_s}
                                             << 2 << "l'impronta registrata";
        QTest::newRow("impronta cambiata") << QStringList{u"update RegistroRefill set impronta='0123456789ab' where numero=3"_s}
                                           << 3 << "(0123456789ab…)";
        QTest::newRow("riga aggiunta")
            << QStringList{u"insert into RegistroRefill (codlocale, anno, numero, giornata, idscheda, prima, dopo, "
                           "differenza, operatore, impronta) select codlocale, anno, 5, giornata, idscheda, dopo, "
                           "dopo+50, 50, operatore, impronta from RegistroRefill where numero=4"_s}
            << 5 << "l'impronta registrata";
        // Machine 2's amount changed in the day's document, not in the register.
        QTest::newRow("documento cambiato") << QStringList{u"update noteincassi set refillgestore=99 where linkscheda=1002"_s}
                                            << 2 << "il documento del giorno ha € 99";
    }

    // Rows changed, removed, swapped or added behind the program's back are found, and the
    // first problem names the row where the register stops being what was written.
    void manomissioni() {
        QFETCH(QStringList, istruzioni);
        QFETCH(int, numero);
        QFETCH(QString, descrizione);
        Sala s;
        s.apri();
        for (int i = 0; i < 4; ++i)
            salvaRefill(*s.form, i, QString::number(10 * (i + 1)));
        QCOMPARE(s.box.testi(), QStringList());
        s.form.reset();
        QVERIFY(VerificaRegistro(s.host(), {}, {}).verifica().isEmpty());
        for (const QString& sql : istruzioni)
            s.host().Execute(sql);
        const auto problemi = VerificaRegistro(s.host(), {}, {}).verifica();
        QVERIFY2(!problemi.isEmpty(), "la manomissione non è stata trovata");
        QCOMPARE(problemi.first().numero, qint64(numero));
        QVERIFY2(problemi.first().descrizione.contains(descrizione), qPrintable(VerificaRegistro::tabella(problemi)));

        const QString programma = QDir(QCoreApplication::applicationDirPath()).filePath(u"kalorefill"_s);
        const QString uscita = esegui(programma, {u"--verifica"_s, u"--database"_s, s.banco->percorsoFile()});
        QVERIFY2(uscita.contains(u"SG01 N. %1/%2"_s.arg(numero).arg(annoCorrente())), qPrintable(uscita));
        // --ripara mends documents only: the register stays as it was found, and says so.
        const QString trovato = registro(*s.banco);
        const QString riparato = esegui(programma, {u"--ripara"_s, u"--database"_s, s.banco->percorsoFile()});
        QVERIFY2(riparato.contains(u"Il registro dei buoni non si ripara"_s), qPrintable(riparato));
        QCOMPARE(registro(*s.banco), trovato);
    }
};

QTEST_MAIN(TestRegistro)
#include "tst_registro.moc"
