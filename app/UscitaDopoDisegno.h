#pragma once

#include <QObject>

namespace KaloRefill {

// For timing the start-up from outside: once the first window has been painted, writes
// the moment (CLOCK_MONOTONIC nanoseconds, one line on standard output) and closes every
// window, so the program ends by itself. Used only when the variable named here is set.
class UscitaDopoDisegno final : public QObject {
    Q_OBJECT
public:
    static constexpr const char* variabile = "KALOREFILL_ESCI_DOPO_DISEGNO";

    // Installs itself on the application when the variable is set; otherwise does nothing.
    static void installaSeRichiesto();

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override;

private:
    using QObject::QObject;
    bool m_visto = false;
};

} // namespace KaloRefill
