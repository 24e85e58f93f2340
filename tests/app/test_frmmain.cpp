#include "foundation/appfolder.h"
#include "app/frmMain.h"
#include "aids/frmCmdList.h"
#include "foundation/twips.h"
#include "editor/codesense.h"
#include "gamepath/registryFinder.h"
#include "support/fakeservices.h"
#include "support/appfolder.h"
#include "support/fakeregistry.h"
#include "support/files.h"

#include <QAction>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class MainWindowTest : public QObject
{
    Q_OBJECT

    QTemporaryDir appDir;
    std::unique_ptr<FakeRegistry> registry;

    struct Fixture
    {
        FakeServices fakes;
        frmMain window;
        int ends = 0;
        Fixture()
        {
            window.EndProgram = [this] { ++ends; };
            window.Form_Load();
        }
        void type(const QString &text) { QTest::keyClicks(window.CodeSense1, text); }
    };

private slots:
    void initTestCase()
    {
        PrepareApplicationFolder(appDir);
    }
    // Every test starts with the game not installed.
    void init() { registry = std::make_unique<FakeRegistry>(); }
    void cleanup() { registry.reset(); }

    void menuBarIsLaidOutAsStored_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("shortcut");
        QTest::addColumn<bool>("checked");
        QTest::newRow("new") << "mnuFile_new" << "&New" << "Ctrl+N" << false;
        QTest::newRow("save as") << "mnuFile_saveas" << "Save &As..." << "Ctrl+D" << false;
        QTest::newRow("redo") << "mnuEdit_redo" << "&Redo" << "Ctrl+R" << false;
        QTest::newRow("delete") << "mnuEdit_del" << "De&lete" << "Del" << false;
        QTest::newRow("find") << "mnuEdit_find" << "&Find && Replace..." << "" << false;
        QTest::newRow("time") << "mnuEdit_time" << "Time / Dat&e" << "F6" << false;
        QTest::newRow("tips") << "mnuOptions_linenumtips" << "Line &Num Tips" << "" << true;
        QTest::newRow("syntax") << "mnuOptions_syntaxh" << "S&yntax Highlighting" << "" << true;
        QTest::newRow("endent line") << "mnuOptions_endent_line" << "By &Previous Line" << "" << true;
        QTest::newRow("endent off") << "mnuOptions_endent_off" << "&Off" << "" << false;
        QTest::newRow("numbers none") << "mnuOptions_linenum_none" << "&None" << "" << true;
        QTest::newRow("properties") << "mnuEdit_properties" << "Pr&operties" << "F1" << false;
        QTest::newRow("set font") << "mnuFont_select" << "Set &Font" << "Ctrl+F" << false;
        QTest::newRow("command list") << "mnuTools_cmdlist" << "Command &List" << "F5" << false;
        QTest::newRow("special chars") << "mnuTools_spchar" << "Special &Characters" << "Ctrl+L" << false;
        QTest::newRow("define") << "mnuTools_defNew" << "Define New &Keyword" << "Ctrl+K" << false;
        QTest::newRow("tunemill") << "mnuTools_tunemill" << "&Tunemill 1.07" << "" << false;
        QTest::newRow("jedi outcast") << "mnuGame_jk2" << "Jedi &Outcast" << "" << true;
        QTest::newRow("quake") << "mnuGame_q3" << "&Quake III" << "" << false;
        QTest::newRow("about") << "mnuAbout_about" << "&About Tavrel" << "" << false;
    }
    void menuBarIsLaidOutAsStored()
    {
        QFETCH(QString, name);
        Fixture f;
        QAction *action = f.window.menuItem(name);
        QVERIFY2(action, qPrintable(name));
        QTEST(action->text(), "caption");
        QTEST(action->shortcut().toString(), "shortcut");
        QTEST(action->isChecked(), "checked");
        QVERIFY(action->isEnabled());
        QVERIFY(action->isVisible());
    }

    void menusAppearInOrder()
    {
        Fixture f;
        QStringList top;
        for (QAction *action : f.window.menuBar()->actions())
            top << action->text();
        QCOMPARE(top, QStringList({"&File", "&Edit", "&Options", "Fo&nt", "&Tools", "&Game", "&Macros", "&About"}));
        QStringList options;
        for (QAction *action : f.window.findChild<QMenu *>("mnuOptions")->actions())
            options << action->objectName();
        QCOMPARE(options, QStringList({"mnuOptions_linenumtips", "mnuOptions_syntaxh", "mnuOptions_endent",
                                       "mnuOptions_linenum", "Spacer3", "mnuEdit_properties", "mnuOptions_problems",
                                       "mnuOptions_colorpreview"}));
        QStringList edit;
        for (QAction *action : f.window.findChild<QMenu *>("mnuEdit")->actions())
            edit << (action->isSeparator() ? QStringLiteral("-") : action->objectName());
        QCOMPARE(edit.mid(3, 3), QStringList({"mnuEdit_redoOps", "-", "mnuEdit_cut"}));
        QCOMPARE(edit.mid(8, 3), QStringList({"mnuEdit_del", "-", "mnuEdit_find"}));
    }

    // The editor binds Ctrl+D, Ctrl+L and others itself; with the editor focused the menu wins.
    void menuShortcutsWinOverEditorBindings_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("key");
        QTest::newRow("Ctrl+D save as") << "mnuFile_saveas" << int(Qt::Key_D);
        QTest::newRow("Ctrl+L special characters") << "mnuTools_spchar" << int(Qt::Key_L);
        QTest::newRow("Ctrl+K define keyword") << "mnuTools_defNew" << int(Qt::Key_K);
        QTest::newRow("Ctrl+R redo") << "mnuEdit_redo" << int(Qt::Key_R);
        QTest::newRow("Ctrl+F set font") << "mnuFont_select" << int(Qt::Key_F);
    }
    void menuShortcutsWinOverEditorBindings()
    {
        QFETCH(QString, name);
        QFETCH(int, key);
        Fixture f;
        f.window.activateWindow();
        f.window.CodeSense1->setFocus();
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        f.type(QStringLiteral("first line"));
        QTest::keyClick(f.window.CodeSense1, Qt::Key_Return);
        f.type(QStringLiteral("second line"));
        const QString before = f.window.CodeSense1->Text();
        QSignalSpy triggered(f.window.menuItem(name), &QAction::triggered);
        // Set Font opens the modal properties dialog; close it once it is up.
        QTimer::singleShot(0, [] {
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->close();
        });
        QTest::keyClick(f.window.CodeSense1, Qt::Key(key), Qt::ControlModifier);
        QCOMPARE(triggered.count(), 1);
        if (name != QLatin1String("mnuEdit_redo"))
            QCOMPARE(f.window.CodeSense1->Text(), before);
    }

    void startsUntitledAndTypingMarksIt()
    {
        Fixture f;
        QCOMPARE(f.window.windowTitle(), QStringLiteral("Tavrel - Untitled.cfg"));
        QVERIFY(!f.window.Document.Modified);
        f.type(QStringLiteral("x"));
        QCOMPARE(f.window.windowTitle(), QStringLiteral("Tavrel - Untitled.cfg*"));
        QCOMPARE(f.window.Document.FileTitle, QStringLiteral("Untitled.cfg"));
        QVERIFY(f.window.Document.Modified);
    }

    void startWithoutGameInstalled()
    {
        Fixture f;
        QCOMPARE(f.window.GameDataPath, GameDataPathSuffix());
        f.window.OpenDocument();
        QCOMPARE(f.fakes.fileDialogs.openRequests.size(), 1);
        QCOMPARE(f.fakes.fileDialogs.openRequests[0].initialFolder, QDir(appDir.path()).filePath("cfgs"));
        QCOMPARE(f.fakes.fileDialogs.openRequests[0].filter,
                 QStringLiteral("Configuration files (*.cfg);;All files (*)"));
    }

    void openStartsInGameDataFolderWhenInstalled()
    {
        registry->setInstallPath(QStringLiteral("/games/jk2"));
        Fixture f;
        QCOMPARE(f.window.GameDataPath, GameDataPathFor(QStringLiteral("/games/jk2")));
        f.window.OpenDocument();
        QCOMPARE(f.fakes.fileDialogs.openRequests[0].initialFolder, f.window.GameDataPath);
    }

    void openShowsFileAndCancelChangesNothing()
    {
        Fixture f;
        const QString path = QDir(appDir.path()).filePath("my binds.cfg");
        QVERIFY(writeAll(path, "bind x \"say hi\"\r\n"));
        f.window.OpenDocument(); // cancelled
        QCOMPARE(f.window.windowTitle(), QStringLiteral("Tavrel - Untitled.cfg"));
        f.fakes.fileDialogs.openAnswers.enqueue(path);
        f.window.OpenDocument();
        QCOMPARE(f.window.windowTitle(), QStringLiteral("Tavrel - my binds.cfg"));
        QCOMPARE(f.window.Document.FilePath, path);
        QCOMPARE(f.window.CodeSense1->Text(), QStringLiteral("bind x \"say hi\"\r\n"));
        QVERIFY(!f.window.Document.Modified);
        // Loading leaves nothing to undo.
        f.window.CodeSense1->Undo();
        QCOMPARE(f.window.CodeSense1->Text(), QStringLiteral("bind x \"say hi\"\r\n"));
        f.type(QStringLiteral("y"));
        QCOMPARE(f.window.windowTitle(), QStringLiteral("Tavrel - my binds.cfg*"));
    }

    void openFailureShowsErrorAndKeepsState()
    {
        Fixture f;
        f.type(QStringLiteral("abc"));
        f.fakes.fileDialogs.openAnswers.enqueue(QDir(appDir.path()).filePath("missing.cfg"));
        f.window.OpenDocument();
        QCOMPARE(f.fakes.messageBoxes.shown.size(), 1);
        const MessageBoxRequest box = f.fakes.messageBoxes.shown[0];
        QCOMPARE(box.text, QStringLiteral("Error #53\r\nFile not found"));
        QCOMPARE(box.title, QStringLiteral("Tavrel"));
        QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(box.icon, QMessageBox::NoIcon);
        QCOMPARE(f.window.windowTitle(), QStringLiteral("Tavrel - Untitled.cfg*"));
        QCOMPARE(f.window.CodeSense1->Text(), QStringLiteral("abc"));
    }

    void saveOfNewDocumentAsksForName()
    {
        Fixture f;
        f.type(QStringLiteral("seta name Kyle"));
        f.window.SaveDocument();
        QCOMPARE(f.fakes.fileDialogs.saveRequests.size(), 1);
        const FileDialogRequest request = f.fakes.fileDialogs.saveRequests[0];
        QCOMPARE(request.defaultSuffix, QStringLiteral("cfg"));
        QVERIFY(request.confirmOverwrite);
        QCOMPARE(request.initialFolder, QDir(appDir.path()).filePath("cfgs"));
        QCOMPARE(f.window.windowTitle(), QStringLiteral("Tavrel - Untitled.cfg*"));

        const QString path = QDir(appDir.path()).filePath("cfgs/kyle.cfg");
        f.fakes.fileDialogs.saveAnswers.enqueue(path);
        f.window.SaveDocument();
        QCOMPARE(readAll(path), QByteArray("seta name Kyle"));
        QCOMPARE(f.window.windowTitle(), QStringLiteral("Tavrel - kyle.cfg"));
        QVERIFY(!f.window.Document.Modified);
        // A second save goes straight to the file.
        f.type(QStringLiteral("!"));
        f.window.SaveDocument();
        QCOMPARE(f.fakes.fileDialogs.saveRequests.size(), 2);
        QCOMPARE(readAll(path), QByteArray("seta name Kyle!"));
        QCOMPARE(f.ends, 0);
    }

    void emptiedDocumentClosesWithoutQuestion()
    {
        Fixture f;
        const QString path = QDir(appDir.path()).filePath("emptied.cfg");
        QVERIFY(writeAll(path, "ab"));
        f.fakes.fileDialogs.openAnswers.enqueue(path);
        f.window.OpenDocument();
        f.window.CodeSense1->SetCaretPos(0, 2);
        QTest::keyClick(f.window.CodeSense1, Qt::Key_Backspace);
        QCOMPARE(f.window.windowTitle(), QStringLiteral("Tavrel - emptied.cfg*"));
        QTest::keyClick(f.window.CodeSense1, Qt::Key_Backspace);
        QCOMPARE(f.window.windowTitle(), QStringLiteral("Tavrel - Untitled.cfg"));
        QVERIFY(f.window.Document.Modified);
        QVERIFY(f.window.close());
        QVERIFY(f.fakes.messageBoxes.shown.isEmpty());
        QCOMPARE(f.ends, 1);
        QCOMPARE(readAll(path), QByteArray("ab"));
    }

    void closePromptAnswers_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<int>("ends");
        QTest::newRow("no") << int(QMessageBox::No) << true << 1;
        QTest::newRow("cancel") << int(QMessageBox::Cancel) << false << 0;
    }
    void closePromptAnswers()
    {
        QFETCH(int, answer);
        Fixture f;
        const QString path = QDir(appDir.path()).filePath("prompt.cfg");
        QVERIFY(writeAll(path, "old"));
        f.fakes.fileDialogs.openAnswers.enqueue(path);
        f.window.OpenDocument();
        f.type(QStringLiteral("new "));
        f.fakes.messageBoxes.answers.enqueue(QMessageBox::StandardButton(answer));
        QTEST(f.window.close(), "closed");
        QCOMPARE(f.fakes.messageBoxes.shown.size(), 1);
        const MessageBoxRequest box = f.fakes.messageBoxes.shown[0];
        QCOMPARE(box.text, QStringLiteral("The text in prompt.cfg file has changed.\r\n\r\n"
                                          "Do you want to save the changes?"));
        QCOMPARE(box.title, QStringLiteral("Tavrel"));
        QCOMPARE(box.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QCOMPARE(box.defaultButton, QMessageBox::Yes);
        QCOMPARE(box.icon, QMessageBox::NoIcon);
        QCOMPARE(f.window.Document.SaveAnswer, qint16(answer));
        QTEST(f.ends, "ends");
        QCOMPARE(readAll(path), QByteArray("old"));
        QVERIFY(!f.window.Document.QuitAfterSave);
    }

    void yesOnUntitledThenCancelledSaveAsKeepsRunning()
    {
        Fixture f;
        f.type(QStringLiteral("bind q quit"));
        f.fakes.messageBoxes.answers.enqueue(QMessageBox::Yes);
        QVERIFY(!f.window.close());
        QCOMPARE(f.fakes.fileDialogs.saveRequests.size(), 1);
        QVERIFY(f.window.Document.QuitAfterSave);
        QCOMPARE(f.ends, 0);
        // The next successful save ends the program.
        const QString path = QDir(appDir.path()).filePath("quit.cfg");
        f.fakes.fileDialogs.saveAnswers.enqueue(path);
        f.window.SaveDocument();
        QCOMPARE(readAll(path), QByteArray("bind q quit"));
        QCOMPARE(f.ends, 1);
    }

    void newDiscardsWithoutQuestion()
    {
        Fixture f;
        f.type(QStringLiteral("echo hi"));
        f.window.NewDocument();
        QCOMPARE(f.window.CodeSense1->Text(), QString());
        QCOMPARE(f.window.windowTitle(), QStringLiteral("Tavrel - Untitled.cfg"));
        QVERIFY(!f.window.Document.Modified);
        QCOMPARE(f.window.Document.FileTitle, QStringLiteral("Untitled.cfg"));
        QVERIFY(f.fakes.messageBoxes.shown.isEmpty());
        QVERIFY(f.window.close());
        QCOMPARE(f.ends, 1);
    }

    void failedSaveKeepsStateAndFile()
    {
        Fixture f;
        const QString path = QDir(appDir.path()).filePath("keep.cfg");
        QVERIFY(writeAll(path, "original"));
        f.fakes.fileDialogs.openAnswers.enqueue(path);
        f.window.OpenDocument();
        f.type(QStringLiteral("changed "));
        f.window.Document.FilePath = QDir(appDir.path()).filePath("no such folder/keep.cfg");
        f.window.Document.QuitAfterSave = true;
        f.window.SaveDocument();
        QCOMPARE(f.fakes.messageBoxes.shown.size(), 1);
        QVERIFY(f.fakes.messageBoxes.shown[0].text.startsWith(QStringLiteral("Error #76\r\n")));
        QCOMPARE(f.window.windowTitle(), QStringLiteral("Tavrel - keep.cfg*"));
        QVERIFY(f.window.Document.Modified);
        QCOMPARE(f.ends, 0);
        QCOMPARE(readAll(path), QByteArray("original"));
    }

    // The target changed between the Save As dialog and the write.
    void saveAsOntoChangedTargetFails_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("error");
        QTest::newRow("folder deleted") << "delete folder" << "Error #76\r\nPath not found";
        QTest::newRow("file replaced by a folder") << "folder at path" << "Error #75\r\nPath/File access error";
    }
    void saveAsOntoChangedTargetFails()
    {
        QFETCH(QString, change);
        QTemporaryDir work;
        const QString source = work.filePath("source.cfg");
        QVERIFY(writeAll(source, "bind x \"echo \x80\"\r\n"));
        const QString folder = work.filePath("target");
        QVERIFY(QDir().mkpath(folder + "/keep"));
        const QString target = folder + "/out.cfg";
        Fixture f;
        f.fakes.fileDialogs.openAnswers.enqueue(source);
        f.window.OpenDocument();
        f.type(QStringLiteral("changed "));
        if (change == "delete folder")
            QVERIFY(QDir(folder).removeRecursively());
        else
            QVERIFY(QDir().mkpath(target + "/inside"));
        f.fakes.fileDialogs.saveAnswers.enqueue(target);
        f.window.SaveDocumentAs();

        QCOMPARE(f.fakes.messageBoxes.shown.size(), 1);
        QTEST(f.fakes.messageBoxes.shown[0].text, "error");
        QCOMPARE(f.window.Document.FilePath, source);
        QVERIFY(f.window.Document.Modified);
        QCOMPARE(readAll(source), QByteArray("bind x \"echo \x80\"\r\n"));
        if (change == "delete folder") {
            QVERIFY(!QFileInfo::exists(folder));
        } else {
            QVERIFY(QFileInfo(target).isDir());
            QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                     QStringList({"keep", "out.cfg"}));
        }
    }

    // Hostile word and command files still let the program start, with every entry listed
    // and highlighted.
    void hostileWordFilesStillStart_data()
    {
        QTest::addColumn<QByteArray>("words");
        QTest::addColumn<QString>("lastWord");
        QTest::addColumn<int>("entries");
        QByteArray million;
        million.reserve(12'000'000);
        for (int i = 0; i < 1'000'000; ++i)
            million.append("w").append(QByteArray::number(i)).append("\r\n");
        QTest::newRow("a million entries") << million << "w999999" << 1'000'000;
        QTest::newRow("NULs") << QByteArray("bind\r\nse\0t\r\n\0\0\0\r\n\0\r\nzoom", 24) << "zoom" << 5;
        QTest::newRow("a 4 MB line") << QByteArray(4 * 1024 * 1024, 'x').append("\nbind\n") << "bind" << 2;
    }
    void hostileWordFilesStillStart()
    {
        QFETCH(QByteArray, words);
        QTemporaryDir hostileDir;
        PrepareApplicationFolder(hostileDir);
        for (const char *name : {"pf/operators.txt", "pf/cc.txt", "pf/q3operators.txt", "pf/q3cc.txt"})
            QVERIFY(writeAll(hostileDir.filePath(name), words));
        {
            Fixture f;
            QVERIFY(f.fakes.messageBoxes.shown.isEmpty());
            QTEST(f.window.CmdList()->list1->count(), "entries");
            QFETCH(QString, lastWord);
            QCOMPARE(f.window.CmdList()->list1->item(f.window.CmdList()->list1->count() - 1)->text(), lastWord);
            f.window.CodeSense1->SetText(lastWord + " unlisted");
            f.window.CodeSense1->SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0, -1);
            const auto styleAt = [&](int position) {
                return int(f.window.CodeSense1->SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, position));
            };
            QVERIFY(styleAt(0) != styleAt(int(lastWord.size()) + 1));
        }
        PrepareApplicationFolder(appDir);
    }

    void unencodableCharacterIsRefused()
    {
        Fixture f;
        const QString path = QDir(appDir.path()).filePath("cjk.cfg");
        QVERIFY(writeAll(path, "echo one\r\n"));
        f.fakes.fileDialogs.openAnswers.enqueue(path);
        f.window.OpenDocument();
        f.window.CodeSense1->SetCaretPos(1, 0);
        f.window.CodeSense1->InsertText(QStringLiteral("say \u20AC \u4E2D\U0001F600"));
        f.window.SaveDocument();
        QCOMPARE(f.fakes.messageBoxes.shown.size(), 1);
        const QString text = f.fakes.messageBoxes.shown[0].text;
        QVERIFY2(text.startsWith(QStringLiteral("Error #1252\r\n")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("Line 2")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("\u4E2D")) && text.contains(QStringLiteral("U+4E2D")), qPrintable(text));
        QCOMPARE(readAll(path), QByteArray("echo one\r\n"));
        QVERIFY(f.window.Document.Modified);
    }

    void editorFollowsWindowSize()
    {
        Fixture f;
        f.window.resize(700, 520);
        QTest::qWait(0);
        const QRect frame = f.window.frameGeometry();
        // The Problems panel and the status bar take their room from the editor.
        QCOMPARE(f.window.CodeSense1->height(),
                 std::min(Twips(PixelsToTwips(frame.height()) - 680), f.window.CodeSense1->parentWidget()->height()));
        QCOMPARE(f.window.CodeSense1->width(), Twips(PixelsToTwips(frame.width()) - 100));
        QCOMPARE(f.window.CodeSense1->pos(), QPoint(0, 0));
        // A window too small for the editor leaves its last size.
        const QSize before = f.window.CodeSense1->size();
        f.window.resize(4, 4);
        QTest::qWait(0);
        if (f.window.frameGeometry().height() < Twips(680))
            QCOMPARE(f.window.CodeSense1->height(), before.height());
    }
    void clipboardCommands()
    {
        Fixture f;
        f.type(QStringLiteral("bind x jump"));
        // Copy and Cut with nothing selected empty the clipboard and leave the text.
        f.fakes.clipboard.content = QStringLiteral("old");
        f.window.menuItem("mnuEdit_copy")->trigger();
        QCOMPARE(f.fakes.clipboard.content, QString());
        f.window.menuItem("mnuEdit_cut")->trigger();
        QCOMPARE(f.window.CodeSense1->Text(), QStringLiteral("bind x jump"));

        f.window.CodeSense1->SetSel({0, 7, 0, 11}, true);
        f.window.menuItem("mnuEdit_cut")->trigger();
        QCOMPARE(f.fakes.clipboard.content, QStringLiteral("jump"));
        QCOMPARE(f.window.CodeSense1->Text(), QStringLiteral("bind x "));
        f.window.CodeSense1->SetSel({0, 0, 0, 4}, true);
        f.window.menuItem("mnuEdit_paste")->trigger();
        QCOMPARE(f.window.CodeSense1->Text(), QStringLiteral("jump x "));
        // No plain text on the clipboard: nothing changes.
        f.fakes.clipboard.content.reset();
        f.window.menuItem("mnuEdit_paste")->trigger();
        QCOMPARE(f.window.CodeSense1->Text(), QStringLiteral("jump x "));
    }

    void deleteActsLikeTheDeleteKey()
    {
        Fixture f;
        f.type(QStringLiteral("abcdef"));
        f.window.CodeSense1->SetCaretPos(0, 1);
        f.window.menuItem("mnuEdit_del")->trigger();
        QCoreApplication::processEvents();
        QCOMPARE(f.window.CodeSense1->Text(), QStringLiteral("acdef"));
        f.window.CodeSense1->SetSel({0, 1, 0, 3}, true);
        f.window.menuItem("mnuEdit_del")->trigger();
        QCoreApplication::processEvents();
        QCOMPARE(f.window.CodeSense1->Text(), QStringLiteral("aef"));
        // The key itself still deletes in the focused editor.
        f.window.activateWindow();
        f.window.CodeSense1->setFocus();
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        f.window.CodeSense1->SetCaretPos(0, 0);
        QTest::keyClick(f.window.CodeSense1, Qt::Key_Delete);
        QCOMPARE(f.window.CodeSense1->Text(), QStringLiteral("ef"));
    }
    void toolWindowsAreSingleInstances_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("window");
        QTest::newRow("command list") << "mnuTools_cmdlist" << "frmCmdList";
        QTest::newRow("define keyword") << "mnuTools_defNew" << "frmDefNew";
        QTest::newRow("tunemill") << "mnuTools_tunemill" << "frmTunemill";
    }
    void toolWindowsAreSingleInstances()
    {
        QFETCH(QString, item);
        QFETCH(QString, window);
        Fixture f;
        f.window.menuItem(item)->trigger();
        QWidget *first = f.window.findChild<QWidget *>(window);
        QVERIFY(first && first->isVisible());
        QCOMPARE(first->parentWidget(), &f.window);
        first->close(); // tool windows hide instead of closing
        QVERIFY(!first->isVisible());
        f.window.menuItem(item)->trigger();
        QCOMPARE(f.window.findChildren<QWidget *>(window).size(), 1);
        QCOMPARE(f.window.findChild<QWidget *>(window), first);
        QVERIFY(first->isVisible());
        // Ending the program closes them without a question when they hold nothing.
        QVERIFY(f.window.close());
        QVERIFY(!first->isVisible());
        QCOMPARE(f.ends, 1);
    }
};

QTEST_MAIN(MainWindowTest)
#include "test_frmmain.moc"
