// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>

class QPrinter;
class QWidget;

namespace KaloRefill::AnteprimaTocco {

// Qt's print preview over the whole free screen, with a "Chiudi" on its tool bar: on a
// touch screen there is no Esc key to leave it. disegna paints the pages on the printer.
void mostra(QPrinter& stampante, QWidget* genitore, const QString& titolo,
            const std::function<void(QPrinter*)>& disegna);

} // namespace KaloRefill::AnteprimaTocco
