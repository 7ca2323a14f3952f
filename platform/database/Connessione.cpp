// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "Connessione.h"

#include "JetDateLiteral.h"
#include "SqlTokenizer.h"
#include "host/Errore.h"

#include <QSqlError>

#include <atomic>
#include <optional>

namespace KaloRefill {

namespace {

std::atomic<int> contatoreConnessioni{0};

QString nuovoNome() {
    return QStringLiteral("KaloRefill-database-%1").arg(contatoreConnessioni.fetch_add(1) + 1);
}

} // namespace

Connessione::Connessione(MotoreSql motore, int attesaBloccoMs)
    : m_dialetto(DialettoSql::per(motore)), m_attesaBloccoMs(attesaBloccoMs), m_nome(nuovoNome()),
      m_traduttore(motore) {}

Connessione::~Connessione() {
    {
        QSqlDatabase db = QSqlDatabase::database(m_nome, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_nome);
}

QSqlDatabase Connessione::database() const {
    return QSqlDatabase::database(m_nome, false);
}

QString Connessione::testoErrore(const QSqlError& errore) {
    QString testo = errore.databaseText().simplified();
    return testo.isEmpty() ? errore.text().simplified() : testo;
}

Errore Connessione::errore(const QString& contesto, const QSqlError& errore) {
    return Errore::database(contesto + QStringLiteral(": ") + testoErrore(errore));
}

namespace {

bool confronto(const SqlToken& t) {
    return t.kind == SqlTokenKind::Operator &&
           (t.text == u"=" || t.text == u"<>" || t.text == u"<" || t.text == u">" ||
            t.text == u"<=" || t.text == u">=");
}

// A number or a 'text' that stands right after a comparison.
std::optional<QVariant> valoreConfrontato(const SqlToken& t) {
    if (t.kind == SqlTokenKind::String && t.text.startsWith(QLatin1Char('\'')))
        return QVariant(t.value);
    if (t.kind != SqlTokenKind::Number)
        return std::nullopt;
    bool ok = false;
    const qlonglong intero = t.text.toLongLong(&ok);
    if (ok)
        return QVariant(intero);
    const double reale = t.text.toDouble(&ok);
    return ok ? std::optional<QVariant>(QVariant(reale)) : std::nullopt;
}

} // namespace

Connessione::Parametrizzata Connessione::parametrizza(const QString& sql) {
    // The module writes its values into its texts: a header's date, a document's id. The
    // values compared in them are bound instead, so that one compiled statement serves
    // every date and every document.
    Parametrizzata risultato{sql, {}};
    if (sql.contains(QLatin1Char('?')) || !(sql.startsWith(u"select", Qt::CaseInsensitive) ||
                                            sql.startsWith(u"delete", Qt::CaseInsensitive)))
        return risultato;
    QList<SqlToken> pezzi;
    try {
        pezzi = SqlTokenizer::tokenize(sql);
    } catch (const Errore&) {
        return risultato; // a text the tokenizer does not know is run as it is
    }
    QString testo;
    testo.reserve(sql.size());
    const SqlToken* precedente = nullptr;
    for (qsizetype i = 0; i < pezzi.size(); ++i) {
        const SqlToken& t = pezzi.at(i);
        const bool dopoConfronto = precedente && confronto(*precedente);
        // A typed literal, DATE '2026-12-04': its text is the value.
        if (dopoConfronto && (t.isWord(u"date") || t.isWord(u"time") || t.isWord(u"timestamp")) &&
            i + 2 < pezzi.size() && pezzi.at(i + 1).kind == SqlTokenKind::Whitespace &&
            pezzi.at(i + 2).kind == SqlTokenKind::String) {
            testo.append(QLatin1Char('?'));
            risultato.valori.append(QVariant(pezzi.at(i + 2).value));
            precedente = &pezzi.at(i + 2);
            i += 2;
            continue;
        }
        const std::optional<QVariant> valore = dopoConfronto ? valoreConfrontato(t) : std::nullopt;
        if (valore) {
            testo.append(QLatin1Char('?'));
            risultato.valori.append(*valore);
        } else {
            testo.append(t.text);
        }
        if (t.kind != SqlTokenKind::Whitespace)
            precedente = &t;
    }
    risultato.testo = std::move(testo);
    return risultato;
}

const Connessione::Parametrizzata& Connessione::parametrizzata(const QString& sql) {
    auto nota = m_parametrizzate.find(sql);
    if (nota == m_parametrizzate.end()) {
        if (m_parametrizzate.size() >= MassimoPreparate)
            m_parametrizzate.clear();
        nota = m_parametrizzate.emplace(sql, parametrizza(sql)).first;
    }
    return nota->second;
}

namespace {

// A compared value in a text becomes a mark no text of the module holds: a number between
// two characters of Unicode's private use area.
constexpr QChar InizioSegno{0xE000};
constexpr QChar FineSegno{0xE001};

QString segno(qsizetype numero) {
    return InizioSegno + QString::number(numero) + FineSegno;
}

bool confronto(const QString& sql, const SqlTokenizer::Pezzo& p) {
    if (p.kind != SqlTokenKind::Operator)
        return false;
    const QStringView t = QStringView(sql).mid(p.inizio, p.fine - p.inizio);
    return t == u"=" || t == u"<>" || t == u"<" || t == u">" || t == u"<=" || t == u">=";
}

// The value a mark stands for, as one token of the text.
bool valoreDaSegnare(const QString& sql, const QList<SqlTokenizer::Pezzo>& pezzi, qsizetype i) {
    const SqlTokenizer::Pezzo& p = pezzi.at(i);
    if (p.kind == SqlTokenKind::String || p.kind == SqlTokenKind::Date)
        return true;
    if (p.kind != SqlTokenKind::Number)
        return false;
    // "5and": a number would be emitted with a space before the word, a mark without.
    if (i + 1 < pezzi.size() && (pezzi.at(i + 1).kind == SqlTokenKind::Word ||
                                 pezzi.at(i + 1).kind == SqlTokenKind::Number))
        return false;
    const QStringView testo = QStringView(sql).mid(p.inizio, p.fine - p.inizio);
    bool intero = false;
    bool reale = false;
    static_cast<void>(testo.toLongLong(&intero));
    if (!intero)
        static_cast<void>(testo.toDouble(&reale));
    return intero || reale;
}

// The value written into the statement as the translator writes it.
QString testoValore(const SqlToken& t, const DialettoSql& dialetto) {
    switch (t.kind) {
    case SqlTokenKind::String: {
        QString valore = t.value;
        valore.replace(QLatin1Char('\''), QStringLiteral("''"));
        return QLatin1Char('\'') + valore + QLatin1Char('\'');
    }
    case SqlTokenKind::Date:
        return dialetto.letteraleData(JetDateLiteral::parse(t.value));
    default:
        return t.text;
    }
}

// The value bound in place of the mark: what the engine compares the column with.
QVariant valoreLegato(const SqlToken& t, const DialettoSql& dialetto) {
    switch (t.kind) {
    case SqlTokenKind::String:
        return t.value;
    case SqlTokenKind::Date:
        return dialetto.valoreData(JetDateLiteral::parse(t.value));
    default: {
        bool ok = false;
        const qlonglong intero = t.text.toLongLong(&ok);
        return ok ? QVariant(intero) : QVariant(t.text.toDouble());
    }
    }
}

// Calls `daSegno` for each mark of the text, `daTesto` for what stands between them.
template <typename DaTesto, typename DaSegno>
void percorriSegni(const QString& testo, DaTesto&& daTesto, DaSegno&& daSegno) {
    qsizetype da = 0;
    for (;;) {
        const qsizetype inizio = testo.indexOf(InizioSegno, da);
        if (inizio < 0) {
            daTesto(QStringView(testo).mid(da));
            return;
        }
        const qsizetype fine = testo.indexOf(FineSegno, inizio);
        daTesto(QStringView(testo).mid(da, inizio - da));
        daSegno(QStringView(testo).mid(inizio + 1, fine - inizio - 1).toLongLong());
        da = fine + 1;
    }
}

QString conValori(const QString& testo, const QStringList& valori) {
    if (!testo.contains(InizioSegno))
        return testo;
    QString risultato;
    risultato.reserve(testo.size() + 16 * valori.size());
    percorriSegni(
        testo, [&](QStringView pezzo) { risultato.append(pezzo); },
        [&](qsizetype n) { risultato.append(valori.at(n)); });
    return risultato;
}

} // namespace

const Connessione::Forma& Connessione::forma(const QString& chiave,
                                                         QList<SqlToken> tokens) {
    Forma nuova;
    nuova.tradotta = m_traduttore.translate(std::move(tokens));
    const QString& sql = nuova.tradotta.sql;
    // The values this shape compares are known from its marks: each text of the shape gets
    // its bound form here, so it is never read again to find them.
    if (sql.startsWith(u"select", Qt::CaseInsensitive) || sql.startsWith(u"delete", Qt::CaseInsensitive)) {
        nuova.parametrizzata.reserve(sql.size());
        percorriSegni(
            sql, [&](QStringView pezzo) { nuova.parametrizzata.append(pezzo); },
            [&](qsizetype n) {
                nuova.parametrizzata.append(QLatin1Char('?'));
                nuova.ordine.append(n);
            });
    }
    if (m_forme.size() >= MassimoPreparate)
        m_forme.clear();
    return m_forme.emplace(chiave, std::move(nuova)).first->second;
}

const TranslatedStatement& Connessione::traduci(const QString& sql) {
    auto trovata = m_traduzioni.find(sql);
    if (trovata != m_traduzioni.end())
        return trovata->second;
    if (m_traduzioni.size() >= MassimoPreparate)
        m_traduzioni.clear();
    if (sql.contains(InizioSegno) || sql.contains(FineSegno) || sql.contains(QLatin1Char('?')))
        return m_traduzioni.emplace(sql, m_traduttore.translate(sql)).first->second;

    // A new day or document brings texts that differ from known ones only in the values
    // they compare: those are taken out, and the rest is translated once. The text is
    // first only cut into pieces; its tokens are made for the values, and for the rest
    // only when its shape is new.
    const QList<SqlTokenizer::Pezzo> pezzi = SqlTokenizer::pezzi(sql);
    QList<qsizetype> segnati;
    QString chiave;
    chiave.reserve(sql.size());
    const SqlTokenizer::Pezzo* precedente = nullptr;
    for (qsizetype i = 0; i < pezzi.size(); ++i) {
        const SqlTokenizer::Pezzo& p = pezzi.at(i);
        if (precedente && confronto(sql, *precedente) && valoreDaSegnare(sql, pezzi, i)) {
            chiave.append(segno(segnati.size()));
            segnati.append(i);
        } else {
            chiave.append(QStringView(sql).mid(p.inizio, p.fine - p.inizio));
        }
        if (p.kind != SqlTokenKind::Whitespace)
            precedente = &p;
    }
    const auto tuttiITokens = [&] {
        QList<SqlToken> tokens;
        tokens.reserve(pezzi.size());
        for (const SqlTokenizer::Pezzo& p : pezzi)
            tokens.append(SqlTokenizer::token(sql, p));
        return tokens;
    };
    if (segnati.isEmpty())
        return m_traduzioni.emplace(sql, m_traduttore.translate(tuttiITokens())).first->second;

    QList<SqlToken> valori;
    valori.reserve(segnati.size());
    for (qsizetype i : std::as_const(segnati))
        valori.append(SqlTokenizer::token(sql, pezzi.at(i)));
    const auto nota = m_forme.find(chiave);
    const Forma& f = nota != m_forme.end() ? nota->second : [&]() -> const Forma& {
        QList<SqlToken> tokens = tuttiITokens();
        for (qsizetype n = 0; n < segnati.size(); ++n) {
            SqlToken& t = tokens[segnati.at(n)];
            t = SqlToken{SqlTokenKind::Number, segno(n), {}, t.position};
        }
        return forma(chiave, std::move(tokens));
    }();
    QStringList testi;
    testi.reserve(valori.size());
    for (const SqlToken& v : std::as_const(valori))
        testi.append(testoValore(v, *m_dialetto));
    TranslatedStatement tradotta = f.tradotta;
    for (QString* testo : {&tradotta.sql, &tradotta.selectList, &tradotta.from, &tradotta.where,
                           &tradotta.groupBy, &tradotta.having, &tradotta.orderBy})
        *testo = conValori(*testo, testi);
    if (!f.parametrizzata.isEmpty() && m_parametrizzate.find(tradotta.sql) == m_parametrizzate.end()) {
        Parametrizzata p{f.parametrizzata, {}};
        p.valori.reserve(f.ordine.size());
        for (qsizetype n : f.ordine)
            p.valori.append(valoreLegato(valori.at(n), *m_dialetto));
        if (m_parametrizzate.size() >= MassimoPreparate)
            m_parametrizzate.clear();
        m_parametrizzate.emplace(tradotta.sql, std::move(p));
    }
    return m_traduzioni.emplace(sql, std::move(tradotta)).first->second;
}

const QString& Connessione::traduciCondizione(const QString& condizione) {
    auto trovata = m_condizioni.find(condizione);
    if (trovata != m_condizioni.end())
        return trovata->second;
    QString tradotta = m_traduttore.translateCondition(condizione);
    if (m_condizioni.size() >= MassimoPreparate)
        m_condizioni.clear();
    return m_condizioni.emplace(condizione, std::move(tradotta)).first->second;
}

const QString& Connessione::testoCompilato(const QString& sql) const {
    const auto nota = m_parametrizzate.find(sql);
    return nota != m_parametrizzate.end() ? nota->second.testo : sql;
}

const QList<ColonnaInsieme>* Connessione::colonneNote(const QString& sql) const {
    const auto note = m_colonneNote.find(testoCompilato(sql));
    return note != m_colonneNote.end() ? &note->second : nullptr;
}

void Connessione::ricordaColonne(const QString& sql, QList<ColonnaInsieme> colonne) {
    if (m_colonneNote.size() >= MassimoPreparate)
        m_colonneNote.clear();
    m_colonneNote.insert_or_assign(testoCompilato(sql), std::move(colonne));
}

void Connessione::dimenticaColonne() {
    m_catalogo.dimentica();
    m_colonneNote.clear();
}

void Connessione::eseguiDopo(const QString& sql, const QVariantList& valori, const QString& seNessunaRiga) {
    if (esegui(sql, valori) == 0 && !seNessunaRiga.isEmpty())
        throw Errore::database(seNessunaRiga);
}

std::function<qint64()> Connessione::inserisciDopo(const QString& sql, const QVariantList& valori) {
    const qint64 chiave = inserisci(sql, valori);
    return [chiave] { return chiave; };
}

void Connessione::iniziaUnita() {
    if (m_unita != StatoUnita::Nessuna)
        throw Errore::chiamataNonValida();
    apriUnita();
}

void Connessione::confermaUnita() {
    if (m_unita == StatoUnita::Persa) {
        // Confirming a lost unit ends it: the next one can start.
        const QString motivo = m_motivoPerdita;
        annullaUnita();
        throw Errore::unitaNonRiuscita(motivo);
    }
    if (m_unita != StatoUnita::Attiva)
        throw Errore::chiamataNonValida();
    QString motivo;
    if (!chiudiUnita(motivo)) {
        annullaUnita();
        throw Errore::unitaNonRiuscita(motivo);
    }
    m_unita = StatoUnita::Nessuna;
}

void Connessione::annullaUnita() {
    scartaUnita();
    m_unita = StatoUnita::Nessuna;
    m_motivoPerdita.clear();
}

void Connessione::perdiUnita(QString motivo) {
    m_unita = StatoUnita::Persa;
    m_motivoPerdita = std::move(motivo);
    throw Errore::unitaNonRiuscita(m_motivoPerdita);
}

void Connessione::soloSeUnitaViva() const {
    if (m_unita == StatoUnita::Persa)
        throw Errore::unitaNonRiuscita(m_motivoPerdita);
}

} // namespace KaloRefill
