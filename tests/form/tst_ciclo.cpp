// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
// The refill cycle on a real temporary database: picking a machine, typing on the keypad
// or the keyboard, saving with its accounting entries, and closing.
#include "MotoreProva.h"
#include "HostRegistrato.h"
#include "RisponditoreBox.h"
#include "Supporto.h"
#include "entry/Configura.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QTest>

using namespace KaloRefill;

namespace {
const QDate Oggi(2026, 12, 4);
const QColor Verde(0, 192, 0);
const QColor VerdeAcqua(0, 128, 128);
const QColor Giallo(192, 192, 0);
const auto Si = RisponditoreBox::Risposta::Si;
const auto No = RisponditoreBox::Risposta::No;

const QString SqlTesta = QStringLiteral("select * from noteteste where codcausale='REF'");
const QString SqlRighe = QStringLiteral("select * from noteincassi");
const QString SqlLog = QStringLiteral("select * from LogOperazioni");
const QString SqlContabili = QStringLiteral("select * from noterighe");

// Where the keyboard delivers a key: the focused control, or the window itself.
QWidget* destinatarioTasti(FrmRefill& form) {
    QWidget* fuoco = QApplication::focusWidget();
    return fuoco && fuoco->window() == &form ? fuoco : &form;
}

} // namespace

class TestCiclo : public QObject {
    Q_OBJECT

    std::unique_ptr<BancoProva> m_banco;
    std::unique_ptr<RisponditoreBox> m_box;
    std::shared_ptr<HostRegistrato> m_host;

    // Opens the form on the prepared database (a ready hall if none), saving without a
    // question; `registra` puts a recording host in front of it.
    std::unique_ptr<FrmRefill> apri(int apparecchi = 5, bool registra = false) {
        if (!m_banco)
            m_banco = BancoProva::salaPronta(apparecchi);
        m_banco->host()->salvasettaggio(QStringLiteral("Refill"), QStringLiteral("Salvataggio"), 0);
        m_host = registra ? std::make_shared<HostRegistrato>(m_banco->host()) : nullptr;
        if (m_host)
            return apriForm(m_host);
        return apriForm(m_banco->host());
    }
    double importo(int riga = 0) const {
        return m_banco->righe(SqlRighe + QStringLiteral(" order by id"))
            .value(riga)
            .value(QStringLiteral("refillgestore"))
            .toDouble();
    }

private slots:
    // Runs on the engine the test run chose; see MotoreProva.
    void initTestCase() { KALOREFILL_MOTORE_PRONTO(); }
    void init() { m_box = std::make_unique<RisponditoreBox>(); }
    void cleanup() {
        StatoModulo::istanza().databaseDanneggiato.clear();
        m_box.reset();
        m_host.reset();
        m_banco.reset();
        StatoModulo::istanza().applicazione.reset();
    }

    void selezioneApreRefill() {
        auto form = apri();
        form->CmdApparecchio[2]->click();
        QCOMPARE(form->RefillAperto, qint16(-1));
        QCOMPARE(form->CmdApparecchio[2]->backColor(), Giallo);
        QVERIFY(form->CmdSalva->isEnabled() && form->CmdPiu->isEnabled() && form->LabConto->isHidden());
        QCOMPARE(form->LabOperazione->caption(), QString());
        QCOMPARE(form->LabApparecchio->caption(), QStringLiteral("Inserire l'importo del refill effettuato\r"
                                                                 "sull' apparecchio: C3\rSlot 3\r"));
        QCOMPARE(form->testoBottone->caption(), etichettaCodice(3));
        form->CmdApparecchio[7]->click(); // amount 0,00: the warning, answered by default (No)
        QCOMPARE(form->Bottone->caption(), QStringLiteral("2"));
    }

    // An amount no amount column holds exactly (here set where the keypad would never put
    // it) is refused before anything is written: one box, no row of any table, the entry
    // still open. The date field holds no date the database cannot.
    void importoNonConservabile_data() {
        QTest::addColumn<QString>("valore");
        QTest::newRow("21 cifre") << QStringLiteral("123456789012345678901");
        QTest::newRow("5 decimali") << QStringLiteral("1,23456");
    }
    void importoNonConservabile() {
        QFETCH(QString, valore);
        auto form = apri();
        form->CmdApparecchio[0]->click();
        form->LabValore->setCaption(valore);
        form->CmdSalva->click();
        QCOMPARE(m_box->testi().size(), 1);
        QVERIFY2(m_box->testi().at(0).contains(valore + QStringLiteral(" non si può salvare")),
                 qPrintable(m_box->testi().at(0)));
        for (const QString& sql : {SqlTesta, SqlRighe, SqlLog, SqlContabili})
            QCOMPARE(m_banco->conta(sql), 0);
        QCOMPARE(form->RefillAperto, qint16(-1));
        QVERIFY(form->CmdSalva->isEnabled());

        for (const QDate& fuori : {QDate(1899, 12, 31), QDate(1, 1, 1)}) {
            form->txtData->setDate(fuori);
            QVERIFY2(form->dataRegistrazione() >= QDate(1900, 1, 1), qPrintable(form->dataRegistrazione().toString()));
        }
    }

    // A database found damaged: a banner in view, and "Salva" refuses with one box that
    // points to the check and to the last backup; nothing is written. A form opened later
    // shows the banner at once.
    void databaseDanneggiato() {
        auto form = apri();
        Configura().segnalaDatabaseDanneggiato(QStringLiteral("Il database prova.db è danneggiato: pagina 7"));
        QVERIFY(form->LabDanno && form->LabDanno->isVisibleTo(form.get()));
        QVERIFY(form->LabDanno->text().contains(QStringLiteral("pagina 7")));
        salvaRefill(*form, 0, QStringLiteral("5"));
        QCOMPARE(m_box->testi().size(), 1);
        QVERIFY2(m_box->testi().at(0).contains(QStringLiteral("kalorefill --verifica")) &&
                     m_box->testi().at(0).contains(QStringLiteral("copia di sicurezza")),
                 qPrintable(m_box->testi().at(0)));
        for (const QString& sql : {SqlTesta, SqlRighe, SqlLog, SqlContabili})
            QCOMPARE(m_banco->conta(sql), 0);
        QCOMPARE(form->RefillAperto, qint16(-1));
        const auto altro = apri();
        QVERIFY(altro->LabDanno && altro->LabDanno->isVisibleTo(altro.get()));
    }

    // Saves in a row, each "machine:keys" then "Salva" ("C" is "Canc"; a leading R reloads
    // the page first, E puts another program's entry under the header first): each
    // machine's amount, its button, one header, the two entries and the header on the
    // sum, and the day's total on screen.
    void salvataggi_data() {
        QTest::addColumn<QStringList>("passi");
        QTest::addColumn<QStringList>("importi"); // per machine, in the order first saved
        QTest::addColumn<QString>("pulsante");    // the last machine's amount on its button
        QTest::addColumn<QString>("totale");
        const auto riga = [](const char* nome, std::initializer_list<const char*> passi,
                             std::initializer_list<const char*> importi, const char* pulsante, const char* somma) {
            const auto lista = [](std::initializer_list<const char*> testi) {
                QStringList l;
                for (const char* t : testi)
                    l << QString::fromUtf8(t);
                return l;
            };
            QTest::newRow(nome) << lista(passi) << lista(importi) << QString::fromUtf8(pulsante) << totale(somma);
        };
        riga("somma sull'importo precedente", {"1:40", "1:10"}, {"50"}, "€ 50", "50");
        riga("pagina ricaricata", {"1:40", "R1:5"}, {"45"}, "€ 45", "45");
        riga("modifica con Canc", {"0:10", "0:C7"}, {"7"}, "€ 7", "7");
        riga("sotto uno", {"3:,5"}, {"0.5"}, "", "0,5");
        riga("azzerato e risalvato", {"3:40", "3:C"}, {"0"}, "", "0");
        riga("due apparecchi, scrittura estranea", {"0:10", "E1:5,5"}, {"10", "5.5"}, "€ 5,5", "15,5");
    }
    void salvataggi() {
        QFETCH(QStringList, passi);
        QFETCH(QStringList, importi);
        auto form = apri();
        int apparecchio = 0;
        for (QString passo : passi) {
            if (passo.startsWith(u'R'))
                form->RicaricaPagina();
            if (passo.startsWith(u'E')) {
                const RecordsetPtr estranea = m_banco->host()->openrecordset(SqlContabili);
                estranea->AddNew();
                estranea->SetField(QStringLiteral("idtesta"), m_banco->righe(SqlTesta).first().value(QStringLiteral("id")));
                estranea->SetField(QStringLiteral("Descrizione"), QStringLiteral("altro"));
                estranea->Update();
            }
            if (!passo.at(0).isDigit())
                passo.remove(0, 1);
            apparecchio = passo.section(u':', 0, 0).toInt();
            form->CmdApparecchio[apparecchio]->click();
            for (const QChar c : passo.section(u':', 1))
                form->PremiTasto(c == u'C' ? QStringLiteral("Canc") : QString(c));
            form->PremiTasto(QStringLiteral("Salva"));
        }
        QStringList salvati;
        double somma = 0;
        for (const QVariantMap& r : m_banco->righe(SqlRighe + QStringLiteral(" order by id"))) {
            salvati << QString::number(r.value(QStringLiteral("refillgestore")).toDouble());
            somma += r.value(QStringLiteral("refillgestore")).toDouble();
        }
        QCOMPARE(salvati, importi);
        QTEST(form->CmdApparecchio[apparecchio]->caption().section(u'\r', -1), "pulsante");
        QCOMPARE(m_banco->conta(SqlTesta), 1);
        QCOMPARE(m_banco->conta(SqlLog), passi.size());
        const QList<QVariantMap> contabili = m_banco->righe(SqlContabili + QStringLiteral(" order by riga"));
        QCOMPARE(contabili.size(), 2);
        QCOMPARE(contabili[0].value(QStringLiteral("avere")).toDouble(), somma);
        QCOMPARE(contabili[1].value(QStringLiteral("dare")).toDouble(), somma);
        QCOMPARE(m_banco->righe(SqlTesta).first().value(QStringLiteral("refillnoleggiatore")).toDouble(), somma);
        QTEST(form->LabTotali->caption(), "totale");
    }

    // A click on a button without a machine still saves, or asks about, the entry left open;
    // it never opens an entry of its own.
    void pulsanteSenzaApparecchio_data() {
        QTest::addColumn<QString>("importo"); // typed on machine 2; null: no entry open
        QTest::addColumn<int>("risposta");
        QTest::addColumn<int>("avvisi");
        QTest::addColumn<int>("refillAperto");
        QTest::addColumn<int>("righe");
        QTest::addColumn<QColor>("colore"); // of machine 2 afterwards
        QTest::newRow("nessun refill aperto") << QString() << int(Si) << 0 << 0 << 0 << VerdeAcqua;
        QTest::newRow("importo aperto: salvato") << QStringLiteral("25") << int(Si) << 0 << 0 << 1 << Verde;
        QTest::newRow("importo zero, no: resta aperto") << QStringLiteral("") << int(No) << 1 << -1 << 0 << Giallo;
        QTest::newRow("importo zero, si: abbandonato") << QStringLiteral("") << int(Si) << 1 << 0 << 0 << VerdeAcqua;
    }
    void pulsanteSenzaApparecchio() {
        QFETCH(QString, importo);
        QFETCH(int, risposta);
        QFETCH(int, refillAperto);
        auto form = apri(3);
        if (!importo.isNull()) {
            form->CmdApparecchio[1]->click();
            digita(*form, importo);
        }
        m_box->rispondi({RisponditoreBox::Risposta(risposta)});
        form->CmdApparecchio[5]->click();
        QTEST(int(m_box->boxes().size()), "avvisi");
        QCOMPARE(form->RefillAperto, qint16(refillAperto));
        QTEST(m_banco->conta(SqlRighe), "righe");
        QTEST(form->CmdApparecchio[1]->backColor(), "colore");
        QCOMPARE(form->CmdSalva->isEnabled(), refillAperto != 0);
        QCOMPARE(form->Bottone->caption(), refillAperto ? QStringLiteral("1") : QStringLiteral("0"));
        if (!refillAperto)
            QCOMPARE(form->LabApparecchio->caption() + form->LabValore->caption(),
                     QStringLiteral("Selezionare un apparecchio0,00"));
    }

    // With the question on, saving asks first, whether from "Salva" or from a click on
    // another machine; a click on another machine saves the open entry on its own machine.
    void salvaConConferma_data() {
        QTest::addColumn<int>("altro"); // the machine clicked to save; -1: "Salva"
        QTest::addColumn<bool>("accetta");
        QTest::newRow("salva, accettato") << -1 << true;
        QTest::newRow("salva, rifiutato") << -1 << false;
        QTest::newRow("altro apparecchio, accettato") << 3 << true;
    }
    void salvaConConferma() {
        QFETCH(int, altro);
        QFETCH(bool, accetta);
        auto form = apri();
        form->ChkConferma->setCheckState(Qt::Checked);
        form->CmdApparecchio[0]->click();
        digita(*form, QStringLiteral("17,5"));
        m_box->rispondi({accetta ? Si : No});
        (altro < 0 ? form->CmdSalva : form->CmdApparecchio[altro])->click();
        QCOMPARE(m_box->boxes().size(), 1);
        QCOMPARE(riassunto(m_box->boxes().first()), QStringLiteral("Salvo? | Confermi il salvataggio? | 4 | Sì"));
        QCOMPARE(form->RefillAperto, qint16(accetta ? 0 : -1));
        QCOMPARE(form->CmdApparecchio[0]->backColor(), accetta ? Verde : Giallo);
        QCOMPARE(form->LabValore->caption(), accetta ? QStringLiteral("0,00") : QStringLiteral("17,5"));
        QCOMPARE(form->CmdSalva->isEnabled(), !accetta);
        QCOMPARE(m_banco->conta(SqlRighe), accetta ? 1 : 0);
        if (accetta) {
            QCOMPARE(form->CmdApparecchio[0]->caption(), etichettaCodice(1) + QStringLiteral("\r€ 17,5"));
            QCOMPARE(form->Bottone->caption(), QStringLiteral("0"));
            QCOMPARE(m_banco->righe(SqlRighe).first().value(QStringLiteral("linkscheda")).toInt(), 1001);
        }
        if (altro >= 0) // the clicked machine is not selected
            QCOMPARE(form->CmdApparecchio[altro]->backColor(), VerdeAcqua);
    }

    void secondoApparecchioConImportoZero_data() {
        QTest::addColumn<QString>("importo");
        QTest::addColumn<bool>("abbandona");
        QTest::newRow("0,00 e si") << QString() << true;
        QTest::newRow("0,00 e no") << QString() << false;
        QTest::newRow("0,5 e si") << QStringLiteral(",5") << true;
    }
    void secondoApparecchioConImportoZero() {
        QFETCH(QString, importo);
        QFETCH(bool, abbandona);
        auto form = apri();
        salvaRefill(*form, 4, QStringLiteral("9"));
        form->CmdApparecchio[4]->click();
        digita(*form, importo);
        m_box->rispondi({abbandona ? Si : No});
        form->CmdApparecchio[1]->click();
        QCOMPARE(m_box->boxes().size(), 1);
        QCOMPARE(riassunto(m_box->boxes().first()),
                 QStringLiteral("Attenzione!! | Attenzione è gia aperto un refill non salvato su un altro apparecchio,"
                                " annullo l'operazione per farla sull'apparecchio selezionato? | 2 | No"));
        // Machine 5's caption shows an amount: green once left.
        QCOMPARE(form->CmdApparecchio[4]->backColor(), abbandona ? Verde : Giallo);
        QCOMPARE(form->CmdApparecchio[1]->backColor(), abbandona ? Giallo : VerdeAcqua);
        QCOMPARE(form->Bottone->caption(), abbandona ? QStringLiteral("1") : QStringLiteral("4"));
        QCOMPARE(m_banco->conta(SqlLog), 1);
    }

    // Machine 3 has no nomemobile, as another program may leave it.
    void primoSalvataggio() {
        auto form = apri();
        const RecordsetPtr apparecchi = m_banco->host()->openrecordset(QStringLiteral("select * from apparecchi"));
        apparecchi->SetFilter(QStringLiteral("idscheda = 1003"));
        apparecchi->SetField(QStringLiteral("nomemobile"), QVariant());
        apparecchi->Update();
        salvaRefill(*form, 2, QStringLiteral("12,50"));
        QVERIFY(m_box->boxes().isEmpty());
        const QString utente = QStringLiteral("mrossi"), locale = QStringLiteral("SG01");
        const QList<QVariantMap> teste = m_banco->righe(SqlTesta);
        QCOMPARE(teste.size(), 1);
        QCOMPARE(differenze(teste.first(), {{"codcausale", QStringLiteral("REF")}, {"dataregistrazione", Oggi},
                                            {"codlocale", locale}, {"codiceazienda", QStringLiteral("Salagiochi")},
                                            {"idoperatore", utente}, {"chiuso", 0}, {"import", 0},
                                            {"refillnoleggiatore", 12.5}}),
                 QString());
        QVERIFY(teste.first().value(QStringLiteral("iddata")).toDateTime().isValid());
        const QVariant idTesta = teste.first().value(QStringLiteral("id"));

        const QList<QVariantMap> righe = m_banco->righe(SqlRighe);
        QCOMPARE(righe.size(), 1);
        QCOMPARE(differenze(righe.first(), {{"idtesta", idTesta}, {"codarticolo", QStringLiteral("newslot")},
                                            {"linkapparecchio", QStringLiteral("5003")}, {"linkscheda", 1003},
                                            {"codlocale", locale}, {"dataincasso", Oggi}, {"tipoincasso", 6},
                                            {"descrizione", QStringLiteral("C3 - Slot 3 - AAMS3")}, {"riga", 0},
                                            {"refillgestore", 12.5}, {"catapparecchio", QStringLiteral("AWP")},
                                            {"idoperatore", utente}}),
                 QString());

        const QList<QVariantMap> log = m_banco->righe(SqlLog);
        QCOMPARE(log.size(), 1);
        QCOMPARE(differenze(log.first(), {{"operazione", QStringLiteral("Inserimento Refill")}, {"importo1", 12.5},
                                          {"notevarie", QVariant()}, {"idoperatore", utente},
                                          {"descrizione", QStringLiteral("C3 - Slot 3 -  - AAMS3")}}),
                 QString());
        QVERIFY(log.first().value(QStringLiteral("orario")).toTime().isValid());

        // Cash out of the hall's account, onto the refill account: the two entries balance.
        const QList<QVariantMap> contabili = m_banco->righe(SqlContabili + QStringLiteral(" order by riga"));
        QCOMPARE(contabili.size(), 2);
        for (const QVariantMap& movimento : contabili)
            QCOMPARE(differenze(movimento, {{"idtesta", idTesta}, {"data", Oggi}, {"codlocale", locale},
                                            {"idoperatore", utente}}),
                     QString());
        QCOMPARE(differenze(contabili[0], {{"descrizione", QStringLiteral("Refill Hopper")}, {"dare", 0.0},
                                           {"avere", 12.5}, {"codconto", QStringLiteral("C.01.001")}, {"riga", 1}}),
                 QString());
        QCOMPARE(differenze(contabili[1], {{"descrizione", QStringLiteral("Carico Hopper(Refill)")}, {"dare", 12.5},
                                           {"avere", 0.0}, {"codconto", QStringLiteral("C.01.010")}, {"riga", 2}}),
                 QString());
        QCOMPARE(form->LabTotali->caption(), totale("12,5"));
        QCOMPARE(form->LabApparecchio->caption(), QStringLiteral("Selezionare un apparecchio"));
    }


    void salvataggioRiapreRegistrazioneChiusa() {
        m_banco = BancoProva::salaPronta(3);
        m_banco->aggiungiTestata(Oggi, QStringLiteral("SG01"), true);
        m_box->rispondi({No});
        auto form = apri();
        QCOMPARE(m_box->boxes().size(), 1);
        salvaRefill(*form, 0, QStringLiteral("3"));
        const QList<QVariantMap> teste = m_banco->righe(SqlTesta);
        QCOMPARE(teste.size(), 1);
        QCOMPARE(teste.first().value(QStringLiteral("chiuso")).toInt(), 0);
    }


    void tastiera_data() {
        QTest::addColumn<bool>("apriRefill"); // machine 1 clicked first
        QTest::addColumn<QList<int>>("tasti");
        QTest::addColumn<QList<int>>("modificatori");
        QTest::addColumn<QString>("valore");
        QTest::addColumn<double>("salvato"); // -1: nothing stored
        const int pad = Qt::KeypadModifier, shift = Qt::ShiftModifier;
        QTest::newRow("cifre, virgola, F12")
            << true << QList<int>{Qt::Key_1, Qt::Key_2, Qt::Key_Comma, Qt::Key_5, Qt::Key_F12}
            << QList<int>{0, 0, 0, 0, 0} << "0,00" << 12.5;
        QTest::newRow("tastierino e somma")
            << true << QList<int>{Qt::Key_7, Qt::Key_Plus, Qt::Key_3, Qt::Key_Enter, Qt::Key_F12}
            << QList<int>{pad, pad, pad, pad, 0} << "0,00" << 10.0;
        QTest::newRow("shift+8 e backspace")
            << true << QList<int>{Qt::Key_8, Qt::Key_8, Qt::Key_Backspace, Qt::Key_Space, Qt::Key_F12}
            << QList<int>{shift, 0, 0, 0, 0} << "0,00" << 8.0;
        QTest::newRow("canc azzera") << true << QList<int>{Qt::Key_9, Qt::Key_Delete} << QList<int>{0, 0} << "0,00"
                                     << -1.0;
        QTest::newRow("moltiplica e invio")
            << true << QList<int>{Qt::Key_6, Qt::Key_Asterisk, Qt::Key_4, Qt::Key_Return}
            << QList<int>{pad, pad, pad, 0} << "24" << -1.0;
        QTest::newRow("senza refill aperto")
            << false << QList<int>{Qt::Key_5, Qt::Key_F12} << QList<int>{0, 0} << "0,00" << -1.0;
    }
    void tastiera() {
        QFETCH(QList<int>, tasti);
        QFETCH(QList<int>, modificatori);
        QFETCH(double, salvato);
        auto form = apri();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QFETCH(bool, apriRefill);
        if (apriRefill)
            form->CmdApparecchio[0]->click();
        for (int i = 0; i < tasti.size(); ++i)
            QTest::keyClick(destinatarioTasti(*form), Qt::Key(tasti[i]), Qt::KeyboardModifiers(modificatori[i]));
        QTEST(form->LabValore->caption(), "valore");
        if (salvato >= 0) {
            QCOMPARE(form->RefillAperto, qint16(0));
            QCOMPARE(importo(), salvato);
        } else {
            QCOMPARE(m_banco->conta(SqlTesta) + m_banco->conta(SqlRighe), 0);
        }
    }

    void fallimentoInOgniPasso() {
        // Count the calls of a clean save once (n = 0), then make each of them fail in turn:
        // the save shows one box for the failed step, runs every step after it, and the form
        // stays usable for the next save.
        int chiamateSalvataggio = 0;
        for (int n = 0; n == 0 || n <= chiamateSalvataggio; ++n) {
            m_box->azzera();
            m_banco.reset();
            auto form = apri(2, true);
            form->CmdApparecchio[0]->click();
            digita(*form, QStringLiteral("3"));
            const qsizetype prima = m_host->chiamate.size();
            m_host->armaFallimento(n);
            form->PremiTasto(QStringLiteral("Salva"));
            if (n == 0) {
                chiamateSalvataggio = m_host->chiamateDaArmo();
                QVERIFY(m_box->boxes().isEmpty());
                QVERIFY(chiamateSalvataggio > 60);
                continue;
            }
            const QString chiamata = m_host->chiamate.value(prima + n - 1);
            QVERIFY2(!m_box->boxes().isEmpty(),
                     qPrintable(QStringLiteral("no box when call %1 (%2) fails").arg(n).arg(chiamata)));
            QVERIFY2(m_box->boxes().first().testo.startsWith(QStringLiteral("Guasto simulato")), qPrintable(chiamata));
            QCOMPARE(m_box->boxes().first().titolo, QStringLiteral("KaloRefill"));
            QCOMPARE(m_box->boxes().first().icona, QMessageBox::NoIcon);
            // The last step still ran: the total on screen follows the database.
            QVERIFY2(m_host->sql.last().startsWith(QStringLiteral("SELECT Sum(NoteIncassi.RefillGestore)")),
                     qPrintable(chiamata));

            // And the form goes on working: the next machine saves cleanly.
            m_host->armaFallimento(0);
            m_box->azzera();
            salvaRefill(*form, 1, QStringLiteral("4"));
            QVERIFY2(m_box->boxes().isEmpty(), qPrintable(chiamata));
            QVERIFY2(m_banco->conta(QStringLiteral("select * from noteincassi where linkscheda=1002")) == 1,
                     qPrintable(chiamata + QStringLiteral(" / ") + m_box->testi().join(QLatin1Char('|'))));
        }
    }

    void unitaPersaAMeta_data() {
        QTest::addColumn<int>("chiamata");
        QTest::newRow("alla testata") << 5;
        QTest::newRow("alla riga") << 35;
        QTest::newRow("alle scritture") << 55;
    }

    // The storage loses the save's unit half-way: the steps after it do not run (each would
    // only fail in turn), one box says so, nothing is kept, the entry stays open.
    void unitaPersaAMeta() {
        QFETCH(int, chiamata);
        m_box->azzera();
        m_banco.reset();
        auto form = apri(2, true);
        form->CmdApparecchio[0]->click();
        digita(*form, QStringLiteral("3"));
        m_host->armaPerditaUnita(chiamata);
        form->PremiTasto(QStringLiteral("Salva"));
        m_host->armaFallimento(0);
        QCOMPARE(m_box->testi().size(), 1);
        QVERIFY2(m_box->boxes().first().testo.startsWith(QStringLiteral("Salvataggio non riuscito: guasto simulato")),
                 qPrintable(m_box->testi().join(QLatin1Char('|'))));
        QCOMPARE(m_banco->conta(SqlTesta) + m_banco->conta(SqlRighe) + m_banco->conta(SqlContabili), 0);
        QCOMPARE(m_banco->conta(QStringLiteral("select * from LogOperazioni")), 0);
        QCOMPARE(form->RefillAperto, qint16(-1));
    }

    void senzaAssociazioniContiSiSalva() {
        m_banco = std::make_unique<BancoProva>();
        m_banco->aggiungiLocale(QStringLiteral("SG01"));
        m_banco->aggiungiApparecchi(1);
        auto form = apri();
        QCOMPARE(m_box->boxes().size(), 1);
        m_box->azzera();
        salvaRefill(*form, 0, QStringLiteral("6"));
        // One box for each account code that could not be read; the rest is stored.
        QCOMPARE(m_box->boxes().size(), 2);
        QCOMPARE(m_banco->conta(SqlRighe), 1);
        QCOMPARE(m_banco->conta(SqlContabili), 2);
        QCOMPARE(form->LabTotali->caption(), totale("6"));
    }

    void chiusura_data() {
        QTest::addColumn<bool>("refillAperto");
        QTest::addColumn<int>("risposta");
        QTest::addColumn<int>("spunta");
        QTest::addColumn<bool>("chiusa");
        QTest::addColumn<int>("statoRiaperto");
        QTest::newRow("spuntato") << false << -1 << int(Qt::Checked) << true << int(Qt::Checked);
        QTest::newRow("non spuntato") << false << -1 << int(Qt::Unchecked) << true << int(Qt::Unchecked);
        QTest::newRow("refill aperto, no") << true << int(No) << int(Qt::Checked) << false << -1;
        QTest::newRow("refill aperto, si") << true << int(Si) << int(Qt::Checked) << true << int(Qt::Unchecked);
    }
    void chiusura() {
        QFETCH(bool, refillAperto);
        QFETCH(int, risposta);
        QFETCH(int, spunta);
        QFETCH(bool, chiusa);
        auto form = apri(); // the stored choice starts as 0: not ticked
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        form->ChkConferma->setCheckState(Qt::CheckState(spunta));
        if (refillAperto) {
            form->CmdApparecchio[0]->click();
            digita(*form, QStringLiteral("5"));
            m_box->rispondi({RisponditoreBox::Risposta(risposta)});
        }
        form->CmdChiudi->click();
        if (refillAperto) {
            QCOMPARE(m_box->boxes().size(), 1);
            QCOMPARE(riassunto(m_box->boxes().first()),
                     QStringLiteral("Attenzione!! | Attenzione è aperto un refill non salvato su un apparecchio, "
                                    "esco dal programma senza salvare? | 2 | No"));
        }
        QCOMPARE(form->isVisible(), !chiusa);
        if (!chiusa) {
            QCOMPARE(form->RefillAperto, qint16(-1));
            QCOMPARE(form->LabValore->caption(), QStringLiteral("5"));
            return;
        }
        QCOMPARE(m_banco->conta(SqlRighe), 0);
        QTEST(int(apriForm(m_banco->host())->ChkConferma->checkState()), "statoRiaperto");
    }
};

QTEST_MAIN(TestCiclo)
#include "tst_ciclo.moc"
