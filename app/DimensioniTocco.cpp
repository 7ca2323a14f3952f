#include "DimensioniTocco.h"

#include <QAbstractButton>
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
