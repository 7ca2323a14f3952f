// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "RigaFluida.h"

#include <QWidget>

#include <algorithm>

namespace KaloRefill {

RigaFluida::RigaFluida(int spazio, QWidget* genitore) : QLayout(genitore), m_spazio(spazio) {
    setContentsMargins(0, 0, 0, 0);
}

RigaFluida::~RigaFluida() {
    while (QLayoutItem* elemento = takeAt(0))
        delete elemento;
}

void RigaFluida::addItem(QLayoutItem* elemento) {
    m_elementi.append(elemento);
}

QLayoutItem* RigaFluida::takeAt(int indice) {
    return indice >= 0 && indice < m_elementi.size() ? m_elementi.takeAt(indice) : nullptr;
}

int RigaFluida::heightForWidth(int larghezza) const {
    return disponi(QRect(0, 0, larghezza, 0), true);
}

QSize RigaFluida::minimumSize() const {
    QSize minimo;
    for (const QLayoutItem* elemento : m_elementi)
        minimo = minimo.expandedTo(elemento->minimumSize());
    const QMargins m = contentsMargins();
    return minimo + QSize(m.left() + m.right(), m.top() + m.bottom());
}

QSize RigaFluida::sizeHint() const {
    int larghezza = 0;
    int altezza = 0;
    for (const QLayoutItem* elemento : m_elementi) {
        if (elemento->isEmpty())
            continue;
        larghezza += elemento->sizeHint().width() + (larghezza > 0 ? m_spazio : 0);
        altezza = std::max(altezza, elemento->sizeHint().height());
    }
    return {larghezza, altezza};
}

void RigaFluida::setGeometry(const QRect& area) {
    QLayout::setGeometry(area);
    disponi(area, false);
}

int RigaFluida::disponi(const QRect& area, bool soloMisura) const {
    const QRect utile = area.marginsRemoved(contentsMargins());
    int x = utile.x();
    int y = utile.y();
    int altezzaRiga = 0;
    for (QLayoutItem* elemento : m_elementi) {
        if (elemento->isEmpty())
            continue;
        const QSize misura = elemento->sizeHint().boundedTo(QSize(utile.width(), QWIDGETSIZE_MAX));
        if (x > utile.x() && x + misura.width() > utile.right() + 1) {
            x = utile.x();
            y += altezzaRiga + m_spazio;
            altezzaRiga = 0;
        }
        if (!soloMisura)
            elemento->setGeometry(QRect(QPoint(x, y), misura));
        x += misura.width() + m_spazio;
        altezzaRiga = std::max(altezzaRiga, misura.height());
    }
    return y + altezzaRiga - utile.y() + contentsMargins().top() + contentsMargins().bottom();
}

} // namespace KaloRefill
