// "Cerca" and "Stampa" pressed on the real form, over a real temporary database, with the
// test component plugin standing in for "KaloviaRicerca.Ricerca": what the component is
// handed, and what the form shows afterwards.
#include "../form/Supporto.h"
#include "RegistroProva.h"
#include "RisponditoreBox.h"
#include "form/Colori.h"
#include "form/Messaggio.h"
#include "host/Valuta.h"

#include <QDateTime>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

using namespace KaloRefill;

namespace {

const QDate Oggi(2026, 12, 4);
const QDate Primo(2026, 12, 1);
const QString NessunRefill = QStringLiteral("Riepilogo Refill Odierni  -> Nessun refill caricato");

// A value the component read, as the operator would read it: dates day first, amounts
// with a decimal comma.
QString testo(const QVariant& valore) {
    if (valore.metaType() == QMetaType::fromType<QDate>())
        return valore.toDate().toString(QStringLiteral("dd/MM/yyyy"));
    if (valore.metaType() == QMetaType::fromType<Valuta>())
        return valore.value<Valuta>().testo();
    if (valore.metaType() == QMetaType::fromType<double>())
        return Valuta::daDouble(valore.toDouble()).testo();
    return valore.toString();
}

QStringList righeLette() {
    QStringList righe;
    for (const QVariantList& riga : RegistroProva::righeLette()) {
        QStringList campi;
        for (const QVariant& valore : riga)
            campi << testo(valore);
        righe << campi.join(QLatin1Char('|'));
    }
    return righe;
}

// The values the component was given for one member, in the order it got them.
QStringList valoriDi(const QString& membro) {
    QStringList valori;
    const QString prefisso = membro + QLatin1Char('=');
    for (const QString& voce : RegistroProva::voci())
        if (voce.startsWith(prefisso))
            valori << voce.mid(prefisso.size());
    return valori;
}

// Everything the operator sees that a search or a report could change: the date, each
// machine button (caption and colour) and the two labels.
QStringList fotografia(const FrmRefill& form) {
    QStringList vista{QStringLiteral("data ") + form.dataRegistrazione().toString(Qt::ISODate)};
    for (const PulsanteGrafico* pulsante : form.CmdApparecchio)
        vista << pulsante->caption() + QStringLiteral(" | ") + pulsante->backColor().name();
    vista << QStringLiteral("LabTotali ") + form.LabTotali->caption()
          << QStringLiteral("LabApparecchio ") + form.LabApparecchio->caption();
    return vista;
}

QString conImporto(int apparecchio, const QString& importo) {
    return etichettaCodice(apparecchio) + QStringLiteral("\r€  ") + importo;
}

// A refill row as a save writes it, with the machine's description and the operator.
void aggiungiRigaCompleta(BancoProva& banco, qint64 testa, int scheda, double importo, const QDate& data,
                          const QString& locale, const QString& descrizione, const QString& operatore) {
    const RecordsetPtr rs = banco.host()->openrecordset(QStringLiteral("select * from noteincassi"));
    rs->AddNew();
    rs->SetField(QStringLiteral("idtesta"), testa);
    rs->SetField(QStringLiteral("linkscheda"), scheda);
    rs->SetField(QStringLiteral("Codlocale"), locale);
    rs->SetField(QStringLiteral("dataincasso"), data);
    rs->SetField(QStringLiteral("tipoincasso"), 6);
    rs->SetField(QStringLiteral("Descrizione"), descrizione);
    rs->SetField(QStringLiteral("refillgestore"), importo);
    rs->SetField(QStringLiteral("idoperatore"), operatore);
    rs->SetField(QStringLiteral("riga"), 0);
    rs->Update();
}

// Four machines of SG01; refills on the working date (machine 2) and on 1 December
// (machines 1 and 3); another venue's registration, an older one whose date sorts
// first as dd/MM text, and a header of another causal code that no list may show.
struct Sala {
    std::unique_ptr<BancoProva> banco;
    qint64 testaOggi = 0;
};

Sala salaConRegistrazioni() {
    Sala sala;
    sala.banco = BancoProva::salaPronta(4);
    BancoProva& banco = *sala.banco;
    sala.testaOggi = banco.aggiungiTestata(Oggi, QStringLiteral("SG01"));
    banco.aggiungiRiga(sala.testaOggi, 1002, 7, Oggi);
    const qint64 primo = banco.aggiungiTestata(Primo, QStringLiteral("SG01"));
    banco.aggiungiRiga(primo, 1001, 10, Primo);
    banco.aggiungiRiga(primo, 1003, 5.5, Primo);
    const qint64 altra = banco.aggiungiTestata(QDate(2026, 12, 2), QStringLiteral("SG02"));
    banco.aggiungiRiga(altra, 1001, 3, QDate(2026, 12, 2), QStringLiteral("SG02"));
    const qint64 versamento =
        banco.aggiungiTestata(QDate(2026, 12, 3), QStringLiteral("SG01"), false, QStringLiteral("VER"));
    banco.aggiungiRiga(versamento, 1004, 50, QDate(2026, 12, 3));
    banco.aggiungiTestata(QDate(2026, 11, 28), QStringLiteral("SG01"));
    return sala;
}

// What every press gives the component besides the list itself.
void verificaImpostazioniComuni(BancoProva& banco) {
    const QString percorso = banco.host()->Percorso();
    QCOMPARE(valoriDi(QStringLiteral("User")), QStringList{QStringLiteral("mrossi (QString)")});
    QCOMPARE(valoriDi(QStringLiteral("PercorsoPers")), QStringList{percorso + QStringLiteral("pers\\")});
    QCOMPARE(valoriDi(QStringLiteral("Percorso")), QStringList{percorso});
    for (const char* impostazione : {"StatusBar", "Toolbar", "FilterBar", "WindowsState"})
        QCOMPARE(valoriDi(QLatin1String(impostazione)), QStringList{QStringLiteral("1")});
    // The real host's recordsets carry no name in the log: "?" is a recordset, "null" none.
    for (const char* insieme : {"Recordset", "RecordsetOperatori", "RecordsetViste"})
        QCOMPARE(valoriDi(QLatin1String(insieme)), QStringList{QStringLiteral("?")});
    // Ricerca comes once, after every member was set, and the component is let go.
    const QStringList& voci = RegistroProva::voci();
    QCOMPARE(voci.count(QStringLiteral("Ricerca")), 1);
    QCOMPARE(voci.indexOf(QStringLiteral("Ricerca")), voci.indexOf(QStringLiteral("WindowsState=1")) + 1);
    QCOMPARE(voci.last(), QStringLiteral("~componente"));
    QCOMPARE(RegistroProva::componentiVivi(), 0);
}

} // namespace

class TestCercaForm : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void cercaApreLaDataScelta_data();
    void cercaApreLaDataScelta();
    void cercaStessaDataRicarica();
    void cercaSenzaScelta_data();
    void cercaSenzaScelta();
    void cercaElencoVuoto();
    void componenteMancante_data();
    void componenteMancante();
    void erroreNelComponente_data();
    void erroreNelComponente();
    void stampaGiorno_data();
    void stampaGiorno();
};

void TestCercaForm::init() {
    RegistroProva::azzera();
    RegistroProva::campiDaLeggere() = {QStringLiteral("dataregistrazione"), QStringLiteral("Codlocale"),
                                       QStringLiteral("codcausale")};
}

void TestCercaForm::cleanup() {
    StatoModulo::istanza().applicazione.reset();
    RegistroProva::azzera();
}

void TestCercaForm::cercaApreLaDataScelta_data() {
    QTest::addColumn<QVariant>("risposta");
    QTest::newRow("data") << QVariant(Primo);
    QTest::newRow("testo") << QVariant(QStringLiteral("01/12/2026"));
    QTest::newRow("momento") << QVariant(QDateTime(Primo, QTime(18, 30)));
}

void TestCercaForm::cercaApreLaDataScelta() {
    QFETCH(QVariant, risposta);
    Sala sala = salaConRegistrazioni();
    RisponditoreBox box;
    auto form = apriForm(sala.banco->host());
    QCOMPARE(form->CmdApparecchio[1]->caption(), conImporto(2, QStringLiteral("7")));
    QCOMPARE(form->LabTotali->caption(), QStringLiteral("Totale Refill del 04/12/2026 -> €  7"));

    RegistroProva::risposta() = risposta;
    form->CmdTrova->click();

    QVERIFY(box.boxes().isEmpty());
    QCOMPARE(form->dataRegistrazione(), Primo);
    const QString verde = Colori::ConImporto.name();
    const QString verdeAcqua = Colori::SenzaImporto.name();
    const QStringList pulsanti = fotografia(*form).mid(1, 4);
    QCOMPARE(pulsanti, (QStringList{conImporto(1, QStringLiteral("10")) + QStringLiteral(" | ") + verde,
                                    etichettaCodice(2) + QStringLiteral(" | ") + verdeAcqua,
                                    conImporto(3, QStringLiteral("5,5")) + QStringLiteral(" | ") + verde,
                                    etichettaCodice(4) + QStringLiteral(" | ") + verdeAcqua}));
    QCOMPARE(form->LabTotali->caption(), QStringLiteral("Totale Refill del 01/12/2026 -> €  15,5"));

    QCOMPARE(valoriDi(QStringLiteral("Modulo")), QStringList{QStringLiteral("Refill")});
    QCOMPARE(valoriDi(QStringLiteral("Caption")), QStringList{QStringLiteral("Elenco Refill")});
    QCOMPARE(valoriDi(QStringLiteral("CampoRicerca")), QStringList{QStringLiteral("dataregistrazione")});
    verificaImpostazioniComuni(*sala.banco);
    if (QTest::currentTestFailed())
        return;
    // Every refill registration of every venue, newest first; the VER header is not one.
    QCOMPARE(RegistroProva::righeContate(), 4);
    QCOMPARE(righeLette(), (QStringList{QStringLiteral("04/12/2026|SG01|REF"), QStringLiteral("02/12/2026|SG02|REF"),
                                        QStringLiteral("01/12/2026|SG01|REF"),
                                        QStringLiteral("28/11/2026|SG01|REF")}));
    QCOMPARE(RegistroProva::voci().count(QStringLiteral("Risposta")), 2);
}

void TestCercaForm::cercaStessaDataRicarica() {
    Sala sala = salaConRegistrazioni();
    RisponditoreBox box;
    auto form = apriForm(sala.banco->host());
    // Written behind the form's back: only a reload shows it.
    sala.banco->aggiungiRiga(sala.testaOggi, 1004, 2.25, Oggi);
    QCOMPARE(form->CmdApparecchio[3]->caption(), etichettaCodice(4));

    RegistroProva::risposta() = QStringLiteral("04/12/2026");
    form->CmdTrova->click();

    QVERIFY(box.boxes().isEmpty());
    QCOMPARE(form->dataRegistrazione(), Oggi);
    QCOMPARE(form->CmdApparecchio[1]->caption(), conImporto(2, QStringLiteral("7")));
    QCOMPARE(form->CmdApparecchio[3]->caption(), conImporto(4, QStringLiteral("2,25")));
    QCOMPARE(form->CmdApparecchio[3]->backColor(), Colori::ConImporto);
    QCOMPARE(form->LabTotali->caption(), QStringLiteral("Totale Refill del 04/12/2026 -> €  9,25"));
}

void TestCercaForm::cercaSenzaScelta_data() {
    QTest::addColumn<QVariant>("risposta");
    QTest::newRow("nessuna risposta") << QVariant();
    QTest::newRow("testo vuoto") << QVariant(QString());
    QTest::newRow("testo che non è una data") << QVariant(QStringLiteral("Annulla"));
    QTest::newRow("giorno che non esiste") << QVariant(QStringLiteral("31/02/2026"));
    QTest::newRow("numero") << QVariant(46000);
}

void TestCercaForm::cercaSenzaScelta() {
    QFETCH(QVariant, risposta);
    Sala sala = salaConRegistrazioni();
    RisponditoreBox box;
    auto form = apriForm(sala.banco->host());
    const QStringList prima = fotografia(*form);
    // Written behind the form's back: a reload would show it, so none may happen.
    sala.banco->aggiungiRiga(sala.testaOggi, 1004, 2.25, Oggi);

    RegistroProva::risposta() = risposta;
    form->CmdTrova->click();

    QVERIFY(box.boxes().isEmpty());
    QCOMPARE(RegistroProva::voci().count(QStringLiteral("Ricerca")), 1);
    QCOMPARE(RegistroProva::righeContate(), 4);
    QCOMPARE(fotografia(*form), prima);
}

void TestCercaForm::cercaElencoVuoto() {
    auto banco = BancoProva::salaPronta(3);
    // A header of another causal code with a row on the working date: not a refill.
    const qint64 versamento = banco->aggiungiTestata(Oggi, QStringLiteral("SG01"), false, QStringLiteral("VER"));
    banco->aggiungiRiga(versamento, 1001, 50, Oggi);
    RisponditoreBox box;
    auto form = apriForm(banco->host());
    const QStringList prima = fotografia(*form);
    QCOMPARE(form->LabTotali->caption(), NessunRefill);

    form->CmdTrova->click();

    QVERIFY(box.boxes().isEmpty());
    QCOMPARE(RegistroProva::voci().count(QStringLiteral("Ricerca")), 1);
    QCOMPARE(RegistroProva::righeContate(), 0);
    QVERIFY(RegistroProva::righeLette().isEmpty());
    QCOMPARE(fotografia(*form), prima);
}

void TestCercaForm::componenteMancante_data() {
    QTest::addColumn<bool>("cerca");
    QTest::newRow("Cerca") << true;
    QTest::newRow("Stampa") << false;
}

void TestCercaForm::componenteMancante() {
    QFETCH(bool, cerca);
    // Only an empty folder is searched: no plugin answers to the name.
    QTemporaryDir vuota;
    QVERIFY(vuota.isValid());
    const QByteArray cartelle = qgetenv("KALOREFILL_COMPONENTS");
    qputenv("KALOREFILL_COMPONENTS", QFile::encodeName(vuota.path()));
    const auto ripristina = qScopeGuard([&cartelle] { qputenv("KALOREFILL_COMPONENTS", cartelle); });

    Sala sala = salaConRegistrazioni();
    RisponditoreBox box;
    auto form = apriForm(sala.banco->host());
    const QStringList prima = fotografia(*form);
    RegistroProva::risposta() = Primo;

    (cerca ? form->CmdTrova : form->CmdStampa)->click();

    QCOMPARE(box.boxes().size(), 1);
    const RisponditoreBox::Box& avviso = box.boxes().first();
    QCOMPARE(avviso.testo, QStringLiteral("429 - Il componente ActiveX non può creare l'oggetto"));
    QCOMPARE(avviso.icona, QMessageBox::Critical);
    QCOMPARE(avviso.pulsanti, QStringList{QStringLiteral("OK")});
    QCOMPARE(avviso.titolo, Messaggio::titoloPredefinito());
    QVERIFY(RegistroProva::voci().isEmpty());
    QCOMPARE(fotografia(*form), prima);

    // The form goes on working: a machine can be picked for an entry.
    form->CmdApparecchio[0]->click();
    QCOMPARE(form->RefillAperto, qint16(-1));
    QCOMPARE(form->LabApparecchio->caption(), QStringLiteral("Inserire l'importo del refill effettuato\rsull' "
                                                             "apparecchio: ") +
                                                  etichettaCodice(1));
    QCOMPARE(form->CmdApparecchio[0]->backColor(), Colori::InInserimento);
    QVERIFY(form->Cmd7->isEnabled());
    QCOMPARE(box.boxes().size(), 1);
}

void TestCercaForm::erroreNelComponente_data() {
    componenteMancante_data();
}

void TestCercaForm::erroreNelComponente() {
    QFETCH(bool, cerca);
    Sala sala = salaConRegistrazioni();
    RisponditoreBox box;
    auto form = apriForm(sala.banco->host());
    const QStringList prima = fotografia(*form);
    // The list fails while shown, yet holds a date: the form must not follow it.
    RegistroProva::risposta() = Primo;
    RegistroProva::numeroErroreInRicerca() = 3021;
    RegistroProva::descrizioneErroreInRicerca() = QStringLiteral("Nessun record corrente.");
    RegistroProva::campiDaLeggere().clear();

    (cerca ? form->CmdTrova : form->CmdStampa)->click();

    QCOMPARE(box.testi(), QStringList{QStringLiteral("3021 - Nessun record corrente.")});
    QCOMPARE(box.boxes().first().icona, QMessageBox::Critical);
    QVERIFY(!RegistroProva::voci().contains(QStringLiteral("Risposta")));
    QCOMPARE(RegistroProva::componentiVivi(), 0);
    QCOMPARE(fotografia(*form), prima);
}

void TestCercaForm::stampaGiorno_data() {
    QTest::addColumn<QDate>("data");
    QTest::addColumn<QString>("totale");
    QTest::addColumn<QStringList>("righe");
    QTest::newRow("giorno con refill di due sale")
        << Oggi << QStringLiteral("Totale Refill del 04/12/2026 -> €  15,5")
        << QStringList{QStringLiteral("04/12/2026|C1 Slot 1|10|mrossi|REF"),
                       QStringLiteral("04/12/2026|C2 Slot 2|5,5|mrossi|REF"),
                       QStringLiteral("04/12/2026|Sala due 1|3|bianchi|REF")};
    QTest::newRow("5 marzo, non 3 maggio")
        << QDate(2026, 3, 5) << QStringLiteral("Totale Refill del 05/03/2026 -> €  4")
        << QStringList{QStringLiteral("05/03/2026|C1 Slot 1|4|mrossi|REF")};
    QTest::newRow("3 maggio, non 5 marzo")
        << QDate(2026, 5, 3) << QStringLiteral("Totale Refill del 03/05/2026 -> €  6")
        << QStringList{QStringLiteral("03/05/2026|C2 Slot 2|6|mrossi|REF")};
    QTest::newRow("giorno senza refill") << QDate(2026, 12, 2) << NessunRefill << QStringList{};
    // The total counts this venue only, the report every venue.
    QTest::newRow("refill solo di un'altra sala")
        << QDate(2026, 11, 30) << NessunRefill << QStringList{QStringLiteral("30/11/2026|Sala due 2|8|bianchi|REF")};
}

void TestCercaForm::stampaGiorno() {
    QFETCH(QDate, data);
    QFETCH(QString, totale);
    QFETCH(QStringList, righe);
    RegistroProva::campiDaLeggere() = {QStringLiteral("DataIncasso"), QStringLiteral("Descrizione"),
                                       QStringLiteral("RefillGestore"), QStringLiteral("IdOperatore"),
                                       QStringLiteral("CodCausale")};
    auto banco = BancoProva::salaPronta(4);
    const QString sg01 = QStringLiteral("SG01");
    const QString sg02 = QStringLiteral("SG02");
    const QString mrossi = QStringLiteral("mrossi");
    const QString bianchi = QStringLiteral("bianchi");
    const qint64 oggi = banco->aggiungiTestata(Oggi, sg01);
    aggiungiRigaCompleta(*banco, oggi, 1001, 10, Oggi, sg01, QStringLiteral("C1 Slot 1"), mrossi);
    aggiungiRigaCompleta(*banco, oggi, 1002, 5.5, Oggi, sg01, QStringLiteral("C2 Slot 2"), mrossi);
    // Same header, amount dated the day before: the report goes by the amount's date.
    aggiungiRigaCompleta(*banco, oggi, 1003, 2, QDate(2026, 12, 3), sg01, QStringLiteral("C3 Slot 3"), mrossi);
    const qint64 altraSala = banco->aggiungiTestata(Oggi, sg02);
    aggiungiRigaCompleta(*banco, altraSala, 2001, 3, Oggi, sg02, QStringLiteral("Sala due 1"), bianchi);
    const qint64 versamento = banco->aggiungiTestata(Oggi, sg01, false, QStringLiteral("VER"));
    aggiungiRigaCompleta(*banco, versamento, 1004, 99, Oggi, sg01, QStringLiteral("Versamento"), mrossi);
    const qint64 marzo = banco->aggiungiTestata(QDate(2026, 3, 5), sg01);
    aggiungiRigaCompleta(*banco, marzo, 1001, 4, QDate(2026, 3, 5), sg01, QStringLiteral("C1 Slot 1"), mrossi);
    const qint64 maggio = banco->aggiungiTestata(QDate(2026, 5, 3), sg01);
    aggiungiRigaCompleta(*banco, maggio, 1002, 6, QDate(2026, 5, 3), sg01, QStringLiteral("C2 Slot 2"), mrossi);
    // 12 February: what 2 December would find with day and month swapped.
    const qint64 febbraio = banco->aggiungiTestata(QDate(2026, 2, 12), sg01);
    aggiungiRigaCompleta(*banco, febbraio, 1003, 8, QDate(2026, 2, 12), sg01, QStringLiteral("C3 Slot 3"), mrossi);
    const qint64 novembre = banco->aggiungiTestata(QDate(2026, 11, 30), sg02);
    aggiungiRigaCompleta(*banco, novembre, 2002, 8, QDate(2026, 11, 30), sg02, QStringLiteral("Sala due 2"), bianchi);

    RisponditoreBox box;
    auto form = apriForm(banco->host());
    form->impostaDataRegistrazione(data);
    form->txtData_Change();
    QCOMPARE(form->LabTotali->caption(), totale);
    const QStringList prima = fotografia(*form);
    // An answer that a "Cerca" would follow: the report must not.
    RegistroProva::risposta() = Primo;

    form->CmdStampa->click();

    QVERIFY(box.boxes().isEmpty());
    QCOMPARE(valoriDi(QStringLiteral("Modulo")), QStringList{QStringLiteral("RefillGiorno")});
    QCOMPARE(valoriDi(QStringLiteral("Caption")), QStringList{totale});
    QCOMPARE(valoriDi(QStringLiteral("CampoRicerca")), QStringList{QStringLiteral("dataincasso")});
    verificaImpostazioniComuni(*banco);
    if (QTest::currentTestFailed())
        return;
    QVERIFY(!RegistroProva::voci().contains(QStringLiteral("Risposta")));
    QCOMPARE(RegistroProva::colonneLette(),
             (QStringList{QStringLiteral("DataIncasso"), QStringLiteral("Descrizione"),
                          QStringLiteral("RefillGestore"), QStringLiteral("IdOperatore"),
                          QStringLiteral("CodCausale")}));
    QCOMPARE(RegistroProva::righeContate(), righe.size());
    // All rows share the date: their order among themselves is the database's.
    QStringList lette = righeLette();
    lette.sort();
    QCOMPARE(lette, righe);
    QCOMPARE(fotografia(*form), prima);
}

QTEST_MAIN(TestCercaForm)
#include "tst_cerca_form.moc"
