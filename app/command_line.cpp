// SPDX-License-Identifier: MIT
#include "command_line.h"

#include "about/version.h"

#include <QCommandLineParser>
#include <QLocale>

namespace qz {

namespace {

struct Texts {
    const char16_t* usage;
    const char16_t* description;
    const char16_t* optionsHeading;
    const char16_t* help;
    const char16_t* version;
    const char16_t* newInstance;
    const char16_t* unknownOption;
    const char16_t* unexpectedArgument;
    const char16_t* tryHelp;
};

constexpr Texts kJapanese{
    u"使い方: %1 [オプション]",
    u"ＱＺタイマー: 時計・お知らせタイマー・カウントダウン・ストップウォッチ・時間計算の道具集",
    u"オプション:",
    u"このヘルプを表示して終了します。",
    u"バージョンを表示して終了します。",
    u"ＱＺタイマーがすでに起動していても、もう一つ起動します。",
    u"%1: 知らないオプションです: %2",
    u"%1: 余分な引数があります: %2",
    u"使い方は「%1 --help」で表示されます。",
};

constexpr Texts kEnglish{
    u"Usage: %1 [options]",
    u"QZ Timer: clock, alarm timer, countdown, stopwatch and time calculators",
    u"Options:",
    u"Show this help and exit.",
    u"Show the version and exit.",
    u"Start another instance even when QZ Timer already runs.",
    u"%1: unknown option: %2",
    u"%1: unexpected argument: %2",
    u"Try '%1 --help' for more information.",
};

QString t(const char16_t* s) {
    return QString::fromUtf16(s);
}

QString helpText(const Texts& tx, const QString& program) {
    const QList<QPair<QString, QString>> options = {
        {QStringLiteral("-h, --help"), t(tx.help)},
        {QStringLiteral("-v, --version"), t(tx.version)},
        {QStringLiteral("--new-instance"), t(tx.newInstance)},
    };
    QString out = t(tx.usage).arg(program) + u'\n' + t(tx.description) + QStringLiteral("\n\n") +
                  t(tx.optionsHeading) + u'\n';
    for (const auto& [names, what] : options)
        out += QStringLiteral("  %1  %2\n").arg(names, -16).arg(what);
    return out;
}

} // namespace

CommandLine parseCommandLine(const QStringList& arguments, bool japanese) {
    const Texts& tx = japanese ? kJapanese : kEnglish;
    const QString program = QStringLiteral("qztimer");
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    const QCommandLineOption newInstance(QStringLiteral("new-instance"));
    parser.addOptions({help, version, newInstance});
    const bool parsed = parser.parse(arguments);

    CommandLine cl;
    // Help and version win over anything else on the line, as users expect of --help.
    if (parser.isSet(help)) {
        cl.action = CommandLine::Action::ShowHelp;
        cl.output = helpText(tx, program);
        return cl;
    }
    if (parser.isSet(version)) {
        cl.action = CommandLine::Action::ShowVersion;
        cl.output = QStringLiteral("%1 %2\n").arg(program, programVersion());
        return cl;
    }
    QString problem;
    if (!parsed || !parser.unknownOptionNames().isEmpty()) {
        const QStringList unknown = parser.unknownOptionNames();
        if (unknown.isEmpty())
            problem = program + QStringLiteral(": ") + parser.errorText();
        else
            problem = t(tx.unknownOption)
                          .arg(program, (unknown.first().size() == 1 ? QStringLiteral("-")
                                                                     : QStringLiteral("--")) +
                                            unknown.first());
    } else if (!parser.positionalArguments().isEmpty()) {
        problem = t(tx.unexpectedArgument).arg(program, parser.positionalArguments().first());
    }
    if (!problem.isEmpty()) {
        cl.action = CommandLine::Action::Fail;
        cl.output = problem + u'\n' + t(tx.tryHelp).arg(program) + u'\n';
        return cl;
    }
    cl.newInstance = parser.isSet(newInstance);
    return cl;
}

bool userPrefersJapanese() {
    const QStringList languages = QLocale::system().uiLanguages();
    return !languages.isEmpty() && languages.first().startsWith(QLatin1String("ja"));
}

} // namespace qz
