#include "foundation/appfolder.h"
#include "app/frmMain.h"
#include "aids/frmCmdList.h"
#include "languages/frmDefNew.h"
#include "tunemill/frmTunemill.h"
#include "support/fakeregistry.h"
#include "support/fakeservices.h"
#include "support/files.h"

#include <QCoreApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QStringList WordFiles = {"cc.txt", "operators.txt", "q3cc.txt", "q3operators.txt"};

// A copy of the shipped data (pf/, cfgs/, help.txt) in folder.
void shipData(const QString &folder)
{
    QDir root(folder);
    QVERIFY(root.mkpath("pf") && root.mkpath("cfgs"));
    const QString source = QStringLiteral(TAVREL_SOURCE_DIR "/data/");
    for (const QString &name : WordFiles)
        QVERIFY(QFile::copy(source + "pf/" + name, root.filePath("pf/" + name)));
    QVERIFY(QFile::copy(source + "help.txt", root.filePath("help.txt")));
    QVERIFY(QFile::copy(source + "cfgs/example.cfg", root.filePath("cfgs/example.cfg")));
}

auto writableWhen(bool writable)
{
    return [writable](const QString &) { return writable; };
}

} // namespace

class AppFolderTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> tmp;
    QString path(const QString &relative) const { return QDir::cleanPath(tmp->filePath(relative)); }

    // An installed copy: root/bin for the executable, root/share/tavrel for the data.
    DataFolders install()
    {
        shipData(path("share/tavrel"));
        if (!QDir().mkpath(path("bin")))
            return {};
        return PrepareDataFolders(path("bin"), path("user"), writableWhen(false));
    }

private slots:
    void init()
    {
        tmp = std::make_unique<QTemporaryDir>();
        QVERIFY(tmp->isValid());
    }
    void cleanup()
    {
        SetDataFolders({});
        tmp.reset();
    }

    // Layouts below a temporary root: the executable's folder, where pf/ is shipped,
    // whether the program may write where it lies, and the folders it then uses.
    void chooseFolders_data()
    {
        QTest::addColumn<QString>("executable");
        QTest::addColumn<QString>("shippedIn");
        QTest::addColumn<bool>("writable");
        QTest::addColumn<QString>("application");
        QTest::addColumn<QString>("writableFolder");
        QTest::newRow("portable copy") << "app" << "app" << true << "app" << "app";
        QTest::newRow("portable copy, read-only") << "app" << "app" << false << "app" << "user";
        QTest::newRow("installed") << "bin" << "share/tavrel" << false << "share/tavrel" << "user";
        // An installed copy keeps the user's words apart even where it could write in place.
        QTest::newRow("installed, writable prefix") << "bin" << "share/tavrel" << true << "share/tavrel" << "user";
        // Found nowhere: reading the word files reports them missing, as before.
        QTest::newRow("no data anywhere") << "bin" << "" << true << "bin" << "bin";
        QTest::newRow("share without pf") << "bin" << "share/tavrel/cfgs" << false << "bin" << "bin";
    }
    void chooseFolders()
    {
        QFETCH(QString, executable);
        QFETCH(QString, shippedIn);
        QFETCH(bool, writable);
        QFETCH(QString, application);
        QFETCH(QString, writableFolder);
        QVERIFY(QDir().mkpath(path(executable)));
        if (shippedIn.endsWith("cfgs"))
            QVERIFY(QDir().mkpath(path(shippedIn)));
        else if (!shippedIn.isEmpty())
            shipData(path(shippedIn));

        const DataFolders folders = PrepareDataFolders(path(executable), path("user"), writableWhen(writable));
        QCOMPARE(folders.application, path(application));
        QCOMPARE(folders.writable, path(writableFolder));
        if (writableFolder != "user") {
            QVERIFY(!QFileInfo::exists(path("user")));
            return;
        }
        for (const QString &name : WordFiles) {
            QCOMPARE(readAll(path("user/pf/" + name)), readAll(path(application + "/pf/" + name)));
            QVERIFY(QFileInfo(path("user/pf/" + name)).permissions() & QFile::WriteOwner);
        }
        // Only the word files are the user's; the rest is read where it was shipped.
        QVERIFY(!QFileInfo::exists(path("user/cfgs")));
        QVERIFY(!QFileInfo::exists(path("user/help.txt")));
    }

    // A portable folder beside an installed layout is still a portable copy.
    void portableFolderWinsOverShare()
    {
        shipData(path("bin"));
        shipData(path("share/tavrel"));
        const DataFolders folders = PrepareDataFolders(path("bin"), path("user"), writableWhen(true));
        QCOMPARE(folders.application, path("bin"));
        QCOMPARE(folders.writable, path("bin"));
    }

    // The user's words survive later starts and upgrades; newly shipped files are added.
    void userWordsAreNeverOverwritten()
    {
        install();
        QVERIFY(writeAll(path("user/pf/operators.txt"), "bind\r\nmykeyword\r\n"));
        QVERIFY(QFile::remove(path("user/pf/q3cc.txt")));
        QVERIFY(writeAll(path("share/tavrel/pf/operators.txt"), "upgraded\r\n"));
        QVERIFY(writeAll(path("share/tavrel/pf/new.txt"), "new\r\n"));

        const DataFolders again = PrepareDataFolders(path("bin"), path("user"), writableWhen(false));
        QCOMPARE(again.writable, path("user"));
        QCOMPARE(readAll(path("user/pf/operators.txt")), QByteArray("bind\r\nmykeyword\r\n"));
        QCOMPARE(readAll(path("user/pf/q3cc.txt")), readAll(path("share/tavrel/pf/q3cc.txt")));
        QCOMPARE(readAll(path("user/pf/new.txt")), QByteArray("new\r\n"));
    }

    // Where no user folder can be made the shipped files are used as they are.
    void userFolderUnavailable_data()
    {
        QTest::addColumn<bool>("noLocation");
        QTest::newRow("no data location") << true;
        QTest::newRow("location is a file") << false;
    }
    void userFolderUnavailable()
    {
        QFETCH(bool, noLocation);
        shipData(path("share/tavrel"));
        QVERIFY(QDir().mkpath(path("bin")));
        QVERIFY(writeAll(path("user"), "not a folder"));
        const DataFolders folders =
            PrepareDataFolders(path("bin"), noLocation ? QString() : path("user"), writableWhen(false));
        QCOMPARE(folders.application, path("share/tavrel"));
        QCOMPARE(folders.writable, path("share/tavrel"));
    }

    void filesResolveToTheirFolder_data()
    {
        QTest::addColumn<QString>("relative");
        QTest::addColumn<QString>("expected");
        QTest::newRow("command file") << "pf/cc.txt" << "/w/pf/cc.txt";
        QTest::newRow("word file") << "pf/q3operators.txt" << "/w/pf/q3operators.txt";
        QTest::newRow("backslash") << "pf\\cc.txt" << "/w/pf\\cc.txt";
        QTest::newRow("cfgs") << "cfgs" << "/a/cfgs";
        QTest::newRow("help") << "help.txt" << "/a/help.txt";
        QTest::newRow("name starting pf") << "pfx.txt" << "/a/pfx.txt";
    }
    void filesResolveToTheirFolder()
    {
        QFETCH(QString, relative);
        SetDataFolders({"/a", "/w"});
        QCOMPARE(ApplicationFolder(), QStringLiteral("/a"));
        QCOMPARE(WritableFolder(), QStringLiteral("/w"));
        QTEST(ApplicationFile(relative), "expected");
        SetApplicationFolder("/p");
        QCOMPARE(ApplicationFile(relative), "/p/" + relative);
        QCOMPARE(WritableFolder(), QStringLiteral("/p"));
    }

    // The test executable's folder holds no data and no share/tavrel lies beside it.
    void withoutOverrideTheExecutablesFolder()
    {
        SetApplicationFolder("/p");
        SetDataFolders({});
        QCOMPARE(ApplicationFolder(), QCoreApplication::applicationDirPath());
        QCOMPARE(WritableFolder(), QCoreApplication::applicationDirPath());
    }

    // The whole program in an installed copy: it reads the user's word files, adds new
    // keywords to them, reads help from the installed data and writes Tunemill's script
    // where it may write.
    void installedProgramUsesTheUsersWords()
    {
        const DataFolders folders = install();
        QCOMPARE(folders.writable, path("user"));
        SetDataFolders(folders);
        QVERIFY(writeAll(path("user/pf/cc.txt"), "+mine\r\nbind\r\n"));
        const QByteArray shippedWords = readAll(path("share/tavrel/pf/operators.txt"));
        const QByteArray shippedCommands = readAll(path("share/tavrel/pf/cc.txt"));

        FakeRegistry registry;
        FakeServices fakes;
        frmMain window;
        window.EndProgram = [] {};
        window.Form_Load();
        QVERIFY2(fakes.messageBoxes.shown.isEmpty(), qPrintable(fakes.messageBoxes.texts().join('|')));
        QVERIFY(!window.ProgramEnded());
        QCOMPARE(window.CmdList()->list1->count(), 2);
        QCOMPARE(window.CmdList()->list1->item(0)->text(), QStringLiteral("+mine"));

        frmDefNew *dialog = window.DefNew();
        dialog->Option1->setChecked(true);
        dialog->Text1->setText("mykeyword");
        dialog->Text2->setText("+mykeyword");
        dialog->Command1->click();
        QVERIFY(readAll(path("user/pf/operators.txt")).endsWith("mykeyword\r\n"));
        QVERIFY(readAll(path("user/pf/cc.txt")).endsWith("+mykeyword\r\n"));
        QCOMPARE(readAll(path("share/tavrel/pf/operators.txt")), shippedWords);
        QCOMPARE(readAll(path("share/tavrel/pf/cc.txt")), shippedCommands);

        fakes.fileDialogs.openAnswers.clear();
        window.OpenDocument();
        QCOMPARE(fakes.fileDialogs.openRequests.last().initialFolder, path("share/tavrel/cfgs"));

        frmTunemill tunemill(nullptr, QString());
        QCOMPARE(tunemill.basePath(), QDir::toNativeSeparators(path("user")));
        QVERIFY(tunemill.findChild<QPlainTextEdit *>("Text2")->toPlainText().contains("exec tunemill"));
    }
};

QTEST_MAIN(AppFolderTest)
#include "test_appfolder.moc"
