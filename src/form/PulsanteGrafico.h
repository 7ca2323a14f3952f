// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "kalorefill_export.h"

#include <QAbstractButton>
#include <QColor>
#include <QIcon>
#include <QSize>
#include <QString>

namespace KaloRefill {

// A command or option button in the graphical style: its own background colour, an
// optional picture above the caption, and a caption that wraps inside the button.
// The caption is kept as the form writes it, with carriage returns for line breaks;
// the button shows each carriage return as a new line.
class KALOREFILL_EXPORT PulsanteGrafico : public QAbstractButton {
    Q_OBJECT
public:
    // Between the button's edge and its picture and caption, in pixels.
    static constexpr int Margine = 4;

    explicit PulsanteGrafico(QWidget* parent = nullptr);

    QString caption() const { return m_caption; }
    void setCaption(const QString& caption);

    QString tag() const { return m_tag; }
    void setTag(const QString& tag) { m_tag = tag; }

    QColor backColor() const { return m_backColor; }
    void setBackColor(const QColor& colore);
    // The system button-face colour, for a button that shows no machine.
    void setBackColorSistema();

    void setPicture(const QIcon& picture, const QSize& dimensione);

    // What a screen reader announces. A fixed name (keys shown as symbols, buttons with
    // only a picture) is never replaced by the caption.
    void setNomeAccessibile(const QString& nome);
    // The button's role ("Apparecchio 3"): its accessible description, and its name while
    // the caption is empty, so a button without a machine is not announced as nothing.
    void setRuoloAccessibile(const QString& ruolo);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* evento) override;

private:
    void aggiornaNomeAccessibile();

    QString m_caption;
    QString m_nomeAccessibile;
    QString m_ruolo;
    QString m_tag;
    QColor m_backColor;
    QSize m_dimensionePicture;
};

} // namespace KaloRefill
