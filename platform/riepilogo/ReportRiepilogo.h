// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "Riepilogo.h"
#include "TabellaTesto.h"

#include <QString>

class QPagedPaintDevice;

// The summary on paper and in files, drawn by the search component's report code: the
// table per machine, the charts, the reasons of the alerts and the table per day.
namespace KaloRefill::ReportRiepilogo {

QString titolo(const Riepilogo& riepilogo);
// The line under the title: totals of the period, or that there was no refill.
QString rigaSintesi(const Riepilogo& riepilogo);

// "! code - name: reason" for each flagged machine, one a line, at most massimo of them
// (then how many more); empty when none is flagged.
QString motiviAllarme(const Riepilogo& riepilogo, int massimo);

TabellaTesto tabellaApparecchi(const Riepilogo& riepilogo);
TabellaTesto tabellaGiorni(const Riepilogo& riepilogo);

// larghezzaGrafico: the width of the charts in the document's units (0: no charts).
QString html(const Riepilogo& riepilogo, int larghezzaGrafico);

// Sets the page (A4, landscape for the wide machine table) and paints the report.
// The number of pages, 0 when the device cannot be painted on.
int stampa(QPagedPaintDevice& dispositivo, const Riepilogo& riepilogo);
int esportaPdf(const QString& percorsoFile, const Riepilogo& riepilogo);

// The period, its totals, the table per machine and the table per day, as the Italian
// spreadsheets read them (";", decimal comma).
QString csv(const Riepilogo& riepilogo);
bool esportaCsv(const QString& percorsoFile, const Riepilogo& riepilogo, QString* errore = nullptr);

} // namespace KaloRefill::ReportRiepilogo
