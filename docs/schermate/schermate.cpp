// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
// Not a test: the pictures of every window on the screen it runs on (the README's and the
// ones the hall manager is shown), over the demo hall whose refills are all typed on the
// form itself, through its keypad, decreases included. Run under Xvfb:
//
//   xvfb-run -s "-screen 0 1024x768x24" build/bin/schermate CARTELLA
#include "DatabaseHost.h"
#include "DatiDemo.h"
#include "FinestraRicerca.h"
#include "FinestraRiepilogo.h"
#include "entry/StatoModulo.h"
#include "form/Etichetta.h"
#include "form/FrmRefill.h"
#include "form/StileTocco.h"
#include "host/SqlTesti.h"

#include <QApplication>
#include <QDir>
#include <QRandomGenerator>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

using namespace KaloRefill;

namespace {

// Today: the log dates each save by the moment it is made, and the summary counts refills
// from it.
const QDate Lavoro = QDate::currentDate();

void scatta(QWidget& finestra, const QString& file) {
    finestra.show();
    finestra.raise();
    finestra.activateWindow();
    QTest::qWait(400);
    if (!QGuiApplication::primaryScreen()->grabWindow(0).save(file))
        std::fprintf(stderr, "%s non scritto\n", qPrintable(file));
}

// Two weeks of refills typed on the keypad, one save in five taking an amount off.
void salvaDalForm(FrmRefill& form) {
    QRandomGenerator caso(2026);
    form.impostaValoreConferma(0);
    for (QDate giorno = Lavoro.addDays(-13); giorno <= Lavoro; giorno = giorno.addDays(1)) {
        form.impostaDataRegistrazione(giorno);
        form.txtData_Change();
        for (int salvataggio = 0; salvataggio < 12; ++salvataggio) {
            form.CmdApparecchio_Click(int(caso.bounded(16)));
            if (caso.bounded(5) == 0) {
                form.PremiTasto(QStringLiteral("="));
                form.PremiTasto(QStringLiteral("-"));
            }
            for (const QChar c : QString::number(10 * (1 + caso.bounded(30))))
                form.PremiTasto(QString(c));
            form.PremiTasto(QStringLiteral("Salva"));
        }
    }
    form.impostaValoreConferma(1);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    StileTocco::installa();
    const QDir cartella(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    const QSize schermo = QGuiApplication::primaryScreen()->size();
    const QString misura = QStringLiteral("%1x%2").arg(schermo.width()).arg(schermo.height());
    const auto file = [&](const char* nome) {
        return cartella.filePath(QLatin1String(nome) + QLatin1Char('-') + misura +
                                 QStringLiteral(".png"));
    };

    QTemporaryDir temporanea;
    const auto host = DatabaseHost::crea(temporanea.filePath(QStringLiteral("demo.kdb")),
                                         OpzioniHost{Lavoro, QStringLiteral("mario"), {}});
    // The demo hall's machines and accounts; its documents go, the form writes new ones.
    DatiDemo::riempi(*host, Lavoro);
    for (const char* tabella : {"noterighe", "noteincassi", "noteteste", "LogOperazioni"})
        host->Execute(QStringLiteral("delete * from ") + QLatin1String(tabella));
    // The demo hall asks for a PIN at every save; these pictures are of the form as every
    // hall has it (schermate_registro shows the controls).
    host->salvasettaggio(QStringLiteral("Refill"), QStringLiteral("Controlli"), 0);
    StatoModulo::istanza().applicazione = host;

    auto* form = new FrmRefill;
    form->Form_Load();
    salvaDalForm(*form);
    form->impostaDataRegistrazione(Lavoro.addDays(-1));
    form->txtData_Change();
    form->mostra(false);
    scatta(*form, file("refill"));

    const auto lista = [&](const QString& modulo, const QString& titolo, const QString& sql,
                           const QString& campo, const char* nome) {
        ImpostazioniRicerca impostazioni;
        impostazioni.user = host->User();
        impostazioni.modulo = modulo;
        impostazioni.caption = titolo;
        impostazioni.viste = host->OpenRecordSetPreferenze(SqlTesti::viste());
        impostazioni.operatori = host->openrecordset(SqlTesti::operatori());
        impostazioni.recordset = host->openrecordset(sql);
        impostazioni.campoRicerca = campo;
        FinestraRicerca finestra(impostazioni, form);
        scatta(finestra, file(nome));
    };
    lista(QStringLiteral("Refill"), QStringLiteral("Elenco Refill"), SqlTesti::elencoRefill(),
          QStringLiteral("dataregistrazione"), "cerca");
    lista(QStringLiteral("RefillGiorno"), form->LabTotali->caption(),
          SqlTesti::refillDelGiorno(Lavoro.addDays(-1)), QStringLiteral("dataincasso"), "stampa");
    lista(QStringLiteral("RefillGiorno"),
          QStringLiteral("Riepilogo Refill Odierni  -> Nessun refill caricato"),
          SqlTesti::refillDelGiorno(Lavoro.addDays(2)), QStringLiteral("dataincasso"),
          "stampa-vuoto");

    FinestraRiepilogo riepilogo(host);
    riepilogo.impostaPeriodo(Lavoro.addDays(-13), Lavoro);
    scatta(riepilogo, file("riepilogo"));
    form->close();
    delete form;
    StatoModulo::istanza().applicazione.reset();
    return 0;
}
