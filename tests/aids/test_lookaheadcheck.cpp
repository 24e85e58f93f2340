#include "aids/frmLookAheadCheck.h"
#include "script/flags.h"
#include "support/answerchecklist.h"
#include "support/datarows.h"

#include <QtTest>

class TestLookAheadCheck : public QObject
{
    Q_OBJECT

private slots:
    // The checklist (164 x 373 pixels, 391 with the kept-bits line, and a 2-pixel border)
    // is centred over the main window's frame, and each run has a checklist of its own.
    void runCentresOverMainWindow_data()
    {
        Columns<QRect, qint32, QPoint>({"mainFrame", "currentValue", "position"});
        QTest::newRow("even") << QRect(100, 80, 800, 600) << 0 << QPoint(416, 192);
        QTest::newRow("odd sizes") << QRect(30, 20, 801, 601) << 0 << QPoint(346, 132);
        QTest::newRow("taller with kept bits") << QRect(100, 80, 800, 600) << 1 << QPoint(416, 183);
    }
    void runCentresOverMainWindow()
    {
        const auto [mainFrame, currentValue, position] = Fetch<QRect, qint32, QPoint>({"mainFrame", "currentValue",
                                                                                      "position"});
        QWidget mainWindow;
        mainWindow.show();
        QVERIFY(QTest::qWaitForWindowExposed(&mainWindow));
        const QRect inner = mainWindow.geometry(), outer = mainWindow.frameGeometry();
        mainWindow.setGeometry(mainFrame.adjusted(inner.left() - outer.left(), inner.top() - outer.top(),
                                                  inner.right() - outer.right(), inner.bottom() - outer.bottom()));
        QCOMPARE(mainWindow.frameGeometry(), mainFrame);
        AnswerChecklist([&](frmLookAheadCheck &dialog) { QCOMPARE(dialog.frameGeometry().topLeft(), position); },
                        [&] { RunFlagChecklist(&mainWindow, WeaponTable(), currentValue); });
        QVERIFY(mainWindow.findChildren<frmLookAheadCheck *>().isEmpty());
    }
};

QTEST_MAIN(TestLookAheadCheck)
#include "test_lookaheadcheck.moc"
