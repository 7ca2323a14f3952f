// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "TipoColonna.h"

namespace KaloRefill {

TipoColonna tipoDaDichiarazione(const QString& dichiarato) {
    QString nome = dichiarato.trimmed().toUpper();
    // "DECIMAL(19,4)", "VARCHAR(50)": the size says nothing about the kind.
    const qsizetype parentesi = nome.indexOf(QLatin1Char('('));
    if (parentesi >= 0)
        nome.truncate(parentesi);
    nome = nome.trimmed();

    if (nome == u"DATE")
        return TipoColonna::Data;
    if (nome == u"DATETIME" || nome == u"TIMESTAMP")
        return TipoColonna::DataOra;
    if (nome == u"TIME")
        return TipoColonna::Ora;
    if (nome == u"CURRENCY" || nome == u"MONEY" || nome == u"AMOUNT" || nome == u"DECIMAL" ||
        nome == u"NUMERIC")
        return TipoColonna::Importo;
    if (nome == u"BOOLEAN" || nome == u"BOOL" || nome == u"BIT" || nome == u"YESNO")
        return TipoColonna::Booleano;
    if (nome == u"SMALLINT" || nome == u"INT2")
        return TipoColonna::Intero16;
    if (nome.contains(u"INT"))
        return TipoColonna::Intero;
    if (nome.contains(u"CHAR") || nome.contains(u"CLOB") || nome.contains(u"TEXT"))
        return TipoColonna::Testo;
    if (nome.contains(u"REAL") || nome.contains(u"FLOA") || nome.contains(u"DOUB"))
        return TipoColonna::Reale;
    return TipoColonna::Libero;
}

QString dichiarazione(TipoColonna tipo) {
    switch (tipo) {
    case TipoColonna::Testo:
        return QStringLiteral("TEXT");
    case TipoColonna::Intero:
        return QStringLiteral("INTEGER");
    case TipoColonna::Intero16:
        return QStringLiteral("SMALLINT");
    case TipoColonna::Booleano:
        return QStringLiteral("BOOLEAN");
    case TipoColonna::Importo:
        return QStringLiteral("CURRENCY");
    case TipoColonna::Reale:
        return QStringLiteral("REAL");
    case TipoColonna::Data:
        return QStringLiteral("DATE");
    case TipoColonna::DataOra:
        return QStringLiteral("DATETIME");
    case TipoColonna::Ora:
        return QStringLiteral("TIME");
    case TipoColonna::Libero:
        break;
    }
    return {};
}

} // namespace KaloRefill
