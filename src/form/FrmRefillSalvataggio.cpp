// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
// Saving one machine's amount into the day's refill document (the header, a log row, the
// machine row, the header's day total and the accounting entries, written by
// DocumentoRefill), then the day's total on screen. Every step stands alone: a failing one
// is reported and the next one runs. Pressing "Salva" runs all of it inside one unit of
// work of the host when the host offers units: a unit lost on the way (a crash, a full
// disk, a lock not obtained) then keeps nothing of the save and stops its remaining steps.
#include "documento/DocumentoRefill.h"
#include "entry/StatoModulo.h"
#include "form/Etichetta.h"
#include "form/FrmRefill.h"
#include "form/Letture.h"
#include "form/Politica.h"
#include "form/PulsanteGrafico.h"
#include "host/Errore.h"
#include "host/SqlTesti.h"

namespace KaloRefill {

PulsanteGrafico& FrmRefill::pulsanteSelezionato() {
    return pulsanteApparecchio(Letture::intero16(Bottone->caption()));
}

void FrmRefill::SalvaRefill() {
    Politica::Segnalazioni subito(this);
    SalvaRefill(subito, [this] {
        const std::optional<Valuta> importo = Valuta::daTestoEsatto(LabValore->caption());
        if (!importo)
            throw Errore::tipoNonCorrispondente();
        return *importo;
    });
}

void FrmRefill::SalvaRefill(Politica::Segnalazioni& segnalazioni, const std::function<Valuta()>& importo) {
    DocumentoRefill::Voce voce;
    voce.data = [this] { return dataRegistrazione(); };
    voce.codLocale = [this] { return CodLocale; };
    voce.idScheda = [this] { return pulsanteSelezionato().tag(); };
    voce.importoMostrato = [this] { return LabValore->caption(); };
    voce.importo = importo;
    voce.conto = [](const char* ruolo) {
        const RecordsetPtr& associazioni = StatoModulo::istanza().rsAssociazioneConti;
        if (!associazioni)
            throw Errore::oggettoNonImpostato();
        return associazioni->Field(QLatin1String(ruolo));
    };
    std::vector<Politica::Passo> passi = DocumentoRefill(host()).passiSalvataggio(voce);
    passi.emplace_back([this] { TotaleGiornata(); });
    Politica::passiConMessaggio(segnalazioni, passi);
}

void FrmRefill::TotaleGiornata() {
    const RecordsetPtr rsTotale = host().openrecordset(
        SqlTesti::totaleGiorno(Letture::testoPredefinito(CodLocale), dataRegistrazione()));
    if (rsTotale->RecordCount() < 1) {
        LabTotali->setCaption(
            QStringLiteral("Riepilogo Refill Odierni  -> Nessun refill caricato"));
        return;
    }
    LabTotali->setCaption(
        QStringLiteral("Totale Refill del ") + Letture::dataBreve(dataRegistrazione()) +
        QStringLiteral(" -> €  ") +
        Letture::testoPredefinito(rsTotale->Field(QStringLiteral("SommaDiRefillGestore"))));
}

} // namespace KaloRefill
