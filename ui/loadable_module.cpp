// SPDX-License-Identifier: MIT
#include "loadable_module.h"

#include <QDir>

namespace qz {

ModuleEntry resolveModuleEntry(const QString& folder, const char* moduleName, const char* entryName,
                               QString* error) {
    QLibrary module(QDir(folder).filePath(QLatin1String(moduleName)));
    module.setLoadHints(QLibrary::PreventUnloadHint);
    const auto entry = reinterpret_cast<ModuleEntry>(module.resolve(entryName));
    if (!entry && error) *error = module.errorString();
    return entry;
}

ReloadableModule::ReloadableModule(const QString& folder, const char* moduleName)
    : m_library(QDir(folder).filePath(QLatin1String(moduleName))) {}

ModuleEntry ReloadableModule::resolve(const char* entryName, QString* error) {
    const auto entry = reinterpret_cast<ModuleEntry>(m_library.resolve(entryName));
    if (!entry && error) *error = m_library.errorString();
    return entry;
}

void ReloadableModule::unload() {
    if (m_library.isLoaded()) m_library.unload();
}

} // namespace qz
