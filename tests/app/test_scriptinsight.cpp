// The checks drawn on the main window's editor; what they decide is tested in tests/script.
#include "insight/scriptinsight.h"
#include "support/files.h"
#include "support/mainwindow.h"

namespace {
using Sci = QsciScintillaBase;

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

class TestScriptInsight : public QObject
{
    Q_OBJECT

private slots:
    void typedProblemIsShown()
    {
        MainWindowFixture f;
        CodeSense *editor = f.editor();
        auto *problems = f.window.findChild<QListWidget *>(QStringLiteral("lstProblems"));
        editor->SetText(QStringLiteral("echo \u20AC\u00E9 ^1red\n"));
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
        QCOMPARE(Marks(editor, editor->PositionOf(0, 10)), QList<int>{0x0000FF | Sci::SC_INDICVALUEBIT});
        f.click("mnuOptions_colorpreview");
        QCOMPARE(Marks(editor, editor->PositionOf(0, 10)), QList<int>());
    }

    void engineAndOpenedAndHugeDocuments()
    {
        MainWindowFixture f;
        auto *problems = f.window.findChild<QListWidget *>(QStringLiteral("lstProblems"));
        // Opening a file is no edit, yet its problems must show at once.
        const QString path = f.appDir.filePath("seta.cfg");
        QVERIFY(writeAll(path, "seta name Big Bob\r\n")); // sets nothing in 1.04, joined by jk2mv
        f.window.OpenDocumentFile(path);
        QTRY_VERIFY(FirstRow(problems).startsWith(QStringLiteral("1:15 ")));
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
};

QTEST_MAIN(TestScriptInsight)
#include "test_scriptinsight.moc"
