// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "form/CampoData.h"

#include <QCalendarWidget>

namespace KaloRefill {

CampoData::CampoData(QWidget* parent) : QDateEdit(parent) {
    // Only the dates the suite's database holds: the field's own least date is 1752.
    setDateRange(QDate(1900, 1, 1), QDate(9999, 12, 31));
}

void CampoData::impostaCalendario(const QSize& minimo, const QFont& carattere) {
    m_minimoCalendario = minimo;
    m_carattereCalendario = carattere;
    m_calendarioPronto = false;
}

QCalendarWidget* CampoData::calendario() {
    QCalendarWidget* calendario = calendarWidget();
    if (!m_calendarioPronto) {
        m_calendarioPronto = true;
        calendario->setMinimumSize(m_minimoCalendario);
        calendario->setFont(m_carattereCalendario);
    }
    return calendario;
}

// The popup opens from a click on the arrow or from a key (F4, Alt+Down): the calendar is
// made ready just before the field handles either.
void CampoData::mousePressEvent(QMouseEvent* evento) {
    if (calendarPopup())
        calendario();
    QDateEdit::mousePressEvent(evento);
}

void CampoData::keyPressEvent(QKeyEvent* evento) {
    if (calendarPopup())
        calendario();
    QDateEdit::keyPressEvent(evento);
}

} // namespace KaloRefill
