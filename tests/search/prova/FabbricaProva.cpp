#include "FabbricaProva.h"

#include "ComponenteProva.h"
#include "RegistroProva.h"

namespace KaloRefill {

QStringList FabbricaProva::componentNames() const {
    return {QStringLiteral("KaloviaRicerca.Ricerca")};
}

QObject* FabbricaProva::createComponent(const QString& name) {
    if (!componentNames().contains(name, Qt::CaseInsensitive))
        return nullptr;
    RegistroProva::annota(QStringLiteral("crea ") + name);
    if (RegistroProva::oggettoEstraneo())
        return new QObject();
    return new ComponenteProva();
}

} // namespace KaloRefill
