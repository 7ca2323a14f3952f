// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "CatalogoColonne.h"
#include "ColonnaInsieme.h"
#include "DialettoSql.h"
#include "SqlTranslator.h"
#include "host/Errore.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

class QSqlError;

namespace KaloRefill {

// A read whose rows are asked for now and needed later; what it is is the engine's own.
class LetturaAnticipata {
public:
    virtual ~LetturaAnticipata() = default;
};

// One connection to a KaloRefill database, with a name of its own, shared by the host and
// by every set it hands out: a set may outlive its host. This is what every engine shares:
// the module's texts translated once and kept, the values they compare taken out so that
// one statement serves every day and document, the columns each statement gave, and the
// states of a unit of work. How statements reach the engine, how a unit takes its lock and
// what a failure means is the engine's own (ConnessioneFile, ConnessioneServer). Every
// statement is run to its end before the call returns, so no read stays open across a
// write of this or another connection.
class Connessione {
public:
    struct Risultato {
        // The columns' names and the tables they come from (empty for an expression).
        QStringList nomi;
        QStringList tabelle;
        QList<QVariantList> righe;
    };

    // What the engine's own marks say of a database, before its table of marks is read.
    struct Contrassegno {
        bool presente = false;
        // No table at all: a database still to be created.
        bool vuoto = false;
        // The schema version the engine keeps apart from the table of marks, if it keeps one.
        std::optional<int> versione;
    };

    // How long a write waits for another connection's lock before it gives up.
    static constexpr int AttesaBloccoPredefinitaMs = 5000;

    virtual ~Connessione();
    Connessione(const Connessione&) = delete;
    Connessione& operator=(const Connessione&) = delete;

    QSqlDatabase database() const;
    const SqlTranslator& traduttore() const { return m_traduttore; }
    const DialettoSql& dialetto() const { return *m_dialetto; }
    // The text in the engine's dialect, translated once per text and kept: the module
    // sends the same few texts over and over. Errore for a text the host will not run.
    const TranslatedStatement& traduci(const QString& sql);
    // A set's filter condition in the engine's dialect, translated once per text and kept:
    // a form narrows the same set by the same few conditions at every save.
    const QString& traduciCondizione(const QString& condizione);
    CatalogoColonne& catalogo() { return m_catalogo; }
    // The columns a set described for a statement, kept by the statement compiled for it:
    // the texts of a new day find those of the day before. Null when none is kept.
    const QList<ColonnaInsieme>* colonneNote(const QString& sql) const;
    void ricordaColonne(const QString& sql, QList<ColonnaInsieme> colonne);

    // A column name as the engine gives it, spelt as the suite spells it.
    QString nomeColonna(const QString& nomeMotore) const { return m_dialetto->nomeColonna(nomeMotore); }

    // Every row of a query, read to the end.
    virtual Risultato leggi(const QString& sql, const QVariantList& valori = {}) = 0;
    // Runs a statement; gives the rows it changed.
    virtual int esegui(const QString& sql, const QVariantList& valori = {}) = 0;
    // Runs an INSERT; gives the key of the new row.
    virtual qint64 inserisci(const QString& sql, const QVariantList& valori) = 0;
    // Looks at a statement without running it: the engine's objections come out at once,
    // and no row is read.
    virtual void verifica(const QString& sql) = 0;

    // Looks at a query as verifica does; an engine far away may also send it ahead, with
    // its next round trip, and hand back what to collect its rows with. Null when the
    // rows are read when they are needed. `tutta`: the query reads a whole table, and is
    // sent ahead only when it has to travel now anyway.
    virtual std::shared_ptr<LetturaAnticipata> anticipa(const QString& sql, [[maybe_unused]] bool tutta) {
        verifica(sql);
        return {};
    }
    // The rows of a query sent ahead: as they came back, or read now when this connection
    // has written since, or when nothing was sent ahead.
    virtual Risultato leggi(const std::shared_ptr<LetturaAnticipata>& anticipo, const QString& sql) {
        (void)anticipo;
        return leggi(sql);
    }

    // A write whose outcome the caller does not wait for. Inside a unit that allows it, an
    // engine far away holds it back until a call needs an answer or the unit ends, and
    // keeps its failure, or `seNessunaRiga` as a failure when it changes no row, for
    // scrittureFallite. Anywhere else it runs now and fails now.
    virtual void eseguiDopo(const QString& sql, const QVariantList& valori, const QString& seNessunaRiga);
    // The same for an INSERT: the key of the new row comes when it is asked for.
    virtual std::function<qint64()> inserisciDopo(const QString& sql, const QVariantList& valori);
    // The unit now open may hold writes back (see eseguiDopo), until told otherwise.
    virtual void ritardaScritture(bool si) { (void)si; }
    // Sends what is held back; the failures of the writes sent late, in order, once each.
    virtual std::vector<Errore> scrittureFallite() { return {}; }

    // The engine's own marks of a KaloRefill database. Errore when they cannot be read.
    virtual Contrassegno contrassegno(const QString& nome) = 0;

    static Errore errore(const QString& contesto, const QSqlError& errore);
    // One line: a server's message comes with a detail and a hint on lines of their own.
    static QString testoErrore(const QSqlError& errore);

    // One unit of work as one transaction that takes the write lock at its start, so the
    // units of several connections run one after the other. Errore UnitaNonRiuscita when
    // the lock is not obtained within the wait, or the database cannot be written: here,
    // or (where the engine sends the start with the unit's first statement) at that call.
    void iniziaUnita();
    // Commits; when the commit fails the unit is dropped and UnitaNonRiuscita thrown.
    void confermaUnita();
    // Drops whatever the unit wrote; harmless when the engine dropped it already.
    void annullaUnita();
    bool inUnita() const { return m_unita != StatoUnita::Nessuna; }
    // What went wrong with the last failed call, when it was the disk or another program
    // (full, unreadable, busy, read-only) rather than the database's contents; empty
    // otherwise.
    virtual QString guastoUltimoErrore() const { return {}; }

protected:
    enum class StatoUnita { Nessuna, Attiva, Persa };
    // The statements' texts are long: each is hashed once, when it goes in, and the code
    // is kept beside it. A hasher that may throw makes the standard library keep it; with
    // the noexcept std::hash it would hash stored texts again while walking a bucket.
    struct HashTesto {
        std::size_t operator()(const QString& testo) const { return qHash(testo); }
    };
    template <typename Valore> using PerTesto = std::unordered_map<QString, Valore, HashTesto>;
    static constexpr std::size_t MassimoPreparate = 256;

    // A text with each compared value (a number, a 'text') as a ? and the values apart.
    struct Parametrizzata {
        QString testo;
        QVariantList valori;
    };

    Connessione(MotoreSql motore, int attesaBloccoMs);

    // The text to compile for a statement and the values to bind with it: those the
    // caller gave, or else the values compared in the text, taken out once per text.
    const Parametrizzata& parametrizzata(const QString& sql);
    // The text compiled for a statement: with its compared values bound, where the engine
    // binds them.
    const QString& testoCompilato(const QString& sql) const;

    // The engine's half of a unit: open the transaction and take the lock, setting the
    // unit active (Errore UnitaNonRiuscita when it cannot); commit, false with the reason
    // when it fails; roll back whatever is still open.
    virtual void apriUnita() = 0;
    virtual bool chiudiUnita(QString& motivo) = 0;
    virtual void scartaUnita() = 0;
    // The tables changed under the connection: compiled statements and columns start over.
    void dimenticaColonne();

    // The unit is lost for `motivo`: UnitaNonRiuscita, now and at every call until it ends.
    [[noreturn]] void perdiUnita(QString motivo);
    void soloSeUnitaViva() const;
    const QString& nome() const { return m_nome; }

    std::unique_ptr<DialettoSql> m_dialetto;
    int m_attesaBloccoMs;
    StatoUnita m_unita = StatoUnita::Nessuna;
    QString m_motivoPerdita;

private:
    static Parametrizzata parametrizza(const QString& sql);
    // A text translated with each compared value (a number, a 'text', a #date#) as a mark:
    // the texts that differ only in those values share one translation and, where the
    // engine binds them, one compiled statement.
    struct Forma {
        TranslatedStatement tradotta;
        // The statement with a ? for each mark; the marks' numbers in the order their
        // values are bound. Empty when the statement binds none.
        QString parametrizzata;
        QList<qsizetype> ordine;
    };
    const Forma& forma(const QString& chiave, QList<SqlToken> tokens);

    QString m_nome;
    PerTesto<Parametrizzata> m_parametrizzate;
    PerTesto<TranslatedStatement> m_traduzioni;
    PerTesto<QString> m_condizioni;
    PerTesto<Forma> m_forme;
    PerTesto<QList<ColonnaInsieme>> m_colonneNote;
    SqlTranslator m_traduttore;
    CatalogoColonne m_catalogo{*this};
};

} // namespace KaloRefill
