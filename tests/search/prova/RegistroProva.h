#pragma once

#include "registro_prova_export.h"

#include <QString>
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

// Components made and not yet destroyed.
REGISTRO_PROVA_EXPORT int& componentiVivi();

REGISTRO_PROVA_EXPORT void azzera();

} // namespace RegistroProva
