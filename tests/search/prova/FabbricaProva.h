#pragma once

#include "ComponentFactory.h"

#include <QObject>

namespace KaloRefill {

// Answers to "KaloviaRicerca.Ricerca" with a ComponenteProva (or, when the test asks
// for it, with an object that is no search component), noting each creation.
class FabbricaProva final : public QObject, public ComponentFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID KaloRefill_ComponentFactory_iid FILE "prova.json")
    Q_INTERFACES(KaloRefill::ComponentFactory)
public:
    QStringList componentNames() const override;
    QObject* createComponent(const QString& name) override;
};

} // namespace KaloRefill
