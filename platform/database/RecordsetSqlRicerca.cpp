// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
// What the search list asks of a set without reading all of it: a page of rows, and the
// count of rows with the sums of some columns.
#include "RecordsetSql.h"

#include "Connessione.h"
#include "ConversioneValori.h"

#include <algorithm>

namespace KaloRefill {

namespace {

// The statement with a clause after it: a trailing ";" would end it first.
QString seguitoDa(QString sql, const QString& clausola) {
    while (sql.endsWith(QLatin1Char(';')) || sql.endsWith(QLatin1Char(' ')))
        sql.chop(1);
    return sql + clausola;
}

} // namespace

void RecordsetSql::colonneSenzaRighe() {
    if (!m_colonne.isEmpty())
        return;
    // The engine names and types the columns of a statement that returns no row.
    const Connessione::Risultato vuoto =
        m_connessione->leggi(seguitoDa(testoLettura(), QStringLiteral(" LIMIT 0")));
    m_colonne = colonneDi(vuoto.nomi, vuoto.tabelle);
}

std::optional<QList<QVariantList>> RecordsetSql::LeggiRighe(qint64 prima, int quante) {
    colonneSenzaRighe();
    const Connessione::Risultato risultato =
        m_connessione->leggi(seguitoDa(testoLettura(), QStringLiteral(" LIMIT ? OFFSET ?")),
                             {qint64(std::max(quante, 0)), std::max<qint64>(prima, 0)});
    QList<QVariantList> righe;
    righe.reserve(risultato.righe.size());
    for (const QVariantList& grezza : risultato.righe) {
        QVariantList riga;
        riga.reserve(m_colonne.size());
        for (qsizetype i = 0; i < m_colonne.size(); ++i)
            riga.append(ConversioneValori::perLettura(m_colonne.at(i).tipo, grezza.value(i)));
        righe.append(std::move(riga));
    }
    return righe;
}

std::optional<QVariantList> RecordsetSql::Riepilogo(const QStringList& campiDaSommare) {
    colonneSenzaRighe();
    QStringList espressioni{QStringLiteral("COUNT(*)")};
    QList<TipoColonna> tipi;
    for (const QString& campo : campiDaSommare) {
        const Colonna& c = m_colonne.at(indice(campo));
        espressioni.append(QStringLiteral("SUM(%1)").arg(quotato(c.nomeMotore)));
        tipi.append(c.tipo);
    }
    const QString elenco = espressioni.join(QStringLiteral(", "));
    QString sql;
    const TranslatedStatement& i = m_istruzione;
    if (i.clausesKnown && i.tables.size() == 1 && i.groupBy.isEmpty() && i.having.isEmpty() &&
        (m_filtro.isEmpty() || i.filterInWhere)) {
        // One table: counted and summed straight from it, without ordering rows first.
        QString dove = i.where;
        if (!m_filtro.isEmpty())
            dove = dove.isEmpty() ? m_filtro : QStringLiteral("(%1) AND (%2)").arg(dove, m_filtro);
        sql = TranslatedStatement::composeSelect(elenco, i.from, dove, {}, {}, {});
    } else {
        // The alias: a server wants every subquery in FROM named.
        sql = QStringLiteral("SELECT %1 FROM (%2) AS insieme").arg(elenco, seguitoDa(testoLettura(), {}));
    }
    const Connessione::Risultato risultato = m_connessione->leggi(sql);
    const QVariantList grezza = risultato.righe.value(0);
    QVariantList valori{grezza.value(0).toLongLong()};
    for (qsizetype i = 0; i < tipi.size(); ++i)
        valori.append(ConversioneValori::perLettura(tipi.at(i), grezza.value(i + 1)));
    return valori;
}

} // namespace KaloRefill
