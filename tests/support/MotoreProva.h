// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include <QString>
#include <QTest>

// The engine the database and form tests run on, chosen by the test run:
// KALOREFILL_TEST_ENGINE=pgsql runs them on the PostgreSQL server whose address is in the
// file KALOREFILL_TEST_PG_URI_FILE (written by tests/pg/cluster.sh); anything else, or
// nothing, runs them on SQLite files. When KALOREFILL_REQUIRE_ENGINES names the engine
// (as `make test` and CI do) an engine that cannot be reached fails the test program
// instead of skipping it.
class MotoreProva {
public:
    static bool postgreSql();
    // "sqlite" or "pgsql".
    static QString nome();
    // Why the engine cannot be used; empty when it can.
    static QString nonDisponibile();
    static bool obbligatorio();

    // The address of a new, empty database for one test: a file in `cartella`, or a schema
    // of its own in this test program's database on the server.
    static QString nuovoDatabase(const QString& cartella);
};

// For initTestCase: the whole program fails or is skipped when its engine cannot be used.
#define KALOREFILL_MOTORE_PRONTO()                                                                 \
    do {                                                                                           \
        const QString motivoMotore = MotoreProva::nonDisponibile();                                \
        if (!motivoMotore.isEmpty()) {                                                             \
            if (MotoreProva::obbligatorio())                                                       \
                QFAIL(qPrintable(motivoMotore));                                                   \
            QSKIP(qPrintable(motivoMotore));                                                       \
        }                                                                                          \
    } while (false)
