#pragma once

#include "registro_prova_export.h"

#include <QString>
#include <QList>
#include <QStringList>
#include <QVariant>

// What the test component and the test share across the plugin boundary: one log of
// everything that happened, in order, and how the component is to behave. The test
// and the plugin both link this library, so there is one copy of it in the process.
namespace RegistroProva {

// The log: host calls, property sets, calls on the component, its destruction.
REGISTRO_PROVA_EXPORT QStringList& voci();
REGISTRO_PROVA_EXPORT void annota(const QString& voce);

// The answer the component gives after Ricerca.
REGISTRO_PROVA_EXPORT QVariant& risposta();
// When the number is not 0, Ricerca fails with it and the description.
REGISTRO_PROVA_EXPORT int& numeroErroreInRicerca();
REGISTRO_PROVA_EXPORT QString& descrizioneErroreInRicerca();
// The factory hands out a plain QObject instead of a search component.
REGISTRO_PROVA_EXPORT bool& oggettoEstraneo();

// Names of the recordsets the test host hands out, by address, for the log.
REGISTRO_PROVA_EXPORT void nomina(const void* recordset, const QString& nome);
REGISTRO_PROVA_EXPORT QString nomeDi(const void* recordset);

// Fields of the Recordset the component reads when Ricerca runs; when none are named it
// reads nothing, so that a test of the call sequence sees only the calls it expects.
REGISTRO_PROVA_EXPORT QStringList& campiDaLeggere();
// What the last Ricerca found in the Recordset, when campiDaLeggere named fields: its
// column names, its row count (-1 when it was not read) and, row by row in the order the
// recordset gave them, the values of those fields.
REGISTRO_PROVA_EXPORT QStringList& colonneLette();
REGISTRO_PROVA_EXPORT int& righeContate();
REGISTRO_PROVA_EXPORT QList<QVariantList>& righeLette();

// Components made and not yet destroyed.
REGISTRO_PROVA_EXPORT int& componentiVivi();

REGISTRO_PROVA_EXPORT void azzera();

} // namespace RegistroProva
