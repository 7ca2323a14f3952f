// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "NomiOperatori.h"
#include "SorgenteRighe.h"
#include "host/Valuta.h"

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

namespace KaloRefill {

// The rows of a list as the table shows them: Italian texts, readable headings,
// operator names and "Sì"/"No" for flags, with the values as read kept for sorting and
// for the answer. Rows are read a page at a time as the view scrolls to them (when the
// set can give pages and a summary); the count and the totals come from the summary,
// so they cover the rows not read yet.
class ModelloRighe final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Ruolo {
        // The value as the recordset gave it.
        RuoloValore = Qt::UserRole,
        // What the column sorts by: the value, or the name shown for an operator code.
        RuoloOrdinamento,
        // Headers: the field name as the recordset gave it.
        RuoloCampo,
        // Headers: true for an amount column.
        RuoloImporto,
        // Headers: the heading without the currency sign.
        RuoloNome,
    };

    // Rows read at a time.
    static constexpr int righePerPagina = 200;

    // Reads the first page and the summary; a failure of the set is thrown from here.
    ModelloRighe(SorgenteRighe sorgente, const NomiOperatori& operatori, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& indice, int ruolo = Qt::DisplayRole) const override;
    QVariant headerData(int sezione, Qt::Orientation orientamento,
                        int ruolo = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

    // Reads every row not read yet: sorting and filtering look at all of them.
    void caricaTutto();

    // All the rows of the set, read or not.
    qint64 totaleRighe() const { return m_totaleRighe; }
    // The sum of an amount column over all the rows of the set.
    Valuta totale(int colonna) const { return m_totali.value(colonna); }
    const QVariant& valore(int riga, int colonna) const;
    int colonna(const QString& campo) const { return m_sorgente.colonna(campo); }
    // Ids and flags nobody reads: hidden unless the operator's view shows them.
    bool nascostaDiSolito(int colonna) const { return m_nascoste.value(colonna); }
    QString sorgente() const { return m_sorgente.sorgente(); }

signals:
    // A page could not be read while scrolling: the rows read so far stay.
    void letturaFallita(const QString& descrizione);

private:
    void leggi(int quante);
    void aggiungi(QList<QVariantList> righe);
    void sommaTutte();

    SorgenteRighe m_sorgente;
    NomiOperatori m_operatori;
    QList<QVariantList> m_righe;
    QList<QStringList> m_testi;
    QList<bool> m_importi;
    QList<bool> m_flag;
    QList<bool> m_nascoste;
    QList<Valuta> m_totali;
    qint64 m_totaleRighe = 0;
    bool m_totaliDalRiepilogo = false;
    bool m_interrotta = false;
    int m_colonnaOperatore = -1;
};

} // namespace KaloRefill
