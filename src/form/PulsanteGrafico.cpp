#include "PulsanteGrafico.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>
#include <QStyleOptionButton>
#include <QTextLayout>
#include <QTextOption>

namespace KaloRefill {

namespace {
QString testoVisibile(QString caption) {
    caption.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    caption.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return caption;
}

QColor testoSu(const QColor& sfondo) {
    // Dark text on light backgrounds, white on dark ones, so every caption stays legible.
    return sfondo.lightnessF() > 0.55 ? QColor(Qt::black) : QColor(Qt::white);
}

// Below this the caption is cut rather than shrunk further.
constexpr qreal PuntiMinimi = 8;

// Lays the text out at the area's width and gives its height. False when a line is wider
// than the area (a word that could not be broken) or the lines are taller than it.
bool componi(QTextLayout& layout, int larghezza, int altezzaArea, QTextOption::WrapMode modo,
             qreal& altezza) {
    QTextOption opzioni(Qt::AlignHCenter);
    opzioni.setWrapMode(modo);
    layout.setTextOption(opzioni);
    altezza = 0;
    bool entra = true;
    layout.beginLayout();
    for (QTextLine riga = layout.createLine(); riga.isValid(); riga = layout.createLine()) {
        riga.setLineWidth(larghezza);
        riga.setPosition(QPointF(0, altezza));
        altezza += riga.height();
        entra = entra && riga.naturalTextWidth() <= larghezza;
    }
    layout.endLayout();
    return entra && altezza <= altezzaArea;
}

// The caption in the area: a line per carriage return, words wrapped at the button's width.
// When it does not fit, in this order: smaller type; a word longer than the width broken
// inside; at the smallest size, the lines cut at the bottom. Nothing runs out sideways,
// the amount on the last line stays readable as long as possible and the machine's code
// on the first line always stays in view.
void disegnaCaption(QPainter& p, const QRect& area, QString testo) {
    testo.replace(QLatin1Char('\n'), QChar::LineSeparator);
    QFont font = p.font();
    const qreal piena = font.pointSizeF();
    qreal altezza = 0;
    for (const QTextOption::WrapMode modo :
         {QTextOption::WordWrap, QTextOption::WrapAtWordBoundaryOrAnywhere}) {
        for (qreal punti = piena; punti >= PuntiMinimi; punti -= 1) {
            font.setPointSizeF(punti);
            QTextLayout layout(testo, font, p.device());
            if (componi(layout, area.width(), area.height(), modo, altezza)) {
                layout.draw(&p, QPointF(area.left(), area.top() + (area.height() - altezza) / 2));
                return;
            }
        }
    }
    if (piena > 0)
        font.setPointSizeF(qMin(piena, PuntiMinimi));
    QTextLayout layout(testo, font, p.device());
    componi(layout, area.width(), area.height(), QTextOption::WrapAtWordBoundaryOrAnywhere,
            altezza);
    layout.draw(&p, QPointF(area.left(), area.top()));
}
} // namespace

PulsanteGrafico::PulsanteGrafico(QWidget* parent) : QAbstractButton(parent) {
    setBackColorSistema();
    setFocusPolicy(Qt::StrongFocus);
}

void PulsanteGrafico::setCaption(const QString& caption) {
    m_caption = caption;
    setText(testoVisibile(caption));
    aggiornaNomeAccessibile();
    update();
}

void PulsanteGrafico::setNomeAccessibile(const QString& nome) {
    m_nomeAccessibile = nome;
    aggiornaNomeAccessibile();
}

void PulsanteGrafico::setRuoloAccessibile(const QString& ruolo) {
    m_ruolo = ruolo;
    setAccessibleDescription(ruolo);
    aggiornaNomeAccessibile();
}

void PulsanteGrafico::aggiornaNomeAccessibile() {
    if (!m_nomeAccessibile.isEmpty())
        setAccessibleName(m_nomeAccessibile);
    else if (!text().trimmed().isEmpty())
        setAccessibleName(text().simplified());
    else
        setAccessibleName(m_ruolo);
}

void PulsanteGrafico::setBackColor(const QColor& colore) {
    m_backColor = colore;
    update();
}

void PulsanteGrafico::setBackColorSistema() {
    setBackColor(QApplication::palette().color(QPalette::Button));
}

void PulsanteGrafico::setPicture(const QIcon& picture, const QSize& dimensione) {
    setIcon(picture);
    m_dimensionePicture = dimensione;
    setIconSize(dimensione);
    update();
}

QSize PulsanteGrafico::sizeHint() const {
    return {85, 85};
}

void PulsanteGrafico::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QRectF area = QRectF(rect()).adjusted(1, 1, -1, -1);

    QColor sfondo = m_backColor;
    if (isDown() || isChecked())
        sfondo = sfondo.darker(125);
    if (!isEnabled())
        sfondo = sfondo.lighter(115);
    p.setPen(QPen(sfondo.darker(160), isChecked() ? 3 : 1));
    p.setBrush(sfondo);
    p.drawRoundedRect(area, 6, 6);
    if (hasFocus()) {
        p.setPen(QPen(testoSu(sfondo), 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(area.adjusted(3, 3, -3, -3), 4, 4);
    }

    QRect contenuto = rect().adjusted(4, 4, -4, -4);
    p.setFont(font());
    if (!icon().isNull() && !m_dimensionePicture.isEmpty()) {
        // The picture gives way to one line of caption: on a small button (Chiudi) it
        // shrinks rather than pushing the caption out.
        const int altezzaTesto = text().isEmpty() ? 0 : p.fontMetrics().height() + 2;
        const QSize spazio(contenuto.width(), contenuto.height() - altezzaTesto);
        QSize lato = m_dimensionePicture;
        if (lato.width() > spazio.width() || lato.height() > spazio.height())
            lato = lato.scaled(spazio.expandedTo(QSize(0, 0)), Qt::KeepAspectRatio);
        if (!lato.isEmpty()) {
            const int alto =
                contenuto.top() + qMax(0, (contenuto.height() - lato.height() - altezzaTesto) / 2);
            const QRect zonaIcona(contenuto.left() + (contenuto.width() - lato.width()) / 2, alto,
                                  lato.width(), lato.height());
            icon().paint(&p, zonaIcona, Qt::AlignCenter,
                         isEnabled() ? QIcon::Normal : QIcon::Disabled);
            contenuto.setTop(zonaIcona.bottom() + 2);
        }
    }

    if (text().isEmpty())
        return;
    QColor inchiostro = testoSu(sfondo);
    if (!isEnabled())
        inchiostro.setAlphaF(0.45);
    p.setPen(inchiostro);
    p.setClipRect(contenuto);
    disegnaCaption(p, contenuto, text());
}

} // namespace KaloRefill
