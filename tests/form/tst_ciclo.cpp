// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
// The refill cycle on a real temporary database: picking a machine, typing on the keypad
// or the keyboard, saving with its accounting entries, and closing.
#include "Copione.h"
#include "MotoreProva.h"
#include "HostRegistrato.h"

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

    // The date field holds no date the database cannot.
    void dataFuoriIntervallo() {
        auto form = apri();
        for (const QDate& fuori : {QDate(1899, 12, 31), QDate(1, 1, 1)}) {
            form->txtData->setDate(fuori);
            QVERIFY2(form->dataRegistrazione() >= QDate(1900, 1, 1), qPrintable(form->dataRegistrazione().toString()));
        }
    }

    // The operator's steps on a ready hall of 5 machines (see Copione; a step written !x
    // prepares the hall as x), then the boxes seen and what the form shows and the
    // database holds, only what differs from a form waiting for a machine on an empty day.
    void ciclo_data() {
        QTest::addColumn<QString>("passi");
        QTest::addColumn<QString>("stato");
        QTest::addColumn<QStringList>("box");
        const auto riga = [](const char* nome, const char* passi, const char* stato, QStringList box = {}) {
            QTest::newRow(nome) << QString::fromUtf8(passi) << Copione::atteso(QString::fromUtf8(stato)) << box;
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
        riga("registrazione chiusa riaperta", "!chiusa no @0 =3 S",
             "pagina 1V€ 3|2-5A; righe 3; testate aperta; log 1; totale €  3", {chiusa});
        riga("senza associazioni conti", "!senzaconti @0 =6 S",
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
            QTest::newRow(importo) << QStringLiteral("@0 valore=") + QLatin1String(importo) + QStringLiteral(" S")
                                   << aperto1.arg(QLatin1String(importo)) << QStringList{nonSalvabile(importo)};
        QTest::newRow("database danneggiato") << QStringLiteral("danno @0 =5 S") << aperto1.arg(5) + QStringLiteral("; danno ") + danno
                                              << QStringList{dannoBox};
        QTest::newRow("danno, form riaperto") << QStringLiteral("danno chiudi riapri") << QStringLiteral("danno ") + danno
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
        // "Chiudi" stores the ticked choice; with an entry open it asks first.
        riga("chiusura spuntato", "conferma chiudi riapri", "conferma 2");
        riga("chiusura non spuntato", "chiudi riapri", "");
        riga("chiusura con refill aperto, no", "conferma @0 =5 no chiudi",
             "aperto -1; valore 5; tasti sì; pagina 1G|2-5A; inserire C1/Slot 1/; etichetta C1/Slot 1/; conferma 2", {esco});
        riga("chiusura con refill aperto, si", "conferma @0 =5 si chiudi riapri", "", {esco});
        // The keyboard, delivered where a key goes: the focused control or the window.
        riga("cifre, virgola, F12", "@0 [1] [2] [,] [5] [F12]",
             "pagina 1V€ 12,5|2-5A; righe 12.5; testate aperta; log 1; totale €  12,5");
        riga("tastierino e somma", "@0 [Num+7] [Num++] [Num+3] [Num+Enter] [F12]",
             "pagina 1V€ 10|2-5A; righe 10; testate aperta; log 1; totale €  10");
        riga("shift+8 e backspace", "@0 [Shift+8] [8] [Backspace] [Space] [F12]",
             "pagina 1V€ 8|2-5A; righe 8; testate aperta; log 1; totale €  8");
        riga("canc azzera", "@0 [9] [Del]", "aperto -1; tasti sì; pagina 1G|2-5A; inserire C1/Slot 1/; etichetta C1/Slot 1/");
        riga("moltiplica e invio", "@0 [Num+6] [Num+*] [Num+4] [Return]",
             "aperto -1; valore 24; tasti sì; pagina 1G|2-5A; inserire C1/Slot 1/; etichetta C1/Slot 1/");
        riga("senza refill aperto", "[5] [F12]", "");
    }
    void ciclo() {
        QFETCH(QString, passi);
        m_box.reset(); // the scene answers its own boxes
        Copione c;
        QStringList sala, operatore;
        for (const QString& passo : passi.split(u' ', Qt::SkipEmptyParts))
            (passo.startsWith(u'!') ? sala : operatore) << passo.mid(passo.startsWith(u'!') ? 1 : 0);
        c.prepara(sala.join(u' '));
        c.recita(operatore.join(u' '));
        if (QTest::currentTestFailed())
            return;
        QTEST(c.boxes(), "box");
        QTEST(c.stato(), "stato");
        // The header and the two entries, cash out of the hall's account onto the refill
        // account, always hold the sum of the day's rows.
        double somma = 0;
        const QList<QVariantMap> righe = c.banco->righe(SqlRighe);
        for (const QVariantMap& r : righe)
            somma += r.value(QStringLiteral("refillgestore")).toDouble();
        const QList<QVariantMap> contabili = c.banco->righe(SqlContabili + QStringLiteral(" order by riga"));
        QCOMPARE(contabili.size(), righe.isEmpty() ? 0 : 2);
        if (!righe.isEmpty()) {
            QCOMPARE(contabili[0].value(QStringLiteral("avere")).toDouble(), somma);
            QCOMPARE(contabili[1].value(QStringLiteral("dare")).toDouble(), somma);
            QCOMPARE(c.banco->righe(SqlTesta).first().value(QStringLiteral("refillnoleggiatore")).toDouble(), somma);
        }
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

};

QTEST_MAIN(TestCiclo)
#include "tst_ciclo.moc"
