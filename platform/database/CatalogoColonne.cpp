#include "CatalogoColonne.h"

#include "ConnessioneSqlite.h"

namespace KaloRefill {

const QList<CatalogoColonne::Colonna>& CatalogoColonne::colonne(const QString& tabella) {
    const QString chiave = tabella.toLower();
    auto trovata = m_tabelle.constFind(chiave);
    if (trovata != m_tabelle.constEnd())
        return *trovata;

    QList<Colonna> colonne;
    // The name travels as a value, so no name needs quoting.
    const auto risultato =
        m_connessione.leggi(m_connessione.dialetto().colonneDellaTabella(), {tabella});
    for (const QVariantList& riga : risultato.righe)
        colonne.append({riga.at(0).toString(), tipoDaDichiarazione(riga.at(1).toString())});
    // A table that is missing now may be created later by another program.
    if (colonne.isEmpty()) {
        static const QList<Colonna> nessuna;
        return nessuna;
    }
    return *m_tabelle.insert(chiave, colonne);
}

std::optional<TipoColonna> CatalogoColonne::tipo(const QString& tabella, const QString& colonna) {
    for (const Colonna& c : colonne(tabella))
        if (c.nome.compare(colonna, Qt::CaseInsensitive) == 0)
            return c.tipo;
    return std::nullopt;
}

} // namespace KaloRefill
