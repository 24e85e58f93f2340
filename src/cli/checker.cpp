#include "cli/checker.h"

#include "cli/profilechoice.h"
#include "codec/cp1252.h"
#include "codec/fileio.h"
#include "foundation/appfolder.h"
#include "script/scriptanalysis.h"

#include <QCommandLineParser>
#include <QFileInfo>

#include <cstdio>

const char *SeverityWord(FindingSeverity severity)
{
    switch (severity) {
    case FindingSeverity::Error:
        return "error";
    case FindingSeverity::Warning:
        return "warning";
    case FindingSeverity::Notice:
    case FindingSeverity::Information:
        break;
    }
    return "note";
}

QString FindingLine(const QString &file, const Finding &finding)
{
    // A file's characters are all Windows-1252, so a QString column counts characters.
    QString message = finding.message;
    message.replace(u'\n', u' ');
    return QStringLiteral("%1:%2:%3: %4: %5\n")
        .arg(file)
        .arg(finding.line + 1)
        .arg(finding.column + 1)
        .arg(QLatin1StringView(SeverityWord(finding.severity)), message);
}

ScriptVocabulary LoadVocabulary(ScriptEngine engine)
{
    return ScriptVocabulary::load(
        ApplicationFile(IsJediOutcast(engine) ? QStringLiteral("vocab/jk2.tsv") : QStringLiteral("vocab/q3.tsv")));
}

int RunCheck(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("check"), QStringLiteral("Check the files.")});
    const auto chosen = ParseModeCommandLine(
        parser, arguments, QStringLiteral("check"),
        QStringLiteral("Usage: tavrel --check [--game jk2|q3] [--engine ENGINE] FILE...\n"
                       "Prints the window's findings as FILE:LINE:COLUMN: error|warning|note: MESSAGE.\n"
                       "Exit status: 0 without errors and warnings, 1 with some, 2 for a usage error "
                       "or a file that could not be read.\n"));
    if (const int *status = std::get_if<int>(&chosen))
        return *status;
    if (parser.positionalArguments().isEmpty())
        return UsageError(QStringLiteral("check"), QStringLiteral("no file to check"));
    const ScriptEngine profile = std::get<ScriptEngine>(chosen);
    const ScriptVocabulary vocabulary = LoadVocabulary(profile);
    if (vocabulary.isEmpty()) {
        Print(stderr, QStringLiteral("tavrel: the vocabulary in %1 cannot be read; the installation is incomplete\n")
                          .arg(ApplicationFile(QStringLiteral("vocab"))));
        return 2;
    }

    int status = 0;
    for (const QString &file : parser.positionalArguments()) {
        // A file far over the limit is not read at all: its UTF-8 text is larger still.
        const QFileInfo info(file);
        const bool tooLarge = info.isFile() && info.isReadable() && info.size() > MaxCheckedBytes;
        QByteArray bytes;
        if (!tooLarge) {
            const FileError error = ReadFileBytes(file, bytes);
            if (!error.ok()) {
                Print(stderr, QStringLiteral("tavrel: %1: %2\n").arg(file, error.description));
                status = 2;
                continue;
            }
        }
        // The window measures the editor's UTF-8 text against the limit, so this does too.
        const QByteArray utf8 = tooLarge ? QByteArray() : cp1252::decodeToUtf8(bytes);
        if (tooLarge || utf8.size() > MaxCheckedBytes) {
            Finding note;
            note.severity = FindingSeverity::Information;
            note.message = NotChecked().rows.value(0);
            Print(stdout, FindingLine(file, note));
            continue;
        }
        for (const Finding &finding : AnalyzeScript(utf8, profile, vocabulary).findings) {
            Print(stdout, FindingLine(file, finding));
            if (status == 0 && (finding.severity == FindingSeverity::Error || finding.severity == FindingSeverity::Warning))
                status = 1;
        }
    }
    fflush(stdout);
    return status;
}
