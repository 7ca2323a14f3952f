// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "DatiAnagrafiche.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

namespace KaloRefill {

// Machines read from a CSV file as LibreOffice saves it: ";" between fields, quotes
// around fields that need them, a first line of Italian headings, UTF-8 or Windows-1252.
// Reading writes nothing: it gives the machines that can go in and one line for each row
// refused, saying why, for the operator to look at before confirming.
class ImportazioneApparecchi final {
public:
    struct Esito {
        QList<Apparecchio> accettati;
        QStringList rifiutati; // "Riga 4: manca il codice"
        QString errore;        // the whole file refused (no headings, unreadable)
    };

    // `presenti`: the machines already in the database, for unique codes.
    static Esito leggi(const QByteArray& contenuto, const QList<Apparecchio>& presenti);
    static Esito leggiFile(const QString& percorso, const QList<Apparecchio>& presenti);

    // The bytes as text: UTF-8 when they are valid UTF-8, Windows-1252 otherwise.
    static QString decodifica(const QByteArray& contenuto);
    // One line's fields.
    static QStringList campi(const QString& riga);
};

} // namespace KaloRefill
