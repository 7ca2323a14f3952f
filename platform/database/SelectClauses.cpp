// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "SelectClauses.h"

#include <array>

namespace KaloRefill {

namespace {
enum Clausola { Lista, From, Where, GroupBy, Having, OrderBy, NumeroClausole };

// Which clause a keyword at top level opens, and how many tokens the keyword takes.
struct Apertura {
    int clausola = -1;
    qsizetype lunghezza = 0;
};

Apertura apertura(const QList<SqlToken>& tokens, qsizetype i) {
    const SqlToken& t = tokens.at(i);
    const bool seguitoDaBy = i + 1 < tokens.size() && tokens.at(i + 1).isWord(u"by");
    if (t.isWord(u"from"))
        return {From, 1};
    if (t.isWord(u"where"))
        return {Where, 1};
    if (t.isWord(u"having"))
        return {Having, 1};
    if (t.isWord(u"group"))
        return {seguitoDaBy ? GroupBy : NumeroClausole, 2};
    if (t.isWord(u"order"))
        return {seguitoDaBy ? OrderBy : NumeroClausole, 2};
    if (t.isWord(u"union") || t.isWord(u"intersect") || t.isWord(u"except"))
        return {NumeroClausole, 1};
    return {};
}
} // namespace

SelectClauses SelectClauses::split(const QList<SqlToken>& tokens) {
    SelectClauses risultato;
    std::array<qsizetype, NumeroClausole> inizioParola{};
    std::array<qsizetype, NumeroClausole> inizioCorpo{};
    inizioParola.fill(-1);
    inizioCorpo.fill(-1);
    inizioParola[Lista] = 0;
    inizioCorpo[Lista] = 1;

    int ultima = Lista;
    int profondita = 0;
    for (qsizetype i = 1; i < tokens.size(); ++i) {
        const SqlToken& t = tokens.at(i);
        if (t.kind == SqlTokenKind::LeftParen)
            ++profondita;
        else if (t.kind == SqlTokenKind::RightParen)
            --profondita;
        if (profondita != 0)
            continue;
        const Apertura a = apertura(tokens, i);
        if (a.clausola < 0)
            continue;
        if (a.clausola == NumeroClausole || a.clausola <= ultima) {
            risultato.regular = false;
            return risultato;
        }
        inizioParola[a.clausola] = i;
        inizioCorpo[a.clausola] = i + a.lunghezza;
        ultima = a.clausola;
        i += a.lunghezza - 1;
    }

    std::array<Range*, NumeroClausole> campi{&risultato.list,   &risultato.from,
                                             &risultato.where,  &risultato.groupBy,
                                             &risultato.having, &risultato.orderBy};
    for (int c = 0; c < NumeroClausole; ++c) {
        if (inizioParola[c] < 0)
            continue;
        qsizetype fine = tokens.size();
        for (int dopo = c + 1; dopo < NumeroClausole; ++dopo)
            if (inizioParola[dopo] >= 0) {
                fine = inizioParola[dopo];
                break;
            }
        *campi[c] = {inizioCorpo[c], fine};
    }
    return risultato;
}

} // namespace KaloRefill
