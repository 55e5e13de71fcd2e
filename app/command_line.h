// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

namespace qz {

struct CommandLine {
    enum class Action { Run, ShowHelp, ShowVersion, Fail };
    Action action = Action::Run;
    // Start even when the program already runs in this session.
    bool newInstance = false;
    // What to print: the help or version text on standard output, an error on standard error.
    QString output;
};

// arguments: the whole command line, program name first. Texts are Japanese when `japanese`.
CommandLine parseCommandLine(const QStringList& arguments, bool japanese);

// Whether the user's language (LANGUAGE, LC_ALL, LC_MESSAGES, LANG) is Japanese.
bool userPrefersJapanese();

} // namespace qz
