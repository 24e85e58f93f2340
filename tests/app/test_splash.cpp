// The splash at start-up and the same window, taller, as the About box; its Quake III box is
// tested with the start-up in test_registration.
#include "about/frmSplash.h"
#include "support/mainwindow.h"

#include <QCheckBox>

namespace {

bool ShowsOnWindow(const QWidget *w)
{
    return w->isVisible() && QRect(w->mapTo(w->window(), QPoint()), w->size()).intersects(w->window()->rect());
}

} // namespace

class SplashTest : public QObject
{
    Q_OBJECT

private slots:
    // Ending the program closes the window. That every line fits is tested in test_fit.
    void startUpShowsTheLogoAndAboutShowsEveryLine()
    {
        MainWindowFixture f;
        frmSplash *splash = f.window.Splash();
        QVERIFY(f.window.isVisible() && splash->isVisible());
        const QList<QWidget *> aboutOnly{splash->Line1, splash->Label4, splash->Label5, splash->Label6, splash->Label7};
        for (QWidget *shown : {splash->Label1, splash->Label2, splash->Label3})
            QVERIFY2(ShowsOnWindow(shown), qPrintable(shown->objectName()));
        for (QWidget *hidden : aboutOnly)
            QVERIFY2(!ShowsOnWindow(hidden), qPrintable(hidden->objectName()));
        // Hidden, not unloaded: the same window comes back tall each time. A click anywhere,
        // a label or the window itself, hides it; the check box is not the player's to change.
        for (QWidget *clicked : {static_cast<QWidget *>(splash->Label5), static_cast<QWidget *>(splash)}) {
            f.click("mnuAbout_about");
            QCOMPARE(f.window.findChildren<frmSplash *>(), QList<frmSplash *>{splash});
            for (QWidget *shown : aboutOnly)
                QVERIFY2(ShowsOnWindow(shown), qPrintable(shown->objectName()));
            QTest::mouseClick(clicked, Qt::LeftButton, {}, clicked == splash ? splash->Check1->geometry().center()
                                                                             : clicked->rect().center());
            QVERIFY(splash->isHidden() && splash->Check1->isChecked());
        }
        f.click("mnuAbout_about");
        QVERIFY(f.window.close() && f.ends == 1 && splash->isHidden());
    }

    void losingTheFocusHides()
    {
        MainWindowFixture f;
        frmSplash *splash = f.window.Splash();
        for (int round = 0; round < 2; ++round) {
            if (round)
                f.click("mnuAbout_about");
            QVERIFY(QTest::qWaitForWindowActive(splash));
            f.window.activateWindow();
            // The owner of the active window counts as active already; wait for the switch.
            QTRY_VERIFY(splash->isHidden());
            QCOMPARE(QApplication::activeWindow(), &f.window);
        }
    }
};

QTEST_MAIN(SplashTest)
#include "test_splash.moc"
