// Try Keys as a player uses it: open the panel, press keys on the keyboard and on the
// picture, read the console, jump to a bind, edit and run again.
#include "support/mainwindow.h"
#include "trykeys/keyboardpicture.h"

#include <QDockWidget>
#include <QTextEdit>

class TestTryKeys : public QObject
{
    Q_OBJECT

private slots:
    void pressKeysThroughThePanel()
    {
        MainWindowFixture f;
        f.editor()->SetText(QStringLiteral("set a \"echo on; bind x vstr b\"\nset b \"echo off; bind x vstr a\"\n"
                                           "bind x vstr a\nbind mouse1 \"echo ^1boom\"\nseta cl_run 0\n"));
        f.click("mnuOptions_trykeys");
        QVERIFY(f.window.findChild<QDockWidget *>(QStringLiteral("dockTryKeys"))->isVisible());
        auto *picture = f.window.findChild<KeyboardPicture *>(QStringLiteral("picKeyboard"));
        auto *console = f.window.findChild<QTextEdit *>(QStringLiteral("txtConsole"));
        auto *cvars = f.window.findChild<QListWidget *>(QStringLiteral("lstCvars"));
        auto shown = [console] { return console->toPlainText().replace(QChar(0xA0), u' '); };
        QTest::keyClick(picture, Qt::Key_X);
        QTest::keyClick(picture, Qt::Key_X);
        QVERIFY2(shown().endsWith(QStringLiteral("> x\non \n> x\noff ")), qPrintable(shown()));
        QTest::mouseClick(picture, Qt::LeftButton, {}, picture->capRect(QStringLiteral("MOUSE1")).center().toPoint());
        QVERIFY2(shown().endsWith(QStringLiteral("> MOUSE1\nboom ")), qPrintable(shown()));
        QCOMPARE(cvars->count(), 3); // a, b and cl_run "1" -> "0"
        // Two presses bound x back to "vstr a": the bind inside b's value did that.
        QTest::mouseClick(picture, Qt::LeftButton, Qt::ControlModifier,
                          picture->capRect(QStringLiteral("x")).center().toPoint());
        QCOMPARE(f.editor()->GetSel(true).StartLineNo, 1);
        // After an edit, Exec starts afresh and the picture follows the document.
        f.editor()->SetText(QStringLiteral("bind y \"+attack\"\n"));
        f.click("mnuOptions_trykeys"); // closed and opened again: runs the script as it stands
        f.click("mnuOptions_trykeys");
        QCOMPARE(picture->binding(QStringLiteral("y")), QStringLiteral("+attack"));
        QVERIFY(picture->binding(QStringLiteral("x")).isEmpty());
        QVERIFY(!shown().contains(QStringLiteral("boom")));
    }
};

QTEST_MAIN(TestTryKeys)
#include "test_trykeys.moc"
