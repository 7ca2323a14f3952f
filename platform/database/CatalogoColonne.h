#pragma once

#include "TipoColonna.h"

#include <QHash>
#include <QList>
#include <QString>

#include <optional>

namespace KaloRefill {

class ConnessioneSqlite;

// The columns of each table and their kinds, read from the file once per table.
class CatalogoColonne final {
public:
    struct Colonna {
        QString nome;
        TipoColonna tipo = TipoColonna::Libero;
    };

    explicit CatalogoColonne(ConnessioneSqlite& connessione) : m_connessione(connessione) {}

    // In the table's order; empty for a table that does not exist.
    const QList<Colonna>& colonne(const QString& tabella);
    // The kind of a column, names compared without regard to case.
    std::optional<TipoColonna> tipo(const QString& tabella, const QString& colonna);

private:
    ConnessioneSqlite& m_connessione;
    QHash<QString, QList<Colonna>> m_tabelle;
};

} // namespace KaloRefill
