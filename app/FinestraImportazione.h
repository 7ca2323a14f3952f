// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include <QDialog>

namespace KaloRefill {

class ArchivioAnagrafiche;

// The preview of machines read from a CSV file: those that can go in, one line for each
// row refused and why. Nothing is written until "Importa" is pressed, and then all or
// nothing.
class FinestraImportazione final : public QDialog {
    Q_OBJECT
public:
    FinestraImportazione(ArchivioAnagrafiche& archivio, const QString& percorso,
                         QWidget* genitore = nullptr);
};

} // namespace KaloRefill
