// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
// Picking a machine opens its entry: the keypad comes alive, the prompt names the machine
// and an amount it already has becomes the first operand of a pending "+".
#include "form/Calcolatrice.h"
#include "form/Colori.h"
#include "form/Etichetta.h"
#include "form/FrmRefill.h"
#include "form/Letture.h"
#include "form/Messaggio.h"
#include "form/Politica.h"
#include "form/PulsanteGrafico.h"
#include "host/Errore.h"

namespace KaloRefill {

void FrmRefill::CmdApparecchio_Click(int indice) {
    Politica::terminaInSilenzio([this, indice] {
        PulsanteGrafico& cliccato = pulsanteApparecchio(indice);
        // A button past the end of the machine list has nothing to refill, but the entry
        // left open is saved or asked about all the same: the click is the operator's.
        const bool senzaApparecchio = cliccato.tag() == QLatin1String("0");

        if (RefillAperto && Letture::letturaIntera(LabValore->caption()) != 0) {
            // The open entry has an amount: save it on its own machine. The clicked machine
            // is not selected; the operator clicks it again.
            PremiTasto(QStringLiteral("salva"));
            return;
        }
        if (RefillAperto) {
            Scelta = Messaggio::mostra(this,
                                       QStringLiteral("Attenzione è gia aperto un refill non salvato su un altro "
                                                      "apparecchio, annullo l'operazione per farla "
                                                      "sull'apparecchio selezionato?"),
                                       Messaggio::SiNo | Messaggio::Esclamativo | Messaggio::SecondoPredefinito,
                                       QStringLiteral("Attenzione!!"));
            if (Scelta.toInt() != Messaggio::Si)
                return;
            PulsanteGrafico& precedente = pulsanteApparecchio(Letture::intero16(Bottone->caption()));
            precedente.setBackColor(precedente.caption().contains(QStringLiteral("€")) ? Colori::ConImporto
                                                                                      : Colori::SenzaImporto);
            if (senzaApparecchio) {
                tornaInAttesa();
                return;
            }
        }
        if (senzaApparecchio)
            return;

        RefillAperto = -1;
        LabOperazione->setCaption(QString());
        LabConto->setCaption(QStringLiteral("0,00"));
        LabConto->hide();
        Scelta = AttivaTastiera(true);
        const QString caption = cliccato.caption();
        LabApparecchio->setCaption(QStringLiteral("Inserire l'importo del refill effettuato") + QLatin1Char('\r') +
                                   QStringLiteral("sull' apparecchio: ") + caption);
        Bottone->setCaption(QString::number(indice));

        const qsizetype posizione = caption.indexOf(QStringLiteral("€"), 0, Qt::CaseInsensitive) + 1;
        if (posizione > 0) {
            // The label ends before the carriage return that precedes the euro sign.
            if (posizione < 2 || caption.size() - posizione - 1 < 0)
                throw Errore::chiamataNonValida();
            testoBottone->setCaption(caption.left(posizione - 2));
            LabConto->show();
            LabOperazione->setCaption(QStringLiteral("+"));
            LabConto->setCaption(caption.right(caption.size() - posizione - 1));
        } else {
            testoBottone->setCaption(caption);
        }
        cliccato.setBackColor(Colori::InInserimento);
    });
}

// The entry is dropped and nothing takes its place: the form waits for a machine, as after
// a save. A new entry on a button without a machine could only fail at saving.
void FrmRefill::tornaInAttesa() {
    RefillAperto = 0;
    LabApparecchio->setCaption(QStringLiteral("Selezionare un apparecchio"));
    Bottone->setCaption(QStringLiteral("0"));
    applicaCalcolatrice([](Calcolatrice& c) { c = Calcolatrice(); });
    Scelta = AttivaTastiera(false);
}

} // namespace KaloRefill
