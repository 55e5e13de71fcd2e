// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace qz {

// Loads the module `moduleName` from `folder` and returns its entry point `entryName`, or null
// with the reason in `error`. A loaded module is never unloaded: what it hands out (streams,
// printers, the threads and plugins behind them) lives until the program ends.
using ModuleEntry = void* (*)();
ModuleEntry resolveModuleEntry(const QString& folder, const char* moduleName, const char* entryName,
                               QString* error);

} // namespace qz
