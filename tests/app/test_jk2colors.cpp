#include "aids/frmJK2colors.h"
#include "support/datarows.h"
#include "support/mainwindow.h"
#include "support/markedtext.h"

#include <QtTest>
#include <QtWidgets>

class ColorCodesTest : public QObject
{
    Q_OBJECT

private slots:
    // The colour is typed into the combo box, which neither completes nor corrects it; an
    // empty result means the name is refused. The caret goes back to the old caret end.
    void insert_data()
    {
        Columns<QString, QString, QString, QString>({"color", "text", "before", "after"});
        QTest::newRow("Red") << "Red" << "hello" << "say |" << "say |^1 hello ^7";
        QTest::newRow("Black is 8") << "Black" << "hi" << "|" << "|^8 hi ^7";
        QTest::newRow("text kept as typed") << "Blue" << "  a^2b  " << "|" << "|^4   a^2b   ^7";
        QTest::newRow("empty text, in a line") << "Red" << "" << "one\nt|wo" << "one\nt|^1  ^7wo";
        QTest::newRow("forward selection") << "Black" << "x" << "[one|\ntwo" << "^8 |x ^7\ntwo";
        QTest::newRow("backward selection") << "Black" << "x" << "|one[\ntwo" << "|^8 x ^7\ntwo";
        QTest::newRow("over two lines") << "Black" << "x" << "o[ne\ntw|o" << "o^|8 x ^7o";
        for (const char *refused : {"red", "Re", "Orange", "Red ", ""})
            QTest::newRow(refused) << refused << "typed" << "keep|" << "";
    }
    void insert()
    {
        const auto [color, text, before, after] = Fetch<QString, QString, QString, QString>({"color", "text", "before",
                                                                                              "after"});
        FakeServices fakes;
        CodeSense editor;
        QWidget owner;
        frmJK2colors *dialog = ShowJK2Colors(&editor, &owner);
        QCOMPARE(dialog->Combo1->currentText(), QStringLiteral("Black"));
        Place(editor, before);
        dialog->Text1->setText(text);
        dialog->Combo1->lineEdit()->selectAll();
        QTest::keyClick(dialog->Combo1->lineEdit(), Qt::Key_Delete);
        QTest::keyClicks(dialog->Combo1->lineEdit(), color);
        QTest::keyClick(dialog->Combo1->lineEdit(), Qt::Key_Return);
        QTest::mouseClick(dialog->Command1, Qt::LeftButton);
        QCOMPARE(Marked(editor), after.isEmpty() ? before : after);
        ExpectMessages(fakes.messageBoxes, QStringList(after.isEmpty(), "Please use a color from the list."),
                       QMessageBox::Ok, QMessageBox::Critical);
        // A refused name goes back to Black and keeps the text; the list stays as it was.
        QCOMPARE(dialog->Combo1->currentText(), after.isEmpty() ? QStringLiteral("Black") : color);
        QCOMPARE(dialog->Text1->text(), after.isEmpty() ? text : QString());
        QVERIFY(dialog->isVisible());
    }

    // Closing only hides the dialog (see test_frmmain), keeping what it holds, and shows the main window again.
    void closingHidesAndKeepsTheDialog()
    {
        MainWindowFixture f(false);
        f.window.show();
        f.click("mnuFont_jk2");
        QPointer<frmJK2colors> dialog = f.window.findChild<frmJK2colors *>();
        dialog->Combo1->setEditText(QStringLiteral("Aqua"));
        dialog->Text1->setText(QStringLiteral("left over"));
        f.window.hide();
        QVERIFY(!dialog->close());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(dialog && dialog->isHidden() && f.window.isVisible());
        f.click("mnuFont_jk2");
        QVERIFY(dialog->isVisible());
        QTest::mouseClick(dialog->Command1, Qt::LeftButton);
        QCOMPARE(f.editor()->Text(), QStringLiteral("^5 left over ^7"));
    }
};

QTEST_MAIN(ColorCodesTest)
#include "test_jk2colors.moc"
