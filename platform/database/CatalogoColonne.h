// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "TipoColonna.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QVariant>

#include <optional>

namespace KaloRefill {

class Connessione;

// The columns of each table and their kinds, read from the file once per table.
class CatalogoColonne final {
public:
    struct Colonna {
        QString nome;
        TipoColonna tipo = TipoColonna::Libero;
        // What a new row gets when nothing is written into the column, as the file keeps
        // it; unknown for a default the engine computes (a time, an expression).
        std::optional<QVariant> predefinito = QVariant();
    };

    explicit CatalogoColonne(Connessione& connessione) : m_connessione(connessione) {}

    // In the table's order; empty for a table that does not exist.
    const QList<Colonna>& colonne(const QString& tabella);
    // A column by its name, compared without regard to case; null when there is none.
    const Colonna* colonna(const QString& tabella, const QString& nome);
    // The kind of a column, names compared without regard to case.
    std::optional<TipoColonna> tipo(const QString& tabella, const QString& colonna);

    // Whether every table's columns have been read at once already.
    bool tutteLette() const { return m_tutteLette; }
    // Every table's columns, as the dialect's statement for all of them gave them.
    void carica(const QList<QVariantList>& righe);

    // Another program changed the tables: read them again when next asked.
    void dimentica() {
        m_tabelle.clear();
        m_tutteLette = false;
    }

private:
    void caricaTutte();

    Connessione& m_connessione;
    bool m_tutteLette = false;
    QHash<QString, QList<Colonna>> m_tabelle;
};

} // namespace KaloRefill
