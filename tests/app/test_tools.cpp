// The tool windows that write into the editor: the command list, the colour codes, the flag
// checklist and the special characters.
#include "aids/frmCmdList.h"
#include "aids/frmJK2colors.h"
#include "aids/frmSpChars.h"
#include "aids/lookahead.h"
#include "foundation/twips.h"
#include "script/flags.h"
#include "support/answerchecklist.h"
#include "support/datarows.h"
#include "support/mainwindow.h"
#include "support/markedtext.h"

#include <QtWidgets>

namespace {

const QStringList Commands{"+attack", "bind", "  // a note ", "vstr loop"};

struct CmdList
{
    FakeServices fakes;
    CodeSense editor;
    frmCmdList window{&editor};
    CmdList()
    {
        for (const QString &command : Commands)
            window.AddItem(command);
        window.show();
    }
};

struct SpChars
{
    FakeServices fakes;
    CodeSense editor;
    // The owner stays hidden: the test platform has no stacking order, so a pointer over two
    // windows could reach either.
    QWidget owner;
    frmSpChars *window = ShowSpecialCharacters(&editor, &owner);
    QString pointAt(QPoint at)
    {
        QTest::mouseMove(window, at);
        return window->StatusText();
    }
};

} // namespace

class ToolsTest : public QObject
{
    Q_OBJECT

private slots:
    // Double-click sends the bare item in place of the selection, the caret back at the old
    // caret end's column; Enter sends it with a blank either side, through the clipboard,
    // beside the selection.
    void commandListSends_data()
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
    void commandListSends()
    {
        const auto [text, row, key] = Fetch<QString, int, int>({"text", "row", "key"});
        CmdList f;
        f.fakes.clipboard.content = QStringLiteral("held before");
        Place(f.editor, text);
        f.window.list1->setCurrentRow(row);
        QWidget *list = f.window.list1->viewport();
        const QPoint at = f.window.list1->visualItemRect(f.window.list1->item(row)).center();
        if (key) {
            QTest::keyClick(f.window.list1, Qt::Key(key));
        } else { // what the window system delivers: press, release, double-click, release
            QTest::mouseClick(list, Qt::LeftButton, {}, at);
            QTest::mouseDClick(list, Qt::LeftButton, {}, at);
            QTest::mouseRelease(list, Qt::LeftButton, {}, at);
        }
        QTEST(Marked(f.editor), "result");
        QCOMPARE(f.window.list1->currentRow(), row);
        QCOMPARE(f.fakes.clipboard.content, key ? Commands[row] : QStringLiteral("held before"));
    }

    // The colour is typed into the combo box, which neither completes nor corrects it; an
    // empty result means the name is refused. The caret goes back to the old caret end.
    void colorCodes_data()
    {
        Columns<QString, QString, QString, QString>({"color", "text", "before", "after"});
        QTest::newRow("Red") << "Red" << "hello" << "say |" << "say |^1 hello ^7";
        QTest::newRow("Black is 8, text kept as typed") << "Black" << "  a^2b  " << "|" << "|^8   a^2b   ^7";
        QTest::newRow("empty text, in a line") << "Red" << "" << "one\nt|wo" << "one\nt|^1  ^7wo";
        QTest::newRow("forward selection") << "Black" << "x" << "[one|\ntwo" << "^8 |x ^7\ntwo";
        QTest::newRow("backward selection") << "Black" << "x" << "|one[\ntwo" << "|^8 x ^7\ntwo";
        QTest::newRow("over two lines") << "Black" << "x" << "o[ne\ntw|o" << "o^|8 x ^7o";
        for (const char *refused : {"red", "Re", "Red ", ""})
            QTest::newRow(refused) << refused << "typed" << "keep|" << "";
    }
    void colorCodes()
    {
        const auto [color, text, before, after] =
            Fetch<QString, QString, QString, QString>({"color", "text", "before", "after"});
        FakeServices fakes;
        CodeSense editor;
        QWidget owner;
        frmJK2colors *dialog = ShowJK2Colors(&editor, &owner);
        Place(editor, before);
        dialog->Text1->setText(text);
        dialog->Combo1->lineEdit()->selectAll();
        QTest::keyClick(dialog->Combo1->lineEdit(), Qt::Key_Delete);
        QTest::keyClicks(dialog->Combo1->lineEdit(), color);
        QTest::keyClick(dialog->Combo1->lineEdit(), Qt::Key_Return);
        QTest::mouseClick(dialog->Command1, Qt::LeftButton);
        QCOMPARE(Marked(editor), after.isEmpty() ? before : after);
        ExpectMessages(fakes.messageBoxes, QStringList(after.isEmpty(), "Please use a color from the list."),
                       QMessageBox::Ok, QMessageBox::Critical);
        // A refused name goes back to Black and keeps the text.
        QCOMPARE(dialog->Combo1->currentText(), after.isEmpty() ? QStringLiteral("Black") : color);
        QCOMPARE(dialog->Text1->text(), after.isEmpty() ? text : QString());
    }

    // A space typed after the name ("|" in the line) opens the checklist with its caption and
    // marks; the user leaves the labels given checked ("=": as shown) and closes it with OK,
    // Escape ("~") or the close box ("x"), which all take the marks. No caption: no checklist.
    void spaceAfterFlagVariable_data()
    {
        Columns<QString, QString, QStringList, QStringList, QString, QString>(
            {"line", "caption", "prechecked", "answer", "kept", "result"});
        const QStringList keep{"="};
        QTest::newRow("worked example") << "g_weapondisable| 8" << "Weapon Disable" << QStringList{"Bryar Pistol"}
                                        << QStringList{"Stun Baton", "Lightsaber"} << "" << "g_weapondisable  6";
        QTest::newRow("line ends with name") << "g_forcepowerdisable|" << "Force Disable" << QStringList{}
                                             << QStringList{"~", "Heal", "Jump"} << "" << "g_forcepowerdisable 3";
        // Bits that no item stands for are named under the list and written back.
        QTest::newRow("saber only") << "g_weapondisable| 65531" << "Weapon Disable"
                                    << QStringList{"Stun Baton"} + WeaponTable().labels.mid(2)
                                    << QStringList{"x", "Stun Baton"} << "Also kept: 49153" << "g_weapondisable  49155";
        QTest::newRow("old value -1") << "g_forcepowerdisable| -1" << "Force Disable" << ForcePowerTable().labels
                                      << keep << "Also kept: -262144" << "g_forcepowerdisable  -1";
        QTest::newRow("further command is replaced") << "seta G_WeaponDisable| 8; vstr next" << "Weapon Disable"
                                                     << QStringList{} << QStringList{"DEMP"} << ""
                                                     << "seta G_WeaponDisable  256";
        QTest::newRow("longer word") << "g_weapondisable2|" << "" << QStringList{} << keep << "" << "g_weapondisable2 ";
    }
    void spaceAfterFlagVariable()
    {
        const auto [line, caption, answer, kept, result] = Fetch<QString, QString, QStringList, QString, QString>(
            {"line", "caption", "answer", "kept", "result"});
        MainWindowFixture f(false);
        Place(*f.editor(), "// before\n" + line + "\nnext line");
        QString shown, keptLine;
        QStringList prechecked;
        const auto space = [&] { QTest::keyClick(f.editor(), Qt::Key_Space); };
        if (caption.isEmpty())
            space();
        else
            AnswerChecklist(
                [&](frmLookAheadCheck &dialog) {
                    shown = dialog.windowTitle();
                    keptLine = dialog.lblKept->isVisible() ? dialog.lblKept->text() : QString();
                    for (int i = 0; i < dialog.lvwCheckValues->topLevelItemCount(); ++i) {
                        QTreeWidgetItem *item = dialog.lvwCheckValues->topLevelItem(i);
                        if (item->checkState(0) == Qt::Checked)
                            prechecked << item->text(0);
                        if (answer != QStringList{"="})
                            item->setCheckState(0, answer.contains(item->text(0)) ? Qt::Checked : Qt::Unchecked);
                    }
                    if (answer.contains("~") || answer.contains("x"))
                        answer.contains("x") ? void(dialog.close()) : QTest::keyClick(&dialog, Qt::Key_Escape);
                },
                space);
        QCOMPARE(shown, caption);
        QTEST(prechecked, "prechecked");
        QCOMPARE(keptLine, kept);
        // The caret stands right after the value; the document is marked changed, and one undo
        // gives the line back.
        QCOMPARE(Marked(*f.editor()), "// before\n" + result + "|\nnext line");
        QVERIFY(f.window.windowTitle().endsWith(u'*'));
        f.editor()->Undo();
        QCOMPARE(f.editor()->GetLine(1), QString(line).remove(u'|'));
    }

    // The main window goes, with its editor, while the checklist is open: nothing is written.
    void windowClosedDuringChecklist()
    {
        auto *owner = new QWidget;
        auto *editor = new CodeSense(owner);
        Place(*editor, QStringLiteral("g_weapondisable| 8"));
        owner->show();
        bool shown = false;
        QTimer::singleShot(0, [&] {
            shown = QApplication::activeModalWidget() != nullptr;
            delete owner;
        });
        QVERIFY(FlagLookAhead(owner, editor, Qt::Key_Space));
        QVERIFY(shown);
    }

    // The codes run left to right on the first row and right to left on the rows below. Control
    // codes and the code page's undefined codes show their number; pointing at a cell names its code.
    void specialCharacterCells_data()
    {
        Columns<int, int, int, QString>({"code", "column", "row", "shown"});
        QTest::newRow("NUL") << 0 << 0 << 0 << "00";
        QTest::newRow("DEL") << 127 << 27 << 4 << "7F";
        QTest::newRow("euro") << 128 << 26 << 4 << "\u20AC";
        QTest::newRow("undefined 81") << 129 << 25 << 4 << "81";
        QTest::newRow("Y diaeresis") << 159 << 26 << 5 << "\u0178";
        QTest::newRow("soft hyphen") << 173 << 12 << 5 << "-";
        QTest::newRow("left end of row 7") << 247 << 0 << 7 << "\u00F7";
        QTest::newRow("last row") << 248 << 7 << 8 << "\u00F8";
    }
    void specialCharacterCells()
    {
        const auto [code, column, row] = Fetch<int, int, int>({"code", "column", "row"});
        SpChars f;
        // Columns and rows by rank: a layout opened up for a wider font keeps its grid.
        QSet<int> lefts, tops;
        for (const QLabel *cell : std::as_const(f.window->Label1)) {
            lefts << cell->x();
            tops << cell->y();
        }
        const auto rank = [](const QSet<int> &values, int value) {
            return std::count_if(values.begin(), values.end(), [value](int v) { return v < value; });
        };
        const QLabel *cell = f.window->Label1[code];
        QCOMPARE(rank(lefts, cell->x()), column);
        QCOMPARE(rank(tops, cell->y()), row);
        QTEST(cell->text(), "shown");
        QCOMPARE(f.pointAt(cell->geometry().center()), QStringLiteral("Character #: %1").arg(code));
    }

    // Every code has a place of its own in the fixed-size window, clear of the button, and
    // every cell but the blank and the no-break space shows something visible.
    void everyCellHasItsPlaceAndShowsSomething()
    {
        SpChars f;
        QCOMPARE(f.window->minimumSize(), f.window->maximumSize());
        QSet<QPair<int, int>> places;
        for (const QLabel *cell : std::as_const(f.window->Label1)) {
            places.insert({cell->x(), cell->y()});
            QVERIFY(f.window->rect().contains(cell->geometry()));
            QVERIFY(!cell->geometry().intersects(f.window->Command1->geometry()));
            const QString text = cell->text();
            const bool shown = !text.isEmpty() && text.size() <= 2 && QFontMetrics(cell->font()).inFont(text[0]) &&
                               !text.contains(QRegularExpression(QStringLiteral("\\s|\\p{C}")));
            QVERIFY2(shown || text == " " || text == "\u00A0", qPrintable(text));
        }
        QCOMPARE(places.size(), frmSpChars::CharacterCount);
        // Between cells lies the window's own background, which names no code.
        QCOMPARE(f.pointAt(QPoint(Twips(60 + 210 + 45), Twips(60 + 127))), QString());
    }
};

QTEST_MAIN(ToolsTest)
#include "test_tools.moc"
