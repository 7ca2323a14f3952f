// Start-up, machine pages and the day's total, on a real temporary database.
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
} // namespace

class TestAvvio : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { StatoModulo::istanza().applicazione.reset(); }

    void statoApparecchiEPagine_data();
    void statoApparecchiEPagine();
    void senzaLocale();
    void senzaAssociazioniConti();
    void confermaSalvataggio_data();
    void confermaSalvataggio();
    void sqlAllAvvio();
    void fallimentoAvvioSilenzioso();
    void paginazioneVentiApparecchi();
    void dietroDopoUltimaPaginaParziale();
    void importiSullaPagina();
    void opzioniEtichetta();
    void registrazioneChiusa_data();
    void registrazioneChiusa();
    void registrazioneChiusaAllAvvio_data();
    void registrazioneChiusaAllAvvio();
    void paginaConRefillApertoENo();
    void totaleGiornata();
    void cambioData();
};

void TestAvvio::statoApparecchiEPagine_data() {
    QTest::addColumn<int>("apparecchi");
    QTest::addColumn<int>("pagine");
    QTest::newRow("nessuno") << 0 << 1;
    QTest::newRow("sedici") << 16 << 1;
    QTest::newRow("diciassette") << 17 << 2;
    QTest::newRow("trentadue") << 32 << 2;
    QTest::newRow("trentatre") << 33 << 3;
}

void TestAvvio::statoApparecchiEPagine() {
    QFETCH(int, apparecchi);
    QFETCH(int, pagine);
    auto banco = BancoProva::salaPronta(apparecchi);
    banco->aggiungiApparecchi(2, 6, 0, 100); // out of service
    banco->aggiungiApparecchi(2, 1, -1, 200); // another kind of takings
    RisponditoreBox box;
    auto form = apriForm(banco->host());

    QCOMPARE(form->LabStato->caption(), QStringLiteral("Totale apparecchi  := %1\rNumero Pagine       := %2")
                                            .arg(apparecchi)
                                            .arg(pagine));
    const int mostrati = std::min(apparecchi, 16);
    for (int i = 0; i < 16; ++i) {
        const PulsanteGrafico* pulsante = form->CmdApparecchio[i];
        if (i < mostrati) {
            QCOMPARE(pulsante->caption(), etichettaCodice(i + 1));
            QCOMPARE(pulsante->tag(), QString::number(1001 + i));
            QCOMPARE(pulsante->backColor(), VerdeAcqua);
        } else {
            QCOMPARE(pulsante->caption(), QString());
            QCOMPARE(pulsante->tag(), QStringLiteral("0"));
        }
    }
    QVERIFY(box.boxes().isEmpty());
    QCOMPARE(form->dataRegistrazione(), Oggi);
    QCOMPARE(form->LabOperazione->caption(), QString());
    QVERIFY(!form->CmdSalva->isEnabled());
    QVERIFY(!form->Cmd7->isEnabled());
}

void TestAvvio::senzaLocale() {
    BancoProva banco;
    banco.aggiungiAssociazioneConti();
    banco.aggiungiApparecchi(3);
    // Venue "1" has a refill that day: the form shows venue 1's total.
    const qint64 testa = banco.aggiungiTestata(Oggi, QStringLiteral("1"));
    banco.aggiungiRiga(testa, 1001, 7.5, Oggi, QStringLiteral("1"));
    RisponditoreBox box;
    auto form = apriForm(banco.host());

    QCOMPARE(box.boxes().size(), 1);
    const RisponditoreBox::Box& avviso = box.boxes().first();
    QCOMPARE(avviso.testo, QStringLiteral("Attenzione!! Bisogna aver impostato un locale prima di procedere.!"));
    QCOMPARE(avviso.titolo, QStringLiteral("KaloRefill"));
    QCOMPARE(avviso.icona, QMessageBox::Critical);
    QCOMPARE(avviso.pulsanti, QStringList{QStringLiteral("OK")});
    QCOMPARE(form->CodLocale.toString(), QStringLiteral("1"));
    QCOMPARE(form->CmdApparecchio[0]->caption(), etichettaCodice(1) + QStringLiteral("\r€  7,5"));
    QCOMPARE(form->LabTotali->caption(), QStringLiteral("Totale Refill del 04/12/2026 -> €  7,5"));
}

void TestAvvio::senzaAssociazioniConti() {
    BancoProva banco;
    banco.aggiungiLocale(QStringLiteral("SG01"));
    banco.aggiungiApparecchi(2);
    RisponditoreBox box;
    auto form = apriForm(banco.host());

    QCOMPARE(box.boxes().size(), 1);
    const RisponditoreBox::Box& avviso = box.boxes().first();
    QCOMPARE(avviso.testo, QStringLiteral("Attenzione mancano le associazioni conti, effettuare una "
                                          "sincronizzazione con la sede prima di procedere."));
    QCOMPARE(avviso.titolo, QStringLiteral("Attenzione!!"));
    QCOMPARE(avviso.icona, QMessageBox::Critical);
    // The grid and the total were already there when the warning came.
    QCOMPARE(form->CmdApparecchio[1]->caption(), etichettaCodice(2));
    QCOMPARE(form->LabTotali->caption(), QStringLiteral("Riepilogo Refill Odierni  -> Nessun refill caricato"));
}

// The stored choice comes back as it was stored, greyed included; the operator's clicks
// then only tick and untick, and "Chiudi" stores what the box shows.
void TestAvvio::confermaSalvataggio_data() {
    QTest::addColumn<int>("salvato");
    QTest::addColumn<int>("stato");
    QTest::addColumn<QList<int>>("dopoClic");
    const int si = Qt::Checked, no = Qt::Unchecked;
    QTest::newRow("mai salvato") << -1 << si << QList<int>{no, si, no};
    QTest::newRow("non chiedere") << 0 << no << QList<int>{si, no, si};
    QTest::newRow("chiedere") << 1 << si << QList<int>{no, si, no};
    QTest::newRow("grigio") << 2 << int(Qt::PartiallyChecked) << QList<int>{si, no, si};
}

void TestAvvio::confermaSalvataggio() {
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

void TestAvvio::sqlAllAvvio() {
    auto banco = BancoProva::salaPronta(3);
    const qint64 testa = banco->aggiungiTestata(Oggi, QStringLiteral("SG01"));
    banco->aggiungiRiga(testa, 1002, 10, Oggi);
    auto host = std::make_shared<HostRegistrato>(banco->host());
    auto form = apriForm(host);

    const QStringList attesi{
        QStringLiteral("select * from anagraficalocali"),
        QStringLiteral("select * from apparecchi where attiva<>0 and tipologiaincasso=6 order by ordineincasso"),
        QStringLiteral("Select * from noteteste where codcausale='ref' and dataregistrazione=#12-04-2026#"),
        QStringLiteral("Select * from noteincassi where idtesta=%1 and linkscheda=1001").arg(testa),
        QStringLiteral("Select * from noteincassi where idtesta=%1 and linkscheda=1002").arg(testa),
        QStringLiteral("Select * from noteincassi where idtesta=%1 and linkscheda=1003").arg(testa),
        QStringLiteral("SELECT Sum(NoteIncassi.RefillGestore) AS SommaDiRefillGestore FROM NoteIncassi INNER "
                       "JOIN NoteTeste ON NoteIncassi.IdTesta = NoteTeste.id where NoteTeste.CodCausale = 'REF' "
                       "And NoteTeste.CodLocale = 'SG01' GROUP BY NoteIncassi.DataIncasso having "
                       "noteincassi.dataincasso = #12/04/2026# ORDER BY NoteIncassi.DataIncasso DESC;"),
        QStringLiteral("select * from TabAssociazioneConti"),
    };
    QCOMPARE(host->sql, attesi);
    QCOMPARE(form->LabTotali->caption(), QStringLiteral("Totale Refill del 04/12/2026 -> €  10"));
}

void TestAvvio::fallimentoAvvioSilenzioso() {
    // The machine query fails: start-up stops there without a word, the buttons keep
    // their first state and LabStato its own text; the form still opens.
    auto banco = BancoProva::salaPronta(3);
    auto host = std::make_shared<HostRegistrato>(banco->host());
    host->armaFallimento(5); // Data, openrecordset, RecordCount, Field, openrecordset
    RisponditoreBox box;
    auto form = apriForm(host);
    QVERIFY(box.boxes().isEmpty());
    QCOMPARE(form->CodLocale.toString(), QStringLiteral("SG01"));
    QCOMPARE(form->LabStato->caption(), QStringLiteral("."));
    QCOMPARE(form->CmdApparecchio[0]->caption(), QStringLiteral("a"));
    QVERIFY(!host->sql.contains(QStringLiteral("select * from TabAssociazioneConti")));
}

void TestAvvio::paginazioneVentiApparecchi() {
    auto banco = BancoProva::salaPronta(20);
    RisponditoreBox box;
    auto form = apriForm(banco->host());
    QCOMPARE(form->CmdApparecchio[15]->caption(), etichettaCodice(16));

    form->CmdAvanti->click();
    QStringList attese;
    for (int i = 17; i <= 20; ++i)
        attese << etichettaCodice(i);
    for (int i = 0; i < 12; ++i)
        attese << QString();
    QCOMPARE(captions(*form), attese);
    QCOMPARE(tags(*form).mid(4), QStringList(12, QStringLiteral("0")));
    QCOMPARE(form->CmdApparecchio[10]->backColor(), QApplication::palette().color(QPalette::Button));

    // The last page is on screen: a further "next" does nothing.
    form->CmdAvanti->click();
    QCOMPARE(captions(*form), attese);

    // Relabelling rewinds by the four machines on screen only.
    form->Opt3->click();
    QCOMPARE(form->CmdApparecchio[0]->caption(), QStringLiteral("AAMS17\r"));
    QCOMPARE(form->CmdApparecchio[3]->caption(), QStringLiteral("AAMS20\r"));

    form->CmdDietro->click();
    QCOMPARE(form->CmdApparecchio[0]->caption(), QStringLiteral("AAMS1\r"));
    QCOMPARE(form->CmdApparecchio[15]->caption(), QStringLiteral("AAMS16\r"));
    QCOMPARE(form->LabApparecchio->caption(), QStringLiteral("Selezionare un apparecchio"));
    QVERIFY(box.boxes().isEmpty());
}

void TestAvvio::dietroDopoUltimaPaginaParziale() {
    // 40 machines: pages start at 1, 17, 33. Back from the third page (8 machines)
    // rewinds 32 rows from past the end: the page then starts at machine 9.
    auto banco = BancoProva::salaPronta(40);
    auto form = apriForm(banco->host());
    form->CmdAvanti->click();
    form->CmdAvanti->click();
    QCOMPARE(form->CmdApparecchio[0]->caption(), etichettaCodice(33));
    QCOMPARE(form->CmdApparecchio[7]->caption(), etichettaCodice(40));
    form->CmdDietro->click();
    QCOMPARE(form->CmdApparecchio[0]->caption(), etichettaCodice(9));
}

void TestAvvio::importiSullaPagina() {
    auto banco = BancoProva::salaPronta(4);
    const qint64 testa = banco->aggiungiTestata(Oggi, QStringLiteral("SG01"));
    banco->aggiungiRiga(testa, 1001, 12.5, Oggi);
    banco->aggiungiRiga(testa, 1003, 0, Oggi); // a zero amount stays teal
    banco->aggiungiRiga(testa, 1004, QStringLiteral("0.1"), Oggi);
    auto form = apriForm(banco->host());

    QCOMPARE(form->CmdApparecchio[0]->caption(), etichettaCodice(1) + QStringLiteral("\r€  12,5"));
    QCOMPARE(form->CmdApparecchio[0]->backColor(), Verde);
    QCOMPARE(form->CmdApparecchio[1]->caption(), etichettaCodice(2));
    QCOMPARE(form->CmdApparecchio[1]->backColor(), VerdeAcqua);
    QCOMPARE(form->CmdApparecchio[2]->caption(), etichettaCodice(3));
    QCOMPARE(form->CmdApparecchio[2]->backColor(), VerdeAcqua);
    QCOMPARE(form->CmdApparecchio[3]->caption(), etichettaCodice(4) + QStringLiteral("\r€  0,1"));
}

void TestAvvio::opzioniEtichetta() {
    auto banco = BancoProva::salaPronta(2);
    auto form = apriForm(banco->host());
    form->Opt2->click();
    QCOMPARE(form->CmdApparecchio[0]->caption(), QStringLiteral("Slot 1\rC1 AAMS1\r"));
    form->Opt3->click();
    QCOMPARE(form->CmdApparecchio[1]->caption(), QStringLiteral("AAMS2\r"));
    form->Opt1->click();
    QCOMPARE(form->CmdApparecchio[1]->caption(), etichettaCodice(2));
    QCOMPARE(form->CmdApparecchio[2]->tag(), QStringLiteral("0"));
}

void TestAvvio::registrazioneChiusa_data() {
    QTest::addColumn<bool>("abbandona");
    QTest::newRow("si, torna alla data di lavoro") << true;
    QTest::newRow("no, mostra la registrazione chiusa") << false;
}

void TestAvvio::registrazioneChiusa() {
    QFETCH(bool, abbandona);
    const QDate chiusa(2026, 12, 1);
    auto banco = BancoProva::salaPronta(3);
    const qint64 testa = banco->aggiungiTestata(chiusa, QStringLiteral("SG01"), true);
    banco->aggiungiRiga(testa, 1002, 30, chiusa);
    RisponditoreBox box;
    auto form = apriForm(banco->host());
    QVERIFY(box.boxes().isEmpty());

    box.rispondi({abbandona ? RisponditoreBox::Risposta::Si : RisponditoreBox::Risposta::No});
    form->impostaDataRegistrazione(chiusa);
    form->txtData_Change();

    QCOMPARE(box.boxes().size(), 1);
    const RisponditoreBox::Box& domanda = box.boxes().first();
    QCOMPARE(domanda.testo, QStringLiteral("Attenzione! la registrazione risulta chiusa, una modifica dei dati "
                                           "compromettera la sincronizzazione con la sede centrale.\n\n"
                                           "Confermi l'abbandono della modifica?"));
    QCOMPARE(domanda.titolo, QStringLiteral("Attenzione!"));
    QCOMPARE(domanda.icona, QMessageBox::Critical);
    QCOMPARE(domanda.predefinito, QStringLiteral("Sì"));
    if (abbandona) {
        QCOMPARE(form->dataRegistrazione(), Oggi);
        QCOMPARE(form->CmdApparecchio[1]->caption(), etichettaCodice(2));
        QCOMPARE(form->LabTotali->caption(), QStringLiteral("Riepilogo Refill Odierni  -> Nessun refill caricato"));
    } else {
        QCOMPARE(form->dataRegistrazione(), chiusa);
        QCOMPARE(form->CmdApparecchio[1]->caption(), etichettaCodice(2) + QStringLiteral("\r€  30"));
        QCOMPARE(form->LabTotali->caption(), QStringLiteral("Totale Refill del 01/12/2026 -> €  30"));
    }
    // The same page is on screen either way.
    QCOMPARE(form->CmdApparecchio[0]->tag(), QStringLiteral("1001"));
    QCOMPARE(form->CmdApparecchio[3]->tag(), QStringLiteral("0"));
}

// The working date's own registration is closed at the very first load: Yes asks again
// for the same date, No then shows page 1 of it.
void TestAvvio::registrazioneChiusaAllAvvio_data() {
    QTest::addColumn<int>("apparecchi");
    QTest::addColumn<QString>("ultimoTag");
    QTest::newRow("tre apparecchi") << 3 << QStringLiteral("0");
    QTest::newRow("venti apparecchi") << 20 << QStringLiteral("1016");
}

void TestAvvio::registrazioneChiusaAllAvvio() {
    QFETCH(int, apparecchi);
    auto banco = BancoProva::salaPronta(apparecchi);
    const qint64 testa = banco->aggiungiTestata(Oggi, QStringLiteral("SG01"), true);
    banco->aggiungiRiga(testa, 1002, 30, Oggi);
    RisponditoreBox box;
    box.rispondi({RisponditoreBox::Risposta::Si, RisponditoreBox::Risposta::No});
    auto form = apriForm(banco->host());

    QCOMPARE(box.boxes().size(), 2);
    QCOMPARE(form->dataRegistrazione(), Oggi);
    QCOMPARE(form->CmdApparecchio[0]->tag(), QStringLiteral("1001"));
    QCOMPARE(form->CmdApparecchio[1]->caption(), etichettaCodice(2) + QStringLiteral("\r€  30"));
    QTEST(form->CmdApparecchio[15]->tag(), "ultimoTag");
}

void TestAvvio::paginaConRefillApertoENo() {
    auto banco = BancoProva::salaPronta(20);
    RisponditoreBox box;
    auto form = apriForm(banco->host());
    form->CmdApparecchio[2]->click();
    QCOMPARE(form->RefillAperto, qint16(-1));
    const QStringList prima = captions(*form);

    box.rispondi({RisponditoreBox::Risposta::No});
    form->CmdAvanti->click();
    QCOMPARE(box.boxes().size(), 1);
    QCOMPARE(box.boxes().first().testo, QStringLiteral("Attenzione è gia aperto un refill non salvato su un altro "
                                                       "apparecchio, annullo l'operazione?"));
    QCOMPARE(box.boxes().first().titolo, QStringLiteral("Attenzione!!"));
    QCOMPARE(box.boxes().first().icona, QMessageBox::Warning);
    QCOMPARE(box.boxes().first().predefinito, QStringLiteral("No"));
    QCOMPARE(captions(*form), prima);
    QCOMPARE(form->RefillAperto, qint16(-1));

    // The list position did not move either: "next" after Yes shows page two.
    box.rispondi({RisponditoreBox::Risposta::Si});
    form->CmdAvanti->click();
    QCOMPARE(form->RefillAperto, qint16(0));
    QCOMPARE(form->CmdApparecchio[0]->caption(), etichettaCodice(17));
}

void TestAvvio::totaleGiornata() {
    auto banco = BancoProva::salaPronta(3);
    const qint64 nostra = banco->aggiungiTestata(Oggi, QStringLiteral("SG01"));
    banco->aggiungiRiga(nostra, 1001, 10, Oggi);
    banco->aggiungiRiga(nostra, 1002, 5.5, Oggi);
    // Another venue's refills and another date's row under our header do not count.
    const qint64 altra = banco->aggiungiTestata(Oggi, QStringLiteral("SG02"));
    banco->aggiungiRiga(altra, 1001, 100, Oggi, QStringLiteral("SG02"));
    banco->aggiungiRiga(nostra, 1003, 1000, Oggi.addDays(-1));
    // Nor do other kinds of documents.
    const qint64 incasso = banco->aggiungiTestata(Oggi, QStringLiteral("SG01"), false, QStringLiteral("INC"));
    banco->aggiungiRiga(incasso, 1001, 50, Oggi);
    auto form = apriForm(banco->host());
    QCOMPARE(form->LabTotali->caption(), QStringLiteral("Totale Refill del 04/12/2026 -> €  15,5"));
}

void TestAvvio::cambioData() {
    auto banco = BancoProva::salaPronta(2);
    const QDate ieri = Oggi.addDays(-1);
    const qint64 testa = banco->aggiungiTestata(ieri, QStringLiteral("SG01"));
    banco->aggiungiRiga(testa, 1002, 0.3, ieri);
    auto form = apriForm(banco->host());
    QCOMPARE(form->CmdApparecchio[1]->caption(), etichettaCodice(2));

    // The operator picks yesterday in the date picker.
    form->txtData->setDate(ieri);
    QCOMPARE(form->CmdApparecchio[1]->caption(), etichettaCodice(2) + QStringLiteral("\r€  0,3"));
    QCOMPARE(form->LabTotali->caption(), QStringLiteral("Totale Refill del 03/12/2026 -> €  0,3"));
}

QTEST_MAIN(TestAvvio)
#include "tst_avvio.moc"
