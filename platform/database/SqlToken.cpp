// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "SqlToken.h"

namespace KaloRefill {

bool SqlToken::isWord(QStringView word) const {
    return kind == SqlTokenKind::Word && text.compare(word, Qt::CaseInsensitive) == 0;
}

bool SqlToken::isOperator(QStringView op) const {
    return kind == SqlTokenKind::Operator && text == op;
}

bool SqlToken::isName() const {
    return kind == SqlTokenKind::Word || kind == SqlTokenKind::QuotedName;
}

QString SqlToken::nameText() const {
    return kind == SqlTokenKind::QuotedName ? value : text;
}

} // namespace KaloRefill
