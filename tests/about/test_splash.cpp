#include "about/frmSplash.h"
#include "foundation/appfolder.h"
#include "app/frmMain.h"
#include "foundation/twips.h"
#include "foundation/consolefont.h"
#include "support/appfolder.h"
#include "support/fakeregistry.h"
#include "support/fakeservices.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Whether any of the widget shows inside its window.
bool showsOnWindow(const QWidget *widget)
{
    const QRect inWindow(widget->mapTo(widget->window(), QPoint(0, 0)), widget->size());
    return widget->isVisible() && inWindow.intersects(widget->window()->rect());
}

} // namespace

class SplashTest : public QObject
{
    Q_OBJECT

    QTemporaryDir appDir;

    struct Fixture
    {
        FakeRegistry registry;
        FakeServices fakes;
        frmMain main;
        Fixture()
        {
            main.EndProgram = [] {};
            main.Form_Load();
        }
        frmSplash *splash() const { return main.Splash(); }
        QList<QLabel *> aboutLines() const
        {
            return {splash()->Label4, splash()->Label5, splash()->Label6, splash()->Label7};
        }
    };

private slots:
    void init() { PrepareApplicationFolder(appDir); }

    void loadingShowsTheMainWindow()
    {
        FakeServices fakes;
        QWidget main;
        QVERIFY(!main.isVisible());
        frmSplash splash(&main);
        QVERIFY(main.isVisible());
        QVERIFY(!splash.isVisible());
    }

    void startUpShowsLogoAndTaglineOnly()
    {
        Fixture f;
        QVERIFY(f.main.isVisible());
        frmSplash *splash = f.splash();
        QVERIFY(splash);
        QVERIFY(splash->isVisible());
        QCOMPARE(splash->parentWidget(), &f.main);
        QVERIFY(splash->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(splash->size(), QSize(Twips(7425), Twips(1185)));
        for (QWidget *shown : {splash->Label1, splash->Label2, splash->Label3})
            QVERIFY2(showsOnWindow(shown), qPrintable(shown->objectName()));
        QVERIFY(!showsOnWindow(splash->Line1));
        for (QLabel *line : f.aboutLines())
            QVERIFY2(!showsOnWindow(line), qPrintable(line->objectName()));
        QVERIFY(splash->Check1->isChecked());
    }

    void checkBoxStaysClearWithoutTheQuakeLanguage()
    {
        QVERIFY(QFile::remove(QDir(appDir.path()).filePath(QStringLiteral("pf/q3operators.txt"))));
        Fixture f;
        QVERIFY(f.main.ProgramEnded());
        QVERIFY(!f.splash()->Check1->isChecked());
    }

    void aboutShowsEveryLine()
    {
        Fixture f;
        f.splash()->hide();
        f.main.menuItem(QStringLiteral("mnuAbout_about"))->trigger();
        frmSplash *splash = f.splash();
        QCOMPARE(f.main.findChildren<frmSplash *>().size(), 1);
        QVERIFY(splash->isVisible());
        QCOMPARE(splash->size(), QSize(Twips(7425), Twips(2550)));
        QVERIFY(showsOnWindow(splash->Line1));
        for (QLabel *line : f.aboutLines())
            QVERIFY2(showsOnWindow(line), qPrintable(line->objectName()));

        // Lines keep their blanks, and the two logo parts read as the product's name.
        QCOMPARE(splash->Label3->text(),
                 QStringLiteral("The Premier Scripting Editor  for Jedi     Outcast and Quake III Arena"));
        QCOMPARE(splash->Label4->text(), QStringLiteral("Version:  .99"));
        QCOMPARE(splash->Label1->text() + splash->Label2->text(), QStringLiteral("Tavrel"));
        QVERIFY(!splash->Label1->text().isEmpty() && !splash->Label2->text().isEmpty());
        QCOMPARE(splash->Label6->text().count(u'\n'), 1);
        QVERIFY(splash->Label6->text().contains(QStringLiteral("QScintilla")));
        QVERIFY(splash->Label6->text().contains(QStringLiteral("Qt ")));
        QVERIFY(splash->Label7->text().contains(QStringLiteral("https://")));
    }

    void logoFontIsFixedPitchAndLinesFitTheirLabels()
    {
        Fixture f;
        frmSplash *splash = f.splash();
        QVERIFY(QFontInfo(ConsoleFont(48)).fixedPitch());
        for (QLabel *label : {splash->Label3, splash->Label4, splash->Label5, splash->Label6, splash->Label7}) {
            const QFontMetrics metrics(label->font());
            for (const QString &line : label->text().split(u'\n'))
                QVERIFY2(metrics.horizontalAdvance(line) <= splash->width() - label->x(),
                         qPrintable(label->objectName()));
        }
    }

    void aClickAnywhereHides_data()
    {
        QTest::addColumn<QString>("target");
        for (const char *name : {"Label1", "Label2", "Label3", "Label4", "Label5", "Label6", "Label7", "Check1"})
            QTest::newRow(name) << QString::fromLatin1(name);
        QTest::newRow("background") << QString();
    }
    void aClickAnywhereHides()
    {
        QFETCH(QString, target);
        Fixture f;
        f.main.mnuAbout_about_Click();
        frmSplash *splash = f.splash();
        QWidget *widget = target.isEmpty() ? splash : splash->findChild<QWidget *>(target);
        QVERIFY(widget);
        const QPoint at = target.isEmpty() ? QPoint(splash->width() - 3, splash->height() - 3)
                                           : widget->rect().center();
        if (target == QLatin1String("Check1"))
            QTest::mouseClick(splash, Qt::LeftButton, {}, widget->geometry().center());
        else
            QTest::mouseClick(widget, Qt::LeftButton, {}, at);
        QVERIFY(splash->isHidden());
        QVERIFY(splash->Check1->isChecked());
        // Hidden, not unloaded: the same window comes back.
        f.main.mnuAbout_about_Click();
        QCOMPARE(f.splash(), splash);
        QVERIFY(splash->isVisible());
    }

    void losingTheFocusHides()
    {
        Fixture f;
        frmSplash *splash = f.splash();
        QVERIFY(QTest::qWaitForWindowActive(splash));
        f.main.activateWindow();
        // The owner of the active window counts as active already; wait for the switch.
        QTRY_VERIFY(splash->isHidden());
        QCOMPARE(QApplication::activeWindow(), &f.main);

        f.main.mnuAbout_about_Click();
        QVERIFY(QTest::qWaitForWindowActive(splash));
        f.main.activateWindow();
        // The owner of the active window counts as active already; wait for the switch.
        QTRY_VERIFY(splash->isHidden());
        QCOMPARE(QApplication::activeWindow(), &f.main);
    }

    void aboutTwiceShowsTheTallWindowEachTime()
    {
        Fixture f;
        frmSplash *splash = f.splash();
        QTest::mouseClick(splash, Qt::LeftButton);
        QVERIFY(splash->isHidden());
        f.main.mnuAbout_about_Click();
        f.main.mnuAbout_about_Click();
        QVERIFY(splash->isVisible());
        QCOMPARE(splash->height(), Twips(2550));
        QTest::mouseClick(splash->Label5, Qt::LeftButton);
        QVERIFY(splash->isHidden());
        // Hiding does not set the start-up height back.
        QCOMPARE(splash->height(), Twips(2550));
        f.main.mnuAbout_about_Click();
        QVERIFY(splash->isVisible());
        QCOMPARE(splash->height(), Twips(2550));
        QCOMPARE(f.main.findChildren<frmSplash *>().size(), 1);
    }

    // Only the Quake III registration changes the box.
    void checkBoxIsLeftAloneByTheWindow()
    {
        Fixture f;
        f.splash()->Check1->setChecked(false);
        QTest::mouseClick(f.splash(), Qt::LeftButton, {}, f.splash()->Check1->geometry().center());
        f.main.mnuAbout_about_Click();
        QVERIFY(!f.splash()->Check1->isChecked());
        QCOMPARE(f.splash()->Check1->geometry(), QRect(Twips(6660), 0, Twips(105), Twips(105)));
    }

    void programEndClosesTheSplash()
    {
        Fixture f;
        int ends = 0;
        f.main.EndProgram = [&ends] { ++ends; };
        f.main.close();
        QCOMPARE(ends, 1);
        QVERIFY(!f.splash() || f.splash()->isHidden());
    }
};

QTEST_MAIN(SplashTest)
#include "test_splash.moc"
