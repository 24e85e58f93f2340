#include "cli/simulate.h"

#include "cli/checker.h"
#include "cli/profilechoice.h"
#include "codec/cp1252.h"
#include "codec/fileio.h"
#include "script/keysimulator.h"
#include "script/scriptvocabulary.h"

#include <QCommandLineParser>
#include <QFileInfo>

#include <cstdio>

namespace {

void printConsole(KeySimulator &simulator)
{
    for (const EngineModel::ConsoleLine &line : simulator.takeConsole()) {
        // A loop prints the same line thousands of times: once, with the count.
        Print(stdout, line.count > 1 ? QStringLiteral("%1 (%2 times)\n").arg(line.text).arg(line.count)
                                     : line.text + u'\n');
    }
}

int usage(const QString &problem)
{
    return UsageError(QStringLiteral("simulate"), problem);
}

} // namespace

int RunSimulate(const QStringList &arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption keys(QStringLiteral("keys"), QStringLiteral("Keys to press, separated by commas."),
                                  QStringLiteral("KEY[,KEY...]"));
    const QCommandLineOption connected(QStringLiteral("connected"),
                                       QStringLiteral("Play on a server: unknown words are sent to it."));
    parser.addOptions({{QStringLiteral("simulate"), QStringLiteral("Run the script.")}, keys, connected});
    const auto chosen = ParseModeCommandLine(
        parser, arguments, QStringLiteral("simulate"),
        QStringLiteral("Usage: tavrel --simulate FILE [--keys KEY[,KEY...]] [--connected] "
                       "[--game jk2|q3] [--engine ENGINE]\n"
                       "Runs FILE as the game runs it after exec, then presses and releases each key "
                       "(named as bind names it). Prints the console lines of the exec, then \"> KEY\" "
                       "and what each key printed, then each changed cvar as name \"old\" -> \"new\".\n"
                       "Exit status: 0, or 2 for a usage error or a file that could not be read.\n"));
    if (const int *status = std::get_if<int>(&chosen))
        return *status;
    if (parser.positionalArguments().size() != 1)
        return usage(QStringLiteral("give one script to run"));
    const ScriptEngine profile = std::get<ScriptEngine>(chosen);
    const ScriptVocabulary vocabulary = LoadVocabulary(profile);
    const QStringList pressed = parser.value(keys).split(u',', Qt::SkipEmptyParts);
    for (const QString &key : pressed) {
        if (!ReadKeyName(key, profile, vocabulary).valid)
            return usage(QStringLiteral("%1 has no key named \"%2\"").arg(EngineName(profile), key));
    }
    const QString file = parser.positionalArguments().first();
    QByteArray bytes;
    if (const FileError error = ReadFileBytes(file, bytes); !error.ok()) {
        Print(stderr, QStringLiteral("tavrel: %1: %2\n").arg(file, error.description));
        return 2;
    }
    const QFileInfo info(file);
    KeySimulator simulator(profile, vocabulary, info.absolutePath());
    simulator.setConnected(parser.isSet(connected));
    simulator.exec(info.fileName(), cp1252::decode(bytes));
    printConsole(simulator);
    for (const QString &key : pressed) {
        Print(stdout, QStringLiteral("> %1\n").arg(key));
        simulator.press(key);
        printConsole(simulator);
    }
    for (const KeySimulator::CvarChange &change : simulator.changedCvars())
        Print(stdout, QStringLiteral("%1 \"%2\" -> \"%3\"\n").arg(change.name, change.before, change.after));
    fflush(stdout);
    return 0;
}
