// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "DimensioniTocco.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QTabBar>
#include <QTableWidget>
#include <QWidget>

namespace KaloRefill {

void DimensioniTocco::applica(QWidget* finestra) {
    QFont carattere = finestra->font();
    carattere.setPointSize(13);
    finestra->setFont(carattere);
    for (QWidget* w : finestra->findChildren<QWidget*>()) {
        // A box's own field and a table's corner button are sized by their owner: forced
        // taller, the field is cut by its box and the corner button covers the headings.
        const QWidget* padre = w->parentWidget();
        if (qobject_cast<const QAbstractSpinBox*>(padre) || qobject_cast<const QComboBox*>(padre) ||
            qobject_cast<const QAbstractItemView*>(padre))
            continue;
        if (qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
            qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractSpinBox*>(w)) {
            w->setMinimumHeight(latoMinimo);
            w->setMinimumWidth(std::max(w->minimumWidth(), latoMinimo));
        }
        if (auto* tabella = qobject_cast<QTableWidget*>(w))
            tabella->verticalHeader()->setDefaultSectionSize(latoMinimo);
        if (auto* schede = qobject_cast<QTabBar*>(w))
            schede->setStyleSheet(QStringLiteral("QTabBar::tab { min-height: %1px; padding: 0 24px; }")
                                      .arg(latoMinimo));
    }
}

} // namespace KaloRefill
