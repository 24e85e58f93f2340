#include "app/frmMain.h"
#include "editor/codesense.h"
#include "support/appfolder.h"
#include "support/fakeregistry.h"
#include "support/fakeservices.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Run
{
    int exitCode = -1;
    QProcess::ExitStatus status = QProcess::CrashExit;
    QString out, err;
};

// Runs the built program; `withoutDisplay` leaves it no window system to connect to.
Run runProgram(const QStringList &arguments, bool withoutDisplay = false)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (withoutDisplay) {
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
    } else {
        env.insert("QT_QPA_PLATFORM", "offscreen");
    }
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(TAVREL_EXECUTABLE), arguments);
    Run run;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitCode();
    run.status = process.exitStatus();
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

} // namespace

class CommandLineTest : public QObject
{
    Q_OBJECT

    QTemporaryDir appDir;

    // What `tavrel FILE` does once the program is up: load, then open the file.
    struct Started
    {
        FakeRegistry registry;
        FakeServices fakes;
        frmMain window;
        explicit Started(const QString &file)
        {
            window.EndProgram = [] {};
            window.Form_Load();
            window.OpenDocumentFile(file);
        }
    };

private slots:
    void initTestCase() { PrepareApplicationFolder(appDir); }

    // Answers that need no display: they come before the window system starts.
    void informationOnStandardOutput_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("withoutDisplay");
        QTest::addColumn<QString>("expected");
        const QString version = QStringLiteral("tavrel " TAVREL_VERSION "\n");
        QTest::newRow("--version") << QStringList{"--version"} << false << version;
        QTest::newRow("-v") << QStringList{"-v"} << false << version;
        QTest::newRow("--version without display") << QStringList{"--version"} << true << version;
        QTest::newRow("--help") << QStringList{"--help"} << false << " [options] [file]\n";
        QTest::newRow("-h") << QStringList{"-h"} << false << " [options] [file]\n";
        QTest::newRow("--help without display") << QStringList{"--help"} << true << "--version";
        QTest::newRow("--help beside a file") << QStringList{"a.cfg", "--help"} << true << "[file]";
    }
    void informationOnStandardOutput()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, withoutDisplay);
        QFETCH(QString, expected);
        const Run run = runProgram(arguments, withoutDisplay);
        QCOMPARE(run.status, QProcess::NormalExit);
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.contains(expected), qPrintable(run.out));
        if (expected.startsWith("tavrel "))
            QCOMPARE(run.out, expected);
        QVERIFY2(run.err.isEmpty(), qPrintable(run.err));
    }

    void usageErrorsExitWithTwo_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown long option") << QStringList{"--frobnicate"} << "Unknown option 'frobnicate'.";
        QTest::newRow("unknown short option") << QStringList{"-x"} << "Unknown option 'x'.";
        QTest::newRow("unknown option after a file") << QStringList{"a.cfg", "--nope"} << "Unknown option 'nope'.";
        QTest::newRow("two files") << QStringList{"a.cfg", "b.cfg"} << "give at most one file to open";
    }
    void usageErrorsExitWithTwo()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        const Run run = runProgram(arguments, true);
        QCOMPARE(run.status, QProcess::NormalExit);
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.startsWith("tavrel: "), qPrintable(run.err));
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QVERIFY2(run.err.contains("Try 'tavrel --help'."), qPrintable(run.err));
        QCOMPARE(run.out, QString());
    }

    void fileGivenAtStartIsOpened()
    {
        const QString path = QDir(appDir.path()).filePath("duel binds.cfg");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("bind F1 \"vstr duel\"\r\nseta name \"Kyle\xa9\"\r\n");
        file.close();

        Started s(path);
        QVERIFY(s.fakes.messageBoxes.shown.isEmpty());
        QCOMPARE(s.window.windowTitle(), QStringLiteral("Tavrel - duel binds.cfg"));
        QCOMPARE(s.window.Document.FileTitle, QStringLiteral("duel binds.cfg"));
        QCOMPARE(s.window.Document.FilePath, path);
        QVERIFY(!s.window.Document.Modified);
        QCOMPARE(s.window.CodeSense1->Text(), QStringLiteral("bind F1 \"vstr duel\"\r\nseta name \"Kyle\u00a9\"\r\n"));
    }

    // A file that cannot be opened gets the usual message and leaves an empty, untitled document.
    void fileThatCannotBeOpened_data()
    {
        QTest::addColumn<QString>("relative");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing file") << "missing.cfg" << "Error #53\r\nFile not found";
        QTest::newRow("missing folder") << "nowhere/x.cfg" << "Error #76\r\nPath not found";
        QTest::newRow("a folder") << "cfgs" << "Error #75\r\nPath/File access error";
    }
    void fileThatCannotBeOpened()
    {
        QFETCH(QString, relative);
        QFETCH(QString, message);
        Started s(QDir(appDir.path()).filePath(relative));
        QCOMPARE(s.fakes.messageBoxes.texts(), QStringList{message});
        QCOMPARE(s.fakes.messageBoxes.shown[0].title, QStringLiteral("Tavrel"));
        QCOMPARE(s.window.windowTitle(), QStringLiteral("Tavrel - Untitled.cfg"));
        QVERIFY(!s.window.Document.HasFile());
        QVERIFY(!s.window.Document.Modified);
        QCOMPARE(s.window.CodeSense1->Text(), QString());
    }
};

QTEST_MAIN(CommandLineTest)
#include "test_commandline.moc"
