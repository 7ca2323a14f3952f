// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "form/IconaSvg.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPixmapCache>
#include <QStyle>
#include <QStyleOption>
#include <QSvgRenderer>

namespace KaloRefill {

IconaSvg::IconaSvg(const QString& percorso)
    : m_percorso(percorso), m_documento(std::make_shared<QSvgRenderer>(percorso)) {}

QIcon IconaSvg::icona(const QString& percorso) {
    return QIcon(new IconaSvg(percorso));
}

QIconEngine* IconaSvg::clone() const {
    return new IconaSvg(*this);
}

QString IconaSvg::key() const {
    return QStringLiteral("KaloRefill::IconaSvg");
}

bool IconaSvg::isNull() {
    return !m_documento->isValid();
}

// The picture keeps its proportions inside the size asked for.
QSize IconaSvg::actualSize(const QSize& dimensione, QIcon::Mode, QIcon::State) {
    if (!m_documento->isValid())
        return {};
    QSize lato = m_documento->defaultSize();
    if (!lato.isNull())
        lato.scale(dimensione, Qt::KeepAspectRatio);
    return lato;
}

QPixmap IconaSvg::pixmap(const QSize& dimensione, QIcon::Mode modo, QIcon::State stato) {
    const QSize lato = actualSize(dimensione, modo, stato);
    if (lato.isEmpty())
        return {};
    const QString chiave = QStringLiteral("kalorefill_svg:%1:%2x%3:%4")
                               .arg(m_percorso)
                               .arg(lato.width())
                               .arg(lato.height())
                               .arg(int(modo));
    QPixmap risultato;
    if (QPixmapCache::find(chiave, &risultato))
        return risultato;
    QImage immagine(lato, QImage::Format_ARGB32_Premultiplied);
    immagine.fill(Qt::transparent);
    {
        QPainter pittore(&immagine);
        m_documento->render(&pittore);
    }
    risultato = QPixmap::fromImage(immagine);
    // Greyed (or otherwise marked) the way the style marks any other icon.
    if (modo != QIcon::Normal && qobject_cast<QApplication*>(QCoreApplication::instance())) {
        QStyleOption opzione;
        opzione.palette = QGuiApplication::palette();
        const QPixmap generata =
            QApplication::style()->generatedIconPixmap(modo, risultato, &opzione);
        if (!generata.isNull())
            risultato = generata;
    }
    QPixmapCache::insert(chiave, risultato);
    return risultato;
}

void IconaSvg::paint(QPainter* pittore, const QRect& rettangolo, QIcon::Mode modo,
                     QIcon::State stato) {
    QSize lato = rettangolo.size();
    if (pittore->device())
        lato *= pittore->device()->devicePixelRatio();
    pittore->drawPixmap(rettangolo, pixmap(lato, modo, stato));
}

} // namespace KaloRefill
