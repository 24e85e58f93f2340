// The built program's command line, run without a display: --help and --version answer
// before the window system starts; usage errors exit with 2.
#include "support/datarows.h"

#include <QProcess>

class CommandLineTest : public QObject
{
    Q_OBJECT

private slots:
    // "out" is contained in standard output, for --version all of it; "err" in standard error.
    void exitCodesAndMessages_data()
    {
        Columns<QStringList, int, QString, QString>({"arguments", "exitCode", "out", "err"});
        const QString version = "tavrel " TAVREL_VERSION "\n";
        QTest::newRow("--version") << QStringList{"--version"} << 0 << version << "";
        QTest::newRow("--help") << QStringList{"--help"} << 0 << " [options] [file]\n" << "";
        QTest::newRow("-h beside a file") << QStringList{"a.cfg", "-h"} << 0 << "--version" << "";
        QTest::newRow("unknown long option") << QStringList{"--frob"} << 2 << "" << "Unknown option 'frob'.";
        QTest::newRow("a second file") << QStringList{"a.cfg", "b.cfg"} << 2 << "" << "give at most one file to open";
    }
    void exitCodesAndMessages()
    {
        const auto [arguments, out, err] = Fetch<QStringList, QString, QString>({"arguments", "out", "err"});
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "xcb");
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY"})
            env.remove(name);
        process.setProcessEnvironment(env);
        process.start(TAVREL_EXECUTABLE, arguments);
        QVERIFY(process.waitForFinished(120000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QTEST(process.exitCode(), "exitCode");
        const QString stdOut = process.readAllStandardOutput(), stdErr = process.readAllStandardError();
        const bool whole = out.startsWith("tavrel ");
        QVERIFY2(err.isEmpty() ? (whole ? stdOut == out : stdOut.contains(out)) : stdOut.isEmpty(), qPrintable(stdOut));
        QVERIFY2(err.isEmpty() ? stdErr.isEmpty()
                               : stdErr.startsWith("tavrel: ") && stdErr.contains(err)
                                     && stdErr.endsWith("\nTry 'tavrel --help'.\n"),
                 qPrintable(stdErr));
    }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "test_commandline.moc"
