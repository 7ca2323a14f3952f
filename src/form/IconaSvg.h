// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include <QIconEngine>

#include <memory>

class QSvgRenderer;

namespace KaloRefill {

// One of the form's SVG pictures as an icon, drawn by Qt Svg at whatever size it is painted.
// The picture is read once and rendered straight from the parsed document; Qt's own SVG icon
// engine would first be looked for among the icon plugins, keep the file compressed and read
// it again for every size, which the form paid for at every start.
class IconaSvg final : public QIconEngine {
public:
    explicit IconaSvg(const QString& percorso);

    static QIcon icona(const QString& percorso);

    void paint(QPainter* pittore, const QRect& rettangolo, QIcon::Mode modo,
               QIcon::State stato) override;
    QSize actualSize(const QSize& dimensione, QIcon::Mode modo, QIcon::State stato) override;
    QPixmap pixmap(const QSize& dimensione, QIcon::Mode modo, QIcon::State stato) override;
    QIconEngine* clone() const override;
    QString key() const override;
    bool isNull() override;

private:
    IconaSvg(const IconaSvg&) = default;

    QString m_percorso;
    // Shared by the copies Qt makes of the icon; the document is never changed.
    std::shared_ptr<QSvgRenderer> m_documento;
};

} // namespace KaloRefill
