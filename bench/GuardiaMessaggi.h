// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>

// A message box in the middle of a timed operation means a failure (the form reports them
// that way) and would wait for a click for ever. This closes any that opens and keeps its
// text, so the benchmark can end saying what went wrong.
class GuardiaMessaggi final : public QObject {
public:
    explicit GuardiaMessaggi(QObject* parent = nullptr);
    const QStringList& testi() const { return m_testi; }

private:
    void controlla();

    QTimer m_timer;
    QStringList m_testi;
};
