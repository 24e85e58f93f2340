#include "script/flags.h"
#include "aids/frmLookAheadCheck.h"
#include "support/answerchecklist.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>
#include <functional>

namespace {

QStringList CheckedLabels(const frmLookAheadCheck &dialog)
{
    QStringList labels;
    for (int i = 0; i < dialog.lvwCheckValues->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = dialog.lvwCheckValues->topLevelItem(i);
        if (item->checkState(0) == Qt::Checked)
            labels << item->text(0);
    }
    return labels;
}

void SetChecked(frmLookAheadCheck &dialog, const QStringList &labels)
{
    for (int i = 0; i < dialog.lvwCheckValues->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = dialog.lvwCheckValues->topLevelItem(i);
        item->setCheckState(0, labels.contains(item->text(0)) ? Qt::Checked : Qt::Unchecked);
    }
}

FlagTable TableNamed(const QString &name)
{
    return name == "force" ? ForcePowerTable() : WeaponTable();
}

} // namespace

class TestLookAheadCheck : public QObject
{
    Q_OBJECT

private slots:
    void layout();
    void setup_data();
    void setup();
    void latestSetupWins();
    void keptBitsLine();
    void run_data();
    void run();
    void runCentresOverMainWindow_data();
    void runCentresOverMainWindow();
    void runStartsFresh();
};

void TestLookAheadCheck::layout()
{
    frmLookAheadCheck dialog;
    dialog.Setup("Weapon Disable", WeaponTable().labels, WeaponTable().values, 0);

    QCOMPARE(dialog.objectName(), "frmLookAheadCheck");
    QCOMPARE(dialog.size(), QSize(164, 373));
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    QVERIFY(!(dialog.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QCOMPARE(dialog.lvwCheckValues->objectName(), "lvwCheckValues");
    QCOMPARE(dialog.lvwCheckValues->geometry(), QRect(3, 3, 159, 340));
    QCOMPARE(dialog.lvwCheckValues->columnCount(), 1);
    QCOMPARE(dialog.lvwCheckValues->headerItem()->text(0), "Values");
    QCOMPARE(dialog.Command1->objectName(), "Command1");
    QCOMPARE(dialog.Command1->text(), "&OK");
    QCOMPARE(dialog.Command1->geometry(), QRect(63, 348, 67, 22));
    QVERIFY(dialog.Command1->isDefault());
    QVERIFY(!dialog.lblKept->isVisibleTo(&dialog));

    QCOMPARE(dialog.lvwCheckValues->topLevelItemCount(), 13);
    for (int i = 0; i < 13; ++i) {
        const QTreeWidgetItem *item = dialog.lvwCheckValues->topLevelItem(i);
        QCOMPARE(item->data(0, Qt::UserRole).toString(), "k" + WeaponTable().values[i]);
        QVERIFY(item->flags() & Qt::ItemIsUserCheckable);
    }
}

void TestLookAheadCheck::setup_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<qint32>("currentValue");
    QTest::addColumn<QStringList>("checked");
    QTest::addColumn<QString>("value");

    QTest::newRow("0") << "force" << 0 << QStringList{} << "0";
    QTest::newRow("40, force") << "force" << 40 << QStringList{"Push", "Mind Trick"} << "40";
    QTest::newRow("-1, force") << "force" << -1 << ForcePowerTable().labels << "262143";
    QTest::newRow("-1, weapons") << "weapons" << -1 << WeaponTable().labels << "16382";
    QTest::newRow("1, weapons") << "weapons" << 1 << QStringList{} << "0";
    QTest::newRow("8, weapons") << "weapons" << 8 << QStringList{"Bryar Pistol"} << "8";
    QTest::newRow("saber only") << "weapons" << 65531
                                << QStringList{"Stun Baton", "Bryar Pistol", "Rifle", "Disrupter", "Bowcaster",
                                               "Repeater", "DEMP", "Flechette Gun", "Rocket Launcher",
                                               "Thermal Detonators", "Trip Mines", "Detonator Packs"}
                                << "16378";
    QTest::newRow("force bit 18 and Heal") << "force" << 262145 << QStringList{"Heal"} << "1";
}

void TestLookAheadCheck::setup()
{
    QFETCH(QString, table);
    QFETCH(qint32, currentValue);
    QFETCH(QStringList, checked);
    QFETCH(QString, value);

    const FlagTable flags = TableNamed(table);
    frmLookAheadCheck dialog;
    dialog.Setup(flags.caption, flags.labels, flags.values, currentValue);

    QCOMPARE(dialog.lvwCheckValues->topLevelItemCount(), flags.labels.size());
    QCOMPARE(CheckedLabels(dialog), checked);
    QCOMPARE(dialog.Value(), value);
}

void TestLookAheadCheck::latestSetupWins()
{
    frmLookAheadCheck dialog;
    dialog.Setup("Force Disable", ForcePowerTable().labels, ForcePowerTable().values, -1);
    dialog.Setup("Weapon Disable", WeaponTable().labels, WeaponTable().values, 4);

    QCOMPARE(dialog.windowTitle(), "Weapon Disable");
    QCOMPARE(dialog.lvwCheckValues->topLevelItemCount(), 13);
    QCOMPARE(CheckedLabels(dialog), QStringList{"Lightsaber"});
    QCOMPARE(dialog.Value(), "4");
}

void TestLookAheadCheck::keptBitsLine()
{
    frmLookAheadCheck dialog;
    const QSize plain = dialog.size();
    const QRect button = dialog.Command1->geometry();

    dialog.SetKeptBits(49153);
    QVERIFY(dialog.lblKept->isVisibleTo(&dialog));
    QCOMPARE(dialog.lblKept->text(), "Also kept: 49153");
    QVERIFY(dialog.lblKept->geometry().top() >= dialog.lvwCheckValues->geometry().bottom());
    QVERIFY(dialog.Command1->geometry().top() > dialog.lblKept->geometry().bottom());
    QCOMPARE(dialog.Command1->size(), button.size());
    QVERIFY(dialog.rect().contains(dialog.Command1->geometry()));
    QVERIFY(dialog.height() > plain.height());
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());

    dialog.SetKeptBits(0);
    QVERIFY(!dialog.lblKept->isVisibleTo(&dialog));
    QCOMPARE(dialog.size(), plain);
    QCOMPARE(dialog.Command1->geometry(), button);
}

void TestLookAheadCheck::run_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<qint32>("currentValue");
    QTest::addColumn<QString>("close");       // "ok", "escape", "closebox"
    QTest::addColumn<QStringList>("checked"); // set by the user; "=" leaves the marks as shown
    QTest::addColumn<QString>("kept");        // text of the kept-bits line, empty when hidden
    QTest::addColumn<QString>("written");

    const QStringList same{"="};
    QTest::newRow("0, OK") << "force" << 0 << "ok" << same << "" << "0";
    QTest::newRow("Heal and Jump") << "force" << 0 << "ok" << QStringList{"Heal", "Jump"} << "" << "3";
    QTest::newRow("all weapons") << "weapons" << 0 << "ok" << WeaponTable().labels << "" << "16382";
    QTest::newRow("all unchecked") << "force" << 40 << "ok" << QStringList{} << "" << "0";
    QTest::newRow("saber only unchanged") << "weapons" << 65531 << "ok" << same << "Also kept: 49153" << "65531";
    QTest::newRow("-1 force unchanged") << "force" << -1 << "ok" << same << "Also kept: -262144" << "-1";
    QTest::newRow("1 with weapons unchanged") << "weapons" << 1 << "ok" << same << "Also kept: 1" << "1";
    QTest::newRow("escape reads the marks") << "weapons" << 8 << "escape" << QStringList{"Rifle"} << "" << "16";
    QTest::newRow("close box reads the marks") << "force" << 0 << "closebox" << QStringList{"Drain"} << ""
                                               << "8192";
    QTest::newRow("close box, unchanged") << "weapons" << 65531 << "closebox" << same << "Also kept: 49153"
                                          << "65531";
}

void TestLookAheadCheck::run()
{
    QFETCH(QString, table);
    QFETCH(qint32, currentValue);
    QFETCH(QString, close);
    QFETCH(QStringList, checked);
    QFETCH(QString, kept);
    QFETCH(QString, written);

    QWidget mainWindow;
    mainWindow.setGeometry(100, 80, 800, 600);
    mainWindow.show();
    const FlagTable flags = TableNamed(table);

    QString result;
    AnswerChecklist(
        [&](frmLookAheadCheck &dialog) {
            QCOMPARE(dialog.windowTitle(), flags.caption);
            QCOMPARE(dialog.lblKept->isVisible(), !kept.isEmpty());
            if (!kept.isEmpty())
                QCOMPARE(dialog.lblKept->text(), kept);
            if (checked != QStringList{"="})
                SetChecked(dialog, checked);
            if (close == "escape")
                QTest::keyClick(&dialog, Qt::Key_Escape);
            else if (close == "closebox")
                dialog.close();
            else
                dialog.Command1->click();
            QVERIFY(!dialog.isVisible());
        },
        [&] { result = RunFlagChecklist(&mainWindow, flags, currentValue); });

    QCOMPARE(result, written);
}

void TestLookAheadCheck::runCentresOverMainWindow_data()
{
    QTest::addColumn<QRect>("mainFrame");
    QTest::addColumn<qint32>("currentValue");
    QTest::addColumn<QPoint>("position");

    // The checklist's frame: 164 x 373 pixels (391 with the kept-bits line) plus the
    // offscreen platform's 2-pixel border on each side.
    QTest::newRow("even") << QRect(100, 80, 800, 600) << 0 << QPoint(416, 192);
    QTest::newRow("odd sizes") << QRect(30, 20, 801, 601) << 0 << QPoint(346, 132);
    QTest::newRow("taller with kept bits") << QRect(100, 80, 800, 600) << 1 << QPoint(416, 183);
}

void TestLookAheadCheck::runCentresOverMainWindow()
{
    QFETCH(QRect, mainFrame);
    QFETCH(qint32, currentValue);
    QFETCH(QPoint, position);

    QWidget mainWindow;
    mainWindow.show();
    QVERIFY(QTest::qWaitForWindowExposed(&mainWindow));
    const QMargins frame(mainWindow.geometry().left() - mainWindow.frameGeometry().left(),
                         mainWindow.geometry().top() - mainWindow.frameGeometry().top(),
                         mainWindow.frameGeometry().right() - mainWindow.geometry().right(),
                         mainWindow.frameGeometry().bottom() - mainWindow.geometry().bottom());
    mainWindow.setGeometry(mainFrame - frame);
    QCOMPARE(mainWindow.frameGeometry(), mainFrame);

    AnswerChecklist([&](frmLookAheadCheck &dialog) { QCOMPARE(dialog.frameGeometry().topLeft(), position); },
                    [&] { RunFlagChecklist(&mainWindow, WeaponTable(), currentValue); });
}

void TestLookAheadCheck::runStartsFresh()
{
    QWidget mainWindow;
    mainWindow.show();
    const FlagTable weapons = WeaponTable();
    QPointer<frmLookAheadCheck> first;

    AnswerChecklist(
        [&](frmLookAheadCheck &dialog) {
            first = &dialog;
            SetChecked(dialog, weapons.labels);
        },
        [&] { QCOMPARE(RunFlagChecklist(&mainWindow, weapons, 0), "16382"); });
    QVERIFY(first.isNull());
    QVERIFY(mainWindow.findChildren<frmLookAheadCheck *>().isEmpty());

    AnswerChecklist([&](frmLookAheadCheck &dialog) { QCOMPARE(CheckedLabels(dialog), QStringList{}); },
                    [&] { QCOMPARE(RunFlagChecklist(&mainWindow, weapons, 0), "0"); });
}

QTEST_MAIN(TestLookAheadCheck)
#include "test_lookaheadcheck.moc"
