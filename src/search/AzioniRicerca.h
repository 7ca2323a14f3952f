// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include <QString>
#include <QVariant>
#include <QtPlugin>

#include <functional>

namespace KaloRefill {

// What a search component may offer beyond its contract: a button of its own under the
// list, for something done on the selected row while the list stays open. A component
// without it is used as it always was; the caller asks for it with qobject_cast.
class AzioniRicerca {
public:
    virtual ~AzioniRicerca() = default;

    // A button (objectName `nomeOggetto`, caption `testo`) enabled while a row is
    // selected; a click hands `azione` the selected row's value of `campo`.
    virtual void aggiungiAzione(const QString& nomeOggetto, const QString& testo, const QString& campo,
                                std::function<void(const QVariant&)> azione) = 0;
};

} // namespace KaloRefill

#define KaloRefill_AzioniRicerca_iid "it.kalovia.KaloviaRicerca.Azioni/1.0"
Q_DECLARE_INTERFACE(KaloRefill::AzioniRicerca, KaloRefill_AzioniRicerca_iid)
