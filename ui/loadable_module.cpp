// SPDX-License-Identifier: MIT
#include "loadable_module.h"

#include <QDir>
#include <QLibrary>

namespace qz {

ModuleEntry resolveModuleEntry(const QString& folder, const char* moduleName, const char* entryName,
                               QString* error) {
    QLibrary module(QDir(folder).filePath(QLatin1String(moduleName)));
    module.setLoadHints(QLibrary::PreventUnloadHint);
    const auto entry = reinterpret_cast<ModuleEntry>(module.resolve(entryName));
    if (!entry && error) *error = module.errorString();
    return entry;
}

} // namespace qz
