// The checks inside the main window: panel rows, jumping, menu items, engine choice,
// squiggles, hover and colour preview.
#include "foundation/appfolder.h"
#include "app/frmMain.h"
#include "editor/codesense.h"
#include "insight/scriptinsight.h"
#include "support/fakeservices.h"

#include <QAction>
#include <QDockWidget>
#include <QLabel>
#include <QListWidget>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestScriptInsight : public QObject
{
    Q_OBJECT

private:
    static ScriptInsight *insight(frmMain &window) { return window.findChild<ScriptInsight *>(QStringLiteral("ScriptInsight")); }
    static int indicatorAt(CodeSense *editor, int indicator, int position)
    {
        return int(editor->SendScintilla(QsciScintillaBase::SCI_INDICATORVALUEAT, indicator, position));
    }

private slots:
    void initTestCase() { SetApplicationFolder(QStringLiteral(TAVREL_SOURCE_DIR "/data")); }

    void problemsListAndJump()
    {
        FakeServices fakes;
        frmMain window;
        ScriptInsight *checks = insight(window);
        QVERIFY(checks);
        auto *list = window.findChild<QListWidget *>(QStringLiteral("lstProblems"));
        QVERIFY(list);
        QCOMPARE(window.findChild<QDockWidget *>(QStringLiteral("dockProblems"))->windowTitle(), QStringLiteral("Problems"));
        // Characters of several UTF-8 bytes before the finding move its byte position.
        window.CodeSense1->SetText(QStringLiteral("echo \u20AC\u00E9 ok\nbind caplock +attack\n"));
        QTRY_COMPARE(list->count(), 1);
        QVERIFY(list->item(0)->text().startsWith(QStringLiteral("2:6 ")));
        QVERIFY(list->item(0)->text().contains(QStringLiteral("caplock")));
        // The squiggle covers the key name and nothing before it.
        const int key = window.CodeSense1->PositionOf(1, 5);
        bool squiggled = false, before = false;
        for (int i = 0; i < 32; ++i) {
            squiggled |= indicatorAt(window.CodeSense1, i, key) != 0;
            before |= indicatorAt(window.CodeSense1, i, key - 1) != 0;
        }
        QVERIFY(squiggled);
        QVERIFY(!before);
        list->itemClicked(list->item(0));
        QCOMPARE(window.CodeSense1->GetSel(true).StartLineNo, 1);
        QCOMPARE(window.CodeSense1->GetSel(true).StartColNo, 5);
        QVERIFY(checks->hoverText(key).contains(QStringLiteral("isn't a valid key")));
        // Mending the line empties the list.
        window.CodeSense1->SetText(QStringLiteral("bind capslock +attack\n"));
        QTRY_COMPARE(list->count(), 0);
    }

    void menuItemsAndEngine()
    {
        FakeServices fakes;
        frmMain window;
        ScriptInsight *checks = insight(window);
        auto *status = window.findChild<QLabel *>(QStringLiteral("lblEngine"));
        QVERIFY(status);
        QCOMPARE(status->text(), QStringLiteral("Jedi Outcast 1.04"));
        QAction *continuation = window.findChild<QAction *>(QStringLiteral("mnuGame_continuation"));
        QAction *problems = window.findChild<QAction *>(QStringLiteral("mnuOptions_problems"));
        QVERIFY(continuation && problems && window.findChild<QAction *>(QStringLiteral("mnuOptions_colorpreview")));
        // seta with three words sets nothing in 1.04 but is joined by jk2mv.
        window.CodeSense1->SetText(QStringLiteral("seta name Big Bob\n"));
        QTRY_COMPARE(checks->findings().size(), 1);
        continuation->trigger();
        QCOMPARE(status->text(), QStringLiteral("jk2mv"));
        QTRY_COMPARE(checks->findings().size(), 0);
        window.show();
        QVERIFY(problems->isChecked());
        problems->trigger();
        QVERIFY(!window.findChild<QDockWidget *>(QStringLiteral("dockProblems"))->isVisibleTo(&window));
    }

    void hoverDocumentsWordsAndMasks()
    {
        FakeServices fakes;
        frmMain window;
        ScriptInsight *checks = insight(window);
        window.CodeSense1->SetText(QStringLiteral("seta g_forcepowerdisable 3\nseta rate 9000\n"));
        QCOMPARE(checks->hoverText(window.CodeSense1->PositionOf(0, 25)), QStringLiteral("disables: Heal, Jump"));
        QVERIFY(checks->hoverText(window.CodeSense1->PositionOf(1, 6)).contains(QStringLiteral("default \"4000\"")));
    }

    void colourPreviewFollowsTheOption()
    {
        FakeServices fakes;
        frmMain window;
        ScriptInsight *checks = insight(window);
        QSignalSpy refreshed(checks, &ScriptInsight::refreshed);
        window.CodeSense1->SetText(QStringLiteral("echo \u20AC^1red\n"));
        QVERIFY(refreshed.wait());
        const int red = window.CodeSense1->PositionOf(0, 8);
        const int caret = window.CodeSense1->PositionOf(0, 7);
        auto coloured = [&](int position) {
            for (int i = 0; i < 32; ++i) {
                if (indicatorAt(window.CodeSense1, i, position) == (0x0000FF | QsciScintillaBase::SC_INDICVALUEBIT))
                    return true;
            }
            return false;
        };
        QVERIFY(coloured(red));
        QVERIFY(!coloured(caret));
        window.findChild<QAction *>(QStringLiteral("mnuOptions_colorpreview"))->trigger();
        QVERIFY(!coloured(red));
    }
    // A document far beyond anything a game executes is not checked as you type; the
    // panel says so instead of showing nothing.
    void hugeDocumentIsNotChecked()
    {
        FakeServices fakes;
        frmMain window;
        auto *list = window.findChild<QListWidget *>(QStringLiteral("lstProblems"));
        QSignalSpy refreshed(insight(window), &ScriptInsight::refreshed);
        QByteArray huge;
        while (huge.size() <= 33 * 1024 * 1024)
            huge += "bind caplock +attack\n";
        window.CodeSense1->SetTextUtf8(huge);
        QVERIFY(refreshed.wait(5000));
        QCOMPARE(list->count(), 1);
        QVERIFY(list->item(0)->text().startsWith(QStringLiteral("Not checked")));
        for (int i = 0; i < 32; ++i)
            QCOMPARE(indicatorAt(window.CodeSense1, i, 6), 0);
        list->itemClicked(list->item(0)); // not a finding: nothing to jump to
        // Back under the limit, the checks return.
        refreshed.clear();
        window.CodeSense1->SetText(QStringLiteral("bind caplock +attack\n"));
        QVERIFY(refreshed.wait(5000));
        QCOMPARE(list->count(), 1);
        QVERIFY(list->item(0)->text().contains(QStringLiteral("caplock")));
    }

    // Opening a file is no edit, yet its problems and colours must show at once.
    void openedFileIsChecked()
    {
        FakeServices fakes;
        frmMain window;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("typo.cfg"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("bind caplock +attack\r\n");
        file.close();
        window.OpenDocumentFile(path);
        auto *list = window.findChild<QListWidget *>(QStringLiteral("lstProblems"));
        QTRY_COMPARE(list->count(), 1);
        QVERIFY(list->item(0)->text().startsWith(QStringLiteral("1:6 ")));
    }
};

QTEST_MAIN(TestScriptInsight)
#include "test_scriptinsight.moc"
