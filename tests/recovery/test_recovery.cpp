// Backups of unsaved work: what a backup keeps, how damage is recognised, and which
// backups a program may offer back while others run beside it.
#include "recovery/backupfile.h"
#include "recovery/recoveryfolder.h"
#include "support/datarows.h"
#include "support/files.h"

#include <QLockFile>
#include <QTemporaryDir>
#include <QtTest>

class RecoveryTest : public QObject
{
    Q_OBJECT

private slots:
    void backupKeepsTextAndHeaderExactly_data()
    {
        Columns<QString, QByteArray>({"path", "text"});
        QTest::newRow("untitled, empty") << QString() << QByteArray();
        QTest::newRow("outside Windows-1252, NUL, line ends")
            << "/games/base/autoexec.cfg" << QByteArray("bind x \"say \xe2\x98\x83 \xe6\xbc\xa2 \xf0\x9f\x8e\xae\"\r\n\0\r\n\n\r", 29);
        QTest::newRow("path with a line break and colon") << "/tmp/a: b\nc/\xc3\xa9.cfg" << QByteArray("\n\ntext\n\n");
    }
    void backupKeepsTextAndHeaderExactly()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, text);
        QTemporaryDir dir;
        const BackupHeader header{path, "Quake III Arena", "ioquake3",
                                  QDateTime(QDate(2026, 12, 7), QTime(16, 5, 1, 250), Qt::UTC)};
        QVERIFY(WriteBackup(dir.filePath("b"), header, text).ok());
        const BackupReading reading = ReadBackup(dir.filePath("b"));
        QVERIFY2(reading.backup, qPrintable(reading.fault));
        QCOMPARE(reading.backup->text, text);
        QCOMPARE(reading.backup->header.path, path);
        QCOMPARE(reading.backup->header.game, header.game);
        QCOMPARE(reading.backup->header.engine, header.engine);
        QCOMPARE(reading.backup->header.time, header.time);
    }

    void damagedBackupIsRefused_data()
    {
        // cut: bytes cut off the end; flip: offset from the end of a byte changed, -1 none
        Columns<int, int, QByteArray>({"cut", "flip", "added"});
        QTest::newRow("last byte cut") << 1 << -1 << QByteArray();
        QTest::newRow("cut inside the header") << 1000 << -1 << QByteArray();
        QTest::newRow("a byte of text changed") << 0 << 3 << QByteArray();
        QTest::newRow("bytes added") << 0 << -1 << QByteArray("x");
    }
    void damagedBackupIsRefused()
    {
        QFETCH(int, cut);
        QFETCH(int, flip);
        QFETCH(QByteArray, added);
        QTemporaryDir dir;
        const QString file = dir.filePath("b");
        QVERIFY(WriteBackup(file, {{}, {}, {}, QDateTime::currentDateTimeUtc()}, QByteArray(900, 'a') + "end").ok());
        QByteArray bytes = readAll(file);
        bytes.chop(qMin<qsizetype>(cut, bytes.size() - 1));
        if (flip >= 0)
            bytes[bytes.size() - 1 - flip] = 'b';
        QVERIFY(writeAll(file, bytes + added));
        const BackupReading reading = ReadBackup(file);
        QVERIFY(!reading.backup);
        QVERIFY(!reading.fault.isEmpty());
    }

    void cancelledWriteKeepsTheEarlierBackup()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("b");
        QVERIFY(WriteBackup(file, {}, "first").ok());
        const std::atomic_bool cancel{true};
        QCOMPARE(WriteBackup(file, {}, "second", &cancel).number, BackupCancelled);
        QCOMPARE(ReadBackup(file).backup->text, QByteArray("first"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"b"});
    }

    // Two programs side by side never offer each other's backups; one that ended without
    // a word leaves its backup to the next, and only one of two starting together gets it.
    void onlyBackupsOfEndedProgramsAreOffered()
    {
        QTemporaryDir dir;
        RecoveryFolder first(dir.path()), second(dir.path());
        QVERIFY(first.claim() && second.claim());
        QVERIFY(WriteBackup(first.backupFile(), {}, "one").ok());
        QVERIFY(WriteBackup(second.backupFile(), {}, "two").ok());
        QVERIFY(first.orphans().empty());
        QVERIFY(second.orphans().empty());

        // A program killed leaves its lock behind, naming a process that is gone.
        const QString stale = dir.filePath("dead.lock");
        QVERIFY(writeAll(stale, "2147483646\ntavrel\n" + QSysInfo::machineHostName().toUtf8() + "\n"));
        QVERIFY(WriteBackup(dir.filePath("dead.backup"), {}, "three").ok());
        RecoveryFolder starting(dir.path()), alsoStarting(dir.path());
        std::vector<RecoveryFolder::Orphan> found = starting.orphans();
        QCOMPARE(found.size(), std::size_t(1));
        QCOMPARE(found[0].file, dir.filePath("dead.backup"));
        QVERIFY(alsoStarting.orphans().empty());

        QVERIFY(starting.adopt(found[0]));
        found.clear();
        QCOMPARE(ReadBackup(starting.backupFile()).backup->text, QByteArray("three"));
        QVERIFY(!QFile::exists(dir.filePath("dead.backup")) && !QFile::exists(stale));
        QVERIFY(alsoStarting.orphans().empty());
        // A live program's lock stays; a dead one's without a backup goes.
        QVERIFY(writeAll(stale, "2147483646\ntavrel\n" + QSysInfo::machineHostName().toUtf8() + "\n"));
        QVERIFY(QFile::remove(second.backupFile()));
        QVERIFY(alsoStarting.orphans().empty());
        QVERIFY(!QFile::exists(stale));
        QCOMPARE(QDir(dir.path()).entryList({"*.lock"}).size(), 3);
    }
};

QTEST_GUILESS_MAIN(RecoveryTest)
#include "test_recovery.moc"
