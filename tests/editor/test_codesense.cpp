// The editor component: its own edits, when it raises Change, what a screen reader is
// told of it, in UTF-16 offsets as Qt counts them, and the script lexer's colours.
#include "editor/codesense.h"
#include "editor/codesenseaccessible.h"
#include "languages/scriptlexer.h"
#include "support/datarows.h"

#include <QAccessible>
#include <QSignalSpy>

Q_DECLARE_METATYPE(EditorRange)

namespace {

QStringList told;

void remember(QAccessibleEvent *event)
{
    if (auto *e = dynamic_cast<QAccessibleTextInsertEvent *>(event))
        told << QString("+%1 %2").arg(e->changePosition()).arg(e->textInserted());
    else if (auto *e = dynamic_cast<QAccessibleTextRemoveEvent *>(event))
        told << QString("-%1 %2").arg(e->changePosition()).arg(e->textRemoved());
    else if (auto *e = dynamic_cast<QAccessibleTextCursorEvent *>(event))
        told << QString("caret %1").arg(e->cursorPosition());
}

// A euro sign takes three bytes and one UTF-16 unit; the clef four bytes and two units.
const QString kText = QStringLiteral("bind \u20AC x\r\necho \U0001D11E ok\nlast");
const int kSize = int(kText.size());

// One letter per style: d default, k keyword, c comment, s string, t terminator, n number.
QByteArray colourise(QsciScintilla &editor)
{
    editor.SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0, -1);
    QByteArray letters;
    for (int i = 0; i < editor.length(); ++i)
        letters += "dkcstn?"[std::min(editor.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, i), 6L)];
    return letters;
}

} // namespace

class CodeSenseTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { CodeSenseAccessible::SetListener(nullptr); }

    // The program's own edits on "b€nd x y", "z" (the euro is three bytes but one column):
    // each is one undo step and raises one Change before it returns. Lines and words first.
    void editsAreOneStep_data()
    {
        Columns<QString, EditorRange, QString, QString, EditorRange>(
            {"edit", "selection", "text", "expected", "after"});
        const QString nul(QChar(0));
        const auto row = [](const char *name, const char *edit, EditorRange selection, const QString &text,
                            const QString &expected, EditorRange after) {
            QTest::newRow(name) << edit << selection << text << expected << after;
        };
        row("SetText keeps NUL", "SetText", {}, "a" + nul + "b", "a" + nul + "b", {0, 3, 0, 3});
        row("SetSelText replaces", "SetSelText", {0, 5, 0, 6}, "MOUSE1", "b€nd MOUSE1 y\r\nz", {0, 11, 0, 11});
        row("SetSelText of NUL, backwards", "SetSelText", {1, 1, 0, 7}, nul, "b€nd x " + nul, {0, 8, 0, 8});
        row("SetSelText past the line's end", "SetSelText", {0, 4, 0, 99}, "!", "b€nd!\r\nz", {0, 5, 0, 5});
        row("InsertText at the caret end", "InsertText", {0, 0, 0, 4}, "€€", "b€nd€€ x y\r\nz", {0, 6, 0, 6});
    }
    void editsAreOneStep()
    {
        const auto [edit, selection, text] = Fetch<QString, EditorRange, QString>({"edit", "selection", "text"});
        CodeSense editor;
        editor.SetText("b€nd x y\r\nz");
        editor.SetCaretPos(0, 5);
        const QString noWord = editor.CurrentWord();
        editor.SetCaretPos(0, 6);
        QCOMPARE(QStringList({noWord, editor.CurrentWord(), editor.GetLine(-1), editor.GetLine(0), editor.GetLine(2)}),
                 QStringList({"", "x", "", "b€nd x y", ""}));
        editor.SetSel(selection, false);
        QCOMPARE(editor.GetSel(false), selection.EndColNo > 90 ? EditorRange({0, 4, 0, 8}) : selection);
        QSignalSpy changes(&editor, &CodeSense::Change);
        edit == "SetText" ? editor.SetText(text)
                          : edit == "SetSelText" ? editor.SetSelText(text) : editor.InsertText(text);
        QTEST(editor.Text(), "expected");
        QTEST(editor.GetSel(true), "after");
        QCOMPARE(changes.count(), 1);
        editor.Undo();
        QCOMPARE(editor.Text(), "b€nd x y\r\nz");
        QCOMPARE(changes.count(), 2);
    }

    void offsetsCountUtf16Units_data()
    {
        Columns<int, int>({"start", "end"});
        QTest::newRow("whole") << 0 << kSize;
        QTest::newRow("euro alone") << 5 << 6;
        QTest::newRow("surrogate pair") << 15 << 17;
        QTest::newRow("past the end") << kSize - 2 << kSize + 40;
        QTest::newRow("empty") << 9 << 9;
    }
    // Text, caret and selection all go by the same offsets.
    void offsetsCountUtf16Units()
    {
        const auto [start, end] = Fetch<int, int>({"start", "end"});
        const int last = std::min(end, kSize);
        CodeSense editor;
        editor.SetText(kText);
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(&editor);
        QVERIFY(dynamic_cast<CodeSenseAccessible *>(iface) && iface->role() == QAccessible::EditableText);
        QAccessibleTextInterface *text = iface->textInterface();
        QCOMPARE(text->characterCount(), kSize);
        QCOMPARE(text->text(start, end), kText.mid(start, end - start));
        text->setCursorPosition(end);
        QCOMPARE(text->cursorPosition(), last);
        text->setSelection(0, start, end);
        QCOMPARE(editor.SelText(), kText.mid(start, end - start));
        int selStart = -1, selEnd = -1;
        text->selection(0, &selStart, &selEnd);
        QCOMPARE(QPair(selStart, selEnd), start == end ? QPair(0, 0) : QPair(start, last));
        text->removeSelection(0);
        QCOMPARE(text->selectionCount(), 0);
    }

    // Edits through the interface are edits, and every edit is told with its offsets.
    void screenReaderHearsEdits()
    {
        CodeSense editor;
        editor.SetText(kText);
        editor.SetCaretPos(0, 0);
        QSignalSpy changes(&editor, &CodeSense::Change);
        CodeSenseAccessible::SetListener(remember);
        told.clear();
        editor.show();
        QTRY_COMPARE(told, QStringList{"caret 0"}); // the first position is told too
        auto *edit = QAccessible::queryAccessibleInterface(&editor)->editableTextInterface();
        edit->replaceText(5, 6, "\u0152\u0153");
        edit->insertText(0, "// ");
        edit->deleteText(19, 21); // the clef, four units later now
        edit->deleteText(kSize + 1, kSize + 10); // past the end means the end
        QCOMPARE(editor.Text(), "// bind \u0152\u0153 x\r\necho  ok\nlas");
        QCOMPARE(changes.count(), 0); // made outside the editor's events: one Change, once the loop runs
        QTRY_COMPARE(changes.count(), 1);
        // Typed, the edit raises Change before control returns; a caret move raises none.
        QTest::sendKeyEvent(QTest::Click, &editor, Qt::Key_unknown, "\u20AC", Qt::NoModifier);
        QCOMPARE(changes.count(), 2);
        QTest::keyClick(&editor, Qt::Key_Backspace);
        QTest::keyClick(&editor, Qt::Key_Right);
        told.removeIf([](const QString &t) { return t.startsWith("caret"); });
        QCOMPARE(told, QStringList({"-5 \u20AC", "+5 \u0152\u0153", "+0 // ", "-19 \U0001D11E", "-26 t", "+0 \u20AC",
                                    "-0 \u20AC"}));
        editor.SetCaretPos(2, 2);
        QTRY_COMPARE(told.last(), "caret 25");
        QCOMPARE(changes.count(), 3);
    }

    void lexerStyles()
    {
        QsciScintilla editor;
        ScriptLexer lexer("JK2Script", LanguageDefinition{false, "bind\n", "zoom\n", "//", "\"", ";"});
        editor.setLexer(&lexer);
        editor.setText("BIND z +zoom 1 \"x\"; // c"); // keywords in any case; operators are keywords too
        const QByteArray styles = "kkkkdddkkkkkdndssstdcccc";
        QCOMPARE(colourise(editor), styles);
        lexer.setColorSyntax(false);
        // Marked unstyled, not styled all at once: a huge document stays responsive.
        QCOMPARE(editor.SendScintilla(QsciScintillaBase::SCI_GETENDSTYLED), 0L);
        QCOMPARE(colourise(editor), QByteArray(styles.size(), 'd'));
        lexer.setColorSyntax(true);
        QCOMPARE(colourise(editor), styles);
    }
};

QTEST_MAIN(CodeSenseTest)
#include "test_codesense.moc"
