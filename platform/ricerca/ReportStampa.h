// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "TabellaTesto.h"

#include <QHash>
#include <QImage>
#include <QString>
#include <QUrl>

class QPagedPaintDevice;

// The list on paper: its title, the rows in a table whose headings repeat on every
// page, the totals, and "Pagina n di m" at the foot of each page.
namespace KaloRefill::ReportStampa {

QString html(const TabellaTesto& tabella);
QString piePagina(int pagina, int pagine);

// Portrait A4 for lists of up to six columns, landscape for wider ones; margins of
// 12 mm all round.
void preparaPagina(QPagedPaintDevice& dispositivo, const TabellaTesto& tabella);

// Lays the report out on the device's page and paints every page. Returns the number
// of pages, 0 when the device cannot be painted on (a file that cannot be written).
int stampa(QPagedPaintDevice& dispositivo, const TabellaTesto& tabella);

// Paints a report composed elsewhere (several lists, pictures named in immagini and
// shown with <img src>) with the same font, paging and foot line as stampa(). Returns the
// number of pages, 0 when the device cannot be painted on.
int stampaHtml(QPagedPaintDevice& dispositivo, const QString& html,
               const QHash<QUrl, QImage>& immagini = {});

// The report as a PDF file; the number of pages, 0 on failure.
int esportaPdf(const QString& percorsoFile, const TabellaTesto& tabella);

} // namespace KaloRefill::ReportStampa
