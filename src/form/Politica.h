// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "kalorefill_export.h"

#include <QString>

#include <functional>
#include <vector>

class QWidget;

namespace KaloRefill {

class Errore;
class HostApplication;
class UnitaDiLavoro;

// How an operation of the form reacts to a failure. Every handler states its policy by
// running its work through one of these; no exception ever reaches the event loop.
namespace Politica {

using Passo = std::function<void()>;

// Where the boxes of an operation's steps go. Outside a unit of work each is shown at once;
// inside one they are kept, in order, and shown when the unit has ended (kept or dropped),
// so that no box waits for an answer while the unit holds the database's write lock. Inside
// a unit a unit that cannot go on also ends the steps at once instead of failing every
// later step in turn.
class KALOREFILL_EXPORT Segnalazioni {
public:
    explicit Segnalazioni(QWidget* parent, bool inUnita = false) : m_parent(parent), m_inUnita(inUnita) {}
    Segnalazioni(const Segnalazioni&) = delete;
    Segnalazioni& operator=(const Segnalazioni&) = delete;

    QWidget* parent() const { return m_parent; }
    bool inUnita() const { return m_inUnita; }
    // A box with OK only: shown now, or kept until the unit has ended.
    void segnala(const QString& testo, int stile = 0);
    // The unit whose steps may have their writes sent late; null when none.
    void segui(UnitaDiLavoro* unita) { m_unita = unita; }
    // The failures of the unit's writes sent late, kept as boxes of their own.
    void raccogliScritture();
    // While steps run (nested runs too), the unit holds their writes back; at the end of
    // the outermost run they are sent and their failures kept, before anything that
    // follows the steps writes at once again.
    class Ritardo {
    public:
        explicit Ritardo(Segnalazioni& s);
        ~Ritardo();
        Ritardo(const Ritardo&) = delete;
        Ritardo& operator=(const Ritardo&) = delete;
        void fine() { m_s.raccogliScritture(); }

    private:
        Segnalazioni& m_s;
    };
    // The unit has ended: the kept boxes are shown, in the order they came.
    void mostraTrattenute();

private:
    struct Box {
        QString testo;
        int stile;
    };
    QWidget* m_parent;
    bool m_inUnita;
    UnitaDiLavoro* m_unita = nullptr;
    int m_ritardi = 0;
    std::vector<Box> m_trattenute;
};

using Lavoro = std::function<void(Segnalazioni&)>;

// The failure as an Errore, whatever was thrown.
KALOREFILL_EXPORT Errore comeErrore(std::exception_ptr eccezione);

// Ends at the failing step; nothing is shown.
KALOREFILL_EXPORT void terminaInSilenzio(const Passo& lavoro);

// Each step stands alone: a failing step shows its description (OK only) and the next
// step runs. Inside a unit of work the boxes wait for the unit's end, and a unit that
// cannot go on ends the steps at once (the failure goes to inUnitaDiLavoro).
KALOREFILL_EXPORT void passiConMessaggio(Segnalazioni& segnalazioni, const std::vector<Passo>& passi);
// The same outside any unit: each box is shown at once.
KALOREFILL_EXPORT void passiConMessaggio(QWidget* parent, const std::vector<Passo>& passi);

// Each step stands alone: a failing step is skipped without a word.
KALOREFILL_EXPORT void passiInSilenzio(const std::vector<Passo>& passi);

// Ends at the failing step, showing its description (OK only, no icon).
KALOREFILL_EXPORT void descrizioneETermina(QWidget* parent, const Passo& lavoro);

// Ends at the failing step, showing "number - description" with the critical icon.
KALOREFILL_EXPORT void numeroEDescrizioneETermina(QWidget* parent, const Passo& lavoro);

// Runs `lavoro` as one unit of work of the host, when the host offers units, and confirms
// it at the end; the boxes of its steps are shown once the unit has ended. When the unit
// cannot start, or is lost on the way or at the end, nothing of it is kept: `ripristina`
// puts the form back as it was, one box says what happened, and the result is false. A
// host without units runs `lavoro` as it is, each box shown at once.
KALOREFILL_EXPORT bool inUnitaDiLavoro(QWidget* parent, HostApplication& host, const Lavoro& lavoro,
                                       const Passo& ripristina);

// For handlers with no policy of their own: the general run-time error report.
KALOREFILL_EXPORT void segnalaErrore(QWidget* parent, const Passo& lavoro);

} // namespace Politica
} // namespace KaloRefill
