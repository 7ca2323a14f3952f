// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "SqlTokenizer.h"

#include "host/Errore.h"

namespace KaloRefill {

namespace {

Errore erroreSintassi(const QString& motivo, qsizetype posizione) {
    return Errore::database(
        QStringLiteral("Errore di sintassi nell'istruzione SQL: %1 (posizione %2).")
            .arg(motivo)
            .arg(posizione + 1));
}

bool iniziaNome(QChar c) {
    return c.isLetter() || c == u'_';
}
bool continuaNome(QChar c) {
    return c.isLetterOrNumber() || c == u'_';
}

class Lettore {
public:
    explicit Lettore(const QString& sql) : m_sql(sql) {}

    QList<SqlTokenizer::Pezzo> leggiTutto() {
        QList<SqlTokenizer::Pezzo> pezzi;
        // About one token in four characters, the blanks between words included.
        pezzi.reserve(m_sql.size() / 4 + 4);
        while (m_pos < m_sql.size())
            pezzi.append(leggiUno());
        return pezzi;
    }

private:
    QChar at(qsizetype i) const { return i < m_sql.size() ? m_sql.at(i) : QChar(); }

    SqlTokenizer::Pezzo taglia(SqlTokenKind kind, qsizetype inizio, qsizetype fine) {
        m_pos = fine;
        return {kind, inizio, fine};
    }

    SqlTokenizer::Pezzo leggiUno() {
        const qsizetype inizio = m_pos;
        const QChar c = at(m_pos);
        if (c.isSpace()) {
            qsizetype fine = m_pos;
            while (fine < m_sql.size() && m_sql.at(fine).isSpace())
                ++fine;
            return taglia(SqlTokenKind::Whitespace, inizio, fine);
        }
        if (iniziaNome(c)) {
            qsizetype fine = m_pos + 1;
            while (fine < m_sql.size() && continuaNome(m_sql.at(fine)))
                ++fine;
            return taglia(SqlTokenKind::Word, inizio, fine);
        }
        if (c.isDigit() || (c == u'.' && at(m_pos + 1).isDigit()))
            return numero();
        switch (c.unicode()) {
        case u'\'':
        case u'"':
            return testo(c);
        case u'[':
            return delimitato(u']', SqlTokenKind::QuotedName,
                              QStringLiteral("nome tra parentesi quadre non chiuso"));
        case u'#':
            return delimitato(u'#', SqlTokenKind::Date, QStringLiteral("data tra # non chiusa"));
        case u',':
            return taglia(SqlTokenKind::Comma, inizio, inizio + 1);
        case u'.':
            return taglia(SqlTokenKind::Dot, inizio, inizio + 1);
        case u'(':
            return taglia(SqlTokenKind::LeftParen, inizio, inizio + 1);
        case u')':
            return taglia(SqlTokenKind::RightParen, inizio, inizio + 1);
        case u';':
            return taglia(SqlTokenKind::Semicolon, inizio, inizio + 1);
        case u'<':
            if (at(m_pos + 1) == u'>' || at(m_pos + 1) == u'=')
                return taglia(SqlTokenKind::Operator, inizio, inizio + 2);
            return taglia(SqlTokenKind::Operator, inizio, inizio + 1);
        case u'>':
            if (at(m_pos + 1) == u'=')
                return taglia(SqlTokenKind::Operator, inizio, inizio + 2);
            return taglia(SqlTokenKind::Operator, inizio, inizio + 1);
        case u'=':
        case u'+':
        case u'-':
        case u'*':
        case u'/':
        case u'&':
            return taglia(SqlTokenKind::Operator, inizio, inizio + 1);
        default:
            throw erroreSintassi(QStringLiteral("carattere non ammesso '%1'").arg(c), inizio);
        }
    }

    SqlTokenizer::Pezzo numero() {
        const qsizetype inizio = m_pos;
        qsizetype fine = m_pos;
        auto cifre = [&] {
            while (fine < m_sql.size() && m_sql.at(fine).isDigit())
                ++fine;
        };
        cifre();
        if (at(fine) == u'.') {
            ++fine;
            cifre();
        }
        if ((at(fine) == u'e' || at(fine) == u'E') &&
            (at(fine + 1).isDigit() ||
             ((at(fine + 1) == u'+' || at(fine + 1) == u'-') && at(fine + 2).isDigit()))) {
            fine += 2;
            cifre();
        }
        if (iniziaNome(at(fine)))
            throw erroreSintassi(QStringLiteral("numero non valido"), inizio);
        return taglia(SqlTokenKind::Number, inizio, fine);
    }

    // 'it''s' and "say ""hi""": the quote doubled stands for itself.
    SqlTokenizer::Pezzo testo(QChar virgoletta) {
        const qsizetype inizio = m_pos;
        qsizetype i = m_pos + 1;
        while (true) {
            if (i >= m_sql.size())
                throw erroreSintassi(QStringLiteral("testo tra virgolette non chiuso"), inizio);
            if (m_sql.at(i) == virgoletta) {
                if (at(i + 1) == virgoletta) {
                    i += 2;
                    continue;
                }
                return taglia(SqlTokenKind::String, inizio, i + 1);
            }
            ++i;
        }
    }

    SqlTokenizer::Pezzo delimitato(char16_t chiusura, SqlTokenKind kind, const QString& seAperto) {
        const qsizetype inizio = m_pos;
        const qsizetype fine = m_sql.indexOf(QChar(chiusura), inizio + 1);
        if (fine < 0)
            throw erroreSintassi(seAperto, inizio);
        return taglia(kind, inizio, fine + 1);
    }

    const QString& m_sql;
    qsizetype m_pos = 0;
};

} // namespace

QList<SqlTokenizer::Pezzo> SqlTokenizer::pezzi(const QString& sql) {
    return Lettore(sql).leggiTutto();
}

SqlToken SqlTokenizer::token(const QString& sql, const Pezzo& pezzo) {
    const qsizetype lunghezza = pezzo.fine - pezzo.inizio;
    QString valore;
    switch (pezzo.kind) {
    case SqlTokenKind::String: {
        // Inside the quotes every quote is doubled: one stands for itself.
        const QChar virgoletta = sql.at(pezzo.inizio);
        valore = sql.mid(pezzo.inizio + 1, lunghezza - 2);
        if (valore.contains(virgoletta))
            valore.replace(QString(2, virgoletta), QString(virgoletta));
        break;
    }
    case SqlTokenKind::QuotedName:
    case SqlTokenKind::Date:
        valore = sql.mid(pezzo.inizio + 1, lunghezza - 2);
        break;
    default:
        break;
    }
    return {pezzo.kind, sql.mid(pezzo.inizio, lunghezza), std::move(valore), pezzo.inizio};
}

QList<SqlToken> SqlTokenizer::tokenize(const QString& sql) {
    const QList<Pezzo> trovati = pezzi(sql);
    QList<SqlToken> tokens;
    tokens.reserve(trovati.size());
    for (const Pezzo& p : trovati)
        tokens.append(token(sql, p));
    return tokens;
}

} // namespace KaloRefill
