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
#include <QRegularExpression>
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

    // A hall prepared by `sala`, the form opened on it, the operator's steps: then the page
    // (each button as its machine's number, colour and amount, a-b for a run of plain ones;
    // "-" for a button without a machine, in the plain button colour), the day's total, and
    // the boxes seen. `sala`: the number of machines (salaPronta), or
    // "senzalocale" / "senzaconti" for 3 or 2 machines on a hall missing that; then rows as
    // +machine=amount, with @day (of December 2026; default the 4th, the working date),
    // /venue (SG01) and /causale (REF) of their header, ! for a closed header, ~day for the
    // row's own date. A comma amount is a number; a point amount is text, as another program
    // may write it. Steps: si/no answer the next box, @n clicks button n, avanti, dietro,
    // opt1/opt2/opt3 the labelling (code, name, ADM code), data=day (a date typed and
    // confirmed), calendario=day (picked in the calendar).
    void giornata_data() {
        QTest::addColumn<QString>("sala");
        QTest::addColumn<QString>("passi");
        QTest::addColumn<QString>("stato");
        QTest::addColumn<QStringList>("box");
        const auto riga = [](const char* nome, const char* sala, const char* passi, const char* stato, QStringList box = {}) {
            QTest::newRow(nome) << QString::fromUtf8(sala) << QString::fromUtf8(passi) << QString::fromUtf8(stato) << box;
        };
        const QString chiusa = QStringLiteral(
            "Attenzione! | Attenzione! la registrazione risulta chiusa, una modifica dei dati compromettera la "
            "sincronizzazione con la sede centrale.\n\nConfermi l'abbandono della modifica? | 3 | Sì | Sì/No");
        // The grid and the total are already there when a warning comes.
        riga("senza locale", "senzalocale +1001=7,5/1", "", "locale 1; pagina 1V€  7,5|2-3A; totale €  7,5",
             {QStringLiteral("KaloRefill | Attenzione!! Bisogna aver impostato un locale prima di procedere.! | 3 | OK | OK")});
        riga("senza associazioni conti", "senzaconti", "", "pagina 1-2A",
             {QStringLiteral("Attenzione!! | Attenzione mancano le associazioni conti, effettuare una sincronizzazione con "
                             "la sede prima di procedere. | 3 | OK | OK")});
        // A zero amount stays teal.
        riga("importi sulla pagina", "4 +1001=12,5 +1003=0 +1004=0.1", "", "pagina 1V€  12,5|2-3A|4V€  0,1; totale €  12,6");
        // Another venue's refills, another date's row under our header, other documents: not counted.
        // (The button shows what its header holds, the other date's row included.)
        riga("totale della giornata", "3 +1001=10 +1002=5,5 +1001=100/SG02 +1003=1000~03 +1001=50/SG01/INC", "",
             "pagina 1V€  10|2V€  5,5|3V€  1000; totale €  15,5");
        riga("ieri non si vede oggi", "2 +1002=0,3@03", "", "pagina 1-2A");
        riga("ieri dal calendario", "2 +1002=0,3@03", "calendario=03",
             "data 03/12; pagina 1A|2V€  0,3; totale Totale Refill del 03/12/2026 -> €  0,3");
        // A closed registration asks before it is shown: Yes goes back to the working date.
        riga("registrazione chiusa, si", "3 +1002=30@01!", "si data=01", "pagina 1-3A", {chiusa});
        riga("registrazione chiusa, no", "3 +1002=30@01!", "no data=01",
             "data 01/12; pagina 1A|2V€  30|3A; totale Totale Refill del 01/12/2026 -> €  30", {chiusa});
        // The working date's own registration closed at the first load: Yes asks again for
        // the same date, No then shows page 1 of it.
        riga("chiusa all'avvio", "3 +1002=30!", "si no", "pagina 1A|2V€  30|3A; totale €  30", {chiusa, chiusa});
        riga("chiusa all'avvio, venti apparecchi", "20 +1002=30!", "si no",
             "pagina 1A|2V€  30|3-16A; totale €  30", {chiusa, chiusa});
        // A page change with an entry open asks first; No leaves page and list where they
        // were, so Yes then shows page two.
        const QString annullo = QStringLiteral("Attenzione!! | Attenzione è gia aperto un refill non salvato su un "
                                               "altro apparecchio, annullo l'operazione? | 2 | No | Sì/No");
        riga("pagina con refill aperto, no", "20", "@2 no avanti", "aperto -1; pagina 1-2A|3G|4-16A", {annullo});
        // (The dropped entry's prompt stays on screen after "Avanti", as it always has.)
        riga("pagina con refill aperto, no poi si", "20", "@2 no avanti si avanti",
             "scelto Inserire l'importo del refill effettuato\rsull' apparecchio: C3\rSlot 3\r; pagina 17-20A", {annullo, annullo});
        // Paging and labelling. Back from a part page rewinds 32 rows from past the end;
        // relabelling rewinds by the machines on screen.
        riga("avanti", "20", "avanti", "pagina 17-20A");
        riga("oltre l'ultima", "20", "avanti avanti", "pagina 17-20A");
        riga("AAMS sull'ultima", "20", "avanti opt3", "pagina 17-20A");
        riga("AAMS e dietro", "20", "avanti opt3 dietro", "pagina 1-16A");
        riga("nome", "20", "opt2", "pagina 1-16A");
        riga("codice di nuovo", "20", "opt2 opt1", "pagina 1-16A");
        riga("terza pagina", "40", "avanti avanti", "pagina 33-40A");
        riga("dietro dall'ultima parziale", "40", "avanti avanti dietro", "pagina 9-24A");
    }
    void giornata() {
        QFETCH(QString, sala);
        QFETCH(QString, passi);
        std::unique_ptr<BancoProva> banco;
        QMap<QString, qint64> testate;
        const QRegularExpression formaRiga(QStringLiteral("^\\+(\\d+)=([\\d,.]+)(?:@(\\d+))?(?:/(\\w+))?(?:/(\\w+))?(!?)(?:~(\\d+))?$"));
        for (const QString& voce : sala.split(u' ', Qt::SkipEmptyParts)) {
            if (voce == u"senzalocale" || voce == u"senzaconti") {
                banco = std::make_unique<BancoProva>();
                if (voce == u"senzalocale")
                    banco->aggiungiAssociazioneConti();
                else
                    banco->aggiungiLocale(QStringLiteral("SG01"));
                banco->aggiungiApparecchi(voce == u"senzalocale" ? 3 : 2);
            } else if (!voce.startsWith(u'+')) {
                banco = BancoProva::salaPronta(voce.toInt());
            } else {
                const QRegularExpressionMatch m = formaRiga.match(voce);
                QVERIFY2(m.hasMatch(), qPrintable(voce));
                const auto giorno = [](const QString& g) { return QDate(2026, 12, g.isEmpty() ? 4 : g.toInt()); };
                const QString locale = m.captured(4).isEmpty() ? QStringLiteral("SG01") : m.captured(4);
                const QString causale = m.captured(5).isEmpty() ? QStringLiteral("REF") : m.captured(5);
                const QString chiave = m.captured(3) + locale + causale + m.captured(6);
                if (!testate.contains(chiave))
                    testate[chiave] = banco->aggiungiTestata(giorno(m.captured(3)), locale, !m.captured(6).isEmpty(), causale);
                const QString importo = m.captured(2);
                banco->aggiungiRiga(testate[chiave], m.captured(1).toInt(),
                                    importo.contains(u'.') ? QVariant(importo) : QVariant(QString(importo).replace(u',', u'.').toDouble()),
                                    giorno(m.captured(7).isEmpty() ? m.captured(3) : m.captured(7)), locale);
            }
        }
        RisponditoreBox box;
        std::unique_ptr<FrmRefill> form;
        for (const QString& passo : passi.split(u' ', Qt::SkipEmptyParts)) {
            if (passo == u"si" || passo == u"no") {
                box.rispondi({passo == u"si" ? RisponditoreBox::Risposta::Si : RisponditoreBox::Risposta::No});
                continue;
            }
            if (!form)
                form = apriForm(banco->host());
            const QDate giorno(2026, 12, passo.section(u'=', 1).toInt());
            if (passo.startsWith(u'@')) {
                form->CmdApparecchio[passo.mid(1).toUInt()]->click();
            } else if (passo == u"avanti" || passo == u"dietro") {
                (passo == u"avanti" ? form->CmdAvanti : form->CmdDietro)->click();
            } else if (passo.startsWith(QStringLiteral("opt"))) {
                (passo == u"opt1" ? form->Opt1 : passo == u"opt2" ? form->Opt2 : form->Opt3)->click();
            } else if (passo.startsWith(QStringLiteral("data="))) {
                form->impostaDataRegistrazione(giorno);
                form->txtData_Change();
            } else if (passo.startsWith(QStringLiteral("calendario="))) {
                form->txtData->setDate(giorno);
            } else {
                QFAIL(qPrintable(QStringLiteral("passo sconosciuto: ") + passo));
            }
        }
        if (!form)
            form = apriForm(banco->host());
        QStringList visti, pagina;
        for (const RisponditoreBox::Box& b : box.boxes())
            visti << riassunto(b) + QStringLiteral(" | ") + b.pulsanti.join(u'/');
        QTEST(visti, "box");
        // The labels as the chosen option writes them.
        const auto etichetta = [&form](int n) {
            return form->Opt2->isChecked()   ? QStringLiteral("Slot %1\rC%1 AAMS%1\r").arg(n)
                   : form->Opt3->isChecked() ? QStringLiteral("AAMS%1\r").arg(n)
                                             : etichettaCodice(n);
        };
        int primo = 0, ultimo = 0; // the run of plain teal buttons being gathered
        const auto chiudiSerie = [&] {
            if (primo)
                pagina << (primo == ultimo ? QString::number(primo) : QStringLiteral("%1-%2").arg(primo).arg(ultimo)) + u'A';
            primo = 0;
        };
        for (const PulsanteGrafico* p : form->CmdApparecchio) {
            const int numero = p->tag().toInt() - 1000;
            const QColor c = p->backColor();
            const QString colore = c == Verde ? QStringLiteral("V") : c == VerdeAcqua ? QStringLiteral("A")
                                   : c == QColor(192, 192, 0) ? QStringLiteral("G") : c.name();
            const QString resto = p->caption().startsWith(etichetta(numero)) ? p->caption().mid(etichetta(numero).size()).remove(u'\r')
                                                                             : QStringLiteral("?") + p->caption();
            if (colore == u"A" && resto.isEmpty() && primo && numero == ultimo + 1) {
                ultimo = numero;
                continue;
            }
            chiudiSerie();
            if (colore == u"A" && resto.isEmpty())
                primo = ultimo = numero;
            else if (p->tag() == u"0")
                pagina << (c == QApplication::palette().color(QPalette::Button) && p->caption().isEmpty() ? QStringLiteral("-") : u'?' + c.name() + p->caption());
            else
                pagina << QString::number(numero) + colore + resto;
        }
        chiudiSerie();
        while (pagina.last() == u"-")
            pagina.removeLast();
        QStringList stato;
        if (form->CodLocale.toString() != u"SG01")
            stato << QStringLiteral("locale ") + form->CodLocale.toString();
        if (form->dataRegistrazione() != Oggi)
            stato << QStringLiteral("data ") + form->dataRegistrazione().toString(QStringLiteral("dd/MM"));
        if (form->RefillAperto)
            stato << QStringLiteral("aperto ") + QString::number(form->RefillAperto);
        else if (form->LabApparecchio->caption() != u"Selezionare un apparecchio")
            stato << QStringLiteral("scelto ") + form->LabApparecchio->caption();
        stato << QStringLiteral("pagina ") + pagina.join(u'|');
        const QString prefissoTotale = QStringLiteral("Totale Refill del 04/12/2026 -> ");
        if (form->LabTotali->caption() != NessunRefill)
            stato << QStringLiteral("totale ") + (form->LabTotali->caption().startsWith(prefissoTotale)
                                                      ? form->LabTotali->caption().mid(prefissoTotale.size())
                                                      : form->LabTotali->caption());
        QTEST(stato.join(QStringLiteral("; ")), "stato");
    }
};

QTEST_MAIN(TestAvvio)
#include "tst_avvio.moc"
