// SPDX-License-Identifier: MIT
#pragma once

#include <QLibrary>
#include <QString>

namespace qz {

// Loads the module `moduleName` from `folder` and returns its entry point `entryName`, or null
// with the reason in `error`. A module loaded this way is never unloaded: what it hands out
// (streams, printers, the threads and plugins behind them) lives until the program ends.
using ModuleEntry = void* (*)();
ModuleEntry resolveModuleEntry(const QString& folder, const char* moduleName, const char* entryName,
                               QString* error);

// A module that can be let go again, with the libraries only it holds, so that their
// process-wide state starts from nothing at the next load. The owner must have destroyed
// everything the module handed out before it calls unload().
class ReloadableModule {
  public:
    ReloadableModule(const QString& folder, const char* moduleName);
    ~ReloadableModule() = default; // stays loaded at exit: its objects may outlive the owner
    ReloadableModule(const ReloadableModule&) = delete;
    ReloadableModule& operator=(const ReloadableModule&) = delete;

    ModuleEntry resolve(const char* entryName, QString* error);
    void unload();

  private:
    QLibrary m_library;
};

} // namespace qz
