// The splash at start-up and the same window, taller, as the About box.
#include "about/frmSplash.h"
#include "support/mainwindow.h"

#include <QCheckBox>
#include <QLabel>

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
    // Without the Quake III word file start-up ends instead. Ending the program closes the splash.
    void checkBoxTicksWhenTheQuakeLanguageRegisters()
    {
        for (const bool registered : {true, false}) {
            MainWindowFixture f(false);
            if (!registered)
                QVERIFY(QFile::remove(f.appDir.filePath("pf/q3operators.txt")));
            f.window.Form_Load();
            QCOMPARE(f.window.Splash()->Check1->isChecked(), registered);
            QCOMPARE(f.window.ProgramEnded(), !registered);
            if (registered) {
                QVERIFY(f.window.close() && f.ends == 1);
                QVERIFY(!f.window.Splash() || f.window.Splash()->isHidden());
            }
        }
    }

    // Every line of the About box fits its label.
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
        for (const QLabel *label : {splash->Label3, splash->Label4, splash->Label5, splash->Label6, splash->Label7})
            for (const QString &line : label->text().split(u'\n'))
                QVERIFY2(QFontMetrics(label->font()).horizontalAdvance(line) <= splash->width() - label->x(),
                         qPrintable(line));
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
