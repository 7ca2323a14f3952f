// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
// Start-up, machine pages and the day's total, on a real temporary database.
#include "MotoreProva.h"
#include "HostRegistrato.h"
#include "RisponditoreBox.h"
#include "Supporto.h"
#include "host/SqlTesti.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QTest>

using namespace KaloRefill;

namespace {
const QDate Oggi(2026, 12, 4);
const QColor Verde(0, 192, 0);
const QColor VerdeAcqua(0, 128, 128);
const QString NessunRefill = QStringLiteral("Riepilogo Refill Odierni  -> Nessun refill caricato");
} // namespace

class TestAvvio : public QObject {
    Q_OBJECT
private slots:
    // Runs on the engine the test run chose; see MotoreProva.
    void initTestCase() { KALOREFILL_MOTORE_PRONTO(); }
    void cleanup() { StatoModulo::istanza().applicazione.reset(); }

    void statoApparecchiEPagine_data() {
        QTest::addColumn<int>("apparecchi");
        QTest::addColumn<int>("pagine");
        QTest::newRow("nessuno") << 0 << 1;
        QTest::newRow("sedici") << 16 << 1;
        QTest::newRow("diciassette") << 17 << 2;
        QTest::newRow("trentadue") << 32 << 2;
        QTest::newRow("trentatre") << 33 << 3;
    }
    void statoApparecchiEPagine() {
        QFETCH(int, apparecchi);
        QFETCH(int, pagine);
        auto banco = BancoProva::salaPronta(apparecchi);
        banco->aggiungiApparecchi(2, 6, 0, 100);  // out of service
        banco->aggiungiApparecchi(2, 1, -1, 200); // another kind of takings
        RisponditoreBox box;
        auto form = apriForm(banco->host());
        QCOMPARE(form->LabStato->caption(),
                 QStringLiteral("Totale apparecchi  := %1\rNumero Pagine       := %2").arg(apparecchi).arg(pagine));
        QStringList etichette(16), codici(16, QStringLiteral("0"));
        for (int i = 0; i < std::min(apparecchi, 16); ++i) {
            etichette[i] = etichettaCodice(i + 1);
            codici[i] = QString::number(1001 + i);
            QCOMPARE(form->CmdApparecchio[i]->backColor(), VerdeAcqua);
        }
        QCOMPARE(captions(*form), etichette);
        QCOMPARE(tags(*form), codici);
        QVERIFY(box.boxes().isEmpty());
        QCOMPARE(form->dataRegistrazione(), Oggi);
        QCOMPARE(form->LabOperazione->caption(), QString());
        QVERIFY(!form->CmdSalva->isEnabled() && !form->Cmd7->isEnabled());
    }

    void senzaLocale() {
        BancoProva banco;
        banco.aggiungiAssociazioneConti();
        banco.aggiungiApparecchi(3);
        // Venue "1" has a refill that day: the form shows venue 1's total.
        banco.aggiungiRiga(banco.aggiungiTestata(Oggi, QStringLiteral("1")), 1001, 7.5, Oggi, QStringLiteral("1"));
        RisponditoreBox box;
        auto form = apriForm(banco.host());
        QCOMPARE(box.boxes().size(), 1);
        QCOMPARE(riassunto(box.boxes().first(), false),
                 QStringLiteral("KaloRefill | Attenzione!! Bisogna aver impostato un locale prima di procedere.! | 3"));
        QCOMPARE(box.boxes().first().pulsanti, QStringList{QStringLiteral("OK")});
        QCOMPARE(form->CodLocale.toString(), QStringLiteral("1"));
        QCOMPARE(form->CmdApparecchio[0]->caption(), etichettaCodice(1) + QStringLiteral("\r€  7,5"));
        QCOMPARE(form->LabTotali->caption(), totale("7,5"));
    }

    void senzaAssociazioniConti() {
        BancoProva banco;
        banco.aggiungiLocale(QStringLiteral("SG01"));
        banco.aggiungiApparecchi(2);
        RisponditoreBox box;
        auto form = apriForm(banco.host());
        QCOMPARE(box.boxes().size(), 1);
        QCOMPARE(riassunto(box.boxes().first(), false),
                 QStringLiteral("Attenzione!! | Attenzione mancano le associazioni conti, effettuare una "
                                "sincronizzazione con la sede prima di procedere. | 3"));
        // The grid and the total were already there when the warning came.
        QCOMPARE(form->CmdApparecchio[1]->caption(), etichettaCodice(2));
        QCOMPARE(form->LabTotali->caption(), NessunRefill);
    }

    // The stored choice comes back as it was stored, greyed included; the operator's clicks
    // then only tick and untick, and "Chiudi" stores what the box shows.
    void confermaSalvataggio_data() {
        QTest::addColumn<int>("salvato");
        QTest::addColumn<int>("stato");
        QTest::addColumn<QList<int>>("dopoClic");
        const int si = Qt::Checked, no = Qt::Unchecked;
        QTest::newRow("mai salvato") << -1 << si << QList<int>{no, si, no};
        QTest::newRow("non chiedere") << 0 << no << QList<int>{si, no, si};
        QTest::newRow("chiedere") << 1 << si << QList<int>{no, si, no};
        QTest::newRow("grigio") << 2 << int(Qt::PartiallyChecked) << QList<int>{si, no, si};
    }
    void confermaSalvataggio() {
        QFETCH(int, salvato);
        QFETCH(QList<int>, dopoClic);
        auto banco = BancoProva::salaPronta(1);
        if (salvato >= 0)
            banco->host()->salvasettaggio(QStringLiteral("Refill"), QStringLiteral("Salvataggio"), qint16(salvato));
        auto form = apriForm(banco->host());
        QTEST(int(form->ChkConferma->checkState()), "stato");
        QList<int> stati;
        for (int i = 0; i < dopoClic.size(); ++i) {
            form->ChkConferma->click();
            stati << int(form->ChkConferma->checkState());
        }
        QCOMPARE(stati, dopoClic);
        form->CmdChiudi->click();
        QCOMPARE(int(banco->host()->leggisettaggio(QStringLiteral("Refill"), QStringLiteral("Salvataggio"), -1)),
                 dopoClic.last() == int(Qt::Checked) ? 1 : 0);
    }

    void fallimentoAvvioSilenzioso() {
        // The machine query fails: start-up stops there without a word, the buttons keep
        // their first state and LabStato its own text; the form still opens.
        auto banco = BancoProva::salaPronta(3);
        auto host = std::make_shared<HostRegistrato>(banco->host());
        host->armaFallimento(5); // Data, openrecordset, RecordCount, Field, openrecordset
        RisponditoreBox box;
        auto form = apriForm(host);
        QVERIFY(box.boxes().isEmpty());
        QCOMPARE(form->CodLocale.toString(), QStringLiteral("SG01"));
        QCOMPARE(form->LabStato->caption() + form->CmdApparecchio[0]->caption(), QStringLiteral(".a"));
        QVERIFY(!host->sql.contains(QStringLiteral("select * from TabAssociazioneConti")));
    }

    // "Avanti" (A), "Dietro" (D) and the three labellings (1, 2, 3) over 20 or 40 machines:
    // buttons 1, 4 and 16 afterwards. Back from a part page rewinds 32 rows from past the
    // end; relabelling rewinds by the machines on screen; an empty button has no machine.
    void paginazione_data() {
        QTest::addColumn<int>("apparecchi");
        QTest::addColumn<QString>("passi");
        QTest::addColumn<QStringList>("pulsanti");
        const auto aams = [](int i) { return QStringLiteral("AAMS%1\r").arg(i); };
        QTest::newRow("avanti") << 20 << QStringLiteral("A") << QStringList{etichettaCodice(17), etichettaCodice(20), QString()};
        QTest::newRow("oltre l'ultima") << 20 << QStringLiteral("AA") << QStringList{etichettaCodice(17), etichettaCodice(20), QString()};
        QTest::newRow("AAMS sull'ultima") << 20 << QStringLiteral("A3") << QStringList{aams(17), aams(20), QString()};
        QTest::newRow("AAMS e dietro") << 20 << QStringLiteral("A3D") << QStringList{aams(1), aams(4), aams(16)};
        QTest::newRow("nome") << 20 << QStringLiteral("2") << QStringList{QStringLiteral("Slot 1\rC1 AAMS1\r"),
                                                          QStringLiteral("Slot 4\rC4 AAMS4\r"),
                                                          QStringLiteral("Slot 16\rC16 AAMS16\r")};
        QTest::newRow("codice di nuovo") << 20 << QStringLiteral("21") << QStringList{etichettaCodice(1), etichettaCodice(4), etichettaCodice(16)};
        QTest::newRow("terza pagina") << 40 << QStringLiteral("AA") << QStringList{etichettaCodice(33), etichettaCodice(36), QString()};
        QTest::newRow("dietro dall'ultima parziale") << 40 << QStringLiteral("AAD")
                                                     << QStringList{etichettaCodice(9), etichettaCodice(12), etichettaCodice(24)};
    }
    void paginazione() {
        QFETCH(int, apparecchi);
        QFETCH(QString, passi);
        auto banco = BancoProva::salaPronta(apparecchi);
        RisponditoreBox box;
        auto form = apriForm(banco->host());
        for (const QChar p : passi)
            (p == u'A' ? form->CmdAvanti : p == u'D' ? form->CmdDietro : p == u'1' ? form->Opt1 : p == u'2' ? form->Opt2 : form->Opt3)->click();
        QTEST((QStringList{form->CmdApparecchio[0]->caption(), form->CmdApparecchio[3]->caption(),
                           form->CmdApparecchio[15]->caption()}),
              "pulsanti");
        for (const PulsanteGrafico* p : form->CmdApparecchio)
            if (p->caption().isEmpty())
                QVERIFY(p->tag() == QStringLiteral("0") && p->backColor() == QApplication::palette().color(QPalette::Button));
        QCOMPARE(form->LabApparecchio->caption(), QStringLiteral("Selezionare un apparecchio"));
        QVERIFY(box.boxes().isEmpty());
    }

    void importiSullaPagina() {
        auto banco = BancoProva::salaPronta(4);
        const qint64 testa = banco->aggiungiTestata(Oggi, QStringLiteral("SG01"));
        banco->aggiungiRiga(testa, 1001, 12.5, Oggi);
        banco->aggiungiRiga(testa, 1003, 0, Oggi); // a zero amount stays teal
        banco->aggiungiRiga(testa, 1004, QStringLiteral("0.1"), Oggi);
        auto form = apriForm(banco->host());
        QCOMPARE(captions(*form).mid(0, 4),
                 (QStringList{etichettaCodice(1) + QStringLiteral("\r€  12,5"), etichettaCodice(2), etichettaCodice(3),
                              etichettaCodice(4) + QStringLiteral("\r€  0,1")}));
        QCOMPARE(form->CmdApparecchio[0]->backColor(), Verde);
        QCOMPARE(form->CmdApparecchio[1]->backColor(), VerdeAcqua);
        QCOMPARE(form->CmdApparecchio[2]->backColor(), VerdeAcqua);
    }

    void registrazioneChiusa_data() {
        QTest::addColumn<bool>("abbandona");
        QTest::newRow("si, torna alla data di lavoro") << true;
        QTest::newRow("no, mostra la registrazione chiusa") << false;
    }
    void registrazioneChiusa() {
        QFETCH(bool, abbandona);
        const QDate chiusa(2026, 12, 1);
        auto banco = BancoProva::salaPronta(3);
        banco->aggiungiRiga(banco->aggiungiTestata(chiusa, QStringLiteral("SG01"), true), 1002, 30, chiusa);
        RisponditoreBox box;
        auto form = apriForm(banco->host());
        QVERIFY(box.boxes().isEmpty());
        box.rispondi({abbandona ? RisponditoreBox::Risposta::Si : RisponditoreBox::Risposta::No});
        form->impostaDataRegistrazione(chiusa);
        form->txtData_Change();
        QCOMPARE(box.boxes().size(), 1);
        QCOMPARE(riassunto(box.boxes().first()),
                 QStringLiteral("Attenzione! | Attenzione! la registrazione risulta chiusa, una modifica dei dati "
                                "compromettera la sincronizzazione con la sede centrale.\n\n"
                                "Confermi l'abbandono della modifica? | 3 | Sì"));
        QCOMPARE(form->dataRegistrazione(), abbandona ? Oggi : chiusa);
        QCOMPARE(form->CmdApparecchio[1]->caption(),
                 etichettaCodice(2) + (abbandona ? QString() : QStringLiteral("\r€  30")));
        QCOMPARE(form->LabTotali->caption(), abbandona ? NessunRefill : totale("30", "01/12/2026"));
        // The same page is on screen either way.
        QCOMPARE(tags(*form).mid(0, 4), (QStringList{QStringLiteral("1001"), QStringLiteral("1002"),
                                                     QStringLiteral("1003"), QStringLiteral("0")}));
    }

    // The working date's own registration is closed at the very first load: Yes asks again
    // for the same date, No then shows page 1 of it.
    void registrazioneChiusaAllAvvio_data() {
        QTest::addColumn<int>("apparecchi");
        QTest::addColumn<QString>("ultimoTag");
        QTest::newRow("tre apparecchi") << 3 << QStringLiteral("0");
        QTest::newRow("venti apparecchi") << 20 << QStringLiteral("1016");
    }
    void registrazioneChiusaAllAvvio() {
        QFETCH(int, apparecchi);
        auto banco = BancoProva::salaPronta(apparecchi);
        banco->aggiungiRiga(banco->aggiungiTestata(Oggi, QStringLiteral("SG01"), true), 1002, 30, Oggi);
        RisponditoreBox box;
        box.rispondi({RisponditoreBox::Risposta::Si, RisponditoreBox::Risposta::No});
        auto form = apriForm(banco->host());
        QCOMPARE(box.boxes().size(), 2);
        QCOMPARE(form->dataRegistrazione(), Oggi);
        QCOMPARE(form->CmdApparecchio[0]->tag(), QStringLiteral("1001"));
        QCOMPARE(form->CmdApparecchio[1]->caption(), etichettaCodice(2) + QStringLiteral("\r€  30"));
        QTEST(form->CmdApparecchio[15]->tag(), "ultimoTag");
    }

    void paginaConRefillApertoENo() {
        auto banco = BancoProva::salaPronta(20);
        RisponditoreBox box;
        auto form = apriForm(banco->host());
        form->CmdApparecchio[2]->click();
        QCOMPARE(form->RefillAperto, qint16(-1));
        const QStringList prima = captions(*form);
        box.rispondi({RisponditoreBox::Risposta::No});
        form->CmdAvanti->click();
        QCOMPARE(box.boxes().size(), 1);
        QCOMPARE(riassunto(box.boxes().first()),
                 QStringLiteral("Attenzione!! | Attenzione è gia aperto un refill non salvato su un "
                                "altro apparecchio, annullo l'operazione? | 2 | No"));
        QCOMPARE(captions(*form), prima);
        QCOMPARE(form->RefillAperto, qint16(-1));
        // The list position did not move either: "next" after Yes shows page two.
        box.rispondi({RisponditoreBox::Risposta::Si});
        form->CmdAvanti->click();
        QCOMPARE(form->RefillAperto, qint16(0));
        QCOMPARE(form->CmdApparecchio[0]->caption(), etichettaCodice(17));
    }

    void totaleGiornata() {
        auto banco = BancoProva::salaPronta(3);
        const qint64 nostra = banco->aggiungiTestata(Oggi, QStringLiteral("SG01"));
        banco->aggiungiRiga(nostra, 1001, 10, Oggi);
        banco->aggiungiRiga(nostra, 1002, 5.5, Oggi);
        // Another venue's refills and another date's row under our header do not count.
        banco->aggiungiRiga(banco->aggiungiTestata(Oggi, QStringLiteral("SG02")), 1001, 100, Oggi,
                            QStringLiteral("SG02"));
        banco->aggiungiRiga(nostra, 1003, 1000, Oggi.addDays(-1));
        // Nor do other kinds of documents.
        banco->aggiungiRiga(banco->aggiungiTestata(Oggi, QStringLiteral("SG01"), false, QStringLiteral("INC")), 1001,
                            50, Oggi);
        QCOMPARE(apriForm(banco->host())->LabTotali->caption(), totale("15,5"));
    }

    void cambioData() {
        auto banco = BancoProva::salaPronta(2);
        const QDate ieri = Oggi.addDays(-1);
        banco->aggiungiRiga(banco->aggiungiTestata(ieri, QStringLiteral("SG01")), 1002, 0.3, ieri);
        auto form = apriForm(banco->host());
        QCOMPARE(form->CmdApparecchio[1]->caption(), etichettaCodice(2));
        // The operator picks yesterday in the date picker.
        form->txtData->setDate(ieri);
        QCOMPARE(form->CmdApparecchio[1]->caption(), etichettaCodice(2) + QStringLiteral("\r€  0,3"));
        QCOMPARE(form->LabTotali->caption(), totale("0,3", "03/12/2026"));
    }
};

QTEST_MAIN(TestAvvio)
#include "tst_avvio.moc"
