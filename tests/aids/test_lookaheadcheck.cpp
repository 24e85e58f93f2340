#include "aids/frmLookAheadCheck.h"
#include "script/flags.h"
#include "support/answerchecklist.h"
#include "support/datarows.h"

#include <QtTest>

class TestLookAheadCheck : public QObject
{
    Q_OBJECT

private slots:
    // The checklist, the kept-bits line included, is centred over the main window's frame
    // (within a pixel: the rounding is tested with the centring), and each run has a checklist of its own.
    void runCentresOverMainWindow_data()
    {
        Columns<QRect, qint32>({"mainFrame", "currentValue"});
        QTest::newRow("even") << QRect(100, 80, 800, 600) << 0;
        QTest::newRow("odd sizes, kept bits") << QRect(30, 20, 801, 601) << 1;
    }
    void runCentresOverMainWindow()
    {
        const auto [mainFrame, currentValue] = Fetch<QRect, qint32>({"mainFrame", "currentValue"});
        QWidget mainWindow;
        mainWindow.show();
        QVERIFY(QTest::qWaitForWindowExposed(&mainWindow));
        const QRect inner = mainWindow.geometry(), outer = mainWindow.frameGeometry();
        mainWindow.setGeometry(mainFrame.adjusted(inner.left() - outer.left(), inner.top() - outer.top(),
                                                  inner.right() - outer.right(), inner.bottom() - outer.bottom()));
        QCOMPARE(mainWindow.frameGeometry(), mainFrame);
        QPoint centre;
        AnswerChecklist([&](frmLookAheadCheck &dialog) { centre = dialog.frameGeometry().center(); },
                        [&] { RunFlagChecklist(&mainWindow, WeaponTable(), currentValue); });
        const QPoint off = centre - mainFrame.center();
        QVERIFY2(qAbs(off.x()) <= 1 && qAbs(off.y()) <= 1, qPrintable(QString("%1 %2").arg(off.x()).arg(off.y())));
        QVERIFY(mainWindow.findChildren<frmLookAheadCheck *>().isEmpty());
    }
};

QTEST_MAIN(TestLookAheadCheck)
#include "test_lookaheadcheck.moc"
