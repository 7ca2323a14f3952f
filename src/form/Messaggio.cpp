// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "form/Messaggio.h"

#include <QMessageBox>
#include <QPushButton>

namespace KaloRefill::Messaggio {

QString titoloPredefinito() { return QStringLiteral("KaloRefill"); }

int mostra(QWidget* parent, const QString& testo, int stile, const QString& titolo) {
    QMessageBox box(parent);
    box.setWindowTitle(titolo.isEmpty() ? titoloPredefinito() : titolo);
    box.setText(QString(testo).replace(QLatin1Char('\r'), QLatin1Char('\n')));
    switch (stile & 0x70) {
    case Critico: box.setIcon(QMessageBox::Critical); break;
    case Domanda: box.setIcon(QMessageBox::Question); break;
    case Esclamativo: box.setIcon(QMessageBox::Warning); break;
    case Informazione: box.setIcon(QMessageBox::Information); break;
    default: box.setIcon(QMessageBox::NoIcon); break;
    }
    const bool secondoPredefinito = (stile & SecondoPredefinito) != 0;
    if ((stile & 0x7) == SiNo) {
        QPushButton* si = box.addButton(QStringLiteral("&Sì"), QMessageBox::YesRole);
        QPushButton* no = box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
        box.setDefaultButton(secondoPredefinito ? no : si);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == si ? Si : No;
    }
    QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
    return Ok;
}

} // namespace KaloRefill::Messaggio
