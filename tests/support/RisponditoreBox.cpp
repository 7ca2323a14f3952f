// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "RisponditoreBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>

RisponditoreBox::RisponditoreBox() {
    m_timer.setInterval(5);
    connect(&m_timer, &QTimer::timeout, this, &RisponditoreBox::controlla);
    m_timer.start();
}

void RisponditoreBox::rispondi(std::initializer_list<Risposta> risposte) {
    m_risposte.insert(m_risposte.end(), risposte.begin(), risposte.end());
}

QStringList RisponditoreBox::testi() const {
    QStringList risultato;
    for (const Box& box : m_boxes)
        risultato << box.testo;
    return risultato;
}

void RisponditoreBox::azzera() {
    m_boxes.clear();
    m_risposte.clear();
}

void RisponditoreBox::controlla() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible() || box->property("risposto").toBool())
        return;
    box->setProperty("risposto", true);

    Box visto;
    visto.testo = box->text();
    visto.titolo = box->windowTitle();
    visto.icona = box->icon();
    for (QAbstractButton* pulsante : box->buttons())
        visto.pulsanti << pulsante->text().remove(QLatin1Char('&'));
    if (box->defaultButton())
        visto.predefinito = box->defaultButton()->text().remove(QLatin1Char('&'));
    m_boxes << visto;

    const Risposta risposta = m_risposte.empty() ? Risposta::Predefinita : m_risposte.front();
    if (!m_risposte.empty())
        m_risposte.pop_front();
    // The button of that text (the default one when none was asked), else the first.
    const QString testo = risposta == Risposta::Si   ? QStringLiteral("Sì")
                          : risposta == Risposta::No ? QStringLiteral("No")
                          : risposta == Risposta::Ok ? QStringLiteral("OK")
                                                     : QString();
    QAbstractButton* daPremere = testo.isEmpty() ? box->defaultButton() : nullptr;
    for (QAbstractButton* pulsante : box->buttons())
        if (!testo.isEmpty() && pulsante->text().remove(QLatin1Char('&')) == testo)
            daPremere = pulsante;
    if (!daPremere)
        daPremere = box->buttons().value(0);
    // Pressed from the event loop, after exec() has started.
    QTimer::singleShot(0, daPremere, &QAbstractButton::click);
}
