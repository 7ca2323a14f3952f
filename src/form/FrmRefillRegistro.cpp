// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
// The accountable refills on the form: with the hall's setting on, the working date
// follows the business day and the form opens on the PIN pad.
#include "controlli/ControlliRefill.h"
#include "entry/StatoModulo.h"
#include "form/FrmRefill.h"

#include <QTimer>

namespace KaloRefill {

void FrmRefill::avviaControlli() {
    const HostApplicationPtr originale = StatoModulo::istanza().applicazione;
    if (!originale)
        return;
    const ImpostazioniControlli impostazioni = ImpostazioniControlli::leggi(*originale);
    if (!impostazioni.attivi)
        return;
    m_controlli = std::make_unique<ControlliRefill>(*this, originale, impostazioni);
    // The host's today is the calendar's; before the day's start it is still yesterday.
    const QDate giornata = impostazioni.giornata(QDateTime::currentDateTime());
    if (dataRegistrazione() == QDate::currentDate() && giornata != dataRegistrazione()) {
        impostaDataRegistrazione(giornata);
        txtData_Change();
    }
    if (!m_controlli->accedi(true))
        QTimer::singleShot(0, this, [this] { close(); });
}

} // namespace KaloRefill
