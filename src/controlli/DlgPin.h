// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "controlli/Operatori.h"
#include "kalorefill_export.h"

#include <QDialog>

#include <functional>

class QButtonGroup;
class QLabel;
class QLineEdit;

namespace KaloRefill {

// A touch PIN pad: the operator taps his name, types his PIN on large keys and confirms.
// Used to sign in, to witness a save (with the reason of a decrease when one is asked)
// and to set PINs. Every key is at least 44 × 44 pixels. The check of what was typed is
// the caller's: a refusal is shown in one box and the pad stays open, the PIN cleared.
class KALOREFILL_EXPORT DlgPin : public QDialog {
    Q_OBJECT
public:
    // The reasons a decrease may have; the last one asks for a text.
    static const QStringList& motivi();

    // Gives the refusal's text, empty when accepted.
    using Controllo = std::function<QString(const QString& codice, const QString& pin, const QString& motivo)>;

    DlgPin(QWidget* parent, const QString& titolo, const QString& richiesta, const QList<OperatoreRefill>& operatori,
           Controllo controllo);

    // Shows the reasons of a decrease above the pad.
    void chiediMotivo();
    // Fixes the operator (no choice shown).
    void fissaOperatore(const QString& codice);
    // A button under the pad for something else (its click closes nothing by itself).
    void aggiungiAzione(const QString& nomeOggetto, const QString& testo, std::function<void()> azione);
    // Without "Annulla": the pad can only be left by signing in.
    void senzaAnnulla();

    QString operatore() const { return m_operatore; }
    QString motivo() const;
    QString pin() const;

protected:
    void keyPressEvent(QKeyEvent* evento) override;

private:
    void conferma();
    void tasto(const QString& cifra);

    Controllo m_controllo;
    QString m_operatore;
    QButtonGroup* m_operatori = nullptr;
    QButtonGroup* m_motivi = nullptr;
    QWidget* m_riquadroMotivi = nullptr;
    QLineEdit* m_altro = nullptr;
    QLineEdit* m_pin = nullptr;
    QLabel* m_richiesta = nullptr;
    QWidget* m_azioni = nullptr;
    QWidget* m_annulla = nullptr;
};

} // namespace KaloRefill
