// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
// "Cerca" and "Stampa" pressed on the real form, over a real temporary database seen
// through a recording host, with the test component plugin standing in for
// "KaloviaRicerca.Ricerca": what the host is asked, what the component is handed, what the
// operator sees afterwards, and the box when anything fails. Also how components are
// created by name, which the two handlers rely on.
#include "ComponentRegistry.h"
#include "HostRegistrato.h"
#include "MotoreProva.h"
#include "RegistroProva.h"
#include "RisponditoreBox.h"
#include "Supporto.h"
#include "form/Messaggio.h"
#include "search/ComponenteRicerca.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <functional>

using namespace KaloRefill;
using namespace Qt::StringLiterals;

// What a failure row arranges just before the press.
using Preparazione = std::function<void(HostRegistrato&)>;
Q_DECLARE_METATYPE(Preparazione)

namespace {

RegistroProva& registro = RegistroProva::istanza();

const QDate Oggi(2026, 12, 4);
const QDate Primo(2026, 12, 1);
const QString NessunRefill = u"Riepilogo Refill Odierni  -> Nessun refill caricato"_s;
// Refills of SG01 (four machines, working on 4 December) and of SG02, and traps: a VER
// header that no list may show, days that read as listed days with day and month
// swapped, and an amount dated the day before its header.
struct Registrazione {
    QDate testata;
    const char* locale;
    const char* causale;
    int scheda;
    double importo;
    QDate incasso;
};
const Registrazione Registrazioni[] = {
    {Oggi, "SG01", "REF", 1001, 10, Oggi},
    {Oggi, "SG01", "REF", 1002, 5.5, Oggi},
    {Oggi, "SG02", "REF", 2001, 3, Oggi},
    {QDate(2026, 12, 3), "SG01", "VER", 1004, 99, QDate(2026, 12, 3)},
    {Primo, "SG01", "REF", 1001, 10, Primo},
    {Primo, "SG01", "REF", 1003, 5.5, Primo},
    {QDate(2026, 11, 30), "SG02", "REF", 2002, 8, QDate(2026, 11, 30)},
    {QDate(2026, 5, 3), "SG01", "REF", 1002, 6, QDate(2026, 5, 3)},
    {QDate(2026, 3, 12), "SG01", "REF", 1003, 8, QDate(2026, 3, 12)},
    {QDate(2026, 3, 5), "SG01", "REF", 1001, 4, QDate(2026, 3, 5)},
    {QDate(2026, 3, 5), "SG01", "REF", 1003, 2, QDate(2026, 3, 4)},
};
// What "Cerca" lists: every venue's refill registrations (no VER header), newest first.
const QStringList Elenco{u"2026-12-04"_s, u"2026-12-04"_s, u"2026-12-01"_s, u"2026-11-30"_s,
                         u"2026-05-03"_s, u"2026-03-12"_s, u"2026-03-05"_s};

// Everything a search or a report could change on the form: the date, each machine
// button (caption and colour) and the two labels.
QStringList fotografia(const FrmRefill& form) {
    QStringList vista{form.dataRegistrazione().toString(Qt::ISODate)};
    for (const PulsanteGrafico* pulsante : form.CmdApparecchio)
        vista << pulsante->caption() + u" | "_s + pulsante->backColor().name();
    return vista << form.LabTotali->caption() << form.LabApparecchio->caption();
}

} // namespace

class TestCercaForm : public QObject {
    Q_OBJECT
private slots:
    // Runs on the engine the test run chose; see MotoreProva.
    void initTestCase() {
        KALOREFILL_MOTORE_PRONTO();
        QFile finta(m_guasta.filePath(u"libaaa_guasta.so"_s));
        QVERIFY(finta.open(QIODevice::WriteOnly) && finta.write("not a library") > 0);
    }

    // A folder holding a file that is no plugin comes first: it is passed over.
    void init() {
        registro = {};
        m_box = std::make_unique<RisponditoreBox>();
        m_cartelle = qgetenv(ComponentRegistry::variabileCartelle);
        cartelle({m_guasta.path(), QString::fromLocal8Bit(m_cartelle)});
    }

    void cleanup() {
        m_form.reset();
        StatoModulo::istanza().applicazione.reset();
        StatoModulo::istanza().rsAssociazioneConti.reset();
        m_box.reset();
        qputenv(ComponentRegistry::variabileCartelle, m_cartelle);
    }

    void componenti();
    void cerca_data();
    void cerca();
    void stampaGiorno_data();
    void stampaGiorno();
    void guasti_data();
    void guasti();

private:
    static void cartelle(const QStringList& elenco) {
        qputenv(ComponentRegistry::variabileCartelle, elenco.join(QDir::listSeparator()).toLocal8Bit());
    }

    void apri(bool registrazioni = true) {
        m_banco = BancoProva::salaPronta(4);
        m_testate.clear();
        for (const Registrazione& r : Registrazioni) {
            if (!registrazioni)
                break;
            const QString locale = QLatin1String(r.locale);
            const QString chiave =
                r.testata.toString(Qt::ISODate) + locale + QLatin1String(r.causale);
            if (!m_testate.contains(chiave))
                m_testate[chiave] =
                    m_banco->aggiungiTestata(r.testata, locale, false, QLatin1String(r.causale));
            m_banco->aggiungiRiga(m_testate[chiave], r.scheda, r.importo, r.incasso, locale);
        }
        m_host = std::make_shared<HostRegistrato>(m_banco->host());
        m_form = apriForm(m_host);
    }

    void premi(bool cerca, const Preparazione& prepara = {}) {
        registro.campiDaLeggere = cerca ? QStringList{u"dataregistrazione"_s}
                                        : QStringList{u"DataIncasso"_s, u"RefillGestore"_s};
        m_prima = fotografia(*m_form);
        if (prepara)
            prepara(*m_host);
        (cerca ? m_form->CmdTrova : m_form->CmdStampa)->click();
    }

    QStringList attese(bool cerca, const QString& caption) const;

    // The component is gone, and nothing holds the recordsets it was given.
    bool rilasciato() const {
        return registro.componentiVivi == 0 &&
               std::all_of(registro.ricevuti.begin(), registro.ricevuti.end(),
                           [](const std::weak_ptr<const void>& rs) { return rs.expired(); });
    }

    std::unique_ptr<BancoProva> m_banco;
    std::shared_ptr<HostRegistrato> m_host;
    std::unique_ptr<FrmRefill> m_form;
    std::unique_ptr<RisponditoreBox> m_box;
    QMap<QString, qint64> m_testate; // headers by date, venue and causal code
    QStringList m_prima;             // fotografia just before the press
    QByteArray m_cartelle;
    QTemporaryDir m_guasta;
};

// Everything the component is given, in order, up to Ricerca.
QStringList TestCercaForm::attese(bool cerca, const QString& caption) const {
    const QString percorso = m_banco->host()->Percorso();
    return QStringList{
               u"User=mrossi (QString)"_s,
               (cerca ? u"Modulo=Refill"_s : u"Modulo=RefillGiorno"_s),
               u"Caption="_s + caption,
               cerca ? u"Recordset=id,codcausale,dataregistrazione,Codlocale,codiceazienda,"
                       u"idoperatore,chiuso,import,iddata,refillnoleggiatore,note"_s
                     : u"Recordset=DataIncasso,Descrizione,RefillGestore,IdOperatore,CodCausale"_s,
               u"RecordsetOperatori=id,codice,nome,cognome,ruolo,attivo,pinhash,tentativipin,bloccatofino"_s,
               u"RecordsetViste=id,modulo,utente,colonna,posizione,larghezza"_s,
               cerca ? u"CampoRicerca=dataregistrazione"_s : u"CampoRicerca=dataincasso"_s,
               u"PercorsoPers="_s + percorso + u"pers\\"_s,
               u"Percorso="_s + percorso} +
           u"StatusBar=1 Toolbar=1 FilterBar=1 WindowsState=1 Ricerca"_s.split(u' ');
}

// Made by name, whatever its case; no component for a name nobody answers to (the presses
// below make and release one each). The environment's folders come before the program's
// own; empty entries are skipped.
void TestCercaForm::componenti() {
    QVERIFY(qobject_cast<ComponenteRicerca*>(ComponentRegistry::create(u"kaloviaricerca.ricerca"_s).get()));
    QVERIFY(!ComponentRegistry::create(u"KaloviaRicerca.Stampa"_s) && !ComponentRegistry::create(QString()));
    QCOMPARE(registro.componentiVivi, 0);
    cartelle({u"/opt/a"_s, QString(), u"/opt/b/"_s});
    QCOMPARE(ComponentRegistry::searchFolders(),
             (QStringList{u"/opt/a"_s, u"/opt/b"_s, QCoreApplication::applicationDirPath() + u"/components"_s}));
}

void TestCercaForm::cerca_data() {
    QTest::addColumn<QVariant>("risposta");
    QTest::addColumn<QDate>("data"); // none: nothing picked, nothing loaded
    QTest::addColumn<bool>("registrazioni");
    QTest::newRow("data") << QVariant(Primo) << Primo << true;
    QTest::newRow("momento") << QVariant(QDateTime(Primo, QTime(18, 30))) << Primo << true;
    QTest::newRow("testo senza zeri") << QVariant(u"1/12/2026"_s) << Primo << true;
    QTest::newRow("testo ISO") << QVariant(u"2026-12-01"_s) << Primo << true;
    QTest::newRow("testo con ora") << QVariant(u"01/12/2026 18:30:00"_s) << Primo << true;
    QTest::newRow("ISO con ora") << QVariant(u"2026-12-01T18:30:00"_s) << Primo << true;
    // The day already shown is loaded again.
    QTest::newRow("stessa data") << QVariant(u"04/12/2026"_s) << Oggi << true;
    QTest::newRow("nessuna risposta") << QVariant() << QDate() << true;
    QTest::newRow("parola") << QVariant(u"Annulla"_s) << QDate() << true;
    QTest::newRow("data e parola") << QVariant(u"01/12/2026 mattina"_s) << QDate() << true;
    QTest::newRow("numero") << QVariant(46000) << QDate() << true;
    QTest::newRow("elenco vuoto") << QVariant() << QDate() << false;
}

void TestCercaForm::cerca() {
    QFETCH(QVariant, risposta);
    QFETCH(QDate, data);
    QFETCH(bool, registrazioni);
    apri(registrazioni);
    // Written behind the form's back: only a load of the day shows it.
    if (data.isValid())
        m_banco->aggiungiRiga(m_testate.value(data.toString(Qt::ISODate) + u"SG01REF"_s), 1004,
                              2.25, data);
    registro.risposta = risposta;

    premi(true);

    QVERIFY(m_box->boxes().isEmpty());
    QStringList voci = attese(true, u"Elenco Refill"_s) << u"Risposta"_s;
    if (data.isValid()) // read once more to be loaded
        voci << u"Risposta"_s;
    QCOMPARE(registro.voci, voci << u"~componente"_s);
    QCOMPARE(registro.righeLette, registrazioni ? Elenco : QStringList());
    QVERIFY(rilasciato());
    if (!data.isValid()) {
        QCOMPARE(fotografia(*m_form), m_prima);
        return;
    }
    // The day loaded again: both days total 17,75 with the amount written behind the form's back.
    QCOMPARE(m_form->LabTotali->caption(),
             u"Totale Refill del %1 -> €  17,75"_s.arg(data.toString(u"dd/MM/yyyy"_s)));
}

void TestCercaForm::stampaGiorno_data() {
    QTest::addColumn<QDate>("data");
    QTest::addColumn<QString>("totale");
    QTest::addColumn<QStringList>("righe");
    QTest::newRow("refill di due sale")
        << Oggi << u"Totale Refill del 04/12/2026 -> €  15,5"_s
        << QStringList{u"2026-12-04|10"_s, u"2026-12-04|3"_s, u"2026-12-04|5.5"_s};
    // The amount dated 4 March under this day's header is not the day's.
    QTest::newRow("5 marzo, non 3 maggio")
        << QDate(2026, 3, 5) << u"Totale Refill del 05/03/2026 -> €  4"_s
        << QStringList{u"2026-03-05|4"_s};
    QTest::newRow("solo un versamento, non 12 marzo")
        << QDate(2026, 12, 3) << NessunRefill << QStringList{};
    // The total counts this venue only, the report every venue.
    QTest::newRow("refill solo di un'altra sala")
        << QDate(2026, 11, 30) << NessunRefill << QStringList{u"2026-11-30|8"_s};
}

void TestCercaForm::stampaGiorno() {
    QFETCH(QDate, data);
    QFETCH(QString, totale);
    QFETCH(QStringList, righe);
    apri();
    m_form->impostaDataRegistrazione(data);
    m_form->txtData_Change();
    // An answer that a "Cerca" would follow: the report must not.
    registro.risposta = Primo;

    premi(false);

    QVERIFY(m_box->boxes().isEmpty());
    QCOMPARE(registro.voci, attese(false, totale) << u"~componente"_s);
    // All rows share the date: their order among themselves is the database's.
    registro.righeLette.sort();
    QCOMPARE(registro.righeLette, righe);
    QVERIFY(rilasciato());
    QCOMPARE(fotografia(*m_form), m_prima);
}

void TestCercaForm::guasti_data() {
    QTest::addColumn<bool>("cerca");
    QTest::addColumn<Preparazione>("prepara");
    QTest::addColumn<bool>("mostrato"); // the failure comes while the list is shown
    QTest::addColumn<QString>("box");
    // Folders that hold no component: one with no plugin in it, one missing.
    const Preparazione senzaComponente = [this](HostRegistrato&) {
        cartelle({m_guasta.path(), m_guasta.filePath(u"manca"_s)});
    };
    const auto alla = [](int n) {
        return Preparazione([n](HostRegistrato& host) { host.armaFallimento(n); });
    };
    const Preparazione inRicerca = [](HostRegistrato&) { registro.guastoInRicerca = true; };
    const QString guasto = u"3001 - Guasto simulato: "_s;
    QTest::newRow("nessun componente")
        << true << senzaComponente << false << u"429 - Il componente ActiveX non può creare l'oggetto"_s;
    QTest::newRow("non un componente di ricerca")
        << true << Preparazione([](HostRegistrato&) { registro.oggettoEstraneo = true; }) << false
        << u"438 - Proprietà o metodo non supportati dall'oggetto"_s;
    // A call of the host before the component is made, and one by "Stampa" (the two
    // buttons share the rest).
    QTest::newRow("viste") << true << alla(1) << false << guasto + u"OpenRecordSetPreferenze"_s;
    QTest::newRow("Stampa, elenco") << false << alla(4) << false << guasto + u"openrecordset"_s;
    QTest::newRow("Cerca, dentro Ricerca")
        << true << inRicerca << true << u"3021 - Nessun record corrente."_s;
}

void TestCercaForm::guasti() {
    QFETCH(bool, cerca);
    QFETCH(Preparazione, prepara);
    QFETCH(bool, mostrato);
    QFETCH(QString, box);
    apri();
    // An answer the form would follow if nothing had failed.
    registro.risposta = Primo;

    premi(cerca, prepara);

    QCOMPARE(m_box->boxes().size(), 1);
    const RisponditoreBox::Box& avviso = m_box->boxes().first();
    QCOMPARE(avviso.testo, box);
    QCOMPARE(avviso.titolo, Messaggio::titoloPredefinito());
    QCOMPARE(registro.voci.count(u"Ricerca"_s), mostrato ? 1 : 0);
    QVERIFY(!registro.voci.contains(u"Risposta"_s));
    QVERIFY(rilasciato());
    QCOMPARE(fotografia(*m_form), m_prima);
    // The form goes on working: a machine can be picked for an entry.
    m_form->CmdApparecchio[0]->click();
    QCOMPARE(m_form->RefillAperto, qint16(-1));
    QCOMPARE(m_box->boxes().size(), 1);
}

QTEST_MAIN(TestCercaForm)
#include "tst_cerca_form.moc"
