// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "kalorefill_export.h"

#include <QLabel>
#include <QString>

namespace KaloRefill {

// A label whose caption is kept exactly as the form writes it (carriage returns for line
// breaks), shown with each carriage return as a new line, over a transparent background.
class KALOREFILL_EXPORT Etichetta : public QLabel {
    Q_OBJECT
public:
    explicit Etichetta(QWidget* parent = nullptr);

    QString caption() const { return m_caption; }
    void setCaption(const QString& caption);

private:
    QString m_caption;
};

} // namespace KaloRefill
