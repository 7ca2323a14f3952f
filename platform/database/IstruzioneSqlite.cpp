// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "IstruzioneSqlite.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QTime>

#include <sqlite3.h>

namespace KaloRefill {

namespace {

// As the driver words its errors, with the engine's own message as the database text.
QSqlError erroreMotore(sqlite3* db, const char* descrizione, QSqlError::ErrorType tipo,
                       int codice) {
    return QSqlError(QString::fromLatin1(descrizione), QString::fromUtf8(sqlite3_errmsg(db)), tipo,
                     QString::number(codice));
}

// A null of any kind binds as NULL: Qt 6 tells a null text or date only by looking inside.
bool nullo(const QVariant& v) {
    if (!v.isValid() || v.isNull())
        return true;
    switch (v.metaType().id()) {
    case QMetaType::QString:
        return static_cast<const QString*>(v.constData())->isNull();
    case QMetaType::QByteArray:
        return static_cast<const QByteArray*>(v.constData())->isNull();
    case QMetaType::QDateTime:
        return static_cast<const QDateTime*>(v.constData())->isNull();
    case QMetaType::QDate:
        return static_cast<const QDate*>(v.constData())->isNull();
    case QMetaType::QTime:
        return static_cast<const QTime*>(v.constData())->isNull();
    default:
        return false;
    }
}

} // namespace

IstruzioneSqlite::IstruzioneSqlite(sqlite3* db, sqlite3_stmt* istruzione)
    : m_db(db), m_istruzione(istruzione) {}

IstruzioneSqlite::~IstruzioneSqlite() {
    sqlite3_finalize(m_istruzione);
}

std::unique_ptr<IstruzioneSqlite> IstruzioneSqlite::compila(sqlite3* db, const QString& sql,
                                                            QSqlError& errore) {
    const QByteArray testo = sql.toUtf8();
    sqlite3_stmt* istruzione = nullptr;
    const char* resto = nullptr;
    const int esito = sqlite3_prepare_v3(db, testo.constData(), static_cast<int>(testo.size()) + 1,
                                         SQLITE_PREPARE_PERSISTENT, &istruzione, &resto);
    if (esito != SQLITE_OK) {
        errore = erroreMotore(db, "Unable to execute statement", QSqlError::StatementError, esito);
        sqlite3_finalize(istruzione);
        return nullptr;
    }
    if (resto != nullptr && !QByteArray(resto).trimmed().isEmpty()) {
        sqlite3_finalize(istruzione);
        errore = QSqlError(QStringLiteral("Unable to execute multiple statements at a time"),
                           QStringLiteral("Only one statement can be executed at a time"),
                           QSqlError::StatementError, QString::number(SQLITE_MISUSE));
        return nullptr;
    }
    if (istruzione == nullptr) {
        // Only blanks or a comment: nothing to run.
        errore = QSqlError(QStringLiteral("Unable to fetch row"), QStringLiteral("No query"),
                           QSqlError::ConnectionError);
        return nullptr;
    }
    return std::unique_ptr<IstruzioneSqlite>(new IstruzioneSqlite(db, istruzione));
}

bool IstruzioneSqlite::lega(const QVariantList& valori, QList<QByteArray>& testi,
                            QSqlError& errore) {
    const int attesi = sqlite3_bind_parameter_count(m_istruzione);
    if (attesi != valori.size()) {
        errore = QSqlError(QStringLiteral("Parameter count mismatch"), QString(),
                           QSqlError::StatementError);
        return false;
    }
    testi.reserve(valori.size());
    // Texts stay alive in `testi` until the run is over, so the engine need not copy them.
    const auto testo = [&](int n, QByteArray utf8) {
        testi.append(std::move(utf8));
        const QByteArray& t = testi.constLast();
        return sqlite3_bind_text(m_istruzione, n, t.constData(), static_cast<int>(t.size()),
                                 SQLITE_STATIC);
    };
    for (int i = 0; i < valori.size(); ++i) {
        const QVariant& v = valori.at(i);
        const int n = i + 1;
        int esito = SQLITE_OK;
        if (nullo(v)) {
            esito = sqlite3_bind_null(m_istruzione, n);
        } else {
            switch (v.metaType().id()) {
            case QMetaType::QByteArray: {
                const QByteArray* dati = static_cast<const QByteArray*>(v.constData());
                esito = sqlite3_bind_blob(m_istruzione, n, dati->constData(),
                                          static_cast<int>(dati->size()), SQLITE_STATIC);
                break;
            }
            case QMetaType::Int:
            case QMetaType::Bool:
                esito = sqlite3_bind_int(m_istruzione, n, v.toInt());
                break;
            case QMetaType::Double:
                esito = sqlite3_bind_double(m_istruzione, n, v.toDouble());
                break;
            case QMetaType::UInt:
            case QMetaType::LongLong:
                esito = sqlite3_bind_int64(m_istruzione, n, v.toLongLong());
                break;
            case QMetaType::QDateTime:
                esito = testo(n, v.toDateTime().toString(Qt::ISODateWithMs).toUtf8());
                break;
            case QMetaType::QTime:
                esito = testo(n, v.toTime().toString(u"hh:mm:ss.zzz").toUtf8());
                break;
            case QMetaType::QString:
                esito = testo(n, static_cast<const QString*>(v.constData())->toUtf8());
                break;
            default:
                esito = testo(n, v.toString().toUtf8());
                break;
            }
        }
        if (esito != SQLITE_OK) {
            errore =
                erroreMotore(m_db, "Unable to bind parameters", QSqlError::StatementError, esito);
            return false;
        }
    }
    return true;
}

QVariant IstruzioneSqlite::valore(int colonna) const {
    switch (sqlite3_column_type(m_istruzione, colonna)) {
    case SQLITE_INTEGER:
        return QVariant(static_cast<qint64>(sqlite3_column_int64(m_istruzione, colonna)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(m_istruzione, colonna));
    case SQLITE_NULL:
        return QVariant(QMetaType::fromType<QString>());
    case SQLITE_BLOB: {
        const void* dati = sqlite3_column_blob(m_istruzione, colonna);
        return QVariant(QByteArray(static_cast<const char*>(dati),
                                   sqlite3_column_bytes(m_istruzione, colonna)));
    }
    default: {
        const auto* testo =
            reinterpret_cast<const char*>(sqlite3_column_text(m_istruzione, colonna));
        return QVariant(QString::fromUtf8(testo, sqlite3_column_bytes(m_istruzione, colonna)));
    }
    }
}

bool IstruzioneSqlite::esegui(const QVariantList& valori, QList<QVariantList>* righe,
                              QSqlError& errore) {
    QList<QByteArray> testi;
    bool riuscita = lega(valori, testi, errore);
    if (riuscita) {
        const int colonne = sqlite3_column_count(m_istruzione);
        for (;;) {
            const int esito = sqlite3_step(m_istruzione);
            if (esito == SQLITE_ROW) {
                if (righe == nullptr)
                    continue;
                QVariantList riga;
                riga.reserve(colonne);
                for (int c = 0; c < colonne; ++c)
                    riga.append(valore(c));
                righe->append(std::move(riga));
                continue;
            }
            if (esito != SQLITE_DONE) {
                errore =
                    erroreMotore(m_db, "Unable to fetch row", QSqlError::StatementError, esito);
                riuscita = false;
            }
            break;
        }
    }
    sqlite3_reset(m_istruzione);
    // The texts bound in place go with this call.
    sqlite3_clear_bindings(m_istruzione);
    return riuscita;
}

void IstruzioneSqlite::descriviColonne() {
    const int colonne = sqlite3_column_count(m_istruzione);
    if (m_descritta && m_nomi.size() == colonne)
        return;
    m_nomi.clear();
    m_tabelle.clear();
    // Quotes dropped from the names, as the driver drops them.
    for (int c = 0; c < colonne; ++c) {
        m_nomi.append(QString::fromUtf8(sqlite3_column_name(m_istruzione, c)).remove(u'"'));
        m_tabelle.append(
            QString::fromUtf8(sqlite3_column_table_name(m_istruzione, c)).remove(u'"'));
    }
    m_descritta = true;
}

const QStringList& IstruzioneSqlite::nomi() {
    descriviColonne();
    return m_nomi;
}

const QStringList& IstruzioneSqlite::tabelle() {
    descriviColonne();
    return m_tabelle;
}

} // namespace KaloRefill
