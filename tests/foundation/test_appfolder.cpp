#include "foundation/appfolder.h"
#include "support/datarows.h"
#include "support/files.h"

#include <QTemporaryDir>

class AppFolderTest : public QObject
{
    Q_OBJECT

private slots:
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

QTEST_GUILESS_MAIN(AppFolderTest)
#include "test_appfolder.moc"
