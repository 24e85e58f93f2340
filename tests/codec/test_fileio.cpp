#include "codec/fileio.h"
#include "support/ordinaryuser.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

class TestFileIO : public QObject
{
    Q_OBJECT

private slots:
    void formatting_data();
    void formatting();
    void readExactBytes_data();
    void readExactBytes();
    void readFailures_data();
    void readFailures();
    void writeReplaces_data();
    void writeReplaces();
    void writeKeepsLinkAndMode();
    void writeFailures_data();
    void writeFailures();
    void fileSizeLimit_data();
    void fileSizeLimit();
    void append_data();
    void append();
    void appendFailures_data();
    void appendFailures();
};

namespace {

const QByteArray kOldContent("bind x \"echo old\"\r\nseta name \xe9l\xe8ve\r\n");

QByteArray allBytes()
{
    QByteArray bytes;
    for (int i = 0; i < 256; ++i)
        bytes.append(char(i));
    return bytes + "\r\n\r\n\n\r";
}

void put(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(file.errorString()));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// Every entry under the folder with its bytes, so a stray temporary file or a changed
// byte anywhere shows up as a difference.
QMap<QString, QByteArray> snapshot(const QString &folder)
{
    QMap<QString, QByteArray> entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString key = QDir(folder).relativeFilePath(path);
        entries.insert(key, it.fileInfo().isDir() ? QByteArray("<folder>") : contents(path));
    }
    return entries;
}

// Runs the operation in a child process; the child sends back the formatted error.
ChildOutcome runInChild(const std::function<bool()> &prepare, const std::function<FileError()> &operation)
{
    return RunInChild(prepare, [&] {
        const FileError error = operation();
        return error.ok() ? QByteArray() : FormatFileError(error).toUtf8();
    });
}

bool permissionKind(const QString &kind)
{
    return kind.startsWith("read-only") || kind.startsWith("unreadable");
}

// The report of the operation, run where its permissions are real.
QString attempt(const QString &kind, const std::function<FileError()> &operation)
{
    if (!permissionKind(kind) || geteuid() != 0) {
        const FileError error = operation();
        return error.ok() ? QString() : FormatFileError(error);
    }
    const ChildOutcome outcome = runInChild(BecomeOrdinaryUser, operation);
    if (!outcome.exited || outcome.exitCode != 0)
        return QStringLiteral("<child failed with %1>").arg(outcome.exitCode);
    return QString::fromUtf8(outcome.report);
}

QString expectedReport(int number, const QString &description)
{
    return "Error #" + QString::number(number) + "\r\n" + description;
}

// The kinds of path a test can point at, built inside a fresh folder that also holds
// one earlier file with known content.
struct Scene
{
    QTemporaryDir dir;
    QString existing;

    Scene()
    {
        // Reachable, but not writable, for the ordinary user of the permission cases.
        chmod(QFile::encodeName(dir.path()).constData(), 0755);
        existing = dir.filePath("old.cfg");
        put(existing, kOldContent);
        QDir(dir.path()).mkdir("sub");
        put(dir.filePath("sub/inside.cfg"), "keep me\r\n");
    }

    QString pathFor(const QString &kind)
    {
        if (kind == "existing")
            return existing;
        if (kind == "new")
            return dir.filePath("new.cfg");
        if (kind == "missing folder")
            return dir.filePath("nowhere/new.cfg");
        if (kind == "parent is a file")
            return existing + "/new.cfg";
        if (kind == "directory")
            return dir.filePath("sub");
        if (kind == "empty")
            return QString();
        if (kind == "read-only folder") {
            // The file itself may be written; only a save in place could succeed.
            chmod(QFile::encodeName(dir.filePath("sub/inside.cfg")).constData(), 0666);
            chmod(QFile::encodeName(dir.filePath("sub")).constData(), 0555);
            return dir.filePath("sub/inside.cfg");
        }
        if (kind == "read-only file") {
            chmod(QFile::encodeName(existing).constData(), 0444);
            return existing;
        }
        if (kind == "unreadable file") {
            chmod(QFile::encodeName(existing).constData(), 0);
            return existing;
        }
        qFatal("unknown kind of path");
    }

    ~Scene()
    {
        chmod(QFile::encodeName(dir.filePath("sub")).constData(), 0755);
        chmod(QFile::encodeName(existing).constData(), 0644);
        chmod(QFile::encodeName(dir.path()).constData(), 0700);
    }
};

} // namespace

void TestFileIO::formatting_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("boxed");
    QTest::addColumn<QString>("plain");
    QTest::newRow("file not found") << 53 << "Error #53\r\nFile not found" << "53\r\nFile not found";
    QTest::newRow("path not found") << 76 << "Error #76\r\nPath not found" << "76\r\nPath not found";
}

void TestFileIO::formatting()
{
    QFETCH(int, number);
    QFETCH(QString, boxed);
    QFETCH(QString, plain);
    const FileError error = MakeFileError(number);
    QVERIFY(!error.ok());
    QCOMPARE(FormatFileError(error), boxed);
    QCOMPARE(FormatFileErrorPlain(error), plain);
}

void TestFileIO::readExactBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("every byte value and loose line ends") << allBytes();
    QTest::newRow("larger than one read buffer") << allBytes().repeated(1000);
    QTest::newRow("three read pieces") << allBytes().repeated(33 * 1024 * 1024 / 260 + 1);
}

void TestFileIO::readExactBytes()
{
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath("script.cfg");
    put(path, bytes);
    QByteArray out("left over");
    const FileError error = ReadFileBytes(path, out);
    QVERIFY2(error.ok(), qPrintable(FormatFileError(error)));
    QCOMPARE(out, bytes);
    // Read in pieces when the caller follows the progress: same bytes, every piece heard.
    QList<qint64> heard;
    out = "left over";
    QVERIFY(ReadFileBytes(path, out, [&](qint64 done, qint64 total) {
                QCOMPARE(total, bytes.size());
                heard << done;
            }).ok());
    QCOMPARE(out, bytes);
    const qint64 pieces = (bytes.size() + (16 << 20) - 1) / (16 << 20);
    QCOMPARE(heard.size(), pieces);
    if (!bytes.isEmpty())
        QCOMPARE(heard.last(), bytes.size());
}

void TestFileIO::readFailures_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("description");
    QTest::newRow("missing file") << "new" << 53 << "File not found";
    QTest::newRow("directory") << "directory" << 75 << "Path/File access error";
    QTest::newRow("missing folder") << "missing folder" << 76 << "Path not found";
    QTest::newRow("parent is a file") << "parent is a file" << 76 << "Path not found";
    QTest::newRow("empty path") << "empty" << 75 << "Path/File access error";
    QTest::newRow("unreadable file") << "unreadable file" << 70 << "Permission denied";
}

void TestFileIO::readFailures()
{
    QFETCH(QString, kind);
    QFETCH(int, number);
    QFETCH(QString, description);
    Scene scene;
    const QString path = scene.pathFor(kind);
    const QString report = attempt(kind, [&] {
        QByteArray out("left over");
        const FileError error = ReadFileBytes(path, out);
        return out.isEmpty() ? error : FileError{-1, "bytes left after a failure"};
    });
    QCOMPARE(report, expectedReport(number, description));
}

void TestFileIO::writeReplaces_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("new file") << "new" << allBytes();
    QTest::newRow("longer over shorter") << "existing" << allBytes();
    QTest::newRow("shorter over longer leaves no tail") << "existing" << QByteArray("x\r\n");
    QTest::newRow("empty over existing") << "existing" << QByteArray();
}

void TestFileIO::writeReplaces()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, bytes);
    Scene scene;
    const QString path = scene.pathFor(kind);
    QMap<QString, QByteArray> expected = snapshot(scene.dir.path());
    expected.insert(QDir(scene.dir.path()).relativeFilePath(path), bytes);

    const FileError error = WriteFileAtomically(path, bytes);
    QVERIFY2(error.ok(), qPrintable(FormatFileError(error)));
    QCOMPARE(snapshot(scene.dir.path()), expected);
}

void TestFileIO::writeKeepsLinkAndMode()
{
    // Replacing the file by rename must not turn a link into a plain file or widen access.
    Scene scene;
    chmod(QFile::encodeName(scene.existing).constData(), 0640);
    const QString link = scene.dir.filePath("link.cfg");
    QVERIFY(QFile::link("old.cfg", link));

    const FileError error = WriteFileAtomically(link, "new\r\n");
    QVERIFY2(error.ok(), qPrintable(FormatFileError(error)));
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(contents(scene.existing), QByteArray("new\r\n"));
    struct stat info = {};
    QCOMPARE(stat(QFile::encodeName(scene.existing).constData(), &info), 0);
    QCOMPARE(info.st_mode & 07777, mode_t(0640));
}

void TestFileIO::writeFailures_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("description");
    QTest::newRow("missing folder") << "missing folder" << 76 << "Path not found";
    QTest::newRow("parent is a file") << "parent is a file" << 76 << "Path not found";
    QTest::newRow("target is a directory") << "directory" << 75 << "Path/File access error";
    QTest::newRow("empty path") << "empty" << 75 << "Path/File access error";
    QTest::newRow("read-only folder") << "read-only folder" << 70 << "Permission denied";
    QTest::newRow("read-only file") << "read-only file" << 70 << "Permission denied";
}

void TestFileIO::writeFailures()
{
    QFETCH(QString, kind);
    QFETCH(int, number);
    QFETCH(QString, description);
    Scene scene;
    const QString path = scene.pathFor(kind);
    const QMap<QString, QByteArray> before = snapshot(scene.dir.path());

    const QString report = attempt(kind, [&] { return WriteFileAtomically(path, allBytes()); });
    QCOMPARE(report, expectedReport(number, description));
    QCOMPARE(snapshot(scene.dir.path()), before);
}

void TestFileIO::fileSizeLimit_data()
{
    QTest::addColumn<bool>("append");
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("report");
    const QString tooLarge = "Error #61\r\nFile too large";
    QTest::newRow("save beyond the limit") << false << 256 * 1024 << tooLarge;
    QTest::newRow("append beyond the limit") << true << 256 * 1024 << tooLarge;
    QTest::newRow("save within the limit") << false << 1000 << QString();
    QTest::newRow("append within the limit") << true << 1000 << QString();
}

void TestFileIO::fileSizeLimit()
{
    QFETCH(bool, append);
    QFETCH(int, size);
    QFETCH(QString, report);
    constexpr rlim_t limit = 16 * 1024;

    Scene scene;
    const QMap<QString, QByteArray> before = snapshot(scene.dir.path());
    const QByteArray bytes = allBytes().repeated(size / allBytes().size() + 1).left(size);

    const auto limitFileSize = [] {
        // Left at its default, SIGXFSZ would end the child; the file layer must prevent that.
        signal(SIGXFSZ, SIG_DFL);
        const rlimit fsize{limit, limit};
        return setrlimit(RLIMIT_FSIZE, &fsize) == 0;
    };
    const QString path = scene.existing;
    const ChildOutcome outcome = runInChild(limitFileSize, [&] {
        return append ? AppendToFile(path, bytes) : WriteFileAtomically(path, bytes);
    });
    QVERIFY2(outcome.exited, "the child was killed by a signal");
    QCOMPARE(outcome.exitCode, 0);

    QCOMPARE(QString::fromUtf8(outcome.report), report);
    QMap<QString, QByteArray> expected = before;
    if (report.isEmpty())
        expected.insert("old.cfg", append ? kOldContent + bytes : bytes);
    QCOMPARE(snapshot(scene.dir.path()), expected);
}

void TestFileIO::append_data()
{
    QTest::addColumn<QByteArray>("earlier");
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("missing file is created") << QByteArray() << false << QByteArray("+zoom\r\n");
    QTest::newRow("empty file") << QByteArray() << true << QByteArray("+zoom\r\n");
    QTest::newRow("after a terminated line") << QByteArray("+attack\r\n") << true
                                             << QByteArray("+attack\r\n+zoom\r\n");
    QTest::newRow("unterminated last line is continued") << QByteArray("+attack") << true
                                                         << QByteArray("+attack+zoom\r\n");
    QTest::newRow("earlier bytes untouched") << allBytes() << true << allBytes() + "+zoom\r\n";
}

void TestFileIO::append()
{
    QFETCH(QByteArray, earlier);
    QFETCH(bool, exists);
    QFETCH(QByteArray, expected);
    QTemporaryDir dir;
    const QString path = dir.filePath("cc.txt");
    if (exists)
        put(path, earlier);
    const FileError error = AppendToFile(path, "+zoom\r\n");
    QVERIFY2(error.ok(), qPrintable(FormatFileError(error)));
    QCOMPARE(contents(path), expected);
}

void TestFileIO::appendFailures_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("description");
    QTest::newRow("missing folder") << "missing folder" << 76 << "Path not found";
    QTest::newRow("parent is a file") << "parent is a file" << 76 << "Path not found";
    QTest::newRow("target is a directory") << "directory" << 75 << "Path/File access error";
    QTest::newRow("read-only file") << "read-only file" << 70 << "Permission denied";
    QTest::newRow("device that is always full") << "/dev/full" << 61 << "Disk full";
}

void TestFileIO::appendFailures()
{
    QFETCH(QString, kind);
    QFETCH(int, number);
    QFETCH(QString, description);
    Scene scene;
    const bool device = kind.startsWith('/');
    if (device && !QFile::exists(kind))
        QSKIP("no such device here");
    const QString path = device ? kind : scene.pathFor(kind);
    const QMap<QString, QByteArray> before = snapshot(scene.dir.path());

    const QString report = attempt(kind, [&] { return AppendToFile(path, "+zoom\r\n"); });
    QCOMPARE(report, expectedReport(number, description));
    QCOMPARE(snapshot(scene.dir.path()), before);
}

QTEST_GUILESS_MAIN(TestFileIO)
#include "test_fileio.moc"
