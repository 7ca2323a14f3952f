// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
// The keypad and the keyboard: every key becomes a token for PremiTasto. The calculator's
// state lives in LabValore, LabConto and LabOperazione; Calcolatrice does the text work.
#include "controlli/ControlliRefill.h"
#include "form/Calcolatrice.h"
#include "form/Colori.h"
#include "form/Etichetta.h"
#include "form/FrmRefill.h"
#include "form/Letture.h"
#include "form/Messaggio.h"
#include "form/Politica.h"
#include "form/PulsanteGrafico.h"
#include "form/TastiLettura.h"
#include "host/Errore.h"

#include <QCheckBox>

#include <cmath>

namespace KaloRefill {

namespace {
Calcolatrice::Stato leggiStato(const Etichetta& valore, const Etichetta& conto, const Etichetta& operazione) {
    return {valore.caption(), conto.caption(), !conto.isHidden(), operazione.caption()};
}
} // namespace

void FrmRefill::applicaCalcolatrice(const std::function<void(Calcolatrice&)>& azione) {
    Calcolatrice calcolatrice(leggiStato(*LabValore, *LabConto, *LabOperazione));
    azione(calcolatrice);
    const Calcolatrice::Stato& stato = calcolatrice.stato();
    LabValore->setCaption(stato.valore);
    LabConto->setCaption(stato.conto);
    LabConto->setVisible(stato.contoVisibile);
    LabOperazione->setCaption(stato.operazione);
}

QVariant FrmRefill::PremiTasto(const QString& tasto) {
    if (tasto.compare(QLatin1String("Salva"), Qt::CaseInsensitive) != 0) {
        Politica::passiConMessaggio(this, {[&] { applicaCalcolatrice([&](Calcolatrice& c) { c.premi(tasto); }); }});
        return {};
    }

    if (!databaseIntegro())
        return {};
    // "Salva": each step stands alone; a failing one is reported and the next one runs.
    bool confermato = true;
    Politica::passiConMessaggio(this, {
        [&] {
            if (valoreConferma() == 1)
                Scelta = Messaggio::mostra(this, QStringLiteral("Confermi il salvataggio?"),
                                           Messaggio::SiNo | Messaggio::Domanda, QStringLiteral("Salvo?"));
            else
                Scelta = Messaggio::Si;
        },
        [&] { confermato = Scelta.toInt() == Messaggio::Si; },
    });
    if (!confermato)
        return {};

    if (RefillAperto) {
        // The keypad's result, read once: the checks, the register and the save use it.
        const std::optional<Valuta> importo = importoDaSalvare();
        if (!importo)
            return {};
        // Accountable refills: the witness and the reason are asked before the unit starts.
        std::optional<ControlliRefill::Autorizzazione> autorizzazione;
        if (m_controlli) {
            Politica::descrizioneETermina(this, [&] { autorizzazione = m_controlli->autorizza(*importo); });
            if (!autorizzazione)
                return {};
        }
        // The whole save is one unit of the host's storage: a crash, a full disk or another
        // workstation's save never leaves it half-written. When the unit fails the form goes
        // back to the open entry, amount included, so "Salva" can simply be pressed again.
        const auto salvaVoce = [&](Politica::Segnalazioni& segnalazioni) {
            if (autorizzazione)
                m_controlli->primaDelSalvataggio(*autorizzazione);
            Politica::passiConMessaggio(segnalazioni, {
                [&] { ConteggiaValori(); },
                [&] { RefillAperto = 0; },
                [&] { LabApparecchio->setCaption(QStringLiteral("Selezionare un apparecchio")); },
                [&] {
                    PulsanteGrafico& pulsante = pulsanteApparecchio(Letture::letturaIntera(Bottone->caption()));
                    if (Letture::letturaIntera(LabValore->caption()) != 0) {
                        pulsante.setCaption(testoBottone->caption() + QLatin1Char('\r') + QStringLiteral("€ ") +
                                            LabValore->caption());
                        pulsante.setBackColor(Colori::ConImporto);
                    } else {
                        pulsante.setCaption(testoBottone->caption());
                        pulsante.setBackColor(Colori::SenzaImporto);
                    }
                },
                [&] { SalvaRefill(segnalazioni, [&] { return *importo; }); },
            });
            // Its register row, in the same unit: a failure drops the whole save.
            if (autorizzazione)
                m_controlli->registra(*autorizzazione);
        };
        if (!Politica::inUnitaDiLavoro(this, host(), salvaVoce, statoVoce()))
            return {};
        if (autorizzazione)
            m_controlli->dopoIlSalvataggio(*autorizzazione);
        Politica::passiConMessaggio(this, {[&] {
            Bottone->setCaption(QStringLiteral("0"));
            LabValore->setCaption(Calcolatrice::Vuoto);
        }});
    }
    Politica::passiConMessaggio(this, {[&] { Scelta = AttivaTastiera(false); }});
    return {};
}

std::optional<Valuta> FrmRefill::importoDaSalvare() {
    // The amount as the save will find it, the pending operation folded in.
    Calcolatrice prova(leggiStato(*LabValore, *LabConto, *LabOperazione));
    prova.conteggiaValori();
    if (const std::optional<Valuta> importo = prova.importo())
        return importo;
    Messaggio::mostra(this,
                      QStringLiteral("L'importo %1 non si può salvare: un importo ha al massimo 15 cifre "
                                     "intere e 4 decimali.\n\nNulla è stato salvato; correggere l'importo "
                                     "e premere di nuovo \"Salva\".")
                          .arg(prova.stato().valore),
                      Messaggio::Esclamativo);
    return std::nullopt;
}

PulsanteGrafico& FrmRefill::pulsanteApparecchio(double indice) {
    const double intero = std::nearbyint(indice);
    if (intero < 0 || intero >= NumeroPulsanti)
        throw Errore::indiceNonValido();
    return *CmdApparecchio[static_cast<std::size_t>(intero)];
}

std::function<void()> FrmRefill::statoVoce() {
    const Calcolatrice::Stato calcolatrice = leggiStato(*LabValore, *LabConto, *LabOperazione);
    const qint16 aperto = RefillAperto;
    const QString apparecchio = LabApparecchio->caption();
    const QString totali = LabTotali->caption();
    const QString bottone = Bottone->caption();
    PulsanteGrafico* pulsante = nullptr;
    Politica::terminaInSilenzio([&] { pulsante = &pulsanteApparecchio(Letture::letturaIntera(bottone)); });
    const QString caption = pulsante ? pulsante->caption() : QString();
    const QColor colore = pulsante ? pulsante->backColor() : QColor();
    return [=, this] {
        applicaCalcolatrice([&](Calcolatrice& c) { c = Calcolatrice(calcolatrice); });
        RefillAperto = aperto;
        LabApparecchio->setCaption(apparecchio);
        LabTotali->setCaption(totali);
        Bottone->setCaption(bottone);
        if (pulsante) {
            pulsante->setCaption(caption);
            pulsante->setBackColor(colore);
        }
    };
}

QVariant FrmRefill::ConteggiaValori() {
    applicaCalcolatrice([](Calcolatrice& c) { c.conteggiaValori(); });
    return {};
}

QVariant FrmRefill::AttivaTastiera(bool valore) {
    for (PulsanteGrafico* tasto : {Cmd7, Cmd8, Cmd9, Cmd4, Cmd5, Cmd6, Cmd1, Cmd2, Cmd3, Cmd0, cmdVirgola, Cmd00,
                                   CmdSalva, CmdAnnulla, CmdDel, CmdCanc, Cmd, CmdPer, CmdMeno, CmdPiu})
        tasto->setEnabled(valore);
    return {};
}

void FrmRefill::Form_KeyUp(int codiceTasto) {
    if (!RefillAperto)
        return;
    for (const QString& token : TastiLettura::tokenPerCodice(codiceTasto))
        PremiTasto(token);
}

void FrmRefill::Form_KeyPress(int carattere) {
    if (RefillAperto && carattere == 13)
        PremiTasto(QStringLiteral("="));
}

} // namespace KaloRefill
