// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "RecordsetSql.h"

#include "Connessione.h"
#include "ConversioneValori.h"
#include "host/Errore.h"

#include <QHash>

#include <algorithm>
#include <utility>

namespace KaloRefill {

namespace {

// Equal but for case. Case folding keeps the length of a text, so texts of different
// lengths are told apart without comparing them.
bool stessoNome(const QString& a, const QString& b) {
    return a.size() == b.size() && a.compare(b, Qt::CaseInsensitive) == 0;
}

// The same, written straight onto the end of a statement being built.
void aggiungiQuotato(QString& testo, const QString& nome) {
    testo.append(QLatin1Char('"'));
    if (nome.contains(QLatin1Char('"')))
        testo.append(QString(nome).replace(QLatin1Char('"'), QStringLiteral("\"\"")));
    else
        testo.append(nome);
    testo.append(QLatin1Char('"'));
}

Errore nonAggiornabile() {
    return {3251, QStringLiteral("Il Recordset corrente non supporta l'aggiornamento. Potrebbe "
                                 "trattarsi di una limitazione del provider o del tipo di blocco "
                                 "selezionato.")};
}

} // namespace

QString RecordsetSql::quotato(QString nome) {
    nome.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + nome + QLatin1Char('"');
}

RecordsetSql::RecordsetSql(std::shared_ptr<Connessione> connessione,
                                 TranslatedStatement istruzione, QString sorgente)
    : m_connessione(std::move(connessione)), m_istruzione(std::move(istruzione)),
      m_sorgente(std::move(sorgente)) {
    // The engine looks at the statement now, so a wrong one fails where it is opened. A
    // server is asked for the rows now too, in the round trip of whatever comes next: the
    // look-ups of a page travel together.
    m_anticipo = m_connessione->anticipa(testoLettura(), tabellaIntera());
}

bool RecordsetSql::tabellaIntera() const {
    return m_istruzione.clausesKnown && m_istruzione.where.isEmpty() && m_filtro.isEmpty();
}

QString RecordsetSql::testoLettura() const {
    return m_istruzione.withFilter(m_filtro);
}

int RecordsetSql::RecordCount() {
    carica();
    return static_cast<int>(m_righe.size());
}

bool RecordsetSql::Bof() {
    if (m_modifica == Modifica::Nuova || m_suAggiunta)
        return false;
    carica();
    return m_righe.isEmpty() || m_pos < 0;
}

bool RecordsetSql::Eof() {
    if (m_modifica == Modifica::Nuova || m_suAggiunta)
        return false;
    carica();
    return m_righe.isEmpty() || m_pos >= m_righe.size();
}

void RecordsetSql::MoveFirst() {
    salvaModifiche();
    carica();
    if (m_righe.isEmpty())
        throw Errore::nessunRecordCorrente();
    m_pos = 0;
}

void RecordsetSql::MoveNext() {
    salvaModifiche();
    carica();
    if (m_righe.isEmpty() || m_pos >= m_righe.size())
        throw Errore::nessunRecordCorrente();
    ++m_pos;
}

void RecordsetSql::MovePrevious() {
    salvaModifiche();
    carica();
    if (m_righe.isEmpty() || m_pos < 0)
        throw Errore::nessunRecordCorrente();
    --m_pos;
}

QVariant RecordsetSql::Field(const QString& nome) {
    const int i = indice(nome);
    // Rows keep the values as the file gives them; only a value that is read is converted.
    const TipoColonna tipo = m_colonne.at(i).tipo;
    if (m_modifica != Modifica::Nessuna)
        return ConversioneValori::perLettura(tipo, m_buffer.at(i));
    const QVariantList* riga = rigaCorrente();
    if (riga == nullptr)
        throw Errore::nessunRecordCorrente();
    return ConversioneValori::perLettura(tipo, riga->value(i));
}

void RecordsetSql::SetField(const QString& nome, const QVariant& valore) {
    const int i = indice(nome);
    soloAggiornabile();
    // Converted before anything changes: a refused value leaves the row as it was.
    const TipoColonna tipo = m_colonne.at(i).tipo;
    const QVariant daScrivere = ConversioneValori::perScrittura(tipo, valore);

    if (m_modifica == Modifica::Nessuna) {
        const QVariantList* riga = rigaCorrente();
        if (riga == nullptr)
            throw Errore::nessunRecordCorrente();
        const int id = indiceId();
        m_buffer = *riga;
        m_buffer.resize(m_colonne.size());
        m_daScrivere = QVariantList(m_colonne.size());
        m_modificato = QList<bool>(m_colonne.size(), false);
        m_idInModifica = riga->value(id);
        m_modifica = Modifica::Esistente;
    }
    m_daScrivere[i] = daScrivere;
    m_buffer[i] = daScrivere;
    m_modificato[i] = true;
}

void RecordsetSql::AddNew() {
    soloAggiornabile();
    // Changes still pending on the current row are stored first, as the original did.
    salvaModifiche();
    conosciColonne();
    const qsizetype n = m_colonne.size();
    m_buffer = QVariantList(n);
    m_daScrivere = QVariantList(n);
    m_modificato = QList<bool>(n, false);
    m_idInModifica.clear();
    m_modifica = Modifica::Nuova;
}

void RecordsetSql::Update() {
    soloAggiornabile();
    switch (m_modifica) {
    case Modifica::Nessuna:
        return;
    case Modifica::Nuova:
        inserisci();
        return;
    case Modifica::Esistente:
        aggiorna();
        return;
    }
}

void RecordsetSql::SetFilter(const QString& condizione) {
    salvaModifiche();
    const QString precedente = m_filtro;
    m_filtro = m_connessione->traduciCondizione(condizione);
    try {
        m_anticipo = m_connessione->anticipa(testoLettura(), tabellaIntera());
    } catch (...) {
        m_filtro = precedente;
        throw;
    }
    // Read again, with the condition in the statement, at the next call that needs rows.
    m_caricato = false;
    m_righe.clear();
    m_aggiunte.clear();
    m_chiavi.clear();
    m_suAggiunta = false;
    m_pos = 0;
}

QStringList RecordsetSql::FieldNames() {
    conosciColonne();
    QStringList nomi;
    for (const Colonna& c : std::as_const(m_colonne))
        nomi.append(c.nome);
    return nomi;
}

void RecordsetSql::carica() {
    if (m_caricato)
        return;
    completaChiavi();
    const Connessione::Risultato risultato =
        m_connessione->leggi(std::exchange(m_anticipo, {}), testoLettura());
    m_colonne = colonneDi(risultato.nomi, risultato.tabelle);
    // Kept as the engine gives them; a value is converted when its field is read.
    m_righe = risultato.righe;
    m_caricato = true;
    m_pos = 0;

    // Rows this set stored before reading stay in it, and the last one stays current.
    if (!m_aggiunte.isEmpty()) {
        const int id = indiceId();
        QHash<qint64, qsizetype> posizioni;
        for (qsizetype r = 0; r < m_righe.size(); ++r)
            posizioni.insert(m_righe.at(r).value(id).toLongLong(), r);
        for (const QVariantList& aggiunta : std::as_const(m_aggiunte)) {
            const qint64 chiave = aggiunta.value(id).toLongLong();
            qsizetype trovata = posizioni.value(chiave, -1);
            if (trovata < 0) {
                m_righe.append(aggiunta);
                trovata = m_righe.size() - 1;
                posizioni.insert(chiave, trovata);
            }
            if (m_suAggiunta)
                m_pos = trovata;
        }
    }
    m_aggiunte.clear();
    m_suAggiunta = false;
}

QList<RecordsetSql::Colonna> RecordsetSql::colonneDi(const QStringList& nomi,
                                                          const QStringList& tabelle) {
    // What a set made of the same statement found, also for another day's values.
    const QString testo = testoLettura();
    const int n = static_cast<int>(nomi.size());
    if (const QList<Colonna>* note = m_connessione->colonneNote(testo);
        note && note->size() == n) {
        bool stesse = true;
        for (int i = 0; i < n && stesse; ++i)
            stesse = note->at(i).nomeMotore == nomi.at(i);
        if (stesse)
            return *note;
    }
    CatalogoColonne& catalogo = m_connessione->catalogo();
    const bool nomiDallIstruzione = m_istruzione.columnNames.size() == n;
    QList<Colonna> colonne;
    for (int i = 0; i < n; ++i) {
        Colonna c;
        c.nomeMotore = nomi.at(i);
        const QString nomeScritto = nomiDallIstruzione ? m_istruzione.columnNames.at(i) : QString();
        c.nome = nomeScritto.isEmpty() ? m_connessione->nomeColonna(c.nomeMotore) : nomeScritto;
        std::optional<TipoColonna> tipo;
        if (!tabelle.value(i).isEmpty())
            tipo = catalogo.tipo(tabelle.at(i), c.nomeMotore);
        // An alias hides where a column comes from: a name that only one table of the
        // statement has still tells its kind.
        for (const QString& tabella : std::as_const(m_istruzione.tables)) {
            if (tipo)
                break;
            tipo = catalogo.tipo(tabella, c.nomeMotore);
        }
        c.tipo = tipo.value_or(TipoColonna::Libero);
        colonne.append(c);
    }
    m_connessione->ricordaColonne(testo, colonne);
    return colonne;
}

void RecordsetSql::conosciColonne() {
    if (!m_colonne.isEmpty())
        return;
    if (aggiornabile()) {
        // The table's own columns: appending needs no row of it.
        const auto& colonne = m_connessione->catalogo().colonne(m_istruzione.updatableTable);
        for (const auto& c : colonne)
            m_colonne.append({m_connessione->nomeColonna(c.nome), c.nome, c.tipo});
        if (!m_colonne.isEmpty())
            return;
    }
    carica();
}

int RecordsetSql::indice(const QString& nome) {
    conosciColonne();
    // The module mostly spells a name as the table declares it: that is found by a plain
    // comparison before any comparison that ignores case.
    for (int i = 0; i < m_colonne.size(); ++i)
        if (m_colonne.at(i).nome == nome)
            return i;
    for (int i = 0; i < m_colonne.size(); ++i)
        if (stessoNome(m_colonne.at(i).nome, nome))
            return i;
    for (int i = 0; i < m_colonne.size(); ++i)
        if (stessoNome(m_colonne.at(i).nomeMotore, nome))
            return i;
    // "NoteIncassi.DataIncasso": the column of a join by its table-qualified name.
    const qsizetype punto = nome.lastIndexOf(QLatin1Char('.'));
    if (punto >= 0 && punto + 1 < nome.size()) {
        const QString semplice = nome.mid(punto + 1);
        for (int i = 0; i < m_colonne.size(); ++i)
            if (m_colonne.at(i).nome.compare(semplice, Qt::CaseInsensitive) == 0 ||
                m_colonne.at(i).nomeMotore.compare(semplice, Qt::CaseInsensitive) == 0)
                return i;
    }
    throw Errore::campoNonTrovato(nome);
}

int RecordsetSql::indiceId() {
    for (int i = 0; i < m_colonne.size(); ++i)
        if (m_colonne.at(i).nomeMotore.compare(u"id", Qt::CaseInsensitive) == 0)
            return i;
    throw Errore::database(
        QStringLiteral(
            "La tabella %1 non ha la colonna id: le sue righe non si possono aggiornare.")
            .arg(m_istruzione.updatableTable));
}

QVariantList RecordsetSql::leggiRiga(qint64 id) {
    const auto risultato = m_connessione->leggi(QStringLiteral("SELECT * FROM %1 WHERE \"id\" = ?")
                                                    .arg(quotato(m_istruzione.updatableTable)),
                                                {id});
    if (risultato.righe.isEmpty())
        throw Errore::database(QStringLiteral("La riga appena salvata non si trova più nella "
                                              "tabella %1: un altro utente l'ha eliminata.")
                                   .arg(m_istruzione.updatableTable));
    QVariantList riga = risultato.righe.at(0);
    riga.resize(m_colonne.size());
    return riga;
}

QVariantList* RecordsetSql::rigaCorrente() {
    completaChiavi();
    if (m_suAggiunta)
        return &m_aggiunte.last();
    carica();
    if (m_pos >= 0 && m_pos < m_righe.size())
        return &m_righe[m_pos];
    return nullptr;
}

void RecordsetSql::salvaModifiche() {
    if (m_modifica != Modifica::Nessuna)
        Update();
}

void RecordsetSql::inserisci() {
    QString sql;
    sql.reserve(64 + 24 * m_colonne.size());
    sql.append(u"INSERT INTO ");
    aggiungiQuotato(sql, m_istruzione.updatableTable);
    QVariantList valori;
    valori.reserve(m_colonne.size());
    for (qsizetype i = 0; i < m_colonne.size(); ++i) {
        if (!m_modificato.value(i))
            continue;
        sql.append(valori.isEmpty() ? u" (" : u", ");
        aggiungiQuotato(sql, m_colonne.at(i).nomeMotore);
        valori.append(m_daScrivere.at(i));
    }
    if (valori.isEmpty()) {
        sql.append(u" DEFAULT VALUES");
    } else {
        sql.append(u") VALUES (?");
        for (qsizetype n = 1; n < valori.size(); ++n)
            sql.append(u", ?");
        sql.append(QLatin1Char(')'));
    }
    std::function<qint64()> chiave = m_connessione->inserisciDopo(sql, valori);
    // The row as the file now keeps it: what was written, the new key and the declared
    // defaults. Only a default the engine works out itself needs the row read back; the
    // key goes in when a row of the set is next read.
    std::optional<QVariantList> scritta = rigaScritta();
    QVariantList riga = scritta ? std::move(*scritta) : leggiRiga(chiave());

    m_modifica = Modifica::Nessuna;
    if (m_caricato) {
        m_righe.append(std::move(riga));
        m_pos = m_righe.size() - 1;
    } else {
        m_aggiunte.append(std::move(riga));
        m_suAggiunta = true;
    }
    if (scritta)
        m_chiavi.push_back({m_caricato, (m_caricato ? m_righe : m_aggiunte).size() - 1, std::move(chiave)});
}

void RecordsetSql::completaChiavi() {
    if (m_chiavi.empty())
        return;
    const int id = indiceId();
    // Taken out first: asking for a key may fail, and must not be asked again.
    for (const ChiaveInAttesa& c : std::exchange(m_chiavi, {}))
        (c.traLeRighe ? m_righe : m_aggiunte)[c.riga][id] = c.chiave();
}

void RecordsetSql::aggiorna() {
    QString sql;
    sql.reserve(64 + 24 * m_colonne.size());
    sql.append(u"UPDATE ");
    aggiungiQuotato(sql, m_istruzione.updatableTable);
    QVariantList valori;
    valori.reserve(m_colonne.size() + 1);
    const int id = indiceId();
    QVariant nuovoId = m_idInModifica;
    for (qsizetype i = 0; i < m_colonne.size(); ++i) {
        if (!m_modificato.value(i))
            continue;
        sql.append(valori.isEmpty() ? u" SET " : u", ");
        aggiungiQuotato(sql, m_colonne.at(i).nomeMotore);
        sql.append(u" = ?");
        valori.append(m_daScrivere.at(i));
        if (i == id)
            nuovoId = m_daScrivere.at(i);
    }
    if (!valori.isEmpty()) {
        sql.append(u" WHERE \"id\" = ?");
        valori.append(m_idInModifica);
        m_connessione->eseguiDopo(sql, valori,
                                  QStringLiteral("Impossibile aggiornare la riga della tabella "
                                                 "%1: un altro utente l'ha eliminata.")
                                      .arg(m_istruzione.updatableTable));
    }
    // The row read when the edit began, with what was written over it: no read-back.
    QVariantList riga = m_buffer;
    riga[id] = nuovoId;

    m_modifica = Modifica::Nessuna;
    if (QVariantList* corrente = rigaCorrente())
        *corrente = std::move(riga);
}

std::optional<QVariantList> RecordsetSql::rigaScritta() {
    // The table's columns, looked up once: "select *" lists them in their own order.
    const QList<CatalogoColonne::Colonna>& dichiarate =
        m_connessione->catalogo().colonne(m_istruzione.updatableTable);
    const auto cerca = [&dichiarate](qsizetype i,
                                     const QString& nome) -> const CatalogoColonne::Colonna* {
        if (i < dichiarate.size() && dichiarate.at(i).nome.compare(nome, Qt::CaseInsensitive) == 0)
            return &dichiarate.at(i);
        for (const CatalogoColonne::Colonna& c : dichiarate)
            if (c.nome.compare(nome, Qt::CaseInsensitive) == 0)
                return &c;
        return nullptr;
    };
    QVariantList riga(m_colonne.size());
    for (qsizetype i = 0; i < m_colonne.size(); ++i) {
        const Colonna& c = m_colonne.at(i);
        if (c.nomeMotore.compare(u"id", Qt::CaseInsensitive) == 0) {
            continue;
        } else if (m_modificato.value(i)) {
            riga[i] = m_daScrivere.at(i);
        } else {
            const CatalogoColonne::Colonna* dichiarata = cerca(i, c.nomeMotore);
            if (dichiarata == nullptr || !dichiarata->predefinito)
                return std::nullopt;
            riga[i] = *dichiarata->predefinito;
        }
    }
    return riga;
}

void RecordsetSql::soloAggiornabile() const {
    if (!aggiornabile())
        throw nonAggiornabile();
}

} // namespace KaloRefill
