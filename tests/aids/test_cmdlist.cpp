#include "aids/frmCmdList.h"
#include "app/frmMain.h"
#include "editor/codesense.h"
#include "support/fakeservices.h"

#include <QLabel>
#include <QListWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QStringList Commands{"+attack", "bind", "  // a note ", "vstr loop"};

QString status(const QString &item)
{
    return QStringLiteral("Command list - doubleclick to send \"") + item + QStringLiteral("\" to code window");
}

QStringList items(const frmCmdList &window)
{
    QStringList result;
    for (int i = 0; i < window.list1->count(); ++i)
        result << window.list1->item(i)->text();
    return result;
}

} // namespace

class CommandListTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

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
        // anchor and caret as (line, column)
        void select(QPoint anchor, QPoint caret)
        {
            editor.SetSel(EditorRange{anchor.x(), anchor.y(), caret.x(), caret.y()}, true);
        }
        QPoint caret() const
        {
            const EditorRange range = editor.GetSel(false);
            return {range.EndLineNo, range.EndColNo};
        }
        bool hasSelection() const
        {
            const EditorRange range = editor.GetSel(false);
            return range.StartLineNo != range.EndLineNo || range.StartColNo != range.EndColNo;
        }
        void doubleClick(int row)
        {
            QListWidgetItem *item = window.list1->item(row);
            const QPoint at = window.list1->visualItemRect(item).center();
            // What the window system delivers: press, release, double-click, release.
            QTest::mouseClick(window.list1->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(window.list1->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseRelease(window.list1->viewport(), Qt::LeftButton, {}, at);
        }
    };

    QString writeFile(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }

    void fillFromFile_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // "<none>": no such file
        QTest::addColumn<bool>("clearFirst");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("error");
        const QStringList old{"old"};
        QTest::newRow("three lines in order") << QByteArray("+attack\r\nbind\r\nvstr a\r\n") << true
                                              << QStringList{"+attack", "bind", "vstr a"} << 0;
        QTest::newRow("appends after old items") << QByteArray("new\r\n") << false << QStringList{"old", "new"} << 0;
        QTest::newRow("missing file, cleared") << QByteArray("<none>") << true << QStringList{} << 53;
        QTest::newRow("missing file keeps old items") << QByteArray("<none>") << false << old << 53;
    }
    void fillFromFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, clearFirst);
        QFETCH(QStringList, expected);
        Fixture f{QStringList{"old"}};
        const QString path = bytes == "<none>" ? dir.filePath("missing.txt") : writeFile("cc.txt", bytes);
        const FileError error = f.window.FillFromFile(path, clearFirst);
        QTEST(error.number, "error");
        QCOMPARE(items(f.window), expected);
    }

    void clearingEmptiesStatusLine()
    {
        Fixture f;
        f.window.SelectFirst();
        QCOMPARE(f.window.Label1->text(), status("+attack"));
        f.window.FillFromFile(writeFile("other.txt", "+use\r\n"), true);
        QCOMPARE(items(f.window), QStringList{"+use"});
        QCOMPARE(f.window.Label1->text(), QString());
    }

    void arrowKeysUpdateStatusAtEveryStep()
    {
        Fixture f;
        f.window.SelectFirst();
        QCOMPARE(f.window.Label1->text(), status("+attack"));
        const QList<std::pair<Qt::Key, QString>> steps{{Qt::Key_Down, "bind"},
                                                       {Qt::Key_Down, "  // a note "},
                                                       {Qt::Key_Down, "vstr loop"},
                                                       {Qt::Key_Up, "  // a note "},
                                                       {Qt::Key_Home, "+attack"}};
        for (const auto &[key, item] : steps) {
            QTest::keyClick(f.window.list1, key);
            QCOMPARE(f.window.Label1->text(), status(item));
        }
    }

    void doubleClickSendsBareItem_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QPoint>("anchor");
        QTest::addColumn<QPoint>("caret");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QPoint>("caretAfter");
        QTest::newRow("at caret, caret stays in front") << "bind q " << QPoint(0, 5) << QPoint(0, 5) << 0
                                                        << "bind +attackq " << QPoint(0, 5);
        QTest::newRow("item sent verbatim") << "" << QPoint(0, 0) << QPoint(0, 0) << 2 << "  // a note "
                                            << QPoint(0, 0);
        QTest::newRow("forward selection replaced") << "hello world" << QPoint(0, 0) << QPoint(0, 5) << 1
                                                    << "bind world" << QPoint(0, 5);
        QTest::newRow("backward selection replaced") << "hello world" << QPoint(0, 5) << QPoint(0, 0) << 0
                                                     << "+attack world" << QPoint(0, 0);
        // The old caret end's line is gone after the replacement: the caret lands on the last line.
        QTest::newRow("selection over lines") << "one\ntwo\nthree" << QPoint(0, 1) << QPoint(2, 2) << 0
                                              << "o+attackree" << QPoint(0, 2);
    }
    void doubleClickSendsBareItem()
    {
        QFETCH(QString, text);
        QFETCH(QPoint, anchor);
        QFETCH(QPoint, caret);
        QFETCH(int, row);
        Fixture f;
        f.editor.SetText(text);
        f.select(anchor, caret);
        f.doubleClick(row);
        QTEST(f.editor.Text(), "result");
        QTEST(f.caret(), "caretAfter");
        QVERIFY(!f.hasSelection());
        QCOMPARE(f.window.list1->currentRow(), row);
        QCOMPARE(f.fakes.clipboard.writes, 0);
    }

    void enterSendsItemWithBlanksThroughClipboard_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QPoint>("anchor");
        QTest::addColumn<QPoint>("caret");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QPoint>("caretAfter");
        QTest::newRow("Return at caret") << "bind x" << QPoint(0, 4) << QPoint(0, 4) << 0 << int(Qt::Key_Return)
                                         << "bind +attack  x" << QPoint(0, 13);
        QTest::newRow("keypad Enter") << "" << QPoint(0, 0) << QPoint(0, 0) << 3 << int(Qt::Key_Enter)
                                      << " vstr loop " << QPoint(0, 11);
        QTest::newRow("item with blanks") << "x" << QPoint(0, 1) << QPoint(0, 1) << 2 << int(Qt::Key_Return)
                                          << "x   // a note  " << QPoint(0, 15);
        // The text goes in at the caret end; the selected text stays.
        QTest::newRow("selection kept beside it") << "hello world" << QPoint(0, 0) << QPoint(0, 5) << 1
                                                  << int(Qt::Key_Return) << "hello bind  world" << QPoint(0, 11);
    }
    void enterSendsItemWithBlanksThroughClipboard()
    {
        QFETCH(QString, text);
        QFETCH(QPoint, anchor);
        QFETCH(QPoint, caret);
        QFETCH(int, row);
        QFETCH(int, key);
        Fixture f;
        f.fakes.clipboard.content = QStringLiteral("held before");
        f.editor.SetText(text);
        f.select(anchor, caret);
        f.window.list1->setCurrentRow(row);
        QTest::keyClick(f.window.list1, Qt::Key(key));
        QTEST(f.editor.Text(), "result");
        QTEST(f.caret(), "caretAfter");
        QCOMPARE(f.fakes.clipboard.content, std::optional<QString>(Commands[row]));
        QCOMPARE(f.window.list1->currentRow(), row);
    }

    void otherKeysSendNothing()
    {
        Fixture f;
        f.editor.SetText(QStringLiteral("x"));
        f.window.SelectFirst();
        QTest::keyClicks(f.window.list1, QStringLiteral("v \t"));
        QTest::keyClick(f.window.list1, Qt::Key_Escape);
        f.window.list1_KeyPress(10);
        QCOMPARE(f.editor.Text(), QStringLiteral("x"));
        QCOMPARE(f.fakes.clipboard.writes, 0);
        // Typing a letter still finds the item that starts with it.
        QCOMPARE(f.window.list1->currentRow(), 3);
    }

    void emptyListSendsNothing()
    {
        Fixture f{QStringList{}};
        f.editor.SetText(QStringLiteral("bind"));
        f.window.SelectFirst();
        QCOMPARE(f.window.list1->currentRow(), -1);
        QTest::mouseClick(f.window.list1->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseDClick(f.window.list1->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
        QTest::keyClick(f.window.list1, Qt::Key_Return);
        f.window.list1_DblClick();
        f.window.list1_KeyPress(13);
        QCOMPARE(f.editor.Text(), QStringLiteral("bind"));
        QCOMPARE(f.fakes.clipboard.writes, 0);
        QCOMPARE(f.window.Label1->text(), QString());
    }

    // An item that is current but not selected (Ctrl+click took the selection away) is not sent.
    void deselectedItemIsNotSent()
    {
        Fixture f;
        f.window.SelectFirst();
        QListWidgetItem *first = f.window.list1->item(0);
        QTest::mouseClick(f.window.list1->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          f.window.list1->visualItemRect(first).center());
        QVERIFY(!first->isSelected());
        QCOMPARE(f.window.Label1->text(), QString());
        f.window.list1_DblClick();
        f.window.list1_KeyPress(13);
        QCOMPARE(f.editor.Text(), QString());
    }

    void toolsMenuShowsSameWindowWithFirstItemSelected()
    {
        FakeServices fakes;
        frmMain main;
        main.EndProgram = [] {};
        main.show();
        frmCmdList *window = main.CmdList();
        QVERIFY(!window->isVisible());
        QCOMPARE(window->parentWidget(), &main);
        window->FillFromFile(writeFile("cc.txt", "+attack\r\nbind\r\nvstr a\r\n"), true);
        QAction *item = main.menuItem(QStringLiteral("mnuTools_cmdlist"));
        item->trigger();
        QVERIFY(window->isVisible());
        QCOMPARE(window->list1->currentRow(), 0);
        QVERIFY(window->list1->item(0)->isSelected());
        QCOMPARE(window->Label1->text(), status("+attack"));

        QTest::keyClick(window->list1, Qt::Key_End);
        QCOMPARE(window->Label1->text(), status("vstr a"));
        QVERIFY(!window->close());
        QVERIFY(!window->isVisible());
        QCOMPARE(main.CmdList(), window);

        item->trigger();
        item->trigger();
        QCOMPARE(main.findChildren<frmCmdList *>().size(), 1);
        QVERIFY(window->isVisible());
        QCOMPARE(items(*window), QStringList({"+attack", "bind", "vstr a"}));
        QCOMPARE(window->list1->currentRow(), 0);
        QCOMPARE(window->Label1->text(), status("+attack"));

        // Sends still reach the main window's editor after reopening.
        window->list1_KeyPress(13);
        QCOMPARE(main.CodeSense1->Text(), QStringLiteral(" +attack "));
        QVERIFY(fakes.messageBoxes.shown.isEmpty());
    }
};

QTEST_MAIN(CommandListTest)
#include "test_cmdlist.moc"
