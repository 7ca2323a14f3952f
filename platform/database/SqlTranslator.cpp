// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "SqlTranslator.h"

#include "DialettoSql.h"
#include "JetDateLiteral.h"
#include "SelectClauses.h"
#include "SqlTokenizer.h"
#include "host/Errore.h"

#include <QList>

#include <algorithm>
#include <iterator>

namespace KaloRefill {

namespace {

constexpr QStringView paroleChiave[] = {
    u"select", u"from", u"where", u"group",  u"by",     u"having",  u"order",    u"asc",
    u"desc",   u"and",  u"or",    u"not",    u"inner",  u"left",    u"right",    u"outer",
    u"join",   u"on",   u"as",    u"delete", u"insert", u"into",    u"values",   u"update",
    u"set",    u"null", u"is",    u"in",     u"like",   u"between", u"distinct", u"union",
    u"exists", u"case", u"when",  u"then",   u"else",   u"end"};

constexpr QStringView funzioniAggregate[] = {u"sum",  u"count", u"avg",    u"min", u"max", u"first",
                                             u"last", u"stdev", u"stdevp", u"var", u"varp"};

// Words that start or shape a statement: a filter condition may hold none of them.
constexpr QStringView paroleDiIstruzione[] = {u"select", u"from",  u"where",  u"group",  u"having",
                                              u"order",  u"union", u"delete", u"insert", u"into",
                                              u"update", u"set",   u"values"};

template <std::size_t N> bool tra(const SqlToken& t, const QStringView (&parole)[N]) {
    return std::any_of(std::begin(parole), std::end(parole),
                       [&t](QStringView p) { return t.isWord(p); });
}

Errore erroreSintassi(const QString& motivo) {
    return Errore::database(
        QStringLiteral("Errore di sintassi nell'istruzione SQL: %1.").arg(motivo));
}

// The statement without its whitespace, remembering where whitespace stood.
struct Pezzi {
    QList<SqlToken> tokens;
    QList<bool> spazioPrima;

    qsizetype size() const { return tokens.size(); }
    const SqlToken& at(qsizetype i) const { return tokens.at(i); }
    void tronca(qsizetype n) {
        tokens.resize(n);
        spazioPrima.resize(n);
    }
};

Pezzi pezzi(QList<SqlToken> tokens) {
    Pezzi p;
    p.tokens.reserve(tokens.size());
    p.spazioPrima.reserve(tokens.size());
    bool spazio = false;
    for (SqlToken& t : tokens) {
        if (t.kind == SqlTokenKind::Whitespace) {
            spazio = true;
            continue;
        }
        p.tokens.append(std::move(t));
        p.spazioPrima.append(spazio);
        spazio = false;
    }
    return p;
}

void controllaParentesi(const Pezzi& p) {
    int profondita = 0;
    for (const SqlToken& t : p.tokens) {
        if (t.kind == SqlTokenKind::LeftParen)
            ++profondita;
        else if (t.kind == SqlTokenKind::RightParen && --profondita < 0)
            break;
    }
    if (profondita != 0)
        throw erroreSintassi(QStringLiteral("parentesi non bilanciate"));
}

bool chiamataAggregata(const Pezzi& p, SelectClauses::Range r) {
    for (qsizetype i = r.begin; i + 1 < r.end; ++i)
        if (tra(p.at(i), funzioniAggregate) && p.at(i + 1).kind == SqlTokenKind::LeftParen)
            return true;
    return false;
}

bool contieneParola(const Pezzi& p, SelectClauses::Range r, QStringView parola) {
    for (qsizetype i = r.begin; i < r.end; ++i)
        if (p.at(i).isWord(parola))
            return true;
    return false;
}

// Positions of the commas outside parentheses within a range.
QList<qsizetype> virgoleEsterne(const Pezzi& p, SelectClauses::Range r) {
    QList<qsizetype> virgole;
    int profondita = 0;
    for (qsizetype i = r.begin; i < r.end; ++i) {
        const SqlToken& t = p.at(i);
        if (t.kind == SqlTokenKind::LeftParen)
            ++profondita;
        else if (t.kind == SqlTokenKind::RightParen)
            --profondita;
        else if (profondita == 0 && t.kind == SqlTokenKind::Comma)
            virgole.append(i);
    }
    return virgole;
}

bool nomeSemplice(const SqlToken& t) {
    return t.isName() && !(t.kind == SqlTokenKind::Word && tra(t, paroleChiave));
}

// Tables named in a FROM clause: the first name and every name after JOIN or a comma,
// also inside the parentheses Access puts around joins.
QStringList tabelleDi(const Pezzi& p, SelectClauses::Range r) {
    QStringList tabelle;
    int profondita = 0;
    bool posizioneDiTabella = true;
    for (qsizetype i = r.begin; i < r.end; ++i) {
        const SqlToken& t = p.at(i);
        if (t.kind == SqlTokenKind::LeftParen)
            ++profondita;
        else if (t.kind == SqlTokenKind::RightParen)
            --profondita;
        if (posizioneDiTabella && t.kind == SqlTokenKind::LeftParen)
            continue;
        if (posizioneDiTabella && nomeSemplice(t))
            tabelle.append(t.nameText());
        posizioneDiTabella =
            t.isWord(u"join") || (t.kind == SqlTokenKind::Comma && profondita == 0);
    }
    return tabelle;
}

// The name each item of the select list gives its column: the alias after AS, or the
// column's own name. Empty list when an item is a *.
QStringList nomiColonne(const Pezzi& p, SelectClauses::Range lista) {
    QStringList nomi;
    qsizetype inizio = lista.begin;
    if (inizio < lista.end && p.at(inizio).isWord(u"distinct"))
        ++inizio;
    QList<qsizetype> fini = virgoleEsterne(p, {inizio, lista.end});
    fini.append(lista.end);
    for (qsizetype fine : fini) {
        const qsizetype n = fine - inizio;
        if (n <= 0)
            return {};
        const SqlToken& ultimo = p.at(fine - 1);
        if (ultimo.isOperator(u"*"))
            return {};
        if (n >= 3 && p.at(fine - 2).isWord(u"as") && ultimo.isName())
            nomi.append(ultimo.nameText());
        else if (nomeSemplice(ultimo) && (n == 1 || (p.at(fine - 2).kind == SqlTokenKind::Dot)))
            nomi.append(ultimo.nameText());
        else
            nomi.append(QString());
        inizio = fine + 1;
    }
    return nomi;
}

class Emettitore {
public:
    Emettitore(const Pezzi& p, const DialettoSql& dialetto) : m_p(p), m_dialetto(dialetto) {}
    const DialettoSql& dialetto() const { return m_dialetto; }

    QString emetti(qsizetype inizio, qsizetype fine) const {
        QString testo;
        for (qsizetype i = inizio; i < fine; ++i) {
            const QString pezzo = uscita(i);
            if (i > inizio && (m_p.spazioPrima.at(i) || serveSpazio(testo, pezzo)))
                testo.append(QLatin1Char(' '));
            testo.append(pezzo);
        }
        return testo;
    }
    QString emetti(SelectClauses::Range r) const {
        return r.present() ? emetti(r.begin, r.end) : QString();
    }

private:
    // Two pieces that would read as a comment, or as one word, once joined.
    static bool serveSpazio(const QString& prima, const QString& dopo) {
        if (prima.isEmpty() || dopo.isEmpty())
            return false;
        const QChar a = prima.back();
        const QChar b = dopo.front();
        return (a == u'-' && b == u'-') || (a == u'/' && b == u'*') ||
               (a.isLetterOrNumber() && (b.isLetterOrNumber() || b == u'_'));
    }

    bool parolaIsolata(qsizetype i) const {
        const bool dopoPunto = i > 0 && m_p.at(i - 1).kind == SqlTokenKind::Dot;
        const bool seguito = i + 1 < m_p.size() && (m_p.at(i + 1).kind == SqlTokenKind::Dot ||
                                                    m_p.at(i + 1).kind == SqlTokenKind::LeftParen);
        return !dopoPunto && !seguito;
    }

    // A keyword, not a name: "t.order" is a column, "left(a, 2)" a function.
    bool parolaChiave(qsizetype i) const {
        const SqlToken& t = m_p.at(i);
        if (!tra(t, paroleChiave))
            return false;
        const bool dopoPunto = i > 0 && m_p.at(i - 1).kind == SqlTokenKind::Dot;
        const SqlTokenKind seguente =
            i + 1 < m_p.size() ? m_p.at(i + 1).kind : SqlTokenKind::Whitespace;
        if (dopoPunto || seguente == SqlTokenKind::Dot)
            return false;
        return seguente != SqlTokenKind::LeftParen || !(t.isWord(u"left") || t.isWord(u"right"));
    }

    // "a NOT LIKE b": token i is the NOT right before a LIKE.
    bool precedeLike(qsizetype i) const {
        return i >= 0 && i + 1 < m_p.size() && m_p.at(i).isWord(u"not") &&
               m_p.at(i + 1).isWord(u"like");
    }

    QString uscita(qsizetype i) const {
        const SqlToken& t = m_p.at(i);
        switch (t.kind) {
        case SqlTokenKind::Word:
            if (parolaIsolata(i)) {
                // The original's booleans: True is -1.
                if (t.isWord(u"true"))
                    return QStringLiteral("-1");
                if (t.isWord(u"false"))
                    return QStringLiteral("0");
            }
            if (parolaChiave(i)) {
                // LIKE ignores case as the engine makes it; a NOT LIKE takes what goes
                // before the LIKE in front of its NOT.
                if (t.isWord(u"like"))
                    return (precedeLike(i - 1) ? QString() : m_dialetto.primaDiLike()) +
                           m_dialetto.like();
                if (t.isWord(u"not") && precedeLike(i))
                    return m_dialetto.primaDiLike() + QStringLiteral("NOT");
            }
            return parolaChiave(i) ? t.text.toUpper() : t.text;
        case SqlTokenKind::QuotedName:
            return m_dialetto.nome(t.value);
        case SqlTokenKind::String: {
            QString valore = t.value;
            valore.replace(QLatin1Char('\''), QStringLiteral("''"));
            return QLatin1Char('\'') + valore + QLatin1Char('\'');
        }
        case SqlTokenKind::Date:
            return m_dialetto.letteraleData(JetDateLiteral::parse(t.value));
        case SqlTokenKind::Operator:
            return t.text == u"&" ? QStringLiteral("||") : t.text;
        default:
            return t.text;
        }
    }

    const Pezzi& m_p;
    const DialettoSql& m_dialetto;
};

TranslatedStatement traduciSelect(const Pezzi& p, const Emettitore& e) {
    TranslatedStatement istruzione;
    istruzione.kind = StatementKind::Select;
    const SelectClauses c = SelectClauses::split(p.tokens);
    if (!c.regular || c.list.isEmpty()) {
        istruzione.sql = e.emetti(0, p.size());
        return istruzione;
    }
    istruzione.clausesKnown = true;
    istruzione.tables = tabelleDi(p, c.from);
    istruzione.columnNames = nomiColonne(p, c.list);
    istruzione.selectList = e.emetti(c.list);
    istruzione.from = e.emetti(c.from);
    istruzione.where = e.emetti(c.where);
    istruzione.groupBy = e.emetti(c.groupBy);
    istruzione.having = e.emetti(c.having);
    istruzione.orderBy = e.emetti(c.orderBy);

    // Without an aggregate a HAVING can only speak of the grouping columns, so it filters
    // the same rows before grouping, where the index on those columns can be used.
    if (c.groupBy.present() && c.having.present() && !chiamataAggregata(p, c.having) &&
        !contieneParola(p, c.having, u"select")) {
        istruzione.where = istruzione.where.isEmpty()
                               ? istruzione.having
                               : QLatin1Char('(') + istruzione.where + QStringLiteral(") AND (") +
                                     istruzione.having + QLatin1Char(')');
        istruzione.having.clear();
    }
    istruzione.sql = TranslatedStatement::composeSelect(istruzione.selectList, istruzione.from,
                                                        istruzione.where, istruzione.groupBy,
                                                        istruzione.having, istruzione.orderBy);

    const bool unaTabella = c.from.end - c.from.begin == 1 && nomeSemplice(p.at(c.from.begin));
    const bool distinct = p.at(c.list.begin).isWord(u"distinct");
    const bool raggruppa =
        c.groupBy.present() || c.having.present() || chiamataAggregata(p, c.list);
    istruzione.filterInWhere = unaTabella && !distinct && !raggruppa;
    const bool tutteLeColonne =
        c.list.end - c.list.begin == 1 && p.at(c.list.begin).isOperator(u"*");
    if (istruzione.filterInWhere && tutteLeColonne) {
        istruzione.updatableTable = p.at(c.from.begin).nameText();
        // Kept as the engine folds unquoted names; the set writes it quoted.
        istruzione.updatableTable = e.dialetto().nomePiegato(istruzione.updatableTable);
    }
    return istruzione;
}

TranslatedStatement traduciDelete(const Pezzi& p, const Emettitore& e) {
    TranslatedStatement istruzione;
    istruzione.kind = StatementKind::Delete;
    // "delete * from t" and "delete t.* from t": what stands before FROM says nothing.
    qsizetype from = 1;
    while (from < p.size() && !p.at(from).isWord(u"from")) {
        const SqlToken& t = p.at(from);
        if (!(t.isOperator(u"*") || t.kind == SqlTokenKind::Dot || nomeSemplice(t)))
            throw erroreSintassi(QStringLiteral("DELETE senza FROM"));
        ++from;
    }
    if (from + 1 >= p.size() || !nomeSemplice(p.at(from + 1)))
        throw erroreSintassi(QStringLiteral("DELETE senza tabella"));
    istruzione.tables = {p.at(from + 1).nameText()};
    istruzione.sql = QStringLiteral("DELETE ") + e.emetti(from, p.size());
    return istruzione;
}

TranslatedStatement traduciScrittura(const Pezzi& p, const Emettitore& e, StatementKind tipo) {
    TranslatedStatement istruzione;
    istruzione.kind = tipo;
    // INSERT INTO t ... / UPDATE t SET ...
    const qsizetype posTabella = tipo == StatementKind::Insert ? 2 : 1;
    if (tipo == StatementKind::Insert && (p.size() < 2 || !p.at(1).isWord(u"into")))
        throw erroreSintassi(QStringLiteral("INSERT senza INTO"));
    if (posTabella >= p.size() || !nomeSemplice(p.at(posTabella)))
        throw erroreSintassi(QStringLiteral("manca il nome della tabella"));
    istruzione.tables = {p.at(posTabella).nameText()};
    istruzione.sql = e.emetti(0, p.size());
    return istruzione;
}

// Cuts the text at its first ";": only blanks and further ";" may follow.
void unaSolaIstruzione(Pezzi& p) {
    for (qsizetype i = 0; i < p.size(); ++i) {
        if (p.at(i).kind != SqlTokenKind::Semicolon)
            continue;
        for (qsizetype j = i + 1; j < p.size(); ++j)
            if (p.at(j).kind != SqlTokenKind::Semicolon)
                throw Errore::database(QStringLiteral(
                    "Il testo SQL contiene più di un'istruzione: se ne può eseguire una sola."));
        p.tronca(i);
        return;
    }
}

} // namespace

TranslatedStatement SqlTranslator::translate(const QString& sql) const {
    return translate(SqlTokenizer::tokenize(sql));
}

TranslatedStatement SqlTranslator::translate(QList<SqlToken> tokens) const {
    Pezzi p = pezzi(std::move(tokens));
    unaSolaIstruzione(p);
    if (p.size() == 0)
        throw erroreSintassi(QStringLiteral("istruzione vuota"));
    controllaParentesi(p);
    const Emettitore e(p, *m_dialetto);
    const SqlToken& primo = p.at(0);
    if (primo.isWord(u"select"))
        return traduciSelect(p, e);
    if (primo.isWord(u"delete"))
        return traduciDelete(p, e);
    if (primo.isWord(u"insert"))
        return traduciScrittura(p, e, StatementKind::Insert);
    if (primo.isWord(u"update"))
        return traduciScrittura(p, e, StatementKind::Update);
    throw Errore::database(
        QStringLiteral(
            "Istruzione SQL non ammessa: si accettano SELECT, INSERT, UPDATE e DELETE (%1).")
            .arg(primo.text));
}

QString SqlTranslator::translateCondition(const QString& condizione) const {
    const Pezzi p = pezzi(SqlTokenizer::tokenize(condizione));
    for (const SqlToken& t : p.tokens)
        if (t.kind == SqlTokenKind::Semicolon || tra(t, paroleDiIstruzione))
            throw Errore::database(
                QStringLiteral("Condizione del filtro non valida: %1").arg(condizione));
    controllaParentesi(p);
    return Emettitore(p, *m_dialetto).emetti(0, p.size());
}

SqlTranslator::SqlTranslator(MotoreSql motore) : m_dialetto(DialettoSql::per(motore)) {}

} // namespace KaloRefill
