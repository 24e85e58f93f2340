// The checks drawn on the main window's editor; what they decide is tested in tests/script.
#include "app/frmMain.h"
#include "editor/codesense.h"
#include "foundation/appfolder.h"
#include "insight/scriptinsight.h"
#include "support/fakeregistry.h"
#include "support/fakeservices.h"
#include "support/files.h"

#include <QAction>
#include <QListWidget>
#include <QTemporaryDir>

namespace {
// The window reads the shipped vocabularies as it is made.
struct Window {
    FakeServices fakes;
    FakeRegistry registry;
    bool folder = (SetApplicationFolder(QStringLiteral(TAVREL_SOURCE_DIR "/data")), true);
    frmMain window;
    CodeSense *editor = window.CodeSense1;
    QListWidget *problems = window.findChild<QListWidget *>(QStringLiteral("lstProblems"));
    QString row(int i) const { return problems->count() > i ? problems->item(i)->text() : QString(); }
    // The indicator values at a position: squiggles and colours alike.
    QList<int> marks(int position) const {
        QList<int> values;
        for (int i = 0; i < 32; ++i)
            if (int value = int(editor->SendScintilla(QsciScintillaBase::SCI_INDICATORVALUEAT, i, position))) values << value;
        return values;
    }
    void click(const char *item) { window.menuItem(QLatin1String(item))->trigger(); }
};
} // namespace

class TestScriptInsight : public QObject {
    Q_OBJECT

private slots:
    void typedProblemIsShown() {
        Window w;
        w.editor->SetText(QStringLiteral("echo \u20AC\u00E9 ^1red\n"));
        w.editor->SetCaretPos(1, 0);
        QTest::keyClicks(w.editor, QStringLiteral("bind caplock +attack"));
        QTRY_VERIFY(w.row(0).startsWith(QStringLiteral("2:6 ")));
        // After characters of several UTF-8 bytes, the squiggle covers the key name alone.
        const int key = w.editor->PositionOf(1, 5);
        QVERIFY(!w.marks(key).isEmpty() && w.marks(key - 1).isEmpty());
        QVERIFY(w.window.Insight()->hoverText(key).contains(QStringLiteral("isn't a valid key")));
        w.problems->itemClicked(w.problems->item(0));
        QCOMPARE(w.editor->GetSel(true).StartLineNo, 1);
        QCOMPARE(w.editor->GetSel(true).StartColNo, 5);
        // The colour preview follows its menu item.
        QCOMPARE(w.marks(w.editor->PositionOf(0, 10)), QList<int>{0x0000FF | QsciScintillaBase::SC_INDICVALUEBIT});
        w.click("mnuOptions_colorpreview");
        QCOMPARE(w.marks(w.editor->PositionOf(0, 10)), QList<int>());
    }
    void engineAndOpenedAndHugeDocuments() {
        Window w;
        // Opening a file is no edit, yet its problems must show at once.
        QTemporaryDir dir;
        QVERIFY(writeAll(dir.filePath("seta.cfg"), "seta name Big Bob\r\n")); // sets nothing in 1.04, joined by jk2mv
        w.window.OpenDocumentFile(dir.filePath("seta.cfg"));
        QTRY_VERIFY(w.row(0).startsWith(QStringLiteral("1:15 ")));
        w.click("mnuGame_continuation");
        QTRY_COMPARE(w.problems->count(), 0);
        w.click("mnuGame_original");
        QTRY_COMPARE(w.problems->count(), 1);
        // A document far beyond anything a game executes is not checked; the panel says so.
        w.editor->SetTextUtf8(QByteArray("bind caplock +attack\n").repeated(1700000));
        QTRY_VERIFY(w.row(0).startsWith(QStringLiteral("Not checked")));
        QVERIFY(w.marks(6).isEmpty());
        w.problems->itemClicked(w.problems->item(0)); // no finding: nothing to jump to
    }
};

QTEST_MAIN(TestScriptInsight)
#include "test_scriptinsight.moc"
