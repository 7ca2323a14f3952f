// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "form/Etichetta.h"

namespace KaloRefill {

Etichetta::Etichetta(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
}

void Etichetta::setCaption(const QString& caption) {
    // The form writes the same caption again on every save: the label and its accessible
    // name stay as they are.
    if (caption == m_caption && !text().isEmpty())
        return;
    m_caption = caption;
    QString visibile = caption;
    visibile.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    visibile.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    setText(visibile);
    setAccessibleName(visibile.simplified());
}

} // namespace KaloRefill
