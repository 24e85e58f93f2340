// The main window: its menu bar as a whole, the state its menus set, start-up, the checks
// drawn on its editor, Define New Keyword, and what the window itself does with the document
// and the clipboard.
#include "about/frmSplash.h"
#include "codec/cp1252.h"
#include "insight/scriptinsight.h"
#include "languages/frmDefNew.h"
#include "script/wordfile.h"
#include "support/datarows.h"
#include "support/files.h"
#include "support/mainwindow.h"

#include <QtWidgets>

namespace {

using Sci = QsciScintillaBase;

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

QString pf(const QString &name) { return ApplicationFile("pf/" + name); }

QString FirstRow(const QListWidget *problems) { return problems->count() ? problems->item(0)->text() : QString(); }

// The indicator values at a position: squiggles and colours alike.
QList<int> Marks(const CodeSense *editor, int position)
{
    QList<int> values;
    for (int i = 0; i < 32; ++i)
        if (const int value = int(editor->SendScintilla(Sci::SCI_INDICATORVALUEAT, i, position)))
            values << value;
    return values;
}

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void everyItemHasAHandlerAUniqueNameAndShortcut()
    {
        MainWindowFixture f;
        const QList<QDockWidget *> panels = f.window.findChildren<QDockWidget *>();
        QSet<QString> names, shortcuts;
        for (QAction *item : MenuItems(f.window.menuBar())) {
            const QString name = item->objectName(), shortcut = item->shortcut().toString();
            QVERIFY2(!name.isEmpty() && !names.contains(name), qPrintable(name + " " + item->text()));
            names << name;
            QVERIFY2(shortcut.isEmpty() || !shortcuts.contains(shortcut), qPrintable(shortcut));
            shortcuts << shortcut;
            // The window, or a panel for its own item, hears the item chosen.
            QVERIFY2(item->isSeparator() || QObject::disconnect(item, &QAction::triggered, &f.window, nullptr)
                         || std::any_of(panels.begin(), panels.end(), [item](QDockWidget *panel) {
                                return QObject::disconnect(item, &QAction::triggered, panel, nullptr);
                            }),
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
        // Options ends with a separator and Properties; the items added later sit above.
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

    // Start-up registers both languages from the word files and fills the command list.
    void startUp()
    {
        const QString missing = "53\r\nFile not found";
        const std::tuple<const char *, QByteArray, QStringList, QStringList> cases[] = {
            // file, what it holds ("<missing>": removed), messages, command list ("*": the shipped one)
            {"operators.txt", "<missing>",
             {missing, "Error trying to access operators.txt.\r\nTry unzipping the program again."}, {"*"}},
            {"q3operators.txt", "<missing>", {missing}, {"*"}},
            {"cc.txt", "<missing>", {"Error #" + missing}, {}},
            {"cc.txt", "", {}, {}},
            {"cc.txt", "a\r\n\r\nc", {}, {"a", "", "c"}}};
        for (auto [file, content, messages, list] : cases) {
            MainWindowFixture f(false);
            QVERIFY(content == "<missing>" ? QFile::remove(pf(file)) : writeAll(pf(file), content));
            QVERIFY(list != QStringList{"*"} || ReadLines(pf("cc.txt"), list).ok());
            f.window.Form_Load();
            ExpectMessages(f.fakes.messageBoxes, messages);
            // A word file that cannot be read ends the program; the splash ticks the second language.
            const bool ends = QByteArray(file).endsWith("operators.txt") && content == "<missing>";
            QCOMPARE(f.ends, int(ends));
            QCOMPARE(f.window.ProgramEnded(), ends);
            QCOMPARE(f.window.Splash()->Check1->isChecked(), !ends);
            QCOMPARE(f.commandList(), list);
        }
    }

    void switchingGames()
    {
        MainWindowFixture f;
        const QStringList jk2 = f.commandList();
        QVERIFY(QFile::remove(pf("cc.txt")));
        f.click("mnuGame_jk2"); // the current game: nothing is read again
        QCOMPARE(f.commandList(), jk2);
        f.click("mnuGame_q3");
        ExpectMessages(f.fakes.messageBoxes, {});
        // A command file that cannot be read is reported; the game changes all the same.
        f.click("mnuGame_jk2");
        ExpectMessages(f.fakes.messageBoxes, {"53\r\nFile not found"});
        QCOMPARE(f.editor()->Language(), QStringLiteral("JK2Script"));
        QVERIFY(f.window.menuItem("mnuGame_jk2")->isChecked() && !f.window.menuItem("mnuGame_q3")->isChecked());
        QCOMPARE(f.commandList(), QStringList());
    }

    void typedProblemIsShown()
    {
        MainWindowFixture f;
        CodeSense *editor = f.editor();
        auto *problems = f.window.findChild<QListWidget *>(QStringLiteral("lstProblems"));
        editor->SetText(QStringLiteral("echo \"\u20AC\u00E9 ^1red\"\n"));
        editor->SetCaretPos(1, 0);
        f.type(QStringLiteral("bind caplock +attack"));
        QTRY_VERIFY(FirstRow(problems).startsWith(QStringLiteral("2:6 ")));
        // After characters of several UTF-8 bytes, the squiggle covers the key name alone.
        const int key = editor->PositionOf(1, 5);
        QVERIFY(!Marks(editor, key).isEmpty() && Marks(editor, key - 1).isEmpty());
        QVERIFY(f.window.Insight()->hoverText(key).contains(QStringLiteral("isn't a valid key")));
        problems->itemClicked(problems->item(0));
        QCOMPARE(editor->GetSel(true).StartLineNo, 1);
        QCOMPARE(editor->GetSel(true).StartColNo, 5);
        // The colour preview follows its menu item.
        QCOMPARE(Marks(editor, editor->PositionOf(0, 11)), QList<int>{0x0000FF | Sci::SC_INDICVALUEBIT});
        f.click("mnuOptions_colorpreview");
        QCOMPARE(Marks(editor, editor->PositionOf(0, 11)), QList<int>());
    }

    void engineAndOpenedAndHugeDocuments()
    {
        MainWindowFixture f;
        auto *problems = f.window.findChild<QListWidget *>(QStringLiteral("lstProblems"));
        // Opening a file is no edit, yet its problems must show at once.
        const QString path = f.appDir.filePath("seta.cfg");
        QVERIFY(writeAll(path, "bind ALTGR +attack\r\n")); // a key of jk2mv, not of 1.04
        f.window.OpenDocumentFile(path);
        QTRY_VERIFY(FirstRow(problems).startsWith(QStringLiteral("1:6 ")));
        f.click("mnuGame_continuation");
        QTRY_COMPARE(problems->count(), 0);
        f.click("mnuGame_original");
        QTRY_COMPARE(problems->count(), 1);
        // A document far beyond anything a game executes is not checked; the panel says so.
        f.editor()->SetTextUtf8(QByteArray("bind caplock +attack\n").repeated(1700000));
        QTRY_VERIFY(FirstRow(problems).startsWith(QStringLiteral("Not checked")));
        QVERIFY(Marks(f.editor(), 6).isEmpty());
        problems->itemClicked(problems->item(0)); // no finding: nothing to jump to
    }

    // tavrel --check finds in the real player configs what the window shows of them.
    void checkerFindsWhatTheWindowShows()
    {
        const QString root = QStringLiteral(TAVREL_SOURCE_DIR "/../shared/corpus/");
        if (!QFile::exists(root))
            QSKIP("the corpus of player configs is not on this machine");
        MainWindowFixture f;
        const auto *problems = f.window.findChild<QListWidget *>(QStringLiteral("lstProblems"));
        const QRegularExpression compilerLine(QStringLiteral("^(.*:\\d+:\\d+): (?:error|warning|note): (.*)$"));
        for (const QString game : {"jk2", "q3"}) {
            f.click(game == "jk2" ? "mnuGame_jk2" : "mnuGame_q3");
            QStringList files;
            for (const QString &name : QDir(root + game).entryList({"*.cfg"}, QDir::Files, QDir::Name))
                files << root + game + "/" + name;
            for (const QString engine : {"original", "continuation"}) {
                f.click(engine == "original" ? "mnuGame_original" : "mnuGame_continuation");
                QProcess checker;
                checker.start(QStringLiteral(TAVREL_EXECUTABLE), QStringList{"--check", "--game", game, "--engine", engine} + files);
                QVERIFY(checker.waitForFinished(120000));
                QStringList fromChecker, fromWindow;
                for (const QString &line : QString::fromUtf8(checker.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts)) {
                    const QRegularExpressionMatch m = compilerLine.match(line);
                    fromChecker << (m.hasMatch() ? m.captured(1) + " " + m.captured(2) : line);
                }
                for (const QString &file : std::as_const(files)) {
                    f.window.OpenDocumentFile(file);
                    QTRY_COMPARE(f.editor()->length(), int(cp1252::decodeToUtf8(readAll(file)).size()));
                    QSignalSpy checked(f.window.Insight(), &ScriptInsight::refreshed);
                    f.window.Insight()->refreshNow();
                    QVERIFY(checked.count() || checked.wait());
                    for (int row = 0; row < problems->count(); ++row)
                        fromWindow << file + ":" + problems->item(row)->text();
                }
                QVERIFY(!fromWindow.isEmpty());
                QCOMPARE(fromChecker, fromWindow);
            }
        }
    }

    // Losing the focus hides the splash, at start-up and as the About box.
    void losingTheFocusHides()
    {
        MainWindowFixture f;
        frmSplash *splash = f.window.Splash();
        for (int round = 0; round < 2; ++round) {
            if (round)
                f.click("mnuAbout_about");
            QVERIFY(QTest::qWaitForWindowActive(splash));
            f.window.activateWindow();
            // The owner of the active window counts as active already; wait for the switch.
            QTRY_VERIFY(splash->isHidden());
            QCOMPARE(QApplication::activeWindow(), &f.window);
        }
    }

    // Define New Keyword appends to the chosen game's word and command files; the command list
    // shows that command file from then on.
    void define()
    {
        const QString jk = "Defined ATTACK as a Jedi Outcast keyword.";
        const QString partly = "ATTACK was only partly defined.\r\n\r\n";
        const std::tuple<bool, QString, QString, QString, QString, QByteArray, QByteArray> cases[] = {
            // Quake III?, keyword, command, what is done first ("missing": the game's files removed, a file made a
            // folder, "pf" removed), the message, what the word and command files gain ("<missing>": not there after)
            {false, "attack", "+attack", "", jk, "attack\r\n", "+attack\r\n"},
            {true, "Zoom", "+Zoom", "", "Defined ZOOM as a Quake III keyword.", "Zoom\r\n", "+Zoom\r\n"},
            {true, " ", "", "missing", "Defined   as a Quake III keyword.", " \r\n", "\r\n"},
            {false, "", "+attack", "", "You must fill out the keyword box.", "", ""},
            // A file that cannot be written does not stop the other, and the message names it
            // (%w, %c: the word and command files).
            {false, "attack", "+attack", "operators.txt", partly + "%w: ", "<missing>", "+attack\r\n"},
            {false, "attack", "+attack", "cc.txt", partly + "%c: ", "attack\r\n", "<missing>"},
            {false, "attack", "+attack", "pf", "ATTACK was not defined.\r\n\r\n%w: ", "<missing>", "<missing>"},
            // Neither file is touched when the code page cannot hold an entry.
            {false, "attack", "+att\u0416ck", "",
             "ATTACK was not defined.\r\n\r\nThe entry holds the character \u201c\u0416\u201d", "", ""}};
        for (const auto &[quake, word, command, prepare, message, wordAdded, commandAdded] : cases) {
            MainWindowFixture f;
            const QString words = pf(quake ? "q3operators.txt" : "operators.txt");
            const QString commands = pf(quake ? "q3cc.txt" : "cc.txt");
            if (prepare == "missing")
                QVERIFY(QFile::remove(words) && QFile::remove(commands));
            else if (prepare == "pf")
                QVERIFY(QDir(pf("")).removeRecursively());
            else if (!prepare.isEmpty())
                QVERIFY(QFile::remove(pf(prepare)) && QDir().mkdir(pf(prepare)));
            // What each file holds after: its bytes before (none when missing) and the entry.
            const auto after = [](const QString &path, const QByteArray &added) {
                return added == "<missing>" ? added : readAll(path).replace("<missing>", "") + added;
            };
            const QByteArray wordsAfter = after(words, wordAdded), commandsAfter = after(commands, commandAdded);
            QStringList listed = f.commandList();
            frmDefNew *dialog = f.window.DefNew();
            (quake ? dialog->Option2 : dialog->Option1)->setChecked(true);
            dialog->Text1->setText(word);
            dialog->Text2->setText(command);
            dialog->Command1->click();
            const QStringList shown = f.fakes.messageBoxes.texts();
            QCOMPARE(shown.size(), 1);
            const QString expected = QString(message).replace("%w", QDir::toNativeSeparators(words))
                                         .replace("%c", QDir::toNativeSeparators(commands));
            // A failure's message goes on with the system's own words.
            QVERIFY2(message.contains(" defined.") ? shown[0].startsWith(expected) : shown[0] == expected,
                     qPrintable(shown[0]));
            QCOMPARE(readAll(words), wordsAfter);
            QCOMPARE(readAll(commands), commandsAfter);
            QCOMPARE(dialog->Text1->text().isEmpty() && dialog->Text2->text().isEmpty(), message.startsWith("Defined"));
            if (!wordAdded.isEmpty() || !commandAdded.isEmpty())
                ReadLines(commands, listed); // empty when it cannot be read
            QCOMPARE(f.commandList(), listed);
        }
    }
};

QTEST_MAIN(MainWindowTest)
#include "test_mainwindow.moc"
