// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "ComponentRegistry.h"

#include "ComponentFactory.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QPluginLoader>

#include <algorithm>

namespace KaloRefill {

namespace {

// What the plugin says about itself before it is loaded: whether it is a component
// factory at all and, when it lists its names, whether it makes the one wanted.
bool puoRispondere(const QPluginLoader& loader, const QString& name) {
    const QJsonObject meta = loader.metaData();
    if (meta.value(QLatin1String("IID")).toString() !=
        QLatin1String(KaloRefill_ComponentFactory_iid))
        return false;
    const QJsonValue nomi = meta.value(QLatin1String("MetaData"))
                                .toObject()
                                .value(QLatin1String(ComponentRegistry::chiaveNomi));
    if (!nomi.isArray())
        return true; // no list: ask the factory itself
    const QJsonArray elenco = nomi.toArray();
    return std::any_of(elenco.begin(), elenco.end(), [&](const QJsonValue& nome) {
        return nome.toString().compare(name, Qt::CaseInsensitive) == 0;
    });
}

} // namespace

QStringList ComponentRegistry::searchFolders() {
    QStringList cartelle;
    const QString daAmbiente = qEnvironmentVariable(variabileCartelle);
    for (const QString& cartella : daAmbiente.split(QDir::listSeparator(), Qt::SkipEmptyParts))
        cartelle << QDir::cleanPath(cartella);
    if (QCoreApplication::instance())
        cartelle << QDir::cleanPath(
            QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("components")));
    cartelle.removeDuplicates();
    return cartelle;
}

std::unique_ptr<QObject> ComponentRegistry::create(const QString& name) {
    for (const QString& cartella : searchFolders()) {
        const QDir dir(cartella);
        const QFileInfoList files = dir.entryInfoList(QDir::Files, QDir::Name);
        for (const QFileInfo& file : files) {
            if (!QLibrary::isLibrary(file.fileName()))
                continue;
            // Qt keeps one loaded library per plugin file and one root object in it; the
            // library stays loaded, since the objects it makes may outlive this call.
            QPluginLoader loader(file.absoluteFilePath());
            if (!puoRispondere(loader, name))
                continue;
            auto* factory = qobject_cast<ComponentFactory*>(loader.instance());
            if (!factory || !factory->componentNames().contains(name, Qt::CaseInsensitive))
                continue;
            if (QObject* componente = factory->createComponent(name))
                return std::unique_ptr<QObject>(componente);
        }
    }
    return nullptr;
}

} // namespace KaloRefill
