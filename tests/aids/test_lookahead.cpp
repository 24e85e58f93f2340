#include "script/flags.h"
#include "app/frmMain.h"
#include "editor/codesense.h"
#include "support/answerchecklist.h"
#include "support/fakeregistry.h"
#include "support/fakeservices.h"

#include <QTreeWidget>
#include <QtTest>

namespace {

QStringList checkedLabels(const frmLookAheadCheck &dialog)
{
    QStringList labels;
    for (int i = 0; i < dialog.lvwCheckValues->topLevelItemCount(); ++i)
        if (dialog.lvwCheckValues->topLevelItem(i)->checkState(0) == Qt::Checked)
            labels << dialog.lvwCheckValues->topLevelItem(i)->text(0);
    return labels;
}

} // namespace

class LookAheadTest : public QObject
{
    Q_OBJECT

    struct Fixture
    {
        FakeServices fakes;
        FakeRegistry registry;
        frmMain window;
        Fixture() { window.EndProgram = [] {}; }
        CodeSense *editor() { return window.CodeSense1; }
    };

private slots:
    void spaceAfterFlagVariable_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("caret");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("prechecked");
        QTest::addColumn<QStringList>("answer"); // labels to leave checked; "=" keeps the marks
        QTest::addColumn<QString>("result");
        const QStringList keep{"="};
        const QStringList none;
        QTest::newRow("worked example") << "g_weapondisable 8" << 15 << "Weapon Disable" << QStringList{"Bryar Pistol"}
                                        << QStringList{"Stun Baton", "Lightsaber"} << "g_weapondisable  6";
        QTest::newRow("line ends with name") << "g_forcepowerdisable" << 19 << "Force Disable" << none
                                             << QStringList{"Heal", "Jump"} << "g_forcepowerdisable 3";
        QTest::newRow("nothing checked writes 0") << "g_forcepowerdisable" << 19 << "Force Disable" << none << none
                                                  << "g_forcepowerdisable 0";
        QTest::newRow("mixed case name") << "seta G_ForcePowerDisable 40" << 24 << "Force Disable"
                                         << QStringList{"Push", "Mind Trick"} << keep
                                         << "seta G_ForcePowerDisable  40";
        QTest::newRow("duel weapons") << "g_duelweapondisable 4" << 19 << "Weapon Disable" << QStringList{"Lightsaber"}
                                      << keep << "g_duelweapondisable  4";
        // Bits no item stands for are kept (1 and the emplaced gun and turret bits).
        QTest::newRow("old value 1") << "g_weapondisable 1" << 15 << "Weapon Disable" << none << keep
                                     << "g_weapondisable  1";
        QTest::newRow("saber only 65531 stays") << "g_weapondisable 65531" << 15 << "Weapon Disable"
                                                << QStringList{"Stun Baton",      "Bryar Pistol",       "Rifle",
                                                               "Disrupter",       "Bowcaster",          "Repeater",
                                                               "DEMP",            "Flechette Gun",      "Rocket Launcher",
                                                               "Thermal Detonators", "Trip Mines", "Detonator Packs"}
                                                << keep << "g_weapondisable  65531";
        QTest::newRow("old value -1 all checked") << "g_forcepowerdisable -1" << 19 << "Force Disable"
                                                  << ForcePowerTable().labels << keep << "g_forcepowerdisable  -1";
        QTest::newRow("2.5 rounds to 2") << "g_forcepowerdisable 2.5" << 19 << "Force Disable" << QStringList{"Jump"}
                                         << keep << "g_forcepowerdisable  2";
        QTest::newRow("3.5 rounds to 4") << "g_forcepowerdisable 3.5" << 19 << "Force Disable" << QStringList{"Speed"}
                                         << keep << "g_forcepowerdisable  4";
        QTest::newRow("trailing comment is replaced") << "g_weapondisable 8 // saber only" << 15 << "Weapon Disable"
                                                      << none << keep << "g_weapondisable  0";
        QTest::newRow("further command is replaced") << "g_weapondisable 8; vstr next" << 15 << "Weapon Disable"
                                                     << none << QStringList{"DEMP"} << "g_weapondisable  256";
        QTest::newRow("blanks around value") << "g_weapondisable  8 " << 15 << "Weapon Disable"
                                             << QStringList{"Bryar Pistol"} << keep << "g_weapondisable  8";
        QTest::newRow("beyond 32 bits") << "g_weapondisable 2147483648" << 15 << "Weapon Disable" << none << keep
                                        << "g_weapondisable  0";
    }
    void spaceAfterFlagVariable()
    {
        QFETCH(QString, line);
        QFETCH(int, caret);
        QFETCH(QStringList, answer);
        Fixture f;
        f.editor()->SetText(QStringLiteral("// before\n") + line + QStringLiteral("\nnext line"));
        f.editor()->SetCaretPos(1, caret);
        QString caption;
        QStringList prechecked;
        AnswerChecklist(
            [&](frmLookAheadCheck &dialog) {
                caption = dialog.windowTitle();
                prechecked = checkedLabels(dialog);
                if (answer != QStringList{"="})
                    for (int i = 0; i < dialog.lvwCheckValues->topLevelItemCount(); ++i) {
                        QTreeWidgetItem *item = dialog.lvwCheckValues->topLevelItem(i);
                        item->setCheckState(0, answer.contains(item->text(0)) ? Qt::Checked : Qt::Unchecked);
                    }
            },
            [&] { QTest::keyClick(f.editor(), Qt::Key_Space); });
        QTEST(caption, "caption");
        QTEST(prechecked, "prechecked");
        QFETCH(QString, result);
        QCOMPARE(f.editor()->GetLine(1), result);
        QCOMPARE(f.editor()->GetLine(2), QStringLiteral("next line"));
        // The caret stands right after the value, nothing selected.
        QCOMPARE(f.editor()->GetSel(false), (EditorRange{1, qint32(result.size()), 1, qint32(result.size())}));
        QVERIFY(f.window.windowTitle().endsWith(QLatin1Char('*')));
        // One undo step gives the line back.
        f.editor()->Undo();
        QCOMPARE(f.editor()->GetLine(1), line);
    }

    void otherKeysAndWordsTypeNormally_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("result");
        QTest::newRow("longer word") << "g_weapondisable2" << int(Qt::Key_Space) << "g_weapondisable2 ";
        QTest::newRow("shorter word") << "weapondisable" << int(Qt::Key_Space) << "weapondisable ";
        QTest::newRow("other key") << "g_weapondisable" << int(Qt::Key_X) << "g_weapondisablex";
        QTest::newRow("other word") << "bind" << int(Qt::Key_Space) << "bind ";
    }
    void otherKeysAndWordsTypeNormally()
    {
        QFETCH(QString, line);
        QFETCH(int, key);
        Fixture f;
        f.editor()->SetText(line);
        f.editor()->SetCaretPos(0, qint32(line.size()));
        QTest::keyClick(f.editor(), Qt::Key(key));
        QVERIFY(!QApplication::activeModalWidget());
        QTEST(f.editor()->Text(), "result");
    }
};

QTEST_MAIN(LookAheadTest)
#include "test_lookahead.moc"
