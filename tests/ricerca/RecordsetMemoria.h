// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "host/Errore.h"
#include "host/Recordset.h"

#include <optional>
#include <utility>

// Rows held in memory, failing where the host's sets fail: 3021 moving past either end or
// reading with no current row (MoveFirst on an empty set included), 3265 for an unknown
// field (names in any case). Read only: no test here gives the window a set it writes to,
// so a write fails the test. The component sets no filter: SetFilter only goes back to the
// first row.
struct RecordsetMemoria final : KaloRefill::Recordset {
    // Each row holds a value for every field.
    RecordsetMemoria(QStringList campi, QList<QVariantList> righe)
        : campi(std::move(campi)), righe(std::move(righe)) {}
    static auto crea(QStringList campi, QList<QVariantList> righe = {}) {
        return std::make_shared<RecordsetMemoria>(std::move(campi), std::move(righe));
    }

    int RecordCount() override { return static_cast<int>(righe.size()); }
    bool Bof() override { return righe.isEmpty() || m_riga < 0; }
    bool Eof() override { return righe.isEmpty() || m_riga >= righe.size(); }
    void MoveFirst() override { vai(0, righe.isEmpty()); }
    void MoveNext() override { vai(m_riga + 1, Eof()); }
    void MovePrevious() override { vai(m_riga - 1, Bof()); }
    QVariant Field(const QString& nome) override { return riga().at(colonna(nome)); }
    void SetField(const QString&, const QVariant&) override { throw KaloRefill::Errore::chiamataNonValida(); }
    void AddNew() override { throw KaloRefill::Errore::chiamataNonValida(); }
    void Update() override { throw KaloRefill::Errore::chiamataNonValida(); }
    void SetFilter(const QString&) override { vai(0, false); }
    QStringList FieldNames() override { return campi; }
    QString Source() override { return sorgente; }
    // Pages and the summary only when aPagine is set, as a set over a database.
    std::optional<QList<QVariantList>> LeggiRighe(qint64 prima, int quante) override {
        if (!aPagine)
            return std::nullopt;
        return righe.mid(prima, quante);
    }
    std::optional<QVariantList> Riepilogo(const QStringList& daSommare) override {
        if (!aPagine)
            return std::nullopt;
        QVariantList valori{qint64(righe.size())};
        for (const QString& campo : daSommare) {
            double somma = 0;
            for (const QVariantList& r : std::as_const(righe))
                somma += r.at(colonna(campo)).toDouble();
            valori.append(somma);
        }
        return valori;
    }

    QString sorgente;
    bool aPagine = false;
    // Thrown by every move, as by a set that loses its connection while it is read.
    std::optional<KaloRefill::Errore> guasto;

    int colonna(const QString& nome) const {
        for (int c = 0; c < campi.size(); ++c)
            if (campi.at(c).compare(nome, Qt::CaseInsensitive) == 0)
                return c;
        throw KaloRefill::Errore::campoNonTrovato(nome);
    }
    const QVariantList& riga() {
        if (Bof() || Eof())
            throw KaloRefill::Errore::nessunRecordCorrente();
        return righe[m_riga];
    }
    void vai(qsizetype riga, bool fuori) {
        if (guasto || fuori)
            throw guasto.value_or(KaloRefill::Errore::nessunRecordCorrente());
        m_riga = riga;
    }

    // The fields and every stored row.
    QStringList campi;
    QList<QVariantList> righe;
    qsizetype m_riga = 0;
};
