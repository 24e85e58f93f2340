#include "aids/lookahead.h"
#include "script/flags.h"
#include "support/answerchecklist.h"
#include "support/datarows.h"
#include "support/mainwindow.h"
#include "support/markedtext.h"

#include <QtTest>
#include <QtWidgets>

class LookAheadTest : public QObject
{
    Q_OBJECT

private slots:
    // A space typed after the name ("|" in the line) opens the checklist with its caption and
    // marks; the user leaves the labels given checked ("=": as shown) and closes it with OK,
    // Escape ("~") or the close box ("x"), which all take the marks. No caption: no checklist.
    void spaceAfterFlagVariable_data()
    {
        Columns<QString, QString, QStringList, QStringList, QString, QString>(
            {"line", "caption", "prechecked", "answer", "kept", "result"});
        const QStringList keep{"="};
        QTest::newRow("worked example") << "g_weapondisable| 8" << "Weapon Disable" << QStringList{"Bryar Pistol"}
                                        << QStringList{"Stun Baton", "Lightsaber"} << "" << "g_weapondisable  6";
        QTest::newRow("line ends with name") << "g_forcepowerdisable|" << "Force Disable" << QStringList{}
                                             << QStringList{"~", "Heal", "Jump"} << "" << "g_forcepowerdisable 3";
        // Bits that no item stands for are named under the list and written back.
        QTest::newRow("saber only") << "g_weapondisable| 65531" << "Weapon Disable"
                                    << QStringList{"Stun Baton"} + WeaponTable().labels.mid(2)
                                    << QStringList{"x", "Stun Baton"} << "Also kept: 49153" << "g_weapondisable  49155";
        QTest::newRow("old value -1") << "g_forcepowerdisable| -1" << "Force Disable" << ForcePowerTable().labels
                                      << keep << "Also kept: -262144" << "g_forcepowerdisable  -1";
        QTest::newRow("further command is replaced") << "seta G_WeaponDisable| 8; vstr next" << "Weapon Disable"
                                                     << QStringList{} << QStringList{"DEMP"} << ""
                                                     << "seta G_WeaponDisable  256";
        QTest::newRow("longer word") << "g_weapondisable2|" << "" << QStringList{} << keep << "" << "g_weapondisable2 ";
    }
    void spaceAfterFlagVariable()
    {
        const auto [line, caption, answer, kept, result] = Fetch<QString, QString, QStringList, QString, QString>(
            {"line", "caption", "answer", "kept", "result"});
        MainWindowFixture f(false);
        Place(*f.editor(), "// before\n" + line + "\nnext line");
        QString shown, keptLine;
        QStringList prechecked;
        const auto space = [&] { QTest::keyClick(f.editor(), Qt::Key_Space); };
        if (caption.isEmpty())
            space();
        else
            AnswerChecklist(
                [&](frmLookAheadCheck &dialog) {
                    shown = dialog.windowTitle();
                    keptLine = dialog.lblKept->isVisible() ? dialog.lblKept->text() : QString();
                    for (int i = 0; i < dialog.lvwCheckValues->topLevelItemCount(); ++i) {
                        QTreeWidgetItem *item = dialog.lvwCheckValues->topLevelItem(i);
                        if (item->checkState(0) == Qt::Checked)
                            prechecked << item->text(0);
                        if (answer != QStringList{"="})
                            item->setCheckState(0, answer.contains(item->text(0)) ? Qt::Checked : Qt::Unchecked);
                    }
                    if (answer.contains("~") || answer.contains("x"))
                        answer.contains("x") ? void(dialog.close()) : QTest::keyClick(&dialog, Qt::Key_Escape);
                },
                space);
        QCOMPARE(shown, caption);
        QTEST(prechecked, "prechecked");
        QCOMPARE(keptLine, kept);
        // The caret stands right after the value; the document is marked changed, and one undo
        // gives the line back.
        QCOMPARE(Marked(*f.editor()), "// before\n" + result + "|\nnext line");
        QVERIFY(f.window.windowTitle().endsWith(u'*'));
        f.editor()->Undo();
        QCOMPARE(f.editor()->GetLine(1), QString(line).remove(u'|'));
    }

    // The main window goes, with its editor, while the checklist is open: nothing is written.
    void windowClosedDuringChecklist()
    {
        auto *owner = new QWidget;
        auto *editor = new CodeSense(owner);
        Place(*editor, QStringLiteral("g_weapondisable| 8"));
        owner->show();
        bool shown = false;
        QTimer::singleShot(0, [&] {
            shown = QApplication::activeModalWidget() != nullptr;
            delete owner;
        });
        QVERIFY(FlagLookAhead(owner, editor, Qt::Key_Space));
        QVERIFY(shown);
    }
};

QTEST_MAIN(LookAheadTest)
#include "test_lookahead.moc"
