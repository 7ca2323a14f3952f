// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include <QObject>

#include <functional>

namespace KaloRefill {

// Runs an action once, right after the program's first window has been painted: work
// that may wait (a check of the whole file, leaving for a measurement) then does not
// delay what the operator sees first.
class DopoPrimoDisegno final : public QObject {
    Q_OBJECT
public:
    // Installs itself on the application and goes once the action has run. Deleting the
    // object returned, before that, calls the action off.
    static DopoPrimoDisegno* esegui(std::function<void()> azione);

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override;

private:
    explicit DopoPrimoDisegno(std::function<void()> azione, QObject* parent);
    std::function<void()> m_azione;
};

} // namespace KaloRefill
