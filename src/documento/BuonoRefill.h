// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "documento/RigaRegistro.h"
#include "kalorefill_export.h"

#include <QString>

class QPagedPaintDevice;
class QPainter;

namespace KaloRefill {

// The refill slip of one register row: hall, number, moment, machine, the amount in
// figures and in Italian words, operator and witness, two signature lines and a QR code of
// number, amount and the start of the row's hash. Printed on an 80 mm roll or on A4, or
// kept as a PDF; every copy is one page marked with its place ("Esemplare 1 di 2"), a
// reprint says "COPIA".
class KALOREFILL_EXPORT BuonoRefill {
public:
    struct Dati {
        QString sala;
        RigaRegistro riga;
        QString operatore;
        QString testimone;
    };

    // What the QR code holds: "KALOREFILL BUONO SG01 N. 12/2026 EUR 250,00 IMPRONTA 3fa9c2d1e0b4".
    static QString testoQr(const Dati& dati);
    // "1.250,00".
    static QString importoInCifre(const Valuta& importo);

    // The PDF file of the slip in `cartella` (made when missing): buono-<hall>-<year>-<number>.pdf,
    // "-copia" added for a reprint. Gives its path; Errore when it cannot be written.
    static QString salvaPdf(const Dati& dati, const QString& cartella, int copie, bool rotolo, bool ristampa = false);
    // Prints on a printer of the system (a CUPS queue); Errore when it is not there or the
    // job cannot start.
    static void stampa(const Dati& dati, const QString& stampante, int copie, bool rotolo, bool ristampa = false);

    // One copy drawn on the painter's page.
    static void disegna(QPainter& p, const QRectF& pagina, const Dati& dati, const QString& esemplare);

private:
    static void disegnaCopie(QPagedPaintDevice& dispositivo, const Dati& dati, int copie, bool ristampa);
};

} // namespace KaloRefill
