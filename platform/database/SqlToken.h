// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "kalorefill_database_export.h"

#include <QString>
#include <QStringView>

namespace KaloRefill {

enum class SqlTokenKind {
    Whitespace,
    Word,       // keyword, name or function name
    QuotedName, // [name with spaces]; value holds the name without brackets
    String,     // 'text' or "text"; value holds the text without quotes and escapes
    Number,
    Date,     // #12/04/2026#; value holds what stands between the #
    Operator, // = <> < > <= >= + - * / &
    Comma,
    Dot,
    LeftParen,
    RightParen,
    Semicolon
};

// One piece of a statement as written, with where it starts (for error messages).
struct KALOREFILL_DATABASE_EXPORT SqlToken {
    SqlTokenKind kind = SqlTokenKind::Whitespace;
    QString text;
    QString value;
    qsizetype position = 0;

    bool isWord(QStringView word) const;
    bool isOperator(QStringView op) const;
    // A table or column name, bracketed or not; nameText() gives it without brackets.
    bool isName() const;
    QString nameText() const;
};

} // namespace KaloRefill
