// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
// The document's double-entry accounting: at every save all entries of the header go and
// two are written from the document total, taking it out of the hall's cash account and
// putting it on the refill account, so they always match the machine rows.
#include "../entry/StatoModulo.h"
#include "../host/SqlTesti.h"
#include "ContestoSalvataggio.h"
#include "Etichetta.h"
#include "FrmRefill.h"
#include "Letture.h"

#include <QDateTime>

namespace KaloRefill {

namespace {
struct Movimento {
    const char* descrizione;
    bool totaleInDare;
    const char* ruoloConto; // column of TabAssociazioneConti holding the account code
    qint16 riga;
};

constexpr Movimento Uscita{"Refill Hopper", false, "CassaSalaGiochi", 1};
constexpr Movimento Carico{"Carico Hopper(Refill)", true, "CassaRefill", 2};
} // namespace

std::vector<Politica::Passo> FrmRefill::passiContabili(ContestoSalvataggio& c) {
    std::vector<Politica::Passo> passi{
        [this, &c] { host().Execute(SqlTesti::cancellaRighe(idTesta(c))); },
        [this, &c] { c.rsRighe = host().openrecordset(SqlTesti::righeContabili()); },
    };
    for (const Movimento& m : {Uscita, Carico}) {
        const auto scrivi = [&c](const char* campo, std::function<QVariant()> valore) {
            return [&c, campo, valore] { insieme(c.rsRighe).SetField(QLatin1String(campo), valore()); };
        };
        const auto totale = [&c] { return QVariant::fromValue(c.totaleDocumento); };
        const auto zero = [] { return QVariant(0); };
        passi.insert(passi.end(), {
            [&c] { insieme(c.rsRighe).AddNew(); },
            scrivi("idtesta", [&c] { return insieme(c.rsTesta).Field(QStringLiteral("id")); }),
            scrivi("Data", [this] { return QVariant(dataRegistrazione()); }),
            scrivi("Descrizione", [m] { return QVariant(QLatin1String(m.descrizione)); }),
            scrivi("dare", m.totaleInDare ? std::function<QVariant()>(totale) : zero),
            scrivi("avere", m.totaleInDare ? std::function<QVariant()>(zero) : totale),
            scrivi("codconto",
                   [m] { return insieme(StatoModulo::istanza().rsAssociazioneConti).Field(QLatin1String(m.ruoloConto)); }),
            scrivi("Codlocale", [this] { return CodLocale; }),
            scrivi("iddata", [] { return QVariant(QDateTime::currentDateTime()); }),
            scrivi("idoperatore", [this] { return host().User(); }),
            scrivi("riga", [m] { return QVariant(m.riga); }),
            [&c] { insieme(c.rsRighe).Update(); },
        });
    }
    return passi;
}

void FrmRefill::TotaleGiornata() {
    const RecordsetPtr rsTotale =
        host().openrecordset(SqlTesti::totaleGiorno(Letture::testoPredefinito(CodLocale), dataRegistrazione()));
    if (rsTotale->RecordCount() < 1) {
        LabTotali->setCaption(QStringLiteral("Riepilogo Refill Odierni  -> Nessun refill caricato"));
        return;
    }
    LabTotali->setCaption(QStringLiteral("Totale Refill del ") + Letture::dataBreve(dataRegistrazione()) +
                          QStringLiteral(" -> €  ") +
                          Letture::testoPredefinito(rsTotale->Field(QStringLiteral("SommaDiRefillGestore"))));
}

} // namespace KaloRefill
