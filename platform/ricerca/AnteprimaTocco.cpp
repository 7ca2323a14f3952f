// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "AnteprimaTocco.h"

#include "form/DimensioneFinestra.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

namespace KaloRefill::AnteprimaTocco {

void mostra(QPrinter& stampante, QWidget* genitore, const QString& titolo,
            const std::function<void(QPrinter*)>& disegna) {
    QPrintPreviewDialog finestra(&stampante, genitore);
    finestra.setObjectName(QStringLiteral("finestraAnteprima"));
    finestra.setWindowTitle(titolo);
    QObject::connect(&finestra, &QPrintPreviewDialog::paintRequested, &finestra,
                     [&disegna](QPrinter* p) { disegna(p); });
    if (auto* barra = finestra.findChild<QToolBar*>()) {
        barra->addSeparator();
        QAction* chiudi = barra->addAction(
            finestra.style()->standardIcon(QStyle::SP_DialogCloseButton), QStringLiteral("Chiudi"));
        chiudi->setObjectName(QStringLiteral("azioneChiudiAnteprima"));
        QObject::connect(chiudi, &QAction::triggered, &finestra, &QDialog::reject);
        if (auto* pulsante = qobject_cast<QToolButton*>(barra->widgetForAction(chiudi))) {
            pulsante->setObjectName(QStringLiteral("pulsanteChiudiAnteprima"));
            pulsante->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        }
    }
    // Qt's fields for the page and the zoom carry no name a screen reader could say.
    for (QLineEdit* campo : finestra.findChildren<QLineEdit*>())
        if (campo->accessibleName().isEmpty())
            campo->setAccessibleName(qobject_cast<QComboBox*>(campo->parentWidget())
                                         ? QStringLiteral("Ingrandimento")
                                         : QStringLiteral("Pagina"));
    DimensioneFinestra::adatta(&finestra, QSize(1000, 760));
    finestra.exec();
}

} // namespace KaloRefill::AnteprimaTocco
