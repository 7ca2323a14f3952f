// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include <QObject>
#include <QStringList>
#include <QtPlugin>

namespace KaloRefill {

// The root object of a component plugin: it names the components it can make and makes
// a new one on each request. The caller owns the object it gets. A plugin may also list
// its names under "componenti" in its metadata, so it is loaded only when asked for one.
class ComponentFactory {
public:
    virtual ~ComponentFactory() = default;
    virtual QStringList componentNames() const = 0;
    // A new object with no parent, or null when the name is not one of componentNames().
    virtual QObject* createComponent(const QString& name) = 0;
};

} // namespace KaloRefill

#define KaloRefill_ComponentFactory_iid "it.kalovia.KaloRefill.ComponentFactory/1.0"
Q_DECLARE_INTERFACE(KaloRefill::ComponentFactory, KaloRefill_ComponentFactory_iid)
