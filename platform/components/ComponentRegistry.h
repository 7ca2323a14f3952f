// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

namespace KaloRefill {

// Turns a component name such as "KaloviaRicerca.Ricerca" into a new object, the way
// the suite's runtime always did. Components live in plugins (a ComponentFactory root
// object) found in the folders listed in KALOREFILL_COMPONENTS (separated like PATH)
// and in the program's own "components" folder.
class ComponentRegistry {
public:
    static constexpr const char* variabileCartelle = "KALOREFILL_COMPONENTS";
    // Key of the plugin metadata that lists the names a plugin answers to, so that
    // plugins making other components need not be loaded at all.
    static constexpr const char* chiaveNomi = "componenti";

    // A new component, owned by the caller, or null when no plugin answers to the name.
    // Names are compared without regard to case.
    static std::unique_ptr<QObject> create(const QString& name);
    // The folders searched, in order: those named by the environment first, so that a
    // test or an installation can put its own component in front of the program's.
    static QStringList searchFolders();
};

} // namespace KaloRefill
