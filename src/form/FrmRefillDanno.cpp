// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
// A database the engine found damaged: the form keeps working for looking, says so in a
// banner that stays in view, and refuses to save into it, pointing to the check and to the
// last backup.
#include "entry/StatoModulo.h"
#include "form/FrmRefill.h"
#include "form/Messaggio.h"

#include <QLabel>

namespace KaloRefill {

namespace {
QString cosaFare() {
    return QStringLiteral("Non registrare refill: chiudere il programma ed eseguire \"kalorefill --verifica\"; se il "
                          "danno resta, ripristinare l'ultima copia di sicurezza del database e avvisare l'assistenza.");
}
} // namespace

void FrmRefill::mostraDanno() {
    const QString& problema = StatoModulo::istanza().databaseDanneggiato;
    if (problema.isEmpty())
        return;
    if (!LabDanno) {
        LabDanno = new QLabel(this);
        LabDanno->setObjectName(QStringLiteral("LabDanno"));
        LabDanno->setWordWrap(true);
        LabDanno->setAlignment(Qt::AlignCenter);
        LabDanno->setStyleSheet(QStringLiteral("QLabel { background: rgb(192, 0, 0); color: white; font-weight: bold; "
                                               "padding: 4px; }"));
    }
    LabDanno->setText(problema + QLatin1Char('\n') + cosaFare());
    posizionaDanno();
    LabDanno->show();
    LabDanno->raise();
}

void FrmRefill::posizionaDanno() {
    if (LabDanno)
        LabDanno->setGeometry(0, 0, width(), LabDanno->heightForWidth(width()));
}

bool FrmRefill::databaseIntegro() {
    const QString& problema = StatoModulo::istanza().databaseDanneggiato;
    if (problema.isEmpty())
        return true;
    Messaggio::mostra(this, QStringLiteral("Il refill non è stato salvato: il database è danneggiato.\n\n") + problema +
                                QStringLiteral("\n\n") + cosaFare(),
                      Messaggio::Critico);
    return false;
}

} // namespace KaloRefill
