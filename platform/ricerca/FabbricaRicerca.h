// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "ComponentFactory.h"

#include <QObject>

namespace KaloRefill {

// The plugin's root object: makes a new "KaloviaRicerca.Ricerca" on every request.
class FabbricaRicerca final : public QObject, public ComponentFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID KaloRefill_ComponentFactory_iid FILE "kaloviaricerca.json")
    Q_INTERFACES(KaloRefill::ComponentFactory)
public:
    QStringList componentNames() const override;
    QObject* createComponent(const QString& name) override;
};

} // namespace KaloRefill
