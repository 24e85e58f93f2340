// tavrel --check as a CI job runs it: findings in the compiler form, the exit status, files
// read as the editor reads them, and no window system at all.
#include "support/datarows.h"
#include "support/files.h"

#include <QProcess>
#include <QTemporaryDir>

namespace {

struct Run
{
    int status = -1;
    QStringList out;
    QString err;
};

Run check(const QString &folder, const QStringList &arguments)
{
    QProcess process;
    process.setWorkingDirectory(folder);
    // No display: a window-system start would fail here.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QLatin1String(name));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(TAVREL_EXECUTABLE), QStringList{QStringLiteral("--check")} + arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts),
            QString::fromUtf8(process.readAllStandardError())};
}

} // namespace

class TestCheck : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void initTestCase() {
        // Too large for the engine's command buffer; "Ã©" as Windows-1252 bytes: two characters
        // before the unknown word, one if read as UTF-8.
        QVERIFY(writeAll(dir.filePath("mixed.cfg"),
                         "bind caplock +attack\necho \xC3\xA9; frobnicate\n" + QByteArray("echo hello\n").repeated(1600)));
        QVERIFY(writeAll(dir.filePath("clean.cfg"), "echo hello\nbind a +attack\n"));
        QVERIFY(writeAll(dir.filePath("note.cfg"), "frobnicate\n"));
        QVERIFY(writeAll(dir.filePath("comment.cfg"), "// a; echo b\n"));
        // Within the size limit on disk, beyond it as the editor's UTF-8 text.
        QVERIFY(writeAll(dir.filePath("large.cfg"), QByteArray(17 * 1024 * 1024, '\xE9')));
    }

    void findings_data() {
        Columns<QStringList, int, QStringList>({"arguments", "status", "lines"});
        QTest::newRow("error, warning and note") << QStringList{"--engine", "jk2mv", "mixed.cfg"} << 1
            << QStringList{"mixed.cfg:1:1: error: 16384", "mixed.cfg:1:6: warning: \"caplock\"", "mixed.cfg:2:10: note: \"frobnicate\""};
        QTest::newRow("clean") << QStringList{"clean.cfg"} << 0 << QStringList{};
        QTest::newRow("notes only pass") << QStringList{"note.cfg"} << 0 << QStringList{"note.cfg:1:1: note: "};
        QTest::newRow("original release by default") << QStringList{"comment.cfg"} << 1
            << QStringList{"comment.cfg:1:5: warning: Jedi Outcast 1.04"};
        QTest::newRow("engine chosen") << QStringList{"--engine", "ioquake3", "comment.cfg"} << 0 << QStringList{};
        QTest::newRow("game's continuation") << QStringList{"--game", "jk2", "--engine", "continuation", "comment.cfg"} << 1
            << QStringList{"comment.cfg:1:5: warning: jk2mv"};
        QTest::newRow("game's vocabulary") << QStringList{"--game", "q3", "clean.cfg"} << 0 << QStringList{};
        QTest::newRow("over the size limit") << QStringList{"large.cfg"} << 0 << QStringList{"large.cfg:1:1: note: Not checked"};
        QTest::newRow("unreadable file, others checked") << QStringList{"missing.cfg", "note.cfg"} << 2 << QStringList{"note.cfg:1:1: note: "};
        QTest::newRow("unknown game") << QStringList{"--game", "q4", "clean.cfg"} << 2 << QStringList{};
        QTest::newRow("engine of the other game") << QStringList{"--game", "q3", "--engine", "jk2mv", "clean.cfg"} << 2 << QStringList{};
        QTest::newRow("no file") << QStringList{} << 2 << QStringList{};
    }
    void findings() {
        const auto [arguments, status, lines] = Fetch<QStringList, int, QStringList>({"arguments", "status", "lines"});
        const Run run = check(dir.path(), arguments);
        QCOMPARE(run.status, status);
        QCOMPARE(run.out.size(), lines.size());
        for (qsizetype i = 0; i < lines.size(); ++i)
            QVERIFY2(run.out[i].startsWith(lines[i].section(u' ', 0, 1)) && run.out[i].contains(lines[i].section(u' ', 2)),
                     qPrintable(run.out[i]));
        // The reason goes to stderr and names the file or the option.
        QCOMPARE(run.err.isEmpty(), status != 2);
        if (arguments.contains("missing.cfg"))
            QVERIFY(run.err.contains("missing.cfg"));
    }
    void help() {
        const Run run = check(dir.path(), {"--help"});
        QCOMPARE(run.status, 0);
        for (const char *choice : {"jk2", "q3", "jk2-1.04", "jk2mv", "q3-1.32", "ioquake3", "continuation"})
            QVERIFY2(run.out.join(u'\n').contains(QLatin1String(choice)), choice);
    }
};

QTEST_GUILESS_MAIN(TestCheck)
#include "test_check.moc"
