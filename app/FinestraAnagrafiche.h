// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "ArchivioAnagrafiche.h"
#include "host/HostApplication.h"

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;
class QWidget;

namespace KaloRefill {

class SchedaApparecchi;
class SchedaOperatori;

// "Anagrafiche": the venue, the two account associations, the machines and the operators
// of the hall, one tab each. The window only shows and forwards; the rules live in
// ArchivioAnagrafiche. A refusal is told in a box and nothing is written.
class FinestraAnagrafiche final : public QDialog {
    Q_OBJECT
public:
    explicit FinestraAnagrafiche(HostApplicationPtr host, QWidget* genitore = nullptr);

    // Opens the preview of machines read from a CSV file over this window.
    void importaDaFile(const QString& percorso);

    // Runs a change; a refusal goes in a box. True when it went through.
    bool prova(const std::function<void()>& modifica);
    // Rewrites the line that says what the form still needs.
    void aggiornaMancanze();
    ArchivioAnagrafiche& archivio() { return m_archivio; }

private:
    QWidget* schedaLocale();
    QWidget* schedaConti();

    HostApplicationPtr m_host;
    ArchivioAnagrafiche m_archivio;
    SchedaApparecchi* m_apparecchi = nullptr;
    SchedaOperatori* m_operatori = nullptr;
    QLabel* m_mancanze = nullptr;
};

} // namespace KaloRefill
