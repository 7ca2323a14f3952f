#include "ComponentRegistry.h"

#include "ComponentFactory.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPluginLoader>

namespace KaloRefill {

QStringList ComponentRegistry::searchFolders() {
    QStringList cartelle;
    if (QCoreApplication::instance())
        cartelle << QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("components"));
    const QString daAmbiente = qEnvironmentVariable(variabileCartelle);
    for (const QString& cartella : daAmbiente.split(QDir::listSeparator(), Qt::SkipEmptyParts))
        cartelle << cartella;
    return cartelle;
}

std::unique_ptr<QObject> ComponentRegistry::create(const QString& name) {
    for (const QString& cartella : searchFolders()) {
        const QDir dir(cartella);
        for (const QFileInfo& file : dir.entryInfoList(QDir::Files)) {
            if (!QLibrary::isLibrary(file.fileName()))
                continue;
            // Qt keeps one loaded instance per plugin file; the root object is shared.
            QPluginLoader loader(file.absoluteFilePath());
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
