// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
// The refill form on a real temporary database: start-up, machine pages and the day's
// total; picking a machine, typing on the keypad or the keyboard, saving with its
// accounting entries, and closing.
#include "Copione.h"
#include "MotoreProva.h"

#include <QDateEdit>
#include <QTest>

using namespace KaloRefill;

namespace {
const QDate Oggi(2026, 12, 4);

const QString SqlTesta = QStringLiteral("select * from noteteste where codcausale='REF'");
const QString SqlRighe = QStringLiteral("select * from noteincassi");
const QString SqlLog = QStringLiteral("select * from LogOperazioni");
const QString SqlContabili = QStringLiteral("select * from noterighe");

} // namespace

class TestCiclo : public QObject {
    Q_OBJECT

private slots:
    // Runs on the engine the test run chose; see MotoreProva.
    void initTestCase() { KALOREFILL_MOTORE_PRONTO(); }
    void cleanup() {
        StatoModulo::istanza().databaseDanneggiato.clear();
        StatoModulo::istanza().applicazione.reset();
    }

    // The machine query fails: start-up stops there without a word, the buttons keep
    // their first state and LabStato its own text; the form still opens.
    void fallimentoAvvioSilenzioso() {
        Copione c;
        c.prepara(QStringLiteral("3"));
        c.registra().armaFallimento(5); // Data, openrecordset, RecordCount, Field, openrecordset
        c.recita({});
        QVERIFY(c.box.boxes().isEmpty());
        QCOMPARE(c.form->CodLocale.toString(), QStringLiteral("SG01"));
        QCOMPARE(c.form->LabStato->caption() + c.form->CmdApparecchio[0]->caption(), QStringLiteral(".a"));
        QVERIFY(!c.registrato->sql.contains(QStringLiteral("select * from TabAssociazioneConti")));
    }

    // The date field holds no date the database cannot.
    void dataFuoriIntervallo() {
        Copione c;
        c.recita({});
        for (const QDate& fuori : {QDate(1899, 12, 31), QDate(1, 1, 1)}) {
            c.form->txtData->setDate(fuori);
            QVERIFY2(c.form->dataRegistrazione() >= QDate(1900, 1, 1), qPrintable(c.form->dataRegistrazione().toString()));
        }
    }

    // A hall (see Copione; a ready hall of 5 machines when none is given), the form opened
    // on it, the operator's steps: then the boxes seen and what the form shows and the
    // database holds, only what differs from a form waiting for a machine on an empty day
    // of a hall of 5 machines.
    void ciclo_data() {
        QTest::addColumn<QString>("sala");
        QTest::addColumn<QString>("passi");
        QTest::addColumn<QString>("stato");
        QTest::addColumn<QStringList>("box");
        const auto sala = [](const char* nome, const char* sala, const char* passi, const char* stato, QStringList box = {}) {
            QTest::newRow(nome) << QString::fromUtf8(sala) << QString::fromUtf8(passi) << Copione::atteso(QString::fromUtf8(stato)) << box;
        };
        const auto riga = [&sala](const char* nome, const char* passi, const char* stato, QStringList box = {}) {
            sala(nome, "", passi, stato, std::move(box));
        };
        const QString altro = QStringLiteral(
            "Attenzione!! | Attenzione è gia aperto un refill non salvato su un altro apparecchio, annullo "
            "l'operazione per farla sull'apparecchio selezionato? | 2 | No | Sì/No");
        const QString salvo = QStringLiteral("Salvo? | Confermi il salvataggio? | 4 | Sì | Sì/No");
        const QString chiusa = QStringLiteral(
            "Attenzione! | Attenzione! la registrazione risulta chiusa, una modifica dei dati compromettera la "
            "sincronizzazione con la sede centrale.\n\nConfermi l'abbandono della modifica? | 3 | Sì | Sì/No");
        const QString senzaConti = QStringLiteral("Attenzione!! | Attenzione mancano le associazioni conti, effettuare "
                                                  "una sincronizzazione con la sede prima di procedere. | 3 | OK | OK");
        // Each account code that could not be read; the rest is stored.
        const QString contoIlleggibile = QStringLiteral(
            "KaloRefill | BOF o EOF è True, oppure il record corrente è stato eliminato. L'operazione richiesta "
            "richiede un record corrente. | 0 | OK | OK");
        const QString esco = QStringLiteral("Attenzione!! | Attenzione è aperto un refill non salvato su un "
                                            "apparecchio, esco dal programma senza salvare? | 2 | No | Sì/No");
        // The grid and the total are already there when a warning comes.
        sala("senza locale", "senzalocale +1001=7,5/1", "", "apparecchi 3/1; locale 1; pagina 1V€  7,5|2-3A; righe 7.5; testate aperta; totale €  7,5",
             {QStringLiteral("KaloRefill | Attenzione!! Bisogna aver impostato un locale prima di procedere.! | 3 | OK | OK")});
        // Only active refill machines are listed, 16 a page, teal with their labels.
        sala("nessun apparecchio", "0 fuori", "", "apparecchi 0/1; pagina ");
        sala("sedici apparecchi", "16 fuori", "", "apparecchi 16/1; pagina 1-16A");
        sala("diciassette apparecchi", "17 fuori", "", "apparecchi 17/2; pagina 1-16A");
        // The stored save question comes back as stored, greyed included; clicks then only
        // tick and untick, and "Chiudi" stores what the box shows (seen by the next form),
        // ticked or not.
        sala("mai salvata", "scelta=mai", "spunta spunta spunta chiudi riapri", "spunte 2|0|2|0");
        sala("non chiedere", "scelta=0", "spunta spunta spunta chiudi riapri", "conferma 2; spunte 0|2|0|2");
        sala("grigia", "scelta=2", "spunta spunta spunta chiudi riapri", "conferma 2; spunte 1|2|0|2");
        // A zero amount stays teal.
        sala("importi sulla pagina", "4 +1001=12,5 +1003=0 +1004=0.1", "", "apparecchi 4/1; pagina 1V€  12,5|2-3A|4V€  0,1; righe 12.5|0|0.1; testate aperta; totale €  12,6");
        // Another venue's refills, another date's row under our header, other documents: not counted.
        // (The button shows what its header holds, the other date's row included.)
        sala("totale della giornata", "3 +1001=10 +1002=5,5 +1001=100/SG02 +1003=1000~03 +1001=50/SG01/INC", "",
             "apparecchi 3/1; pagina 1V€  10|2V€  5,5|3V€  1000; righe 10|5.5|100|1000|50; testate aperta|aperta; totale €  15,5");
        sala("ieri dal calendario", "2 +1002=0,3@03", "calendario=03",
             "apparecchi 2/1; data 03/12; pagina 1A|2V€  0,3; righe 0.3; testate aperta; totale Totale Refill del 03/12/2026 -> €  0,3");
        // A closed registration asks before it is shown: Yes goes back to the working date.
        sala("registrazione chiusa, si", "3 +1002=30@01!", "si data=01", "apparecchi 3/1; pagina 1-3A; righe 30; testate chiusa", {chiusa});
        sala("registrazione chiusa, no", "3 +1002=30@01!", "no data=01",
             "apparecchi 3/1; data 01/12; pagina 1A|2V€  30|3A; righe 30; testate chiusa; totale Totale Refill del 01/12/2026 -> €  30", {chiusa});
        // The working date's own registration closed at the first load: Yes asks again for
        // the same date, No then shows page 1 of it.
        sala("chiusa all'avvio", "3 +1002=30!", "si no", "apparecchi 3/1; pagina 1A|2V€  30|3A; righe 30; testate chiusa; totale €  30", {chiusa, chiusa});
        sala("chiusa all'avvio, venti apparecchi", "20 +1002=30!", "si no",
             "apparecchi 20/2; pagina 1A|2V€  30|3-16A; righe 30; testate chiusa; totale €  30", {chiusa, chiusa});
        // A page change with an entry open asks first; No leaves page and list where they
        // were, so Yes then shows page two.
        const QString annullo = QStringLiteral("Attenzione!! | Attenzione è gia aperto un refill non salvato su un "
                                               "altro apparecchio, annullo l'operazione? | 2 | No | Sì/No");
        sala("pagina con refill aperto, no", "20", "@2 no avanti", "apparecchi 20/2; aperto -1; bottone 2; tasti sì; pagina 1-2A|3G|4-16A; inserire C3/Slot 3/; etichetta C3/Slot 3/", {annullo});
        // (The dropped entry's prompt and keypad stay after "Avanti", as they always have.)
        sala("pagina con refill aperto, no poi si", "20", "@2 no avanti si avanti", "apparecchi 20/2; bottone 2; tasti sì; pagina 17-20A; inserire C3/Slot 3/",
             {annullo, annullo});
        // Paging and labelling. Back from a part page rewinds 32 rows from past the end;
        // relabelling rewinds by the machines on screen.
        sala("oltre l'ultima", "20", "avanti avanti", "apparecchi 20/2; pagina 17-20A");
        sala("AAMS e dietro", "20", "avanti opt3 dietro", "apparecchi 20/2; pagina 1-16A");
        sala("nome", "20", "opt2", "apparecchi 20/2; pagina 1-16A");
        sala("dietro dall'ultima parziale", "40", "avanti avanti dietro", "apparecchi 40/3; pagina 9-24A");
        // Opening an entry, and a click on a button without a machine: it saves, or asks
        // about, the entry left open, and never opens one of its own.
        riga("selezione", "@2", "aperto -1; bottone 2; tasti sì; pagina 1-2A|3G|4-5A; inserire C3/Slot 3/; etichetta C3/Slot 3/");
        riga("nessun refill aperto", "si @7", "");
        riga("importo aperto: salvato", "@1 =25 @7", "pagina 1A|2V€ 25|3-5A; righe 25; testate aperta; log 1; totale €  25");
        riga("importo zero, no: resta aperto", "@1 no @7",
             "aperto -1; bottone 1; tasti sì; pagina 1A|2G|3-5A; inserire C2/Slot 2/; etichetta C2/Slot 2/", {altro});
        riga("importo zero, si: abbandonato", "@1 si @7", "", {altro});
        // Saves in a row: each machine's amount, its button, one header, the day's total.
        riga("somma sull'importo precedente", "@1 =40 S @1 =10 S",
             "pagina 1A|2V€ 50|3-5A; righe 50; testate aperta; log 2; totale €  50");
        riga("pagina ricaricata", "@1 =40 S ricarica @1 =5 S",
             "pagina 1A|2V€ 45|3-5A; righe 45; testate aperta; log 2; totale €  45");
        riga("modifica con Canc", "@0 =10 S @0 =C7 S", "pagina 1V€ 7|2-5A; righe 7; testate aperta; log 2; totale €  7");
        riga("sotto uno", "@3 =,5 S", "righe 0.5; testate aperta; log 1; totale €  0,5");
        riga("azzerato e risalvato", "@3 =40 S @3 =C S", "righe 0; testate aperta; log 2; totale €  0");
        riga("due apparecchi, scrittura estranea", "@0 =10 S estranea @1 =5,5 S",
             "pagina 1V€ 10|2V€ 5,5|3-5A; righe 10|5.5; testate aperta; log 2; totale €  15,5");
        sala("registrazione chiusa riaperta", "chiusa", "no @0 =3 S",
             "pagina 1V€ 3|2-5A; righe 3; testate aperta; log 1; totale €  3", {chiusa});
        sala("senza associazioni conti, salvataggio", "senzaconti", "@0 =6 S",
             "pagina 1V€ 6|2-5A; righe 6; testate aperta; log 1; totale €  6", {senzaConti, contoIlleggibile, contoIlleggibile});
        // With the question on, saving asks first, from "Salva" or from a click on another
        // machine, which saves the open entry on its own machine.
        riga("conferma, accettata", "conferma @0 =17,5 si S",
             "pagina 1V€ 17,5|2-5A; righe 17.5; testate aperta; log 1; totale €  17,5; conferma 2", {salvo});
        riga("conferma, rifiutata", "conferma @0 =17,5 no S",
             "aperto -1; valore 17,5; tasti sì; pagina 1G|2-5A; inserire C1/Slot 1/; etichetta C1/Slot 1/; conferma 2", {salvo});
        riga("conferma da altro apparecchio", "conferma @0 =17,5 si @3",
             "pagina 1V€ 17,5|2-5A; righe 17.5; testate aperta; log 1; totale €  17,5; conferma 2", {salvo});
        // An amount no amount column holds exactly, or any amount on a database found damaged
        // (a banner says so, in a form opened later too), is refused before anything is
        // written, and the entry stays open.
        const auto nonSalvabile = [](const char* importo) {
            return QStringLiteral("KaloRefill | L'importo %1 non si può salvare: un importo ha al massimo 15 cifre intere e "
                                  "4 decimali.\n\nNulla è stato salvato; correggere l'importo e premere di nuovo \"Salva\"."
                                  " | 2 | OK | OK").arg(QLatin1String(importo));
        };
        // The banner, and the box on "Salva".
        const QString danno = QStringLiteral(
            "Il database prova.db è danneggiato: pagina 7\nNon registrare refill: chiudere il programma ed eseguire "
            "\"kalorefill --verifica\"; se il danno resta, ripristinare l'ultima copia di sicurezza del database e "
            "avvisare l'assistenza.");
        const QString dannoBox = QStringLiteral("KaloRefill | Il refill non è stato salvato: il database è danneggiato.\n\n") +
                                 QString(danno).replace(u'\n', QStringLiteral("\n\n")) + QStringLiteral(" | 3 | OK | OK");
        const QString aperto1 = Copione::atteso(
            QStringLiteral("aperto -1; valore %1; tasti sì; pagina 1G|2-5A; inserire C1/Slot 1/; etichetta C1/Slot 1/"));
        for (const char* importo : {"123456789012345678901", "1,23456"})
            QTest::newRow(importo) << QString() << QStringLiteral("@0 valore=") + QLatin1String(importo) + QStringLiteral(" S")
                                   << aperto1.arg(QLatin1String(importo)) << QStringList{nonSalvabile(importo)};
        QTest::newRow("database danneggiato") << QString() << QStringLiteral("danno @0 =5 S") << aperto1.arg(5) + QStringLiteral("; danno ") + danno
                                              << QStringList{dannoBox};
        QTest::newRow("danno, form riaperto") << QString() << QStringLiteral("danno chiudi riapri") << QStringLiteral("danno ") + danno
                                              << QStringList();
        // Another machine clicked with an entry open at 0,00 (or 0,5) on a machine that has
        // an amount: Yes leaves it (green: it shows an amount) for the new one, No keeps it.
        riga("altro apparecchio con 0,00, si", "@4 =9 S @4 si @1",
             "aperto -1; bottone 1; tasti sì; pagina 1A|2G|3-4A|5V€ 9; inserire C2/Slot 2/; etichetta C2/Slot 2/; righe 9; "
             "testate aperta; log 1; totale €  9", {altro});
        riga("altro apparecchio con 0,00, no", "@4 =9 S @4 no @1",
             "aperto -1; bottone 4; tasti sì; conto +9; pagina 1-4A|5G€ 9; inserire C5/Slot 5//€ 9; etichetta C5/Slot 5/; "
             "righe 9; testate aperta; log 1; totale €  9", {altro});
        riga("altro apparecchio con 0,5, si", "@4 =9 S @4 =,5 si @1",
             "aperto -1; valore 0,5; bottone 1; tasti sì; pagina 1A|2G|3-4A|5V€ 9; inserire C2/Slot 2/; etichetta C2/Slot 2/; "
             "righe 9; testate aperta; log 1; totale €  9", {altro});
        // "Chiudi" with an entry open asks first (the choice it stores: the "scelta" rows).
        riga("chiusura con refill aperto, no", "conferma @0 =5 no chiudi",
             "aperto -1; valore 5; tasti sì; pagina 1G|2-5A; inserire C1/Slot 1/; etichetta C1/Slot 1/; conferma 2", {esco});
        riga("chiusura con refill aperto, si", "conferma @0 =5 si chiudi riapri", "", {esco});
        // The keyboard, delivered where a key goes: the focused control or the window.
        riga("cifre, virgola, F12", "@0 [1] [2] [,] [5] [F12]",
             "pagina 1V€ 12,5|2-5A; righe 12.5; testate aperta; log 1; totale €  12,5");
        riga("tastierino, somma, prodotto e invio", "@0 [Num+7] [Num++] [Num+3] [Num+Enter] [Num+*] [Num+2] [Return]",
             "aperto -1; valore 20; tasti sì; pagina 1G|2-5A; inserire C1/Slot 1/; etichetta C1/Slot 1/");
        riga("senza refill aperto", "[5] [F12]", "");
    }
    void ciclo() {
        QFETCH(QString, sala);
        QFETCH(QString, passi);
        Copione c;
        c.prepara(sala);
        c.recita(passi);
        if (QTest::currentTestFailed())
            return;
        QTEST(c.boxes(), "box");
        QTEST(c.stato(), "stato");
        // Once the form saved, the header and the two entries, cash out of the hall's account
        // onto the refill account, hold the sum of the day's rows; before, there are no entries.
        const bool salvato = c.banco->conta(SqlLog) > 0;
        double somma = 0;
        for (const QVariantMap& r : c.banco->righe(SqlRighe))
            somma += r.value(QStringLiteral("refillgestore")).toDouble();
        const QList<QVariantMap> contabili = c.banco->righe(SqlContabili + QStringLiteral(" order by riga"));
        QCOMPARE(contabili.size(), salvato ? 2 : 0);
        if (salvato) {
            QCOMPARE(contabili[0].value(QStringLiteral("avere")).toDouble(), somma);
            QCOMPARE(contabili[1].value(QStringLiteral("dare")).toDouble(), somma);
            QCOMPARE(c.banco->righe(SqlTesta).first().value(QStringLiteral("refillnoleggiatore")).toDouble(), somma);
        }
    }

    // Machine 3 has no nomemobile, as another program may leave it. (The amounts and the
    // number of rows of each table: ciclo.)
    void primoSalvataggio() {
        Copione c;
        c.prepara(QStringLiteral("5"));
        c.banco->host()->Execute(QStringLiteral("update apparecchi set nomemobile = null where idscheda = 1003"));
        c.recita(QStringLiteral("@2 =12,50 S"));
        const QString utente = QStringLiteral("mrossi"), locale = QStringLiteral("SG01");
        const QVariantMap testa = c.banco->righe(SqlTesta).value(0);
        QCOMPARE(differenze(testa, {{"codcausale", QStringLiteral("REF")}, {"dataregistrazione", Oggi},
                                    {"codlocale", locale}, {"codiceazienda", QStringLiteral("Salagiochi")},
                                    {"idoperatore", utente}, {"chiuso", 0}, {"import", 0}}),
                 QString());
        const QVariant idTesta = testa.value(QStringLiteral("id"));
        QCOMPARE(differenze(c.banco->righe(SqlRighe).value(0),
                            {{"idtesta", idTesta}, {"codarticolo", QStringLiteral("newslot")},
                             {"linkapparecchio", QStringLiteral("5003")}, {"linkscheda", 1003},
                             {"codlocale", locale}, {"dataincasso", Oggi}, {"tipoincasso", 6},
                             {"descrizione", QStringLiteral("C3 - Slot 3 - AAMS3")}, {"riga", 0},
                             {"catapparecchio", QStringLiteral("AWP")}, {"idoperatore", utente}}),
                 QString());
        const QVariantMap log = c.banco->righe(SqlLog).value(0);
        QCOMPARE(differenze(log, {{"operazione", QStringLiteral("Inserimento Refill")}, {"importo1", 12.5},
                                  {"notevarie", QVariant()}, {"idoperatore", utente},
                                  {"descrizione", QStringLiteral("C3 - Slot 3 -  - AAMS3")}}),
                 QString());
        // Cash out of the hall's account, onto the refill account.
        const QList<QVariantMap> contabili = c.banco->righe(SqlContabili + QStringLiteral(" order by riga"));
        for (int i = 0; i < 2; ++i)
            QCOMPARE(differenze(contabili.value(i),
                                {{"idtesta", idTesta}, {"data", Oggi}, {"codlocale", locale}, {"idoperatore", utente},
                                 {"descrizione", i ? QStringLiteral("Carico Hopper(Refill)") : QStringLiteral("Refill Hopper")},
                                 {"codconto", i ? QStringLiteral("C.01.010") : QStringLiteral("C.01.001")}, {"riga", i + 1},
                                 {"dare", i ? 12.5 : 0.0}, {"avere", i ? 0.0 : 12.5}}),
                     QString());

        // Saved again, the machine's row is changed; the log notes the row's refilllocale,
        // which the rest of the suite writes.
        c.banco->host()->Execute(QStringLiteral("update noteincassi set refilllocale = 8"));
        c.recita(QStringLiteral("@2 =C7 S"));
        QCOMPARE(differenze(c.banco->righe(SqlLog + QStringLiteral(" where notevarie is not null")).value(0),
                            {{"operazione", QStringLiteral("Modifica Refill")},
                             {"notevarie", QStringLiteral("Valore precedente =8")}}),
                 QString());
    }

    void guastoAMeta_data() {
        QTest::addColumn<int>("chiamata");     // the call of the save that fails
        QTest::addColumn<bool>("unitaPersa"); // as a storage that has lost the save's unit would
        QTest::newRow("alla testata") << 5 << false;
        QTest::newRow("unità persa alla riga") << 35 << true;
    }

    // A hall of 2 machines, 3 typed on the first, and one call of its save fails: the save
    // shows a box for the failed step, runs every step after it, and the form saves the next
    // machine cleanly. When the storage lost the save's unit, the steps after it do not run
    // (each would only fail in turn): one box says so, nothing is kept, the entry stays open.
    void guastoAMeta() {
        QFETCH(int, chiamata);
        QFETCH(bool, unitaPersa);
        Copione c;
        c.prepara(QStringLiteral("2"));
        HostRegistrato& host = c.registra();
        c.recita(QStringLiteral("@0 =3"));
        if (unitaPersa)
            host.armaPerditaUnita(chiamata);
        else
            host.armaFallimento(chiamata);
        c.form->PremiTasto(QStringLiteral("Salva"));
        host.armaFallimento(0);
        const QString testi = c.box.testi().join(QLatin1Char('|'));
        QVERIFY2(!c.box.boxes().isEmpty(), "no box");
        const RisponditoreBox::Box primo = c.box.boxes().first();
        QVERIFY2(primo.testo.startsWith(unitaPersa ? QStringLiteral("Salvataggio non riuscito: guasto simulato")
                                                   : QStringLiteral("Guasto simulato")),
                 qPrintable(testi));
        QCOMPARE(primo.titolo, QStringLiteral("KaloRefill"));
        if (unitaPersa) {
            QCOMPARE(c.box.testi().size(), 1);
            QCOMPARE(c.banco->conta(SqlTesta) + c.banco->conta(SqlRighe) + c.banco->conta(SqlContabili), 0);
            QCOMPARE(c.banco->conta(SqlLog), 0);
            QCOMPARE(c.form->RefillAperto, qint16(-1));
            return;
        }
        QCOMPARE(primo.icona, QMessageBox::NoIcon);
        // The last step still ran: the total on screen follows the database.
        QVERIFY2(host.sql.last().startsWith(QStringLiteral("SELECT Sum(NoteIncassi.RefillGestore)")), qPrintable(testi));
        c.box.azzera();
        salvaRefill(*c.form, 1, QStringLiteral("4"));
        QVERIFY2(c.box.boxes().isEmpty(), qPrintable(c.box.testi().join(QLatin1Char('|'))));
        QCOMPARE(c.banco->conta(QStringLiteral("select * from noteincassi where linkscheda=1002")), 1);
    }
};

QTEST_MAIN(TestCiclo)
#include "tst_ciclo.moc"
