// Bytes, files and folders: the Windows-1252 codec, whole-file reads and writes, and
// where the program keeps its data.
#include "codec/cp1252.h"
#include "codec/fileio.h"
#include "foundation/appfolder.h"
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

class TestCodec : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data()
    {
        Columns<QByteArray, QString>({"bytes", "text"}); // text null: not checked
        const QByteArray all = AllBytes.first(256);
        // Written as text, so a slip in the table cannot repeat here; the five undefined
        // bytes stand for the C1 controls of their value.
        QTest::newRow("0x80 to 0xA0") << all.mid(0x80, 33)
                                      << QString("€\u0081‚ƒ„…†‡ˆ‰Š‹Œ\u008DŽ\u008F\u0090‘’“”•–—˜™š›œ\u009DžŸ\u00A0");
        QTest::newRow("empty") << QByteArray() << QString("");
        QTest::newRow("all 256 bytes") << all << QString();
    }
    // Both decoders and both encoders agree and give back the same bytes, reading nothing
    // beyond the end of the view they are given.
    void roundTrip()
    {
        const auto [bytes, expected] = Fetch<QByteArray, QString>({"bytes", "text"});
        const QString text = cp1252::decode(bytes);
        QCOMPARE(text, expected.isNull() ? text : expected);
        QCOMPARE(cp1252::decodeToUtf8(QByteArrayView(bytes + "\x80\x80\x80\x80\x80\x80\x80").first(bytes.size())),
                 text.toUtf8());
        const cp1252::EncodeResult fromUtf8 = cp1252::encodeFromUtf8(text.toUtf8()), fromText = cp1252::encode(text);
        QVERIFY(fromUtf8.ok && fromText.ok);
        QCOMPARE(fromUtf8.bytes, bytes);
        QCOMPARE(fromText.bytes, bytes);
        // A euro sign whose last byte lies beyond the view is cut off, not completed.
        const QByteArray withEuro = text.toUtf8() + "\xe2\x82\xac";
        const cp1252::EncodeResult cut = cp1252::encodeFromUtf8(QByteArrayView(withEuro).chopped(1));
        QVERIFY(!cut.ok && cut.malformed && cut.badUtf8Offset == withEuro.size() - 3);
    }

    // Strings go to encode(QString), UTF-8 to encodeFromUtf8 and, when valid, to both.
    void encodeRefuses_data()
    {
        Columns<QVariant, qsizetype, uint>({"input", "offset", "character"}); // character 0: malformed
        const auto row = [](const char *name, const QVariant &input, qsizetype offset, uint character) {
            QTest::newRow(name) << input << offset << character;
        };
        row("CJK after an 8-byte ASCII run", QString("abcdefghij中").toUtf8(), 10, 0x4E2D);
        row("emoji after accented letters", QString("é€x😀中").toUtf8(), 6, 0x1F600);
        row("C1 control the code page gives to the euro", QString("a\u0080").toUtf8(), 1, 0x80);
        row("stray continuation byte", QByteArray("ab\x80"), 2, 0);
        row("cut-off Latin-1 letter", QByteArray("ab\xc3"), 2, 0);
        row("Latin-1 lead before ASCII", QByteArray("\xc3z"), 0, 0);
        row("overlong slash", QByteArray("x\xc0\xaf"), 1, 0);
        row("overlong three-byte form", QByteArray("\xe0\x80\xaf"), 0, 0);
        row("encoded surrogate", QByteArray("\xed\xa0\x80"), 0, 0);
        row("beyond U+10FFFF", QByteArray("\xf4\x90\x80\x80"), 0, 0);
        row("byte 0xFF", QByteArray("\xc3\xa9\xff"), 2, 0);
        row("lone high surrogate at the end", QString("é") + QChar(0xD83D), 2, 0);
        row("lone low surrogate", QString("ab") + QChar(0xDE00), 2, 0);
        row("two high surrogates", QString(QChar(0xD83D)) + QChar(0xD83D) + QChar(0xDE00), 0, 0);
    }
    void encodeRefuses()
    {
        const auto [input, offset, character] = Fetch<QVariant, qsizetype, uint>({"input", "offset", "character"});
        const bool isText = input.typeId() == QMetaType::QString;
        QList<cp1252::EncodeResult> results{isText ? cp1252::encode(input.toString())
                                                   : cp1252::encodeFromUtf8(input.toByteArray())};
        if (!isText && character != 0)
            results << cp1252::encode(QString::fromUtf8(input.toByteArray()));
        for (const cp1252::EncodeResult &r : results) {
            QVERIFY(!r.ok && r.bytes.isEmpty() && r.malformed == (character == 0));
            QCOMPARE(r.badUtf8Offset, offset);
            QCOMPARE(uint(r.badCharacter), character);
        }
    }

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

    void cleanup() { SetDataFolders({}); }

    // Where the data is shipped below a temporary root (a folder ending in / is made empty),
    // whether the program may write there, the user's data folder (none when empty), and
    // the folders used then.
    void chooseFolders_data()
    {
        Columns<QString, QStringList, bool, QString, QString, QString>(
            {"executable", "shippedIn", "writable", "user", "application", "writableFolder"});
        const QStringList share{"share/tavrel"};
        QTest::newRow("portable") << "app" << QStringList{"app"} << true << "user" << "app" << "app";
        QTest::newRow("portable, read-only") << "app" << QStringList{"app"} << false << "user" << "app" << "user";
        QTest::newRow("portable beside installed") << "bin" << QStringList{"bin", "share/tavrel"} << true << "user"
                                                   << "bin" << "bin";
        QTest::newRow("installed") << "bin" << share << false << "user" << "share/tavrel" << "user";
        // The user's words stay apart even where an installed copy could write in place.
        QTest::newRow("installed, writable prefix") << "bin" << share << true << "user" << "share/tavrel" << "user";
        // Found nowhere: reading the word files reports them missing, as before.
        QTest::newRow("no data anywhere") << "bin" << QStringList{} << true << "user" << "bin" << "bin";
        QTest::newRow("no pf in share") << "bin" << QStringList{"share/tavrel/x/"} << false << "user" << "bin" << "bin";
        // Where no user folder can be made the shipped files are used as they are.
        QTest::newRow("no data location") << "bin" << share << false << "" << "share/tavrel" << "share/tavrel";
        QTest::newRow("location is a file") << "bin" << share << false << "file" << "share/tavrel" << "share/tavrel";
    }
    void chooseFolders()
    {
        const auto [executable, shippedIn, writable, user, application, writableFolder] =
            Fetch<QString, QStringList, bool, QString, QString, QString>(
                {"executable", "shippedIn", "writable", "user", "application", "writableFolder"});
        QTemporaryDir tmp;
        const auto path = [&](const QString &relative) { return QDir::cleanPath(tmp.filePath(relative)); };
        const QStringList words{"pf/cc.txt", "pf/operators.txt", "pf/q3cc.txt", "pf/q3operators.txt"};
        for (const QString &folder : shippedIn) {
            QVERIFY(QDir().mkpath(path(folder)));
            for (const QString &name : folder.endsWith('/') ? QStringList() : words + QStringList{"help", "cfgs/a"})
                QVERIFY(writeAll(path(folder + "/" + name), name.toUtf8()));
        }
        QVERIFY(writeAll(path("file"), "not a folder"));
        const auto prepare = [&] {
            SetDataFolders(PrepareDataFolders(path(executable), user.isEmpty() ? QString() : path(user),
                                              [&](const QString &) { return writable; }));
        };
        prepare();
        QCOMPARE(ApplicationFolder(), path(application));
        QCOMPARE(WritableFolder(), path(writableFolder));
        // Word files lie where the program may write, the rest where it was shipped.
        for (const auto &[name, word] :
             {std::pair{"pf/cc.txt", true}, {"pf\\cc.txt", true}, {"help.txt", false}, {"pfx", false}})
            QCOMPARE(ApplicationFile(name), path(word ? writableFolder : application) + "/" + name);
        QCOMPARE(QFileInfo::exists(path("user")), writableFolder == "user");
        if (writableFolder != "user")
            return;
        for (const QString &name : words)
            QVERIFY(readAll(path("user/" + name)) == readAll(path(application + "/" + name))
                    && (QFileInfo(path("user/" + name)).permissions() & QFile::WriteOwner));
        QCOMPARE(QDir(path("user")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{"pf"});
        // The user's words survive later starts and upgrades; newly shipped files are added.
        QVERIFY(writeAll(path("user/pf/operators.txt"), "mykeyword\r\n") && QFile::remove(path("user/pf/q3cc.txt")));
        QVERIFY(writeAll(path(application + "/pf/operators.txt"), "upgraded\r\n"));
        QVERIFY(writeAll(path(application + "/pf/new.txt"), "new\r\n"));
        prepare();
        QCOMPARE(WritableFolder(), path("user"));
        QCOMPARE(readAll(path("user/pf/operators.txt")) + readAll(path("user/pf/new.txt")), "mykeyword\r\nnew\r\n");
        QCOMPARE(readAll(path("user/pf/q3cc.txt")), readAll(path(application + "/pf/q3cc.txt")));
    }
};

QTEST_GUILESS_MAIN(TestCodec)
#include "test_codec.moc"
