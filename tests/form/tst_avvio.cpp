// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
// Start-up, machine pages and the day's total, on a real temporary database.
#include "Copione.h"
#include "MotoreProva.h"
#include "HostRegistrato.h"

#include <QCheckBox>
#include <QTest>

using namespace KaloRefill;

class TestAvvio : public QObject {
    Q_OBJECT
private slots:
    // Runs on the engine the test run chose; see MotoreProva.
    void initTestCase() { KALOREFILL_MOTORE_PRONTO(); }
    void cleanup() { StatoModulo::istanza().applicazione.reset(); }

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

    // A hall, the form opened on it, the operator's steps (see Copione): then the boxes seen
    // and what the form shows, only what differs from a form waiting for a machine on an
    // empty day of a hall of 5 machines.
    void giornata_data() {
        QTest::addColumn<QString>("sala");
        QTest::addColumn<QString>("passi");
        QTest::addColumn<QString>("stato");
        QTest::addColumn<QStringList>("box");
        const auto riga = [](const char* nome, const char* sala, const char* passi, const char* stato, QStringList box = {}) {
            QTest::newRow(nome) << QString::fromUtf8(sala) << QString::fromUtf8(passi) << Copione::atteso(QString::fromUtf8(stato)) << box;
        };
        const QString chiusa = QStringLiteral(
            "Attenzione! | Attenzione! la registrazione risulta chiusa, una modifica dei dati compromettera la "
            "sincronizzazione con la sede centrale.\n\nConfermi l'abbandono della modifica? | 3 | Sì | Sì/No");
        // The grid and the total are already there when a warning comes.
        riga("senza locale", "senzalocale +1001=7,5/1", "", "apparecchi 3/1; locale 1; pagina 1V€  7,5|2-3A; righe 7.5; testate aperta; totale €  7,5",
             {QStringLiteral("KaloRefill | Attenzione!! Bisogna aver impostato un locale prima di procedere.! | 3 | OK | OK")});
        riga("senza associazioni conti", "senzaconti", "", "",
             {QStringLiteral("Attenzione!! | Attenzione mancano le associazioni conti, effettuare una sincronizzazione con "
                             "la sede prima di procedere. | 3 | OK | OK")});
        // Only active refill machines are listed, 16 a page, teal with their labels.
        riga("nessun apparecchio", "0 fuori", "", "apparecchi 0/1; pagina ");
        riga("sedici apparecchi", "16 fuori", "", "apparecchi 16/1; pagina 1-16A");
        riga("diciassette apparecchi", "17 fuori", "", "apparecchi 17/2; pagina 1-16A");
        riga("trentadue apparecchi", "32 fuori", "", "apparecchi 32/2; pagina 1-16A");
        riga("trentatre apparecchi", "33 fuori", "", "apparecchi 33/3; pagina 1-16A");
        // The stored save question comes back as stored, greyed included; clicks then only
        // tick and untick, and "Chiudi" stores what the box shows (seen by the next form).
        riga("mai salvata", "scelta=mai", "spunta spunta spunta chiudi riapri", "spunte 2|0|2|0");
        riga("non chiedere", "scelta=0", "spunta spunta spunta chiudi riapri", "conferma 2; spunte 0|2|0|2");
        riga("chiedere", "scelta=1", "spunta spunta spunta chiudi riapri", "spunte 2|0|2|0");
        riga("grigia", "scelta=2", "spunta spunta spunta chiudi riapri", "conferma 2; spunte 1|2|0|2");
        // A zero amount stays teal.
        riga("importi sulla pagina", "4 +1001=12,5 +1003=0 +1004=0.1", "", "apparecchi 4/1; pagina 1V€  12,5|2-3A|4V€  0,1; righe 12.5|0|0.1; testate aperta; totale €  12,6");
        // Another venue's refills, another date's row under our header, other documents: not counted.
        // (The button shows what its header holds, the other date's row included.)
        riga("totale della giornata", "3 +1001=10 +1002=5,5 +1001=100/SG02 +1003=1000~03 +1001=50/SG01/INC", "",
             "apparecchi 3/1; pagina 1V€  10|2V€  5,5|3V€  1000; righe 10|5.5|100|1000|50; testate aperta|aperta; totale €  15,5");
        riga("ieri non si vede oggi", "2 +1002=0,3@03", "", "apparecchi 2/1; pagina 1-2A; righe 0.3; testate aperta");
        riga("ieri dal calendario", "2 +1002=0,3@03", "calendario=03",
             "apparecchi 2/1; data 03/12; pagina 1A|2V€  0,3; righe 0.3; testate aperta; totale Totale Refill del 03/12/2026 -> €  0,3");
        // A closed registration asks before it is shown: Yes goes back to the working date.
        riga("registrazione chiusa, si", "3 +1002=30@01!", "si data=01", "apparecchi 3/1; pagina 1-3A; righe 30; testate chiusa", {chiusa});
        riga("registrazione chiusa, no", "3 +1002=30@01!", "no data=01",
             "apparecchi 3/1; data 01/12; pagina 1A|2V€  30|3A; righe 30; testate chiusa; totale Totale Refill del 01/12/2026 -> €  30", {chiusa});
        // The working date's own registration closed at the first load: Yes asks again for
        // the same date, No then shows page 1 of it.
        riga("chiusa all'avvio", "3 +1002=30!", "si no", "apparecchi 3/1; pagina 1A|2V€  30|3A; righe 30; testate chiusa; totale €  30", {chiusa, chiusa});
        riga("chiusa all'avvio, venti apparecchi", "20 +1002=30!", "si no",
             "apparecchi 20/2; pagina 1A|2V€  30|3-16A; righe 30; testate chiusa; totale €  30", {chiusa, chiusa});
        // A page change with an entry open asks first; No leaves page and list where they
        // were, so Yes then shows page two.
        const QString annullo = QStringLiteral("Attenzione!! | Attenzione è gia aperto un refill non salvato su un "
                                               "altro apparecchio, annullo l'operazione? | 2 | No | Sì/No");
        riga("pagina con refill aperto, no", "20", "@2 no avanti", "apparecchi 20/2; aperto -1; bottone 2; tasti sì; pagina 1-2A|3G|4-16A; inserire C3/Slot 3/; etichetta C3/Slot 3/", {annullo});
        // (The dropped entry's prompt and keypad stay after "Avanti", as they always have.)
        riga("pagina con refill aperto, no poi si", "20", "@2 no avanti si avanti", "apparecchi 20/2; bottone 2; tasti sì; pagina 17-20A; inserire C3/Slot 3/",
             {annullo, annullo});
        // Paging and labelling. Back from a part page rewinds 32 rows from past the end;
        // relabelling rewinds by the machines on screen.
        riga("avanti", "20", "avanti", "apparecchi 20/2; pagina 17-20A");
        riga("oltre l'ultima", "20", "avanti avanti", "apparecchi 20/2; pagina 17-20A");
        riga("AAMS sull'ultima", "20", "avanti opt3", "apparecchi 20/2; pagina 17-20A");
        riga("AAMS e dietro", "20", "avanti opt3 dietro", "apparecchi 20/2; pagina 1-16A");
        riga("nome", "20", "opt2", "apparecchi 20/2; pagina 1-16A");
        riga("codice di nuovo", "20", "opt2 opt1", "apparecchi 20/2; pagina 1-16A");
        riga("terza pagina", "40", "avanti avanti", "apparecchi 40/3; pagina 33-40A");
        riga("dietro dall'ultima parziale", "40", "avanti avanti dietro", "apparecchi 40/3; pagina 9-24A");
    }
    void giornata() {
        QFETCH(QString, sala);
        QFETCH(QString, passi);
        Copione c;
        c.prepara(sala);
        c.recita(passi);
        if (QTest::currentTestFailed())
            return;
        QTEST(c.boxes(), "box");
        QTEST(c.stato(), "stato");
    }
};

QTEST_MAIN(TestAvvio)
#include "tst_avvio.moc"
