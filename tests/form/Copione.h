// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

// A scene of the refill form written as text: the hall, the operator's steps, then what the
// form shows and the database holds on one line. The table of tst_ciclo is
// written in it.
//
// The hall (prepara), blank-separated: a number of machines (salaPronta; 5 when none is
// given), "senzalocale" (3 machines, no venue) or "senzaconti" (5 machines, no accounts),
// "fuori" for 4 machines never listed (out of service, other takings), scelta=n for the
// stored save question (0 no, 1 yes, 2 greyed, mai: never stored), "chiusa" for today's
// registration closed; then refill rows as +machine=amount, with @day (of December
// 2026; default the 4th, the working date), /venue (SG01) and /causale (REF) of their
// header, ! for a closed header, ~day for the row's own date. A comma amount is a number;
// a point amount is text, as another program may write it. Saving never asks unless a
// step ticks the box or the hall has a stored choice.
//
// The steps (recita; the form opens at the first step that needs it, or at the end): @n
// clicks machine button n (from 0), =keys types on the keypad (C is "Canc"), S "Salva", [key] a key of the keyboard (QKeySequence text), si/no answer the
// next box, conferma ticks "Conferma salvataggio", spunta clicks it (the states are
// listed as "spunte"), chiudi "Chiudi", riapri opens a new
// form once the old one is closed, ricarica reloads the page, estranea puts another
// program's entry under the day's header, avanti, dietro, opt1/opt2/opt3 the labelling
// (code, name, ADM code), data=day (typed and confirmed), calendario=day (picked),
// valore=text puts an amount on the display directly, danno finds the database damaged.

#include "HostRegistrato.h"
#include "RisponditoreBox.h"
#include "Supporto.h"
#include "entry/Configura.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QKeySequence>
#include <QLabel>
#include <QMap>
#include <QRegularExpression>
#include <QTest>

#include <tuple>

class Copione {
public:
    std::unique_ptr<BancoProva> banco;
    std::unique_ptr<KaloRefill::FrmRefill> form;
    RisponditoreBox box;
    // The recording host between the hall and the form, once registra() put it there.
    std::shared_ptr<HostRegistrato> registrato;

    // Before the form opens: the form will reach the hall through a recording host.
    HostRegistrato& registra() {
        registrato = std::make_shared<HostRegistrato>(pronto().host());
        return *registrato;
    }

    static QDate giorno(const QString& g) { return QDate(2026, 12, g.isEmpty() ? 4 : g.toInt()); }

    // An expected state as the tables write it: "inserire X" for the prompt of an entry
    // open on machine X.
    static QString atteso(QString stato) {
        return stato.replace(
            QStringLiteral("inserire "), QStringLiteral("scelto Inserire l'importo del refill effettuato/sull' apparecchio: "));
    }

    void prepara(const QString& sala) {
        const QRegularExpression formaRiga(
            QStringLiteral("^\\+(\\d+)=([\\d,.]+)(?:@(\\d+))?(?:/(\\w+))?(?:/(\\w+))?(!?)(?:~(\\d+))?$"));
        QMap<QString, qint64> testate;
        for (const QString& voce : sala.split(u' ', Qt::SkipEmptyParts)) {
            if (voce == u"senzalocale" || voce == u"senzaconti") {
                banco = std::make_unique<BancoProva>();
                if (voce == u"senzalocale")
                    banco->aggiungiAssociazioneConti();
                else
                    banco->aggiungiLocale(QStringLiteral("SG01"));
                banco->aggiungiApparecchi(voce == u"senzalocale" ? 3 : 5);
            } else if (voce.at(0).isDigit()) {
                banco = BancoProva::salaPronta(voce.toInt());
            } else if (voce == u"fuori") {
                pronto().aggiungiApparecchi(2, 6, 0, 100); // out of service
                banco->aggiungiApparecchi(2, 1, -1, 200);  // another kind of takings
            } else if (voce.startsWith(QStringLiteral("scelta="))) {
                if (voce != u"scelta=mai")
                    pronto().host()->salvasettaggio(QStringLiteral("Refill"), QStringLiteral("Salvataggio"),
                                                    qint16(voce.section(u'=', 1).toInt()));
                riaperto = true; // the form finds the stored choice, or none
            } else if (voce == u"chiusa") {
                pronto().aggiungiTestata(giorno({}), QStringLiteral("SG01"), true);
            } else {
                const QRegularExpressionMatch m = formaRiga.match(voce);
                QVERIFY2(m.hasMatch(), qPrintable(voce));
                const QString locale = m.captured(4).isEmpty() ? QStringLiteral("SG01") : m.captured(4);
                const QString causale = m.captured(5).isEmpty() ? QStringLiteral("REF") : m.captured(5);
                const QString chiave = m.captured(3) + locale + causale + m.captured(6);
                if (!testate.contains(chiave))
                    testate[chiave] = pronto().aggiungiTestata(giorno(m.captured(3)), locale, !m.captured(6).isEmpty(), causale);
                QString importo = m.captured(2);
                const QVariant valore = importo.contains(u'.') ? QVariant(importo) : QVariant(importo.replace(u',', u'.').toDouble());
                banco->aggiungiRiga(testate[chiave], m.captured(1).toInt(), valore,
                                    giorno(m.captured(7).isEmpty() ? m.captured(3) : m.captured(7)), locale);
            }
        }
    }

    void recita(const QString& passi) {
        for (const QString& passo : passi.split(u' ', Qt::SkipEmptyParts)) {
            if (passo == u"si" || passo == u"no") {
                box.rispondi({passo == u"si" ? RisponditoreBox::Risposta::Si : RisponditoreBox::Risposta::No});
                continue;
            }
            apri();
            if (passo.startsWith(u'@')) {
                form->CmdApparecchio[passo.mid(1).toUInt()]->click();
            } else if (passo.startsWith(u'=')) {
                for (const QChar c : passo.mid(1))
                    form->PremiTasto(c == u'C' ? QStringLiteral("Canc") : QString(c));
            } else if (passo.startsWith(u'[')) {
                const QKeySequence sequenza = QKeySequence::fromString(passo.mid(1).chopped(1));
                QVERIFY2(sequenza.count() == 1, qPrintable(passo));
                // Where the keyboard delivers a key: the focused control, or the window itself.
                QWidget* fuoco = QApplication::focusWidget();
                QTest::keyClick(fuoco && fuoco->window() == form.get() ? fuoco : form.get(), sequenza[0].key(),
                                sequenza[0].keyboardModifiers());
            } else if (passo.startsWith(QStringLiteral("valore="))) {
                form->LabValore->setCaption(passo.section(u'=', 1)); // where the keypad would never put it
            } else if (passo == u"danno") {
                KaloRefill::Configura().segnalaDatabaseDanneggiato(QStringLiteral("Il database prova.db è danneggiato: pagina 7"));
            } else if (passo == u"S") {
                form->CmdSalva->click();
            } else if (passo == u"spunta") {
                if (spunte.isEmpty())
                    spunte << QString::number(int(form->ChkConferma->checkState()));
                form->ChkConferma->click();
                spunte << QString::number(int(form->ChkConferma->checkState()));
            } else if (passo == u"conferma") {
                form->ChkConferma->setCheckState(Qt::Checked);
            } else if (passo == u"chiudi") {
                form->CmdChiudi->click();
            } else if (passo == u"riapri") {
                QVERIFY(!form->isVisible());
                form.reset();
                apri();
            } else if (passo == u"ricarica") {
                form->RicaricaPagina();
            } else if (passo == u"estranea") {
                const KaloRefill::RecordsetPtr estranea = banco->host()->openrecordset(QStringLiteral("select * from noterighe"));
                estranea->AddNew();
                estranea->SetField(QStringLiteral("idtesta"), banco->righe(sqlTesta).first().value(QStringLiteral("id")));
                estranea->SetField(QStringLiteral("Descrizione"), QStringLiteral("altro"));
                estranea->Update();
            } else if (passo == u"avanti" || passo == u"dietro") {
                (passo == u"avanti" ? form->CmdAvanti : form->CmdDietro)->click();
            } else if (passo.startsWith(QStringLiteral("opt"))) {
                (passo == u"opt1" ? form->Opt1 : passo == u"opt2" ? form->Opt2 : form->Opt3)->click();
            } else if (passo.startsWith(QStringLiteral("data="))) {
                form->impostaDataRegistrazione(giorno(passo.section(u'=', 1)));
                form->txtData_Change();
            } else if (passo.startsWith(QStringLiteral("calendario="))) {
                form->txtData->setDate(giorno(passo.section(u'=', 1)));
            } else {
                QFAIL(qPrintable(QStringLiteral("passo sconosciuto: ") + passo));
            }
        }
        apri();
    }

    // Each box seen: title | text | icon | default button | buttons.
    QStringList boxes() const {
        QStringList visti;
        for (const RisponditoreBox::Box& b : box.boxes())
            visti << riassunto(b) + QStringLiteral(" | ") + b.pulsanti.join(u'/');
        return visti;
    }

    // "field value" pairs joined by "; ", leaving out the fields that are as on a form
    // waiting for a machine on an empty day of a hall of 5 machines ("apparecchi": machines
    // listed / pages). The page: each button as its machine's number,
    // colour (Verde, verde Acqua, Giallo) and amount, a-b for a run of plain teal ones, "-"
    // for a button without a machine in the plain button colour.
    QString stato() {
        apri();
        const KaloRefill::FrmRefill& f = *form;
        const auto testo = [](QString t) { return t.replace(u'\r', u'/'); };
        const auto etichetta = [&f](int n) {
            return f.Opt2->isChecked()   ? QStringLiteral("Slot %1\rC%1 AAMS%1\r").arg(n)
                   : f.Opt3->isChecked() ? QStringLiteral("AAMS%1\r").arg(n)
                                         : etichettaCodice(n);
        };
        QStringList pagina, importi, testate;
        int primo = 0, ultimo = 0; // the run of plain teal buttons being gathered
        const auto chiudiSerie = [&] {
            if (primo)
                pagina << (primo == ultimo ? QString::number(primo) : QStringLiteral("%1-%2").arg(primo).arg(ultimo)) + u'A';
            primo = 0;
        };
        for (const KaloRefill::PulsanteGrafico* p : f.CmdApparecchio) {
            const int numero = p->tag().toInt() - 1000;
            const QColor c = p->backColor();
            const QString colore = c == QColor(0, 192, 0)     ? QStringLiteral("V")
                                   : c == QColor(0, 128, 128) ? QStringLiteral("A")
                                   : c == QColor(192, 192, 0) ? QStringLiteral("G")
                                                              : c.name();
            const QString resto = p->caption().startsWith(etichetta(numero))
                                      ? p->caption().mid(etichetta(numero).size()).remove(u'\r')
                                      : u'?' + testo(p->caption());
            if (colore == u"A" && resto.isEmpty() && primo && numero == ultimo + 1) {
                ultimo = numero;
                continue;
            }
            chiudiSerie();
            if (p->tag() == u"0")
                pagina << (c == QApplication::palette().color(QPalette::Button) && p->caption().isEmpty() ? QStringLiteral("-")
                                                                                                         : u'?' + c.name() + p->caption());
            else if (colore == u"A" && resto.isEmpty())
                primo = ultimo = numero;
            else
                pagina << QString::number(numero) + colore + resto;
        }
        chiudiSerie();
        while (!pagina.isEmpty() && pagina.last() == u"-")
            pagina.removeLast();
        for (const QVariantMap& r : banco->righe(QStringLiteral("select * from noteincassi order by id")))
            importi << QString::number(r.value(QStringLiteral("refillgestore")).toDouble());
        for (const QVariantMap& t : banco->righe(sqlTesta))
            testate << (t.value(QStringLiteral("chiuso")).toInt() ? QStringLiteral("chiusa") : QStringLiteral("aperta"));
        const auto acceso = [](bool si) { return si ? QStringLiteral("sì") : QStringLiteral("no"); };
        const QString prefissoTotale = QStringLiteral("Totale Refill del 04/12/2026 -> ");
        const QString totale = f.LabTotali->caption();
        const QRegularExpressionMatch conteggio =
            QRegularExpression(QStringLiteral("^Totale apparecchi  := (\\d+)\rNumero Pagine       := (\\d+)$"))
                .match(f.LabStato->caption());
        const bool tastiera = f.CmdSalva->isEnabled();
        // Each field: its name, what it shows, what it shows on a form waiting for a machine.
        const QList<std::tuple<const char*, QString, const char*>> campi{
            {"apparecchi", conteggio.hasMatch() ? conteggio.captured(1) + u'/' + conteggio.captured(2) : testo(f.LabStato->caption()), "5/1"},
            {"locale", f.CodLocale.toString(), "SG01"},
            {"data", f.dataRegistrazione().toString(QStringLiteral("dd/MM")), "04/12"},
            {"aperto", QString::number(f.RefillAperto), "0"},
            {"valore", f.LabValore->caption(), "0,00"},
            {"bottone", f.Bottone->caption(), "0"},
            {"tasti", tastiera == f.CmdPiu->isEnabled() && tastiera == f.Cmd7->isEnabled() ? acceso(tastiera)
                                                                                             : QStringLiteral("misti"), "no"},
            {"conto", f.LabOperazione->caption() + (f.LabConto->isHidden() ? QString() : f.LabConto->caption()), ""},
            {"pagina", pagina.join(u'|'), "1-5A"},
            {"scelto", testo(f.LabApparecchio->caption()), "Selezionare un apparecchio"},
            {"etichetta", f.RefillAperto ? testo(f.testoBottone->caption()) : QString(), ""}, // kept once closed
            {"righe", importi.join(u'|'), ""},
            {"testate", testate.join(u'|'), ""},
            {"log", QString::number(banco->conta(QStringLiteral("select * from LogOperazioni"))), "0"},
            {"totale", totale.startsWith(prefissoTotale) ? totale.mid(prefissoTotale.size()) : totale,
             "Riepilogo Refill Odierni  -> Nessun refill caricato"},
            {"conferma", QString::number(int(f.ChkConferma->checkState())), "0"},
            {"visibile", acceso(f.isVisible()), "sì"},
            {"danno", f.LabDanno && f.LabDanno->isVisibleTo(&f) ? f.LabDanno->text() : QString(), ""},
            {"spunte", spunte.join(u'|'), ""}};
        QStringList diversi;
        for (const auto& [campo, valore, atteso] : campi)
            if (valore != QString::fromUtf8(atteso))
                diversi << QString::fromLatin1(campo) + u' ' + valore;
        return diversi.join(QStringLiteral("; "));
    }

private:
    bool riaperto = false;
    QStringList spunte; // "Conferma salvataggio" before the first click and after each
    inline static const QString sqlTesta = QStringLiteral("select * from noteteste where codcausale='REF'");

    BancoProva& pronto() {
        if (!banco)
            banco = BancoProva::salaPronta(5);
        return *banco;
    }
    // The form on the hall, shown as the operator sees it; the first one saves without a
    // question, a form opened again finds what the one before stored.
    void apri() {
        if (form)
            return;
        BancoProva& sala = pronto();
        if (!riaperto)
            sala.host()->salvasettaggio(QStringLiteral("Refill"), QStringLiteral("Salvataggio"), 0);
        riaperto = true;
        form = registrato ? apriForm(registrato) : apriForm(sala.host());
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
};
