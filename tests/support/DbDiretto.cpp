// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "DbDiretto.h"

#include "ParametriServer.h"

#include <QDebug>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <atomic>

using namespace KaloRefill;

namespace {
std::atomic<int> contatore{0};
}

DbDiretto::DbDiretto(const QString& indirizzo)
    : m_nome(QStringLiteral("diretto-%1").arg(++contatore)) {
    if (ParametriServer::eIndirizzo(indirizzo)) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_nome);
        ParametriServer::leggi(indirizzo).applica(db);
        db.open();
        return;
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_nome);
    db.setDatabaseName(indirizzo);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=30000"));
    db.open();
}

DbDiretto::~DbDiretto() {
    QSqlDatabase::database(m_nome, false).close();
    QSqlDatabase::removeDatabase(m_nome);
}

bool DbDiretto::aperto() const { return QSqlDatabase::database(m_nome, false).isOpen(); }

bool DbDiretto::esegui(const QStringList& istruzioni) const {
    for (const QString& sql : istruzioni) {
        QSqlQuery q(QSqlDatabase::database(m_nome, false));
        if (!q.exec(sql)) {
            qWarning() << sql << q.lastError().text();
            return false;
        }
    }
    return aperto();
}

QList<QVariantList> DbDiretto::righe(const QString& sql) const {
    QSqlQuery q(QSqlDatabase::database(m_nome, false));
    QList<QVariantList> risultato;
    if (!q.exec(sql)) {
        qWarning() << sql << q.lastError().text();
        return risultato;
    }
    while (q.next()) {
        QVariantList r;
        for (int i = 0; i < q.record().count(); ++i)
            r << q.value(i);
        risultato << r;
    }
    return risultato;
}

QVariant DbDiretto::valore(const QString& sql) const {
    return righe(sql).value(0).value(0);
}

int DbDiretto::conta(const QString& tabella, const QString& condizione) const {
    const QVariant n = valore(QStringLiteral("select count(*) from ") + tabella +
                              (condizione.isEmpty() ? QString() : QStringLiteral(" where ") + condizione));
    return n.isValid() ? n.toInt() : -1;
}
