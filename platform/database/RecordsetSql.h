// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "ColonnaInsieme.h"
#include "TipoColonna.h"
#include "TranslatedStatement.h"
#include "host/Recordset.h"
#include "kalorefill_database_export.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>
#include <vector>
#include <optional>

namespace KaloRefill {

class Connessione;
class LetturaAnticipata;

// A set of rows over the embedded database, with the behaviour of the original's
// client-side recordsets. Nothing is read when the set is opened: the rows are read, all
// of them, at the first call that needs them, so a set opened only to append a row or
// narrowed by a filter never reads the whole table. Sets of "select * from <table>" add
// and change rows of that table.
class KALOREFILL_DATABASE_EXPORT RecordsetSql final : public Recordset {
public:
    // sorgente: the statement as the caller wrote it, before translation.
    RecordsetSql(std::shared_ptr<Connessione> connessione, TranslatedStatement istruzione,
                    QString sorgente = {});

    int RecordCount() override;
    bool Bof() override;
    bool Eof() override;
    void MoveFirst() override;
    void MoveNext() override;
    void MovePrevious() override;
    QVariant Field(const QString& nome) override;
    void SetField(const QString& nome, const QVariant& valore) override;
    void AddNew() override;
    void Update() override;
    void SetFilter(const QString& condizione) override;
    QStringList FieldNames() override;
    QString Source() override { return m_sorgente; }
    // A page and the summary come from the database: neither reads the whole set, nor
    // sees rows this set stored before reading its rows.
    std::optional<QList<QVariantList>> LeggiRighe(qint64 prima, int quante) override;
    std::optional<QVariantList> Riepilogo(const QStringList& campiDaSommare) override;

    // Whether AddNew, SetField and Update can store rows through this set.
    bool aggiornabile() const { return !m_istruzione.updatableTable.isEmpty(); }
    // The statement the set reads with, filter included.
    QString testoLettura() const;

private:
    // A table or column name between double quotes, as the engines take it.
    static QString quotato(QString nome);
    using Colonna = ColonnaInsieme;
    enum class Modifica { Nessuna, Nuova, Esistente };

    void carica();
    // Every row of one table, with no condition.
    bool tabellaIntera() const;
    void conosciColonne();
    QList<Colonna> colonneDi(const QStringList& nomi, const QStringList& tabelle);
    // The columns, learnt from the statement without reading its rows.
    void colonneSenzaRighe();
    int indice(const QString& nome);
    int indiceId();
    QVariantList leggiRiga(qint64 id);
    // A row just added, as the file keeps it, from what was written; none when a column
    // has a default only the engine knows.
    std::optional<QVariantList> rigaScritta();
    // The keys of rows stored through this set that the engine gives later, put into them.
    void completaChiavi();
    QVariantList* rigaCorrente();
    void salvaModifiche();
    void inserisci();
    void aggiorna();
    void soloAggiornabile() const;

    std::shared_ptr<Connessione> m_connessione;
    TranslatedStatement m_istruzione;
    QString m_sorgente;
    QString m_filtro;

    bool m_caricato = false;
    // The rows asked for when the set was opened or filtered, until they are read.
    std::shared_ptr<LetturaAnticipata> m_anticipo;
    QList<Colonna> m_colonne;
    // As the engine gives them; converted when a field is read.
    QList<QVariantList> m_righe;
    qsizetype m_pos = 0;
    // Rows stored through a set that has not read its rows yet: the last one stays the
    // current row, and all of them stay in the set when it reads its rows.
    QList<QVariantList> m_aggiunte;
    bool m_suAggiunta = false;
    struct ChiaveInAttesa {
        bool traLeRighe; // in m_righe, else in m_aggiunte
        qsizetype riga;
        std::function<qint64()> chiave;
    };
    std::vector<ChiaveInAttesa> m_chiavi;

    Modifica m_modifica = Modifica::Nessuna;
    QVariantList m_buffer;     // the row being edited, as the file will keep it
    QVariantList m_daScrivere; // values as stored
    QList<bool> m_modificato;
    QVariant m_idInModifica;
};

} // namespace KaloRefill
