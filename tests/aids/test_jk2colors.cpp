#include "aids/frmJK2colors.h"
#include "app/frmMain.h"
#include "editor/codesense.h"
#include "support/fakeservices.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

Q_DECLARE_METATYPE(EditorRange)

class ColorCodesTest : public QObject
{
    Q_OBJECT

    struct Fixture
    {
        FakeServices fakes;
        CodeSense editor;
        QWidget owner;
        frmJK2colors *dialog = nullptr;
        Fixture() { dialog = ShowJK2Colors(&editor, &owner); }
        void insert(const QString &color, const QString &text)
        {
            dialog->Combo1->setEditText(color);
            dialog->Text1->setText(text);
            QTest::mouseClick(dialog->Command1, Qt::LeftButton);
        }
    };

private slots:
    void comboListsTheColoursAlphabeticallyFromBlack()
    {
        Fixture f;
        QCOMPARE(f.dialog->windowTitle(), QStringLiteral("Jedi Outcast Scripting Text Colors"));
        QCOMPARE(f.dialog->Text1->toolTip(), QStringLiteral("Text to be colored"));
        QCOMPARE(f.dialog->Combo1->toolTip(), QStringLiteral("Color you want text to have"));
        QStringList items;
        for (int i = 0; i < f.dialog->Combo1->count(); ++i)
            items << f.dialog->Combo1->itemText(i);
        QCOMPARE(items, (QStringList{"Aqua", "Black", "Blue", "Green", "Purple", "Red", "White", "Yellow"}));
        QCOMPARE(f.dialog->Combo1->currentText(), QStringLiteral("Black"));
    }

    void insertsTextWrappedInTheColourCode_data()
    {
        QTest::addColumn<QString>("color");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("inserted");
        QTest::newRow("Red") << "Red" << "hello" << "^1 hello ^7";
        QTest::newRow("Green") << "Green" << "hi" << "^2 hi ^7";
        QTest::newRow("Yellow") << "Yellow" << "hi" << "^3 hi ^7";
        QTest::newRow("Blue") << "Blue" << "hi" << "^4 hi ^7";
        QTest::newRow("Aqua") << "Aqua" << "hi" << "^5 hi ^7";
        QTest::newRow("Purple") << "Purple" << "hi" << "^6 hi ^7";
        QTest::newRow("White") << "White" << "hi" << "^7 hi ^7";
        QTest::newRow("Black is 8") << "Black" << "hi" << "^8 hi ^7";
        QTest::newRow("empty text") << "Red" << "" << "^1  ^7";
        QTest::newRow("text kept as typed") << "Blue" << "  a^2b  " << "^4   a^2b   ^7";
    }
    void insertsTextWrappedInTheColourCode()
    {
        QFETCH(QString, color);
        QFETCH(QString, text);
        QFETCH(QString, inserted);
        Fixture f;
        f.editor.SetText(QStringLiteral("say "));
        f.editor.SetCaretPos(0, 4);
        f.insert(color, text);
        QCOMPARE(f.editor.Text(), QStringLiteral("say ") + inserted);
        QCOMPARE(f.dialog->Text1->text(), QString());
        QCOMPARE(f.dialog->Combo1->currentText(), color);
        QVERIFY(f.fakes.messageBoxes.shown.isEmpty());
        QVERIFY(f.dialog->isVisible());
    }

    void namesOutsideTheTableAreRefused_data()
    {
        QTest::addColumn<QString>("color");
        QTest::newRow("other case") << "red";
        QTest::newRow("not in the list") << "Orange";
        QTest::newRow("trailing blank") << "Red ";
        QTest::newRow("empty") << "";
    }
    void namesOutsideTheTableAreRefused()
    {
        QFETCH(QString, color);
        Fixture f;
        f.editor.SetText(QStringLiteral("keep"));
        f.insert(color, QStringLiteral("typed"));
        QCOMPARE(f.fakes.messageBoxes.shown.size(), 1);
        const MessageBoxRequest box = f.fakes.messageBoxes.shown[0];
        QCOMPARE(box.text, QStringLiteral("Please use a color from the list."));
        QCOMPARE(box.title, QStringLiteral("Tavrel"));
        QCOMPARE(box.icon, QMessageBox::Critical);
        QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(f.dialog->Combo1->currentText(), QStringLiteral("Black"));
        QCOMPARE(f.dialog->Text1->text(), QStringLiteral("typed"));
        QCOMPARE(f.editor.Text(), QStringLiteral("keep"));
    }

    // The combo box neither completes nor corrects a typed name.
    void typedNameIsTakenAsTyped()
    {
        Fixture f;
        QLineEdit *edit = f.dialog->Combo1->lineEdit();
        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("re"));
        QCOMPARE(f.dialog->Combo1->currentText(), QStringLiteral("re"));
        QTest::keyClicks(edit, QStringLiteral("d"));
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(f.dialog->Combo1->currentText(), QStringLiteral("red"));
        QTest::mouseClick(f.dialog->Command1, Qt::LeftButton);
        QCOMPARE(f.fakes.messageBoxes.shown.size(), 1);
        QCOMPARE(f.dialog->Combo1->count(), 8);

        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("Purple"));
        f.dialog->Text1->setText(QStringLiteral("x"));
        QTest::mouseClick(f.dialog->Command1, Qt::LeftButton);
        QCOMPARE(f.editor.Text(), QStringLiteral("^6 x ^7"));
    }

    // Anchor and caret as line and column; the caret returns to the old caret end.
    void caretReturnsToTheOldCaretEnd_data()
    {
        QTest::addColumn<EditorRange>("selection");
        QTest::addColumn<QString>("text");
        QTest::addColumn<EditorRange>("caret");
        QTest::newRow("no selection") << EditorRange{1, 1, 1, 1} << "one\nt^8 x ^7wo" << EditorRange{1, 1, 1, 1};
        QTest::newRow("at the end") << EditorRange{1, 3, 1, 3} << "one\ntwo^8 x ^7" << EditorRange{1, 3, 1, 3};
        QTest::newRow("forward selection") << EditorRange{0, 0, 0, 3} << "^8 x ^7\ntwo" << EditorRange{0, 3, 0, 3};
        QTest::newRow("backward selection") << EditorRange{0, 3, 0, 0} << "^8 x ^7\ntwo" << EditorRange{0, 0, 0, 0};
        QTest::newRow("over two lines") << EditorRange{0, 1, 1, 2} << "o^8 x ^7o" << EditorRange{0, 2, 0, 2};
    }
    void caretReturnsToTheOldCaretEnd()
    {
        QFETCH(EditorRange, selection);
        QFETCH(QString, text);
        QFETCH(EditorRange, caret);
        Fixture f;
        f.editor.SetText(QStringLiteral("one\ntwo"));
        f.editor.SetSel(selection, true);
        f.insert(QStringLiteral("Black"), QStringLiteral("x"));
        QCOMPARE(f.editor.Text(), text);
        QCOMPARE(f.editor.GetSel(false), caret);
    }

    void closingHidesAndKeepsTheDialogForTheNextOpening()
    {
        FakeServices fakes;
        frmMain main;
        main.show();
        main.mnuFont_jk2_Click();
        QPointer<frmJK2colors> dialog = main.findChild<frmJK2colors *>(QStringLiteral("frmJK2colors"));
        QVERIFY(dialog && dialog->isVisible());
        dialog->Combo1->setEditText(QStringLiteral("Aqua"));
        dialog->Text1->setText(QStringLiteral("left over"));

        main.hide();
        QVERIFY(!dialog->close());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(dialog);
        QVERIFY(dialog->isHidden());
        QVERIFY(main.isVisible());

        main.mnuFont_jk2_Click();
        QCOMPARE(main.findChildren<frmJK2colors *>().size(), 1);
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->Combo1->currentText(), QStringLiteral("Aqua"));
        QCOMPARE(dialog->Text1->text(), QStringLiteral("left over"));
        QTest::mouseClick(dialog->Command1, Qt::LeftButton);
        QCOMPARE(main.CodeSense1->Text(), QStringLiteral("^5 left over ^7"));
    }
};

QTEST_MAIN(ColorCodesTest)
#include "test_jk2colors.moc"
