#include "aids/frmCmdList.h"
#include "support/datarows.h"
#include "support/files.h"
#include "support/mainwindow.h"
#include "support/markedtext.h"

#include <QtTest>
#include <QtWidgets>

namespace {

const QStringList Commands{"+attack", "bind", "  // a note ", "vstr loop"};

QString Status(const QString &item) { return "Command list - doubleclick to send \"" + item + "\" to code window"; }

struct Fixture
{
    FakeServices fakes;
    CodeSense editor;
    frmCmdList window{&editor};
    explicit Fixture(const QStringList &commands = Commands)
    {
        for (const QString &command : commands)
            window.AddItem(command);
        window.show();
    }
    // What the window system delivers: press, release, double-click, release.
    void doubleClick(QPoint at)
    {
        QTest::mouseClick(window.list1->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(window.list1->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(window.list1->viewport(), Qt::LeftButton, {}, at);
    }
};

} // namespace

class CommandListTest : public QObject
{
    Q_OBJECT

private slots:
    // Double-click sends the bare item in place of the selection, the caret back at the old
    // caret end's column; Enter sends it with a blank either side, through the clipboard,
    // beside the selection.
    void send_data()
    {
        Columns<QString, int, int, QString>({"text", "row", "key", "result"}); // key 0: double-click
        QTest::newRow("at caret, caret stays in front") << "bind |q " << 0 << 0 << "bind |+attackq ";
        QTest::newRow("item verbatim") << "|" << 2 << 0 << "|  // a note ";
        QTest::newRow("forward selection replaced") << "[hello| world" << 1 << 0 << "bind |world";
        QTest::newRow("backward selection replaced") << "|hello[ world" << 0 << 0 << "|+attack world";
        // The old caret end's line is gone: the caret lands on the last line.
        QTest::newRow("selection over lines") << "o[ne\ntwo\nth|ree" << 0 << 0 << "o+|attackree";
        QTest::newRow("Return at caret") << "bind| x" << 0 << int(Qt::Key_Return) << "bind +attack | x";
        QTest::newRow("keypad Enter") << "|" << 3 << int(Qt::Key_Enter) << " vstr loop |";
        QTest::newRow("Enter beside the selection") << "[hello| world" << 1 << int(Qt::Key_Return)
                                                    << "hello bind | world";
    }
    void send()
    {
        const auto [text, row, key] = Fetch<QString, int, int>({"text", "row", "key"});
        Fixture f;
        f.fakes.clipboard.content = QStringLiteral("held before");
        Place(f.editor, text);
        f.window.list1->setCurrentRow(row);
        if (key)
            QTest::keyClick(f.window.list1, Qt::Key(key));
        else
            f.doubleClick(f.window.list1->visualItemRect(f.window.list1->item(row)).center());
        QTEST(Marked(f.editor), "result");
        QCOMPARE(f.window.list1->currentRow(), row);
        QCOMPARE(f.fakes.clipboard.content, key ? Commands[row] : QStringLiteral("held before"));
    }

    // Other keys, an empty list and an item deselected by Ctrl+click send nothing.
    void nothingToSend()
    {
        Fixture f, empty{QStringList{}};
        f.window.SelectFirst();
        QTest::keyClicks(f.window.list1, QStringLiteral("v \t"));
        QTest::keyClick(f.window.list1, Qt::Key_Escape);
        QCOMPARE(f.window.list1->currentRow(), 3); // a letter still finds the item starting with it
        QTest::mouseClick(f.window.list1->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          f.window.list1->visualItemRect(f.window.list1->item(3)).center());
        QCOMPARE(f.window.Label1->text(), QString());
        f.window.list1_DblClick();
        f.window.list1_KeyPress(13);
        empty.window.SelectFirst();
        empty.doubleClick(QPoint(10, 10));
        QTest::keyClick(empty.window.list1, Qt::Key_Return);
        QCOMPARE(f.editor.Text() + empty.editor.Text(), QString());
        QCOMPARE(f.fakes.clipboard.writes + empty.fakes.clipboard.writes, 0);
    }

    // The Tools item shows the one window, filled from the game's command file, with the first
    // item selected; the status line names the selection; closing only hides the window.
    void toolsMenuShowsTheSameWindow()
    {
        MainWindowFixture f;
        f.window.show();
        const QString commands = f.appDir.filePath("commands.txt");
        QVERIFY(writeAll(commands, "+use\r\nbind\r\nvstr a\r\n"));
        frmCmdList *window = f.window.CmdList();
        QVERIFY(window->FillFromFile(commands, true).ok() && !window->isVisible());
        f.click("mnuTools_cmdlist");
        QVERIFY(window->isVisible() && window->list1->item(0)->isSelected());
        QCOMPARE(window->Label1->text(), Status("+use"));
        QTest::keyClick(window->list1, Qt::Key_End);
        QCOMPARE(window->Label1->text(), Status("vstr a"));
        QVERIFY(!window->close() && !window->isVisible());
        f.click("mnuTools_cmdlist");
        QCOMPARE(window->list1->currentRow(), 0);
        window->list1_KeyPress(13);
        QCOMPARE(f.editor()->Text(), QStringLiteral(" +use "));
        window->FillFromFile(commands, true);
        QCOMPARE(window->Label1->text(), QString());
    }
};

QTEST_MAIN(CommandListTest)
#include "test_cmdlist.moc"
