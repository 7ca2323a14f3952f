// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "CanalePg.h"

#include <QDateTime>

#include <libpq-fe.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <optional>
#include <vector>

namespace KaloRefill {

namespace {

// The server's own numbers of the types the driver knows.
enum Tipo : unsigned {
    Bool = 16,
    Bytea = 17,
    Int8 = 20,
    Int2 = 21,
    Int4 = 23,
    Oid = 26,
    Float4 = 700,
    Float8 = 701,
    Date = 1082,
    Time = 1083,
    Timestamp = 1114,
    TimestampTz = 1184,
    Numeric = 1700,
};

// Below it, the server's own objects.
constexpr unsigned PrimoOggettoUtente = 16384;

bool noto(unsigned tipo) {
    switch (tipo) {
    case Bool:
    case Bytea:
    case Int8:
    case Int2:
    case Int4:
    case Oid:
    case Float4:
    case Float8:
    case Date:
    case Time:
    case Timestamp:
    case TimestampTz:
    case Numeric:
    case 25:   // text
    case 1043: // varchar
    case 1042: // char
    case 19:   // name
        return true;
    default:
        return false;
    }
}

// "$1, $2": the ? of the text, outside quotes, numbered in order.
QByteArray numerato(const QString& sql, int& valori) {
    valori = 0;
    // Texts with no value to bind (a unit's BEGIN, its savepoints, COMMIT) have none.
    if (!sql.contains(u'?'))
        return sql.toUtf8();
    QString testo;
    testo.reserve(sql.size() + 8);
    QChar apice;
    for (const QChar c : sql) {
        if (!apice.isNull()) {
            if (c == apice)
                apice = QChar();
        } else if (c == u'\'' || c == u'"') {
            apice = c;
        } else if (c == u'?') {
            testo.append(QLatin1Char('$') + QString::number(++valori));
            continue;
        }
        testo.append(c);
    }
    return testo.toUtf8();
}

// A value as the server reads it in text form; null for a null.
std::optional<QByteArray> testoValore(const QVariant& v) {
    if (!v.isValid() || v.isNull())
        return std::nullopt;
    switch (v.metaType().id()) {
    case QMetaType::Bool:
        return QByteArray(v.toBool() ? "true" : "false");
    case QMetaType::Double:
    case QMetaType::Float: {
        // The shortest text that reads back as the same double.
        char testo[32];
        const auto fine = std::to_chars(testo, testo + sizeof testo, v.toDouble()).ptr;
        return QByteArray(testo, fine - testo);
    }
    case QMetaType::QDate:
        return v.toDate().toString(Qt::ISODate).toLatin1();
    case QMetaType::QTime:
        return v.toTime().toString(QStringLiteral("HH:mm:ss.zzz")).toLatin1();
    case QMetaType::QDateTime:
        return v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")).toLatin1();
    case QMetaType::QByteArray:
        return v.toByteArray();
    default:
        return v.toString().toUtf8();
    }
}

QSqlError erroreDi(const PGresult* risultato) {
    const char* codice = PQresultErrorField(risultato, PG_DIAG_SQLSTATE);
    const QString stato = QString::fromLatin1(codice ? codice : "");
    QString testo = QString::fromUtf8(PQresultErrorMessage(risultato));
    if (!stato.isEmpty())
        testo += QStringLiteral("(%1)").arg(stato);
    return QSqlError(QStringLiteral("QPSQL: Unable to create query"), testo, QSqlError::StatementError,
                     stato);
}

} // namespace

void CanalePg::collega(pg_conn* connessione) {
    m_pg = connessione;
    dimentica();
}

void CanalePg::dimentica() {
    m_preparate.clear();
    m_tabelle.clear();
    m_colonne.clear();
}

QSqlError CanalePg::erroreConnessione() const {
    return QSqlError(QStringLiteral("QPSQL: Unable to create query"),
                     m_pg ? QString::fromUtf8(PQerrorMessage(m_pg)) : QString(),
                     QSqlError::ConnectionError);
}

const CanalePg::Preparata& CanalePg::preparata(const QString& sql, bool& nuova) {
    auto trovata = m_preparate.constFind(sql);
    nuova = trovata == m_preparate.constEnd();
    if (!nuova)
        return *trovata;
    Preparata p;
    p.testo = numerato(sql, p.valori);
    p.nome = "kr" + QByteArray::number(++m_prossimoNome);
    return *m_preparate.insert(sql, p);
}

QList<CanalePg::Esito> CanalePg::invia(const QList<Richiesta>& richieste) {
    QList<Esito> esiti(richieste.size());
    // Per request: whether a Parse goes before it, and the result slots read back.
    std::vector<int> prime;
    bool inviato = m_pg != nullptr && PQstatus(m_pg) == CONNECTION_OK && PQenterPipelineMode(m_pg) == 1;
    QList<QByteArray> nomiNuovi;
    // Made once for all the requests: libpq copies the values as each request is sent.
    std::vector<std::optional<QByteArray>> testi;
    std::vector<const char*> valori;
    std::vector<int> lunghezze;
    std::vector<int> formati;
    for (qsizetype i = 0; inviato && i < richieste.size(); ++i) {
        const Richiesta& r = richieste.at(i);
        testi.clear();
        valori.clear();
        lunghezze.clear();
        formati.clear();
        for (const QVariant& v : r.valori)
            testi.push_back(testoValore(v));
        for (const auto& t : testi) {
            valori.push_back(t ? t->constData() : nullptr);
            lunghezze.push_back(t ? int(t->size()) : 0);
            formati.push_back(0);
        }
        for (qsizetype n = 0; n < r.valori.size(); ++n)
            if (r.valori.at(n).metaType().id() == QMetaType::QByteArray)
                formati[size_t(n)] = 1;
        const int quanti = int(valori.size());
        if (r.preparata || r.soloPrepara) {
            bool nuova = false;
            const Preparata& p = preparata(r.sql, nuova);
            esiti[i].preparata = p.nome;
            if (nuova) {
                inviato = PQsendPrepare(m_pg, p.nome.constData(), p.testo.constData(), 0, nullptr) == 1;
                nomiNuovi.append(p.nome);
            }
            // 1: a Parse and the statement; 2: a Parse alone; 3: nothing to send.
            prime.push_back(r.soloPrepara ? (nuova ? 2 : 3) : (nuova ? 1 : 0));
            if (!r.soloPrepara)
                inviato = inviato && PQsendQueryPrepared(m_pg, p.nome.constData(), quanti, valori.data(),
                                                         lunghezze.data(), formati.data(), 0) == 1;
        } else {
            int n = 0;
            const QByteArray testo = numerato(r.sql, n);
            prime.push_back(0);
            inviato = PQsendQueryParams(m_pg, testo.constData(), quanti, nullptr, valori.data(),
                                        lunghezze.data(), formati.data(), 0) == 1;
        }
    }
    inviato = inviato && PQpipelineSync(m_pg) == 1;

    // One result, then a null, for each Parse and each statement; then the sync.
    QSqlError primoErrore;
    bool finito = false;
    const auto prossimo = [&]() -> std::shared_ptr<PGresult> {
        for (int vuoti = 0; vuoti < 3 && !finito; ++vuoti) {
            PGresult* r = PQgetResult(m_pg);
            if (r == nullptr) {
                if (PQstatus(m_pg) != CONNECTION_OK)
                    break;
                continue;
            }
            if (PQresultStatus(r) == PGRES_PIPELINE_SYNC) {
                PQclear(r);
                finito = true;
                break;
            }
            return std::shared_ptr<PGresult>(r, PQclear);
        }
        return {};
    };
    for (qsizetype i = 0; inviato && i < richieste.size(); ++i) {
        Esito& esito = esiti[i];
        const int modo = prime.at(size_t(i));
        if (modo == 3)
            continue;
        if (modo == 1) {
            const std::shared_ptr<PGresult> p = prossimo();
            if (p && PQresultStatus(p.get()) == PGRES_FATAL_ERROR && !primoErrore.isValid()) {
                primoErrore = erroreDi(p.get());
                esito.rifiutata = true;
            }
        }
        esito.risultato = prossimo();
        if (modo == 2 && esito.risultato && PQresultStatus(esito.risultato.get()) == PGRES_FATAL_ERROR)
            esito.rifiutata = true;
        const ExecStatusType stato = esito.risultato ? PQresultStatus(esito.risultato.get()) : PGRES_FATAL_ERROR;
        if (!esito.risultato && !primoErrore.isValid())
            primoErrore = erroreConnessione();
        else if (stato == PGRES_FATAL_ERROR && !primoErrore.isValid())
            primoErrore = erroreDi(esito.risultato.get());
        if (stato != PGRES_TUPLES_OK && stato != PGRES_COMMAND_OK)
            esito.errore = primoErrore.isValid() ? primoErrore : erroreConnessione();
    }
    while (inviato && !finito && PQstatus(m_pg) == CONNECTION_OK)
        if (!prossimo() && !finito)
            break;
    if (m_pg && PQpipelineStatus(m_pg) != PQ_PIPELINE_OFF)
        PQexitPipelineMode(m_pg);
    if (!inviato || PQstatus(m_pg) != CONNECTION_OK) {
        const QSqlError errore = erroreConnessione();
        for (Esito& esito : esiti)
            if (esito.riuscito())
                esito.errore = errore;
        m_preparate.clear();
        return esiti;
    }
    // A statement the server refused to prepare is not kept.
    if (primoErrore.isValid())
        for (auto it = m_preparate.begin(); it != m_preparate.end();)
            it = nomiNuovi.contains(it->nome) ? m_preparate.erase(it) : std::next(it);
    return esiti;
}

int CanalePg::cambiate(const Esito& esito) {
    return esito.risultato ? QByteArray(PQcmdTuples(esito.risultato.get())).toInt() : 0;
}

unsigned CanalePg::tipoBase(unsigned tipo) const {
    return m_tipi.value(tipo, tipo);
}

void CanalePg::conosciTipi(const QList<unsigned>& tipi) {
    QStringList ignoti;
    for (unsigned t : tipi)
        if (!noto(t) && !m_tipi.contains(t))
            ignoti.append(QString::number(t));
    if (ignoti.isEmpty())
        return;
    // A domain answers with the type it is made of; any other type stays text.
    const QList<Esito> esiti = invia({{QStringLiteral("SELECT oid, CASE WHEN typtype = 'd' THEN "
                                                      "typbasetype ELSE oid END FROM pg_type WHERE oid IN (") +
                                           ignoti.join(u',') + QLatin1Char(')'),
                                       {},
                                       false}});
    // Asked again next time when the server could not say.
    if (!esiti.constFirst().riuscito())
        return;
    for (unsigned t : tipi)
        if (!noto(t))
            m_tipi.insert(t, t);
    PGresult* r = esiti.constFirst().risultato.get();
    for (int i = 0; i < PQntuples(r); ++i)
        m_tipi.insert(QByteArray(PQgetvalue(r, i, 0)).toUInt(), QByteArray(PQgetvalue(r, i, 1)).toUInt());
}

namespace {
const QString TabelleVisibili = QStringLiteral(
    "(relkind IN ('r', 'v', 'p', 'm', 'f') AND pg_table_is_visible(oid) AND "
    "relnamespace NOT IN ('pg_catalog'::regnamespace, 'information_schema'::regnamespace))");
} // namespace

CanalePg::Richiesta CanalePg::richiestaTabelle() {
    return {QStringLiteral("SELECT oid, relname FROM pg_class WHERE ") + TabelleVisibili, {}, false};
}

void CanalePg::conosciTabelle(const Esito& esito) {
    if (!esito.riuscito() || !esito.risultato)
        return;
    PGresult* r = esito.risultato.get();
    for (int i = 0; i < PQntuples(r); ++i)
        m_tabelle.insert(QByteArray(PQgetvalue(r, i, 0)).toUInt(), QString::fromUtf8(PQgetvalue(r, i, 1)));
}

void CanalePg::conosciTabelle(const QList<unsigned>& tabelle) {
    QStringList ignote;
    // The system's own tables (below the first number a user object gets) come only from
    // the program's catalogue look-ups, which need no table names.
    for (unsigned t : tabelle)
        if (t >= PrimoOggettoUtente && !m_tabelle.contains(t) && !ignote.contains(QString::number(t)))
            ignote.append(QString::number(t));
    if (ignote.isEmpty())
        return;
    // With every table the connection sees: one round trip for the whole session, not one
    // per table.
    const QList<Esito> esiti = invia({{QStringLiteral("SELECT oid, relname FROM pg_class WHERE oid IN (") +
                                           ignote.join(u',') + QStringLiteral(") OR ") + TabelleVisibili,
                                       {},
                                       false}});
    if (!esiti.constFirst().riuscito())
        return;
    for (const QString& t : std::as_const(ignote))
        m_tabelle.insert(t.toUInt(), QString());
    conosciTabelle(esiti.constFirst());
}

QVariant CanalePg::valore(const pg_result* risultato, int riga, int colonna, unsigned tipo) const {
    if (PQgetisnull(risultato, riga, colonna))
        return {};
    const char* testo = PQgetvalue(risultato, riga, colonna);
    const QByteArray grezzo = QByteArray::fromRawData(testo, qsizetype(std::strlen(testo)));
    switch (tipoBase(tipo)) {
    case Bool:
        return QVariant(testo[0] == 't');
    case Int8:
        return QVariant(grezzo.toLongLong());
    case Int2:
    case Int4:
    case Oid:
        return QVariant(grezzo.toInt());
    case Float4:
    case Float8:
    case Numeric:
        return QVariant(grezzo.toDouble());
    case Date:
        return QVariant(QDate::fromString(QString::fromLatin1(grezzo), Qt::ISODate));
    case Time:
        return QVariant(QTime::fromString(QString::fromLatin1(grezzo), Qt::ISODate));
    case Timestamp:
    case TimestampTz: {
        QString iso = QString::fromLatin1(grezzo);
        iso.replace(QLatin1Char(' '), QLatin1Char('T'));
        const QDateTime momento = QDateTime::fromString(iso, Qt::ISODate);
        return QVariant(tipoBase(tipo) == TimestampTz ? momento.toLocalTime() : momento);
    }
    case Bytea: {
        size_t lunghezza = 0;
        unsigned char* dati = PQunescapeBytea(reinterpret_cast<const unsigned char*>(testo), &lunghezza);
        const QByteArray byte(reinterpret_cast<const char*>(dati), qsizetype(lunghezza));
        PQfreemem(dati);
        return QVariant(byte);
    }
    default:
        return QVariant(QString::fromUtf8(grezzo));
    }
}

CanalePg::Colonne CanalePg::colonne(const pg_result* r, const QByteArray& preparata) {
    const int quante = PQnfields(r);
    const auto nota = preparata.isEmpty() ? m_colonne.cend() : m_colonne.constFind(preparata);
    if (nota != m_colonne.cend() && nota->tipi.size() == quante)
        return *nota;

    Colonne c;
    QList<unsigned> tabelle;
    for (int i = 0; i < quante; ++i) {
        c.tipi.append(PQftype(r, i));
        tabelle.append(PQftable(r, i));
    }
    conosciTipi(c.tipi);
    conosciTabelle(tabelle);
    for (int i = 0; i < quante; ++i) {
        c.nomi.append(QString::fromUtf8(PQfname(r, i)));
        c.tabelle.append(m_tabelle.value(tabelle.at(i)));
    }
    // Kept once the server has said what each table and type is; otherwise asked again.
    const bool conosciute = std::all_of(tabelle.cbegin(), tabelle.cend(),
                                        [this](unsigned t) { return t < PrimoOggettoUtente || m_tabelle.contains(t); }) &&
                            std::all_of(c.tipi.cbegin(), c.tipi.cend(),
                                        [this](unsigned t) { return noto(t) || m_tipi.contains(t); });
    if (conosciute && !preparata.isEmpty())
        m_colonne.insert(preparata, c);
    return c;
}

Connessione::Risultato CanalePg::righe(const Esito& esito) {
    Connessione::Risultato risultato;
    const std::shared_ptr<PGresult> r = esito.risultato;
    if (!r)
        return risultato;
    const Colonne c = colonne(r.get(), esito.preparata);
    risultato.nomi = c.nomi;
    risultato.tabelle = c.tabelle;
    const QList<unsigned>& tipi = c.tipi;
    const int quante = PQntuples(r.get());
    risultato.righe.reserve(quante);
    for (int n = 0; n < quante; ++n) {
        QVariantList riga;
        riga.reserve(tipi.size());
        for (int i = 0; i < tipi.size(); ++i)
            riga.append(valore(r.get(), n, i, tipi.at(i)));
        risultato.righe.append(std::move(riga));
    }
    return risultato;
}

} // namespace KaloRefill
