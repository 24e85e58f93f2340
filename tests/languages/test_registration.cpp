#include "aids/frmCmdList.h"
#include "foundation/appfolder.h"
#include "app/frmMain.h"
#include "editor/codesense.h"
#include "support/fakeregistry.h"
#include "support/fakeservices.h"
#include "support/files.h"

#include <QAction>
#include <QListWidget>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QStringList items(frmMain &window)
{
    QStringList result;
    for (int i = 0; i < window.CmdList()->list1->count(); ++i)
        result << window.CmdList()->list1->item(i)->text();
    return result;
}

} // namespace

// Start-up registers both languages from the word files and fills the command list;
// the Game menu switches language and list.
class RegistrationTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> appDir;

    QString pf(const char *name) const { return appDir->filePath(QStringLiteral("pf/") + name); }

    struct Started
    {
        FakeServices fakes;
        FakeRegistry registry;
        frmMain window;
        int ends = 0;
        std::unique_ptr<QSignalSpy> q3Registered;
        Started()
        {
            window.EndProgram = [this] { ++ends; };
            q3Registered = std::make_unique<QSignalSpy>(&window, &frmMain::Q3ScriptRegistered);
            window.Form_Load();
        }
    };

private slots:
    void init()
    {
        appDir = std::make_unique<QTemporaryDir>();
        QDir(appDir->path()).mkpath(QStringLiteral("pf"));
        QVERIFY(writeAll(pf("operators.txt"), "bind\r\nset\r\nvstr\r\n"));
        QVERIFY(writeAll(pf("q3operators.txt"), "bind\r\nseta\r\n"));
        QVERIFY(writeAll(pf("cc.txt"), "+attack\r\nbind\r\nforce_throw\r\n"));
        QVERIFY(writeAll(pf("q3cc.txt"), "+zoom\r\nvid_restart"));
        SetApplicationFolder(appDir->path());
    }

    void startWithBothWordFiles()
    {
        Started s;
        QCOMPARE(s.ends, 0);
        QVERIFY(s.fakes.messageBoxes.shown.isEmpty());
        QCOMPARE(s.window.CodeSense1->Language(), QStringLiteral("JK2Script"));
        QVERIFY(s.window.menuItem("mnuGame_jk2")->isChecked());
        QVERIFY(!s.window.menuItem("mnuGame_q3")->isChecked());
        QCOMPARE(s.q3Registered->count(), 1);
        QVERIFY(CodeSense::IsLanguageRegistered(QStringLiteral("Q3Script")));
        QCOMPARE(items(s.window), QStringList({"+attack", "bind", "force_throw"}));
        QVERIFY(!s.window.CmdList()->isVisible());
    }

    void missingJediOutcastWordFileEndsTheProgram()
    {
        QFile::remove(pf("operators.txt"));
        Started s;
        QCOMPARE(s.fakes.messageBoxes.texts(),
                 QStringList({"53\r\nFile not found",
                              "Error trying to access operators.txt.\r\nTry unzipping the program again."}));
        for (const MessageBoxRequest &box : s.fakes.messageBoxes.shown) {
            QCOMPARE(box.title, QStringLiteral("Tavrel"));
            QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
            QCOMPARE(box.icon, QMessageBox::NoIcon);
        }
        QCOMPARE(s.ends, 1);
        QVERIFY(s.window.ProgramEnded());
        QCOMPARE(s.q3Registered->count(), 0);
    }

    void missingQuakeWordFileEndsTheProgram()
    {
        QFile::remove(pf("q3operators.txt"));
        Started s;
        QCOMPARE(s.fakes.messageBoxes.texts(), QStringList({"53\r\nFile not found"}));
        QCOMPARE(s.ends, 1);
        QCOMPARE(s.q3Registered->count(), 0);
    }

    void commandFileAtStartUp_data()
    {
        QTest::addColumn<QByteArray>("content"); // "missing" removes the file
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QStringList>("list");
        QTest::newRow("missing") << QByteArray("missing") << QStringList{"Error #53\r\nFile not found"} << QStringList();
        QTest::newRow("empty") << QByteArray() << QStringList() << QStringList();
        QTest::newRow("three lines") << QByteArray("a\r\nb\r\nc") << QStringList() << QStringList{"a", "b", "c"};
        QTest::newRow("empty entry kept") << QByteArray("a\r\n\r\nc\r\n") << QStringList() << QStringList{"a", "", "c"};
    }
    void commandFileAtStartUp()
    {
        QFETCH(QByteArray, content);
        if (content == "missing")
            QFile::remove(pf("cc.txt"));
        else
            QVERIFY(writeAll(pf("cc.txt"), content));
        Started s;
        QTEST(s.fakes.messageBoxes.texts(), "messages");
        QTEST(items(s.window), "list");
        // Start-up goes on: both languages registered, the program running.
        QCOMPARE(s.ends, 0);
        QCOMPARE(s.q3Registered->count(), 1);
        QCOMPARE(s.window.CodeSense1->Language(), QStringLiteral("JK2Script"));
    }

    void switchingGamesAndBack()
    {
        Started s;
        s.window.menuItem("mnuGame_q3")->trigger();
        QCOMPARE(s.window.CodeSense1->Language(), QStringLiteral("Q3Script"));
        QVERIFY(s.window.menuItem("mnuGame_q3")->isChecked());
        QVERIFY(!s.window.menuItem("mnuGame_jk2")->isChecked());
        QCOMPARE(items(s.window), QStringList({"+zoom", "vid_restart"}));
        s.window.menuItem("mnuGame_jk2")->trigger();
        QCOMPARE(s.window.CodeSense1->Language(), QStringLiteral("JK2Script"));
        QCOMPARE(items(s.window), QStringList({"+attack", "bind", "force_throw"}));
        QVERIFY(s.window.menuItem("mnuGame_jk2")->isChecked());
        QVERIFY(!s.window.menuItem("mnuGame_q3")->isChecked());
        QVERIFY(s.fakes.messageBoxes.shown.isEmpty());
    }

    void choosingTheCurrentGameReadsNothing()
    {
        Started s;
        QFile::remove(pf("cc.txt"));
        s.window.menuItem("mnuGame_jk2")->trigger();
        QVERIFY(s.fakes.messageBoxes.shown.isEmpty());
        QVERIFY(s.window.menuItem("mnuGame_jk2")->isChecked());
        QCOMPARE(items(s.window), QStringList({"+attack", "bind", "force_throw"}));
    }

    void switchWithMissingCommandFileStillSwitches()
    {
        Started s;
        QFile::remove(pf("q3cc.txt"));
        s.window.menuItem("mnuGame_q3")->trigger();
        QCOMPARE(s.fakes.messageBoxes.texts(), QStringList({"53\r\nFile not found"}));
        QCOMPARE(s.window.CodeSense1->Language(), QStringLiteral("Q3Script"));
        QVERIFY(s.window.menuItem("mnuGame_q3")->isChecked());
        QVERIFY(!s.window.menuItem("mnuGame_jk2")->isChecked());
    }

    void keywordsHighlightInAnyCase()
    {
        Started s;
        CodeSense *editor = s.window.CodeSense1;
        editor->SetText(QStringLiteral("SET x 1\nvStr x\nsetx"));
        editor->SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0, -1);
        const auto styleAt = [&](qint32 line, qint32 column) {
            return int(editor->SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, editor->PositionOf(line, column)));
        };
        QVERIFY(styleAt(0, 0) != 0);
        QCOMPARE(styleAt(1, 0), styleAt(0, 0));
        QCOMPARE(styleAt(2, 0), 0); // a word that merely starts with a keyword
        // Switching highlighting off leaves every character plain.
        editor->SetColorSyntax(false);
        editor->SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0, -1);
        QCOMPARE(styleAt(0, 0), 0);
    }
};

QTEST_MAIN(RegistrationTest)
#include "test_registration.moc"
