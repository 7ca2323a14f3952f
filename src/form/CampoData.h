// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "kalorefill_export.h"

#include <QDateEdit>
#include <QFont>
#include <QSize>

namespace KaloRefill {

// The registration date field, from 1900-01-01 to 9999-12-31. Its calendar is only built when the operator is about to
// open it: building it with the form (and the style's arrow pictures it loads) is a good
// part of the start-up, for a popup most sessions never show.
class KALOREFILL_EXPORT CampoData : public QDateEdit {
    Q_OBJECT
public:
    explicit CampoData(QWidget* parent = nullptr);

    // The calendar's least size and font, applied when the calendar is first needed.
    void impostaCalendario(const QSize& minimo, const QFont& carattere);
    // Builds the calendar now with its size and font (the popup does this by itself).
    QCalendarWidget* calendario();

protected:
    void mousePressEvent(QMouseEvent* evento) override;
    void keyPressEvent(QKeyEvent* evento) override;

private:
    QSize m_minimoCalendario;
    QFont m_carattereCalendario;
    bool m_calendarioPronto = false;
};

} // namespace KaloRefill
