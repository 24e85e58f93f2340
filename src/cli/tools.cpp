#include "cli/tools.h"

#include "cli/checker.h"
#include "cli/lspserver.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>
#include <cstring>

std::optional<int> RunToolIfAsked(int argc, char *argv[])
{
    bool check = false, lsp = false;
    for (int i = 1; i < argc; ++i) {
        check = check || std::strcmp(argv[i], "--check") == 0;
        lsp = lsp || std::strcmp(argv[i], "--lsp") == 0;
    }
    if (!check && !lsp)
        return std::nullopt;
    if (check && lsp) {
        fputs("tavrel: --check and --lsp do not go together\n", stderr);
        return 2;
    }
    QCoreApplication app(argc, argv);
    // The window's name: the data folders it derives must be the window's.
    QCoreApplication::setApplicationName(QStringLiteral("Tavrel"));
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    return check ? RunCheck(arguments) : RunLanguageServer(arguments);
}
