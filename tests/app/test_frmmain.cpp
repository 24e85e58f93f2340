// The main window: its menu bar as a whole, the state its Options and Game menus set, and
// what the window itself does with the document, the clipboard and its tool windows.
#include "gamepath/registryFinder.h"
#include "insight/scriptinsight.h"
#include "support/datarows.h"
#include "support/files.h"
#include "support/mainwindow.h"

#include <QDockWidget>
#include <QLabel>
#include <QMenuBar>

namespace {

QList<QAction *> MenuItems(const QWidget *menu)
{
    QList<QAction *> items;
    for (QAction *action : menu->actions())
        items << (action->menu() ? MenuItems(action->menu()) : QList<QAction *>{action});
    return items;
}

QString CheckedIn(const MainWindowFixture &f, const QStringList &group)
{
    QStringList on;
    for (const QString &name : group)
        if (f.window.menuItem(name)->isChecked())
            on << name;
    return on.join(u',');
}

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void everyItemHasAHandlerAUniqueNameAndShortcut()
    {
        MainWindowFixture f;
        QObject *panel = f.window.findChild<QDockWidget *>();
        QSet<QString> names, shortcuts;
        for (QAction *item : MenuItems(f.window.menuBar())) {
            const QString name = item->objectName(), shortcut = item->shortcut().toString();
            QVERIFY2(!name.isEmpty() && !names.contains(name), qPrintable(name + " " + item->text()));
            names << name;
            QVERIFY2(shortcut.isEmpty() || !shortcuts.contains(shortcut), qPrintable(shortcut));
            shortcuts << shortcut;
            // The window, or the Problems panel for its own item, hears the item chosen.
            QVERIFY2(item->isSeparator() || QObject::disconnect(item, &QAction::triggered, &f.window, nullptr)
                         || QObject::disconnect(item, &QAction::triggered, panel, nullptr),
                     qPrintable(name));
        }
        QVERIFY(names.contains("mnuOptions_linenum_oct") && names.contains("mnuAbout_about"));
    }

    // Two items sharing a letter make Alt+letter cycle between them instead of choosing.
    void everyMenuItemHasItsOwnAccessKey()
    {
        MainWindowFixture f;
        f.window.mnuGame_jk2_Click(); // the engine items' captions depend on the game
        QList<QWidget *> menus{f.window.menuBar()};
        for (int i = 0; i < menus.size(); ++i) {
            QSet<QChar> keys;
            for (QAction *item : menus[i]->actions()) {
                if (item->isSeparator())
                    continue;
                const qsizetype amp = QString(item->text()).replace("&&", "").indexOf(u'&');
                QVERIFY2(amp >= 0, qPrintable(item->text()));
                const QChar key = QString(item->text()).replace("&&", "").at(amp + 1).toLower();
                QVERIFY2(!keys.contains(key), qPrintable(item->text()));
                keys << key;
                if (item->menu())
                    menus << item->menu();
            }
        }
        const QList<QAction *> options = f.window.menuItem("mnuOptions")->menu()->actions();
        QVERIFY(options.at(options.size() - 2)->isSeparator());
        QCOMPARE(options.last()->objectName(), "mnuEdit_properties");
    }

    // The editor binds Ctrl+D, Ctrl+L and others itself; with the editor focused the menu wins.
    void shortcutsBeatTheEditorsOwnBindings_data()
    {
        Columns<QString, QString>({"name", "shortcut"});
        QTest::newRow("save as") << "mnuFile_saveas" << "Ctrl+D";
        QTest::newRow("special characters") << "mnuTools_spchar" << "Ctrl+L";
        QTest::newRow("define keyword") << "mnuTools_defNew" << "Ctrl+K";
        QTest::newRow("redo") << "mnuEdit_redo" << "Ctrl+R";
        QTest::newRow("command list") << "mnuTools_cmdlist" << "F5";
    }
    void shortcutsBeatTheEditorsOwnBindings()
    {
        const auto [name, shortcut] = Fetch<QString, QString>({"name", "shortcut"});
        MainWindowFixture f;
        QAction *item = f.window.menuItem(name);
        f.window.activateWindow();
        f.editor()->setFocus();
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        f.editor()->SetText("first line\r\nsecond line");
        QSignalSpy triggered(item, &QAction::triggered);
        QTest::keySequence(f.editor(), QKeySequence(shortcut));
        QCOMPARE(triggered.count(), 1);
        QVERIFY(name == "mnuEdit_redo" || f.editor()->Text() == "first line\r\nsecond line");
    }

    // Choosing any item of a group, the checked one included, leaves it the only one checked.
    void optionGroupsHaveExactlyOneCheck_data()
    {
        Columns<QStringList>({"group"});
        const QString endent = "mnuOptions_endent_", number = "mnuOptions_linenum_";
        QTest::newRow("Auto Endent") << QStringList{endent + "line", endent + "off", endent + "scope"};
        QTest::newRow("Line Numbering") << QStringList{number + "none", number + "hex", number + "dec", number + "bin",
                                                       number + "oct"};
        QTest::newRow("games") << QStringList{"mnuGame_jk2", "mnuGame_q3"};
        QTest::newRow("engines") << QStringList{"mnuGame_original", "mnuGame_continuation"};
    }
    void optionGroupsHaveExactlyOneCheck()
    {
        const auto [group] = Fetch<QStringList>({"group"});
        MainWindowFixture f;
        QCOMPARE(CheckedIn(f, group), group.first());
        for (const QString &name : group + QStringList{group.last(), group.first()}) {
            f.click(qPrintable(name));
            QCOMPARE(CheckedIn(f, group), name);
            QVERIFY(f.editor()->Options() == f.window.State.options());
        }
    }

    // Each game keeps its own engine.
    void stateFollowsTheGameMenu_data()
    {
        Columns<QStringList, QString, QString, QString>({"clicks", "language", "firstCommand", "engine"});
        QTest::newRow("start") << QStringList{} << "JK2Script" << "activeAction" << "Jedi Outcast 1.04";
        QTest::newRow("Quake III") << QStringList{"q3"} << "Q3Script" << "abort_podium" << "Quake III 1.32";
        QTest::newRow("ioquake3") << QStringList{"q3", "continuation"} << "Q3Script" << "abort_podium" << "ioquake3";
        QTest::newRow("ioquake3 kept") << QStringList{"q3", "continuation", "jk2", "original", "q3"} << "Q3Script"
                                       << "abort_podium" << "ioquake3";
    }
    void stateFollowsTheGameMenu()
    {
        const auto [clicks, language, first, engine] =
            Fetch<QStringList, QString, QString, QString>({"clicks", "language", "firstCommand", "engine"});
        MainWindowFixture f;
        for (const QString &click : clicks)
            f.click(qPrintable("mnuGame_" + click));
        QCOMPARE(f.editor()->Language(), language);
        QCOMPARE(f.commandList().value(0), first);
        QCOMPARE(f.window.findChild<QLabel *>("lblEngine")->text(), engine);
        QCOMPARE(EngineName(f.window.Insight()->engine()), engine);
        ExpectMessages(f.fakes.messageBoxes, {});
    }

    void titleFollowsTheDocument()
    {
        MainWindowFixture f;
        QCOMPARE(f.window.windowTitle(), "Tavrel - Untitled.cfg");
        f.type("x");
        QCOMPARE(f.window.windowTitle(), "Tavrel - Untitled.cfg*");
        // A file error reaches the user and changes nothing.
        f.fakes.fileDialogs.openAnswers.enqueue(f.appDir.filePath("missing.cfg"));
        f.click("mnuFile_open");
        ExpectMessages(f.fakes.messageBoxes, {"Error #53\r\nFile not found"});
        QCOMPARE(f.window.windowTitle() + " " + f.editor()->Text(), "Tavrel - Untitled.cfg* x");
        const QString path = f.appDir.filePath("my binds.cfg");
        QVERIFY(writeAll(path, "ab"));
        f.fakes.fileDialogs.openAnswers.enqueue(path);
        f.click("mnuFile_open");
        QCOMPARE(f.window.windowTitle(), "Tavrel - my binds.cfg");
        // An emptied document is untitled again and closes without a question.
        f.editor()->SetCaretPos(0, 2);
        QTest::keyClick(f.editor(), Qt::Key_Backspace);
        QTest::keyClick(f.editor(), Qt::Key_Backspace);
        QCOMPARE(f.window.windowTitle(), "Tavrel - Untitled.cfg");
        QVERIFY(f.window.close());
        QCOMPARE(f.ends, 1);
        QCOMPARE(readAll(path), "ab");
        ExpectMessages(f.fakes.messageBoxes, {});
    }

    void closeQuestionEndsOrKeepsTheProgram_data()
    {
        Columns<int, bool, int, QByteArray>({"answer", "closed", "ends", "file"});
        QTest::newRow("Yes saves, then ends") << int(QMessageBox::Yes) << false << 1 << QByteArray("new old");
        QTest::newRow("No ends") << int(QMessageBox::No) << true << 1 << QByteArray("old");
        QTest::newRow("Cancel keeps running") << int(QMessageBox::Cancel) << false << 0 << QByteArray("old");
    }
    void closeQuestionEndsOrKeepsTheProgram()
    {
        MainWindowFixture f;
        const QString path = f.appDir.filePath("prompt.cfg");
        QVERIFY(writeAll(path, "old"));
        f.window.OpenDocumentFile(path);
        f.type("new ");
        f.fakes.messageBoxes.answers.enqueue(QMessageBox::StandardButton(std::get<0>(Fetch<int>({"answer"}))));
        QTEST(f.window.close(), "closed");
        ExpectMessages(f.fakes.messageBoxes,
                       {"The text in prompt.cfg file has changed.\r\n\r\nDo you want to save the changes?"},
                       QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QTEST(f.ends, "ends");
        QTEST(readAll(path), "file");
    }

    void openStartsInTheGameFolder()
    {
        MainWindowFixture f(false);
        f.registry.setInstallPath(QStringLiteral("/games/jk2"));
        f.window.Form_Load();
        f.click("mnuFile_open");
        QCOMPARE(f.fakes.fileDialogs.openRequests.value(0).initialFolder, GameDataPathFor("/games/jk2"));
    }

    // The Problems panel and the status bar take room; the editor stays inside what is left.
    void editorStaysInsideItsArea()
    {
        MainWindowFixture f;
        f.window.resize(800, 600);
        f.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        const QRect room = f.window.centralWidget()->rect();
        QTRY_VERIFY(room.contains(f.editor()->geometry()));
        QVERIFY(f.editor()->height() > room.height() / 2);
    }

    // Hostile word and command files still let the program start, every entry listed and highlighted.
    void hostileWordFilesStillStart_data()
    {
        Columns<QByteArray, QString, int>({"words", "lastWord", "entries"});
        QByteArray million;
        for (int i = 0; i < 1'000'000; ++i)
            million.append("w").append(QByteArray::number(i)).append("\r\n");
        QTest::newRow("a million entries") << million << "w999999" << 1'000'000;
        QTest::newRow("NULs") << QByteArray("bind\r\nse\0t\r\n\0\0\0\r\n\0\r\nzoom", 24) << "zoom" << 5;
        QTest::newRow("a 4 MB line") << QByteArray(4 * 1024 * 1024, 'x').append("\nbind\n") << "bind" << 2;
    }
    void hostileWordFilesStillStart()
    {
        const auto [words, lastWord, entries] = Fetch<QByteArray, QString, int>({"words", "lastWord", "entries"});
        MainWindowFixture f(false);
        for (const char *name : {"pf/operators.txt", "pf/cc.txt", "pf/q3operators.txt", "pf/q3cc.txt"})
            QVERIFY(writeAll(f.appDir.filePath(name), words));
        f.window.Form_Load();
        ExpectMessages(f.fakes.messageBoxes, {});
        const QStringList listed = f.commandList();
        QVERIFY(listed.size() == entries && listed.last() == lastWord);
        f.editor()->SetText(lastWord + " unlisted");
        f.editor()->SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0, -1);
        const auto styleAt = [&](int at) { return f.editor()->SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, at); };
        QVERIFY(styleAt(0) != styleAt(int(lastWord.size()) + 1));
    }

    // On "bind x jump"; no item means the Delete key itself, which the editor keeps.
    void editCommands_data()
    {
        Columns<QString, int, int, QString, QString, QString>({"item", "from", "to", "clipboard", "text", "after"});
        QTest::newRow("copy nothing") << "mnuEdit_copy" << 3 << 3 << "old" << "bind x jump" << "";
        QTest::newRow("cut") << "mnuEdit_cut" << 7 << 11 << "old" << "bind x " << "jump";
        QTest::newRow("paste") << "mnuEdit_paste" << 0 << 4 << "jump" << "jump x jump" << "jump";
        QTest::newRow("paste without text") << "mnuEdit_paste" << 0 << 4 << QString() << "bind x jump" << "";
        QTest::newRow("delete a character") << "mnuEdit_del" << 1 << 1 << "" << "bnd x jump" << "";
        QTest::newRow("delete a selection") << "mnuEdit_del" << 0 << 5 << "" << "x jump" << "";
        QTest::newRow("Delete key") << "" << 1 << 1 << "" << "bnd x jump" << "";
    }
    void editCommands()
    {
        const auto [item, from, to, clipboard] = Fetch<QString, int, int, QString>({"item", "from", "to", "clipboard"});
        MainWindowFixture f;
        f.type("bind x jump");
        if (!clipboard.isNull())
            f.fakes.clipboard.content = clipboard;
        f.editor()->SetSel({0, from, 0, to}, true);
        if (item.isEmpty()) {
            f.window.activateWindow();
            f.editor()->setFocus();
            QVERIFY(QTest::qWaitForWindowActive(&f.window));
            QTest::keyClick(f.editor(), Qt::Key_Delete);
        } else {
            f.click(qPrintable(item));
        }
        QCoreApplication::processEvents();
        QTEST(f.editor()->Text(), "text");
        QTEST(f.fakes.clipboard.content.value_or(""), "after");
    }

    // Nothing cut and nothing pasted is no edit: no mark, and no question on closing.
    void emptyCutAndPasteLeaveTheDocumentClean()
    {
        MainWindowFixture f;
        const QString title = f.window.windowTitle();
        f.fakes.clipboard.content = "";
        f.click("mnuEdit_cut");
        f.click("mnuEdit_paste");
        QCoreApplication::processEvents();
        QCOMPARE(f.window.windowTitle(), title);
        QVERIFY(f.window.close());
        ExpectMessages(f.fakes.messageBoxes, {});
    }

    // Tool windows hide instead of closing; ending the program closes them without a question.
    void toolWindowsAreSingleInstances()
    {
        const QList<std::pair<const char *, const char *>> tools{
            {"mnuTools_cmdlist", "frmCmdList"}, {"mnuTools_defNew", "frmDefNew"}, {"mnuTools_tunemill", "frmTunemill"},
            {"mnuFont_jk2", "frmJK2colors"}, {"mnuMacros_play", "frmPlay"}};
        for (const auto &[item, name] : tools) {
            MainWindowFixture f;
            f.click(item);
            QWidget *tool = f.window.findChild<QWidget *>(name);
            QVERIFY(tool && tool->isVisible());
            tool->close();
            f.click(item);
            QCOMPARE(f.window.findChildren<QWidget *>(name), QList<QWidget *>{tool});
            QVERIFY(tool->isVisible() && f.window.close() && !tool->isVisible());
            QCOMPARE(f.ends, 1);
        }
    }
};

QTEST_MAIN(MainWindowTest)
#include "test_frmmain.moc"
