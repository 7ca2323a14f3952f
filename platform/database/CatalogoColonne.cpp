// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "CatalogoColonne.h"

#include "Connessione.h"

namespace KaloRefill {

namespace {

// The declared default of a column: null, a number or a quoted text are known as they are;
// anything the engine works out at insert time is not.
std::optional<QVariant> valorePredefinito(const QVariant& dichiarato) {
    if (dichiarato.isNull())
        return QVariant();
    const QString testo = dichiarato.toString().trimmed();
    if (testo.compare(u"NULL", Qt::CaseInsensitive) == 0)
        return QVariant();
    bool ok = false;
    const qlonglong intero = testo.toLongLong(&ok);
    if (ok)
        return QVariant(intero);
    const double reale = testo.toDouble(&ok);
    if (ok)
        return QVariant(reale);
    if (testo.size() >= 2 && testo.startsWith(QLatin1Char('\'')) &&
        testo.endsWith(QLatin1Char('\''))) {
        QString interno = testo.mid(1, testo.size() - 2);
        return QVariant(interno.replace(QStringLiteral("''"), QStringLiteral("'")));
    }
    return std::nullopt;
}

} // namespace

void CatalogoColonne::caricaTutte() {
    m_tutteLette = true;
    const QString tutte = m_connessione.dialetto().tutteLeColonne();
    if (tutte.isEmpty())
        return;
    carica(m_connessione.leggi(tutte).righe);
}

void CatalogoColonne::carica(const QList<QVariantList>& righe) {
    m_tutteLette = true;
    for (const QVariantList& riga : righe)
        m_tabelle[riga.at(0).toString().toLower()].append(
            {riga.at(1).toString(), tipoDaDichiarazione(riga.at(2).toString()),
             valorePredefinito(riga.at(3))});
}

const QList<CatalogoColonne::Colonna>& CatalogoColonne::colonne(const QString& tabella) {
    if (!m_tutteLette)
        caricaTutte();
    const QString chiave = tabella.toLower();
    auto trovata = m_tabelle.constFind(chiave);
    if (trovata != m_tabelle.constEnd())
        return *trovata;

    QList<Colonna> colonne;
    // The name travels as a value, so no name needs quoting.
    const auto risultato =
        m_connessione.leggi(m_connessione.dialetto().colonneDellaTabella(), {tabella});
    for (const QVariantList& riga : risultato.righe)
        colonne.append({riga.at(0).toString(), tipoDaDichiarazione(riga.at(1).toString()),
                        valorePredefinito(riga.at(2))});
    // A table that is missing now may be created later by another program.
    if (colonne.isEmpty()) {
        static const QList<Colonna> nessuna;
        return nessuna;
    }
    return *m_tabelle.insert(chiave, colonne);
}

const CatalogoColonne::Colonna* CatalogoColonne::colonna(const QString& tabella,
                                                         const QString& nome) {
    for (const Colonna& c : colonne(tabella))
        if (c.nome.compare(nome, Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

std::optional<TipoColonna> CatalogoColonne::tipo(const QString& tabella, const QString& colonna) {
    for (const Colonna& c : colonne(tabella))
        if (c.nome.compare(colonna, Qt::CaseInsensitive) == 0)
            return c.tipo;
    return std::nullopt;
}

} // namespace KaloRefill
