// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
// Closing, and the two buttons that hand work to the search-and-report component.
#include "controlli/ControlliRefill.h"
#include "form/Etichetta.h"
#include "form/FrmRefill.h"
#include "form/Messaggio.h"
#include "form/Politica.h"
#include "search/RicercaRefill.h"

#include <QCheckBox>

namespace KaloRefill {

void FrmRefill::CmdChiudi_Click() {
    if (RefillAperto != -1) {
        // The save-confirmation choice is carried to the next opening only by this close.
        host().salvasettaggio(QStringLiteral("Refill"), QStringLiteral("Salvataggio"),
                              valoreConferma());
        close();
        return;
    }
    Scelta = Messaggio::mostra(this,
                               QStringLiteral("Attenzione è aperto un refill non salvato su un apparecchio, "
                                              "esco dal programma senza salvare?"),
                               Messaggio::SiNo | Messaggio::Esclamativo | Messaggio::SecondoPredefinito,
                               QStringLiteral("Attenzione!!"));
    if (Scelta.toInt() == Messaggio::Si) {
        RefillAperto = 0;
        close();
    }
}

// The search functions report their own failures; the outer policy only catches a form
// with no host to hand them.
void FrmRefill::CmdTrova_Click() {
    Politica::numeroEDescrizioneETermina(this, [this] {
        const auto apriData = [this](const QDate& data) {
            impostaDataRegistrazione(data);
            txtData_Change();
        };
        // With the hall's controls on, the list is of numbered slips, which can be reprinted.
        if (m_controlli)
            RicercaRefill::cercaBuoni(this, host(), apriData, [this](qint64 id) { m_controlli->ristampa(id); });
        else
            RicercaRefill::cerca(this, host(), apriData);
    });
}

void FrmRefill::CmdStampa_Click() {
    Politica::numeroEDescrizioneETermina(this, [this] {
        RicercaRefill::stampaGiorno(this, host(), dataRegistrazione(), LabTotali->caption());
    });
}

} // namespace KaloRefill
