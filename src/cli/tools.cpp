#include "cli/tools.h"

#include "cli/checker.h"
#include "cli/lspserver.h"
#include "cli/simulate.h"
#include "foundation/appfolder.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>
#include <cstring>

std::optional<int> RunToolIfAsked(int argc, char *argv[])
{
    bool check = false, lsp = false, simulate = false;
    for (int i = 1; i < argc; ++i) {
        check = check || std::strcmp(argv[i], "--check") == 0;
        lsp = lsp || std::strcmp(argv[i], "--lsp") == 0;
        simulate = simulate || std::strcmp(argv[i], "--simulate") == 0;
    }
    if (int(check) + int(lsp) + int(simulate) == 0)
        return std::nullopt;
    if (int(check) + int(lsp) + int(simulate) > 1) {
        fputs("tavrel: --check, --lsp and --simulate do not go together\n", stderr);
        return 2;
    }
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tavrel"));
    // The shipped data the window reads, found the same way; these modes write nothing, so
    // no user data folder is made for them.
    SetDataFolders(PrepareDataFolders(QCoreApplication::applicationDirPath(), QString(),
                                      [](const QString &) { return false; }));
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    if (simulate)
        return RunSimulate(arguments);
    return check ? RunCheck(arguments) : RunLanguageServer(arguments);
}
