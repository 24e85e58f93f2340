#include "codec/fileio.h"
#include "support/datarows.h"
#include "support/files.h"
#include "support/ordinaryuser.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <csignal>
#include <numeric>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

const QByteArray AllBytes = [] {
    QByteArray bytes(256, Qt::Uninitialized);
    std::iota(bytes.begin(), bytes.end(), 0);
    return bytes + "\r\n\r\n\n\r";
}();
void setMode(const QString &path, mode_t mode) { chmod(QFile::encodeName(path).constData(), mode); }
QByteArray report(const FileError &error) { return error.ok() ? QByteArray() : FormatFileError(error).toUtf8(); }
volatile sig_atomic_t handlerRan = 0;

// A fresh folder holding old.cfg and sub/inside.cfg; a snapshot of every entry shows a stray
// temporary file or a changed byte anywhere.
struct Scene
{
    QTemporaryDir dir;
    Scene()
    {
        setMode(dir.path(), 0755); // reachable for the ordinary user of the permission cases
        writeAll(dir.filePath("old.cfg"), "bind x \"echo old\"\r\nseta name \xe9l\xe8ve\r\n");
        writeAll(dir.filePath("sub/inside.cfg"), "keep me\r\n");
    }
    ~Scene() { setMode(dir.filePath("sub"), 0755); }
    QMap<QString, QByteArray> snapshot() const
    {
        QMap<QString, QByteArray> entries;
        for (QDirIterator it(dir.path(), QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                             QDirIterator::Subdirectories); it.hasNext();) {
            const QString path = it.next();
            entries.insert(path, it.fileInfo().isDir() ? "<folder>" : readAll(path));
        }
        return entries;
    }
};

} // namespace

class TestFileIO : public QObject
{
    Q_OBJECT

private slots:
    // Success leaves exactly the expected bytes and nothing else; a link stays a link, and
    // the file keeps its mode.
    void writeAndRead_data()
    {
        Columns<bool, QString, QByteArray>({"append", "path", "bytes"});
        QTest::newRow("save a new file") << false << "new.cfg" << AllBytes;
        QTest::newRow("save over a longer file") << false << "old.cfg" << QByteArray("x\r\n");
        QTest::newRow("save empty through a link") << false << "link.cfg" << QByteArray("");
        QTest::newRow("append creates a missing file") << true << "new.cfg" << QByteArray("+zoom\r\n");
        QTest::newRow("append keeps the earlier bytes") << true << "sub/inside.cfg" << AllBytes;
        QTest::newRow("append through a link") << true << "link.cfg" << QByteArray("+zoom\r\n");
    }
    void writeAndRead()
    {
        const auto [append, name, bytes] = Fetch<bool, QString, QByteArray>({"append", "path", "bytes"});
        Scene scene;
        const QString old = scene.dir.filePath("old.cfg"), path = scene.dir.filePath(name);
        setMode(old, 0640);
        QVERIFY(QFile::link("old.cfg", scene.dir.filePath("link.cfg")));
        QMap<QString, QByteArray> expected = scene.snapshot();
        const QString target = name == "link.cfg" ? old : path;
        expected.insert(target, (append ? expected.value(target) : QByteArray()) + bytes);
        expected.insert(scene.dir.filePath("link.cfg"), expected[old]);
        QCOMPARE(report(append ? AppendToFile(path, bytes) : WriteFileAtomically(path, bytes)), QByteArray());
        QCOMPARE(scene.snapshot(), expected);
        QByteArray out("left over");
        QVERIFY(ReadFileBytes(path, out).ok() && out == expected[path]);
        struct stat info = {};
        QVERIFY(stat(QFile::encodeName(old).constData(), &info) == 0 && (info.st_mode & 07777) == 0640);
        QVERIFY(QFileInfo(scene.dir.filePath("link.cfg")).isSymLink());
    }

    // Every failure is reported with its number and leaves every file as it was. Each runs
    // in a child: permissions bind only an ordinary user, and a file-size limit stays there.
    void failures_data()
    {
        Columns<QString, QString, QString, QString>({"operation", "path", "setup", "expected"});
        const auto row = [](const char *operation, const char *path, const char *setup, const char *expected) {
            QTest::addRow("%s %s %s", operation, path, setup) << operation << path << setup << expected;
        };
        for (const char *operation : {"read", "save", "append"}) {
            row(operation, "nowhere/new.cfg", "", "76\r\nPath not found");
            row(operation, "sub", "", "75\r\nPath/File access error");
            row(operation, "", "", "75\r\nPath/File access error");
        }
        row("read", "new.cfg", "", "53\r\nFile not found");
        row("read", "old.cfg", "unreadable", "70\r\nPermission denied");
        row("save", "sub/inside.cfg", "read-only folder", "70\r\nPermission denied");
        row("save", "old.cfg", "read-only", "70\r\nPermission denied");
        row("append", "old.cfg", "read-only", "70\r\nPermission denied");
        row("append", "/dev/full", "", "61\r\nDisk full");
        // Beyond the limit the system raises SIGXFSZ, which by default ends the program.
        row("save", "old.cfg", "size limit", "61\r\nFile too large");
        row("append", "old.cfg", "size limit", "61\r\nFile too large");
        row("save", "old.cfg", "size limit, own handler", "61\r\nFile too large, handler ran");
    }
    void failures()
    {
        const auto [operation, name, setup, expected] =
            Fetch<QString, QString, QString, QString>({"operation", "path", "setup", "expected"});
        Scene scene;
        const QString path = name.isEmpty() || name.startsWith('/') ? name : scene.dir.filePath(name);
        if (name.startsWith('/') && !QFile::exists(name))
            QSKIP("no such device here");
        if (setup == "read-only folder") // only a save in place could succeed
            setMode(scene.dir.filePath("sub"), 0555);
        if (setup.startsWith("read-only") || setup == "unreadable")
            setMode(path, setup == "read-only" ? 0444 : setup == "unreadable" ? 0 : 0666);
        const QMap<QString, QByteArray> before = scene.snapshot();
        const ChildOutcome outcome = RunInChild(
            [setup] {
                if (!setup.startsWith("size limit"))
                    return BecomeOrdinaryUser();
                signal(SIGXFSZ, setup.endsWith("handler") ? +[](int) { handlerRan = 1; } : SIG_DFL);
                const rlimit fsize{128, 128};
                return setrlimit(RLIMIT_FSIZE, &fsize) == 0;
            },
            [operation, path]() -> QByteArray {
                QByteArray out("left over");
                if (operation == "read") {
                    const FileError error = ReadFileBytes(path, out);
                    return out.isEmpty() ? report(error) : "bytes left after a failure";
                }
                const FileError error =
                    operation == "save" ? WriteFileAtomically(path, AllBytes) : AppendToFile(path, AllBytes);
                return report(error) + (handlerRan ? ", handler ran" : "");
            });
        QCOMPARE(outcome.exitCode, 0);
        QCOMPARE(QString::fromUtf8(outcome.report), "Error #" + expected);
        QCOMPARE(scene.snapshot(), before);
    }
};

QTEST_GUILESS_MAIN(TestFileIO)
#include "test_fileio.moc"
