// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "host/Recordset.h"

#include <QString>
#include <QVariant>
#include <QtPlugin>

namespace KaloRefill {

// The search-and-report component ("KaloviaRicerca.Ricerca"): a list window over a
// recordset, from which the operator picks a row or prints. A third party implements it
// in a QObject made by a ComponentFactory plugin.
class ComponenteRicerca {
public:
    virtual ~ComponenteRicerca() = default;

    virtual void setUser(const QVariant& user) = 0;
    // Names the list being shown ("Refill", "RefillGiorno"): views are kept per list.
    virtual void setModulo(const QString& modulo) = 0;
    virtual void setCaption(const QString& caption) = 0;
    virtual void setRecordset(RecordsetPtr righe) = 0;
    virtual void setRecordsetOperatori(RecordsetPtr operatori) = 0;
    virtual void setRecordsetViste(RecordsetPtr viste) = 0;
    // The field whose value of the picked row comes back in Risposta.
    virtual void setCampoRicerca(const QString& campo) = 0;
    virtual void setPercorsoPers(const QString& percorso) = 0;
    virtual void setPercorso(const QString& percorso) = 0;
    virtual void setStatusBar(qint16 valore) = 0;
    virtual void setToolbar(qint16 valore) = 0;
    virtual void setFilterBar(qint16 valore) = 0;
    virtual void setWindowsState(qint16 valore) = 0;

    // Shows the list and returns only when the operator is done with it.
    virtual void Ricerca() = 0;
    // The picked row's CampoRicerca value; a value that is not a date when nothing was
    // picked. Reading it has no side effect.
    virtual QVariant Risposta() const = 0;
};

} // namespace KaloRefill

#define KaloRefill_ComponenteRicerca_iid "it.kalovia.KaloviaRicerca.Ricerca/1.0"
Q_DECLARE_INTERFACE(KaloRefill::ComponenteRicerca, KaloRefill_ComponenteRicerca_iid)
