#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

namespace KaloRefill {

// Turns a component name such as "KaloviaRicerca.Ricerca" into a new object, the way
// the suite's runtime always did. Components live in plugins found in the program's
// "components" folder and in the folders listed in KALOREFILL_COMPONENTS
// (separated like PATH).
class ComponentRegistry {
public:
    static constexpr const char* variabileCartelle = "KALOREFILL_COMPONENTS";

    // A new component, or null when no plugin answers to the name.
    static std::unique_ptr<QObject> create(const QString& name);
    // The folders searched, in order.
    static QStringList searchFolders();
};

} // namespace KaloRefill
