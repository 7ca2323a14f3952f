#pragma once

#include "kalorefill_export.h"

#include <QString>

#include <functional>
#include <vector>

class QWidget;

namespace KaloRefill {

class Errore;
class HostApplication;

// How an operation of the form reacts to a failure. Every handler states its policy by
// running its work through one of these; no exception ever reaches the event loop.
namespace Politica {

using Passo = std::function<void()>;

// The failure as an Errore, whatever was thrown.
KALOREFILL_EXPORT Errore comeErrore(std::exception_ptr eccezione);

// Ends at the failing step; nothing is shown.
KALOREFILL_EXPORT void terminaInSilenzio(const Passo& lavoro);

// Each step stands alone: a failing step shows its description (OK only) and the next
// step runs. Inside a unit of work, a unit that cannot go on ends the steps at once (the
// failure goes to inUnitaDiLavoro) instead of failing every later step in turn.
KALOREFILL_EXPORT void passiConMessaggio(QWidget* parent, const std::vector<Passo>& passi);

// Each step stands alone: a failing step is skipped without a word.
KALOREFILL_EXPORT void passiInSilenzio(const std::vector<Passo>& passi);

// Ends at the failing step, showing its description (OK only, no icon).
KALOREFILL_EXPORT void descrizioneETermina(QWidget* parent, const Passo& lavoro);

// Ends at the failing step, showing "number - description" with the critical icon.
KALOREFILL_EXPORT void numeroEDescrizioneETermina(QWidget* parent, const Passo& lavoro);

// Runs `lavoro` as one unit of work of the host, when the host offers units, and confirms
// it at the end. When the unit cannot start, or is lost on the way or at the end, nothing
// of it is kept: `ripristina` puts the form back as it was, one box says what happened,
// and the result is false. A host without units runs `lavoro` as it is.
KALOREFILL_EXPORT bool inUnitaDiLavoro(QWidget* parent, HostApplication& host, const Passo& lavoro,
                                       const Passo& ripristina);

// For handlers with no policy of their own: the general run-time error report.
KALOREFILL_EXPORT void segnalaErrore(QWidget* parent, const Passo& lavoro);

} // namespace Politica
} // namespace KaloRefill
