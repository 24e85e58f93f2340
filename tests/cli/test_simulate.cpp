// tavrel --simulate run as a player runs it from a shell: the exec, each key, the cvars.
#include "support/files.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestSimulate : public QObject {
    Q_OBJECT

    static std::pair<int, QString> simulate(const QStringList &arguments)
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QLatin1String(name)); // no display is needed
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(TAVREL_EXECUTABLE), QStringList{QStringLiteral("--simulate")} + arguments);
        if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
            return {-1, {}};
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput())};
    }

private slots:
    void transcript()
    {
        QTemporaryDir dir;
        QVERIFY(writeAll(dir.filePath("toggle.cfg"), "set on \"echo on; bind x vstr off; cl_run 0\"\n"
                                                     "set off \"echo off; bind x vstr on\"\nbind x vstr on\n"
                                                     "set a \"echo spam; vstr a\"\nbind l vstr a\nexec more\n"));
        QVERIFY(writeAll(dir.filePath("more.cfg"), "frobnicate\n"));
        const auto [status, out] = simulate({dir.filePath("toggle.cfg"), "--keys", "x,x,l", "--engine", "jk2mv"});
        QCOMPARE(status, 0);
        // 16384 bytes hold the value's 19 and the r newlines left behind while r <= 16365.
        QCOMPARE(out, QStringLiteral("execing toggle.cfg\nexecing more\nUnknown command \"frobnicate\"\n"
                                     "> x\non\n> x\noff\n> l\nspam (16366 times)\nCbuf_InsertText overflowed\n"
                                     "a \"\" -> \"echo spam; vstr a\"\ncl_run \"1\" -> \"0\"\n"
                                     "off \"\" -> \"echo off; bind x vstr on\"\n"
                                     "on \"\" -> \"echo on; bind x vstr off; cl_run 0\"\n"));
        // Connected, an unknown word goes to the server and prints nothing.
        QVERIFY(!simulate({dir.filePath("toggle.cfg"), "--connected"}).second.contains("frobnicate"));
        QCOMPARE(simulate({dir.filePath("toggle.cfg"), "--keys", "caplock"}).first, 2);
        QCOMPARE(simulate({dir.filePath("missing.cfg")}).first, 2);
        QCOMPARE(simulate({}).first, 2);
    }
};

QTEST_GUILESS_MAIN(TestSimulate)
#include "test_simulate.moc"
