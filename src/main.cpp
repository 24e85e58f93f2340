#include "app/frmMain.h"
#include "cli/tools.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLoggingCategory>
#include <cstdio>
#include <variant>

// Silent unless asked for (QT_LOGGING_RULES="tavrel.startup.info=true").
Q_LOGGING_CATEGORY(lcStartup, "tavrel.startup", QtWarningMsg)

namespace {

// --help and --version answer without a display, so the command line is read before
// the window system starts. Returns the file to open, or an exit code.
std::variant<QStringList, int> readCommandLine(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tavrel"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Editor for Jedi Outcast and Quake III console scripts"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({QStringLiteral("check"), QStringLiteral("Check scripts without the window (tavrel --check --help).")});
    parser.addOption({QStringLiteral("lsp"), QStringLiteral("Serve the checks to other editors (tavrel --lsp --help).")});
    parser.addOption({QStringLiteral("simulate"),
                      QStringLiteral("Run a script and press its keys without the window (tavrel --simulate --help).")});
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("A script to open at start."),
                                 QStringLiteral("[file]"));
    if (!parser.parse(QApplication::arguments())) {
        fprintf(stderr, "tavrel: %s\nTry 'tavrel --help'.\n", qPrintable(parser.errorText()));
        return 2;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        printf("tavrel %s\n", TAVREL_VERSION);
        return 0;
    }
    if (parser.positionalArguments().size() > 1) {
        fputs("tavrel: give at most one file to open\nTry 'tavrel --help'.\n", stderr);
        return 2;
    }
    return parser.positionalArguments();
}

} // namespace

int main(int argc, char *argv[])
{
    // Before any window-system object: these modes run where there is no display.
    if (const std::optional<int> toolStatus = RunToolIfAsked(argc, argv))
        return *toolStatus;
    const auto files = readCommandLine(argc, argv);
    if (const int *exitCode = std::get_if<int>(&files))
        return *exitCode;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavrel"));
    QApplication::setApplicationVersion(QStringLiteral(TAVREL_VERSION));
    frmMain window;
    // Before the window is shown: a large file loads on another core meanwhile.
    for (const QString &file : std::get<QStringList>(files))
        window.OpenDocumentFile(file);
    window.Form_Load();
    // A word file that cannot be read ends the program during start-up.
    if (window.ProgramEnded())
        return 1;
    qCInfo(lcStartup) << "word files read";
    window.OfferRecovery();
    return app.exec();
}
