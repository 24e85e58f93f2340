// What a screen reader is told about the editor, and when the editor raises Change.
#include "editor/codesense.h"
#include "editor/codesenseaccessible.h"

#include <QAccessible>
#include <QSignalSpy>
#include <QTest>

namespace {

struct Told
{
    QAccessible::Event type;
    int offset;
    QString text;
    bool operator==(const Told &) const = default;
};

QList<Told> told;

void rememberTextEvents(QAccessibleEvent *event)
{
    switch (event->type()) {
    case QAccessible::TextInserted: {
        auto *e = static_cast<QAccessibleTextInsertEvent *>(event);
        told.append({e->type(), e->changePosition(), e->textInserted()});
        break;
    }
    case QAccessible::TextRemoved: {
        auto *e = static_cast<QAccessibleTextRemoveEvent *>(event);
        told.append({e->type(), e->changePosition(), e->textRemoved()});
        break;
    }
    case QAccessible::TextCaretMoved:
        told.append({event->type(), static_cast<QAccessibleTextCursorEvent *>(event)->cursorPosition(), {}});
        break;
    default:
        break;
    }
}

// A euro sign takes three bytes and one UTF-16 unit; the clef four bytes and two units.
const QString kText = QStringLiteral("bind \u20AC x\r\necho \U0001D11E ok\nlast");

} // namespace

class CodeSenseAccessibleTest : public QObject
{
    Q_OBJECT

private:
    static QAccessibleTextInterface *textOf(CodeSense &editor)
    {
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(&editor);
        return iface ? iface->textInterface() : nullptr;
    }

private slots:
    void cleanup()
    {
        CodeSenseAccessible::SetListener(nullptr);
        told.clear();
    }

    void theEditorAnswersWithItsOwnInterface()
    {
        CodeSense editor;
        editor.show();
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(&editor);
        QVERIFY(dynamic_cast<CodeSenseAccessible *>(iface));
        QCOMPARE(iface->role(), QAccessible::EditableText);
        QVERIFY(iface->state().multiLine);
        QVERIFY(iface->editableTextInterface());
    }

    void offsetsCountUtf16Units_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("end");
        QTest::addColumn<QString>("expected");
        QTest::newRow("whole") << 0 << int(kText.size()) << kText;
        QTest::newRow("euro alone") << 5 << 6 << QStringLiteral("\u20AC");
        QTest::newRow("after the euro") << 6 << 8 << QStringLiteral(" x");
        QTest::newRow("across CR LF") << 7 << 15 << QStringLiteral("x\r\necho ");
        QTest::newRow("surrogate pair") << 15 << 17 << QStringLiteral("\U0001D11E");
        QTest::newRow("third line") << int(kText.size()) - 4 << int(kText.size()) << QStringLiteral("last");
        QTest::newRow("past the end") << int(kText.size()) - 2 << int(kText.size()) + 40 << QStringLiteral("st");
        QTest::newRow("empty") << 9 << 9 << QString();
    }

    void offsetsCountUtf16Units()
    {
        QFETCH(int, start);
        QFETCH(int, end);
        QFETCH(QString, expected);
        CodeSense editor;
        editor.SetText(kText);
        QAccessibleTextInterface *text = textOf(editor);
        QVERIFY(text);
        QCOMPARE(text->characterCount(), kText.size());
        QCOMPARE(text->text(start, end), expected);
    }

    void caretAndSelectionRoundTrip()
    {
        CodeSense editor;
        editor.SetText(kText);
        QAccessibleTextInterface *text = textOf(editor);
        for (int offset : {0, 5, 6, 9, 17, int(kText.size())}) {
            text->setCursorPosition(offset);
            QCOMPARE(text->cursorPosition(), offset);
        }
        QCOMPARE(text->selectionCount(), 0);
        text->setSelection(0, 5, 17);
        QCOMPARE(editor.SelText(), kText.mid(5, 12));
        int start = -1, end = -1;
        text->selection(0, &start, &end);
        QCOMPARE(QPair(start, end), QPair(5, 17));
        text->removeSelection(0);
        QCOMPARE(text->selectionCount(), 0);
    }

    void editsThroughTheInterfaceAreEdits()
    {
        CodeSense editor;
        editor.SetText(kText);
        QSignalSpy changes(&editor, &CodeSense::Change);
        QAccessibleEditableTextInterface *editable =
            QAccessible::queryAccessibleInterface(&editor)->editableTextInterface();
        editable->replaceText(5, 6, QStringLiteral("\u0152\u0153"));
        editable->insertText(0, QStringLiteral("// "));
        // Four units longer now; an end past the text means its end.
        editable->deleteText(int(kText.size()) + 3, int(kText.size()) + 10);
        QCOMPARE(editor.Text(), QStringLiteral("// bind \u0152\u0153 x\r\necho \U0001D11E ok\nlas"));
        // One edit session outside any event of the editor: one Change, once the loop runs.
        QCOMPARE(changes.count(), 0);
        QTRY_COMPARE(changes.count(), 1);
    }

    void screenReaderHearsEditsWithTheirOffsets()
    {
        CodeSense editor;
        editor.SetText(kText);
        editor.show();
        CodeSenseAccessible::SetListener(rememberTextEvents);
        editor.SetCaretPos(1, 6); // after the clef
        QCoreApplication::processEvents();
        told.clear();
        QTest::sendKeyEvent(QTest::Click, &editor, Qt::Key_unknown, QStringLiteral("\u20AC"), Qt::NoModifier);
        QTest::keyClick(&editor, Qt::Key_Backspace);
        QTest::keyClick(&editor, Qt::Key_Backspace);
        const QList<Told> edits = [] {
            QList<Told> only;
            for (const Told &t : told)
                if (t.type != QAccessible::TextCaretMoved)
                    only.append(t);
            return only;
        }();
        QCOMPARE(edits, (QList<Told>{{QAccessible::TextInserted, 17, QStringLiteral("\u20AC")},
                                     {QAccessible::TextRemoved, 17, QStringLiteral("\u20AC")},
                                     {QAccessible::TextRemoved, 15, QStringLiteral("\U0001D11E")}}));
        editor.SetCaretPos(2, 2); // the clef has gone: two units before "st"
        editor.viewport()->repaint();
        QCoreApplication::processEvents();
        QVERIFY(!told.isEmpty());
        QCOMPARE(told.last(), (Told{QAccessible::TextCaretMoved, int(kText.size()) - 4, {}}));
    }

    void changeFollowsEveryKindOfEdit()
    {
        CodeSense editor;
        editor.show();
        QStringList texts;
        connect(&editor, &CodeSense::Change, this, [&](CodeSense *e) { texts << e->Text(); });
        // Typed and undone: raised before control returns, with the text already changed.
        QTest::keyClicks(&editor, QStringLiteral("ab"));
        editor.ExecuteCmd(CodeSense::cmdUndo);
        QCOMPARE(texts, QStringList({"a", "ab", ""}));
        // Several edits of QScintilla's own API in one turn of the loop: one Change.
        editor.insert(QStringLiteral("x"));
        editor.append(QStringLiteral("y"));
        QCOMPARE(texts.size(), 3);
        QTRY_COMPARE(texts.size(), 4);
        QCOMPARE(texts.last(), QStringLiteral("xy"));
        // No edit, no Change.
        editor.SetCaretPos(0, 1);
        QTest::keyClick(&editor, Qt::Key_Left);
        QCoreApplication::processEvents();
        QCOMPARE(texts.size(), 4);
    }
};

QTEST_MAIN(CodeSenseAccessibleTest)
#include "test_codesenseaccessible.moc"
