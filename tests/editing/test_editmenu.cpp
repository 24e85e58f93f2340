#include "app/frmMain.h"
#include "editing/editorfeatures.h"
#include "editing/frmPlay.h"
#include "editing/frmUndo.h"
#include "editing/macros.h"
#include "editing/propertiesdialog.h"
#include "editing/timedate.h"
#include "editor/codesense.h"
#include "support/fakeservices.h"
#include "support/appfolder.h"
#include "support/fakeregistry.h"
#include "support/fakeservices.h"
#include "support/withmodal.h"

#include <Qsci/qscilexer.h>

#include <QAction>
#include <QListWidget>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString Blanks(38, QLatin1Char(' '));

struct Fixture
{
    FakeRegistry registry;
    FakeServices fakes;
    FakePrompts prompts;
    frmMain window;
    CodeSense *editor;
    Fixture() : editor(nullptr)
    {
        MacroSlots::ClearAll();
        window.EndProgram = [] {};
        window.Form_Load();
        editor = window.CodeSense1;
    }
    void click(const char *item) { window.menuItem(QLatin1String(item))->trigger(); }
    bool checked(const char *item) { return window.menuItem(QLatin1String(item))->isChecked(); }
    QStringList checkedIn(const QStringList &items)
    {
        QStringList result;
        for (const QString &item : items)
            if (window.menuItem(item)->isChecked())
                result << item;
        return result;
    }
    // Five separate undo steps.
    void makeHistory()
    {
        for (const char *text : {"a", "b", "c", "d", "e"})
            editor->InsertText(QString::fromLatin1(text));
    }
    frmUndo *undoDialog() { return window.findChild<frmUndo *>(QStringLiteral("frmUndo")); }
    frmPlay *playDialog() { return window.findChild<frmPlay *>(QStringLiteral("frmPlay")); }
    // Records which of the editor's macro commands arrive, instead of running them.
    void spyOnMacroCommands()
    {
        for (qint32 id = CodeSense::cmdRecordMacro; id <= CodeSense::cmdPlayMacro10; ++id)
            editor->SetCommandHandler(id, [this, id] { sent << id; });
    }
    QList<qint32> sent;
};

const QStringList Endent{"mnuOptions_endent_off", "mnuOptions_endent_scope", "mnuOptions_endent_line"};
const QStringList Numbering{"mnuOptions_linenum_none", "mnuOptions_linenum_hex", "mnuOptions_linenum_dec",
                            "mnuOptions_linenum_bin", "mnuOptions_linenum_oct"};

// The next control in tab order, past the inner parts of a compound control.
QWidget *NextInTabOrder(QWidget *control)
{
    QWidget *next = control->nextInFocusChain();
    while (control->isAncestorOf(next))
        next = next->nextInFocusChain();
    return next;
}

} // namespace

class EditMenuTest : public QObject
{
    Q_OBJECT

    QTemporaryDir appDir;

private slots:
    void initTestCase() { PrepareApplicationFolder(appDir); }

    void numberingChoices_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<bool>("numbering");
        QTest::addColumn<int>("base");
        QTest::newRow("hex") << "mnuOptions_linenum_hex" << true << 16;
        QTest::newRow("decimal") << "mnuOptions_linenum_dec" << true << 10;
        QTest::newRow("binary") << "mnuOptions_linenum_bin" << true << 2;
        QTest::newRow("octal") << "mnuOptions_linenum_oct" << true << 8;
    }
    void numberingChoices()
    {
        QFETCH(QString, item);
        Fixture f;
        QCOMPARE(f.checkedIn(Numbering), QStringList{"mnuOptions_linenum_none"});
        f.click(qPrintable(item));
        QCOMPARE(f.checkedIn(Numbering), QStringList{item});
        QTEST(f.editor->LineNumbering(), "numbering");
        QTEST(f.editor->LineNumberStyle(), "base");
        // None turns numbering off and keeps the style.
        f.click("mnuOptions_linenum_none");
        QCOMPARE(f.checkedIn(Numbering), QStringList{"mnuOptions_linenum_none"});
        QVERIFY(!f.editor->LineNumbering());
        QTEST(f.editor->LineNumberStyle(), "base");
        QCOMPARE(f.editor->SendScintilla(QsciScintillaBase::SCI_GETMARGINWIDTHN, 0), 0L);
    }

    // A checked choice writes nothing: the editor keeps a value set behind the menu's back.
    void checkedChoiceWritesNothing()
    {
        Fixture f;
        f.click("mnuOptions_linenum_hex");
        f.editor->SetLineNumberStyle(8);
        f.editor->SetLineNumbering(false);
        f.click("mnuOptions_linenum_hex");
        QCOMPARE(f.editor->LineNumberStyle(), 8);
        QVERIFY(!f.editor->LineNumbering());
        QCOMPARE(f.checkedIn(Numbering), QStringList{"mnuOptions_linenum_hex"});
        // Hex straight to octal writes numbering on again before the style.
        f.click("mnuOptions_linenum_oct");
        QVERIFY(f.editor->LineNumbering());
        QCOMPARE(f.editor->LineNumberStyle(), 8);
        // The start mark of Auto Endent is already checked: nothing is written either.
        f.editor->SetAutoIndentMode(0);
        f.click("mnuOptions_endent_line");
        QCOMPARE(f.editor->AutoIndentMode(), 0);
        QCOMPARE(f.checkedIn(Endent), QStringList{"mnuOptions_endent_line"});
    }

    void endentChoices_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("mode");
        QTest::newRow("off") << "mnuOptions_endent_off" << 0;
        QTest::newRow("scope") << "mnuOptions_endent_scope" << 1;
    }
    void endentChoices()
    {
        QFETCH(QString, item);
        Fixture f;
        f.click(qPrintable(item));
        QCOMPARE(f.checkedIn(Endent), QStringList{item});
        QTEST(f.editor->AutoIndentMode(), "mode");
        QCOMPARE(f.checkedIn(Numbering), QStringList{"mnuOptions_linenum_none"});
        f.click("mnuOptions_endent_line");
        QCOMPARE(f.checkedIn(Endent), QStringList{"mnuOptions_endent_line"});
        QCOMPARE(f.editor->AutoIndentMode(), 2);
    }

    void switchesToggleMarkAndEditor()
    {
        Fixture f;
        f.click("mnuOptions_linenumtips");
        QVERIFY(!f.checked("mnuOptions_linenumtips"));
        QVERIFY(!f.editor->LineToolTips());
        f.click("mnuOptions_linenumtips");
        QVERIFY(f.checked("mnuOptions_linenumtips"));
        QVERIFY(f.editor->LineToolTips());
        f.click("mnuOptions_syntaxh");
        QVERIFY(!f.checked("mnuOptions_syntaxh"));
        QVERIFY(!f.editor->ColorSyntax());
        f.click("mnuOptions_syntaxh");
        QVERIFY(f.checked("mnuOptions_syntaxh"));
        QVERIFY(f.editor->ColorSyntax());
    }

    // Set Font and Properties open the same dialog; afterwards the menu shows its changes.
    void propertiesKeepMarksTrue_data()
    {
        QTest::addColumn<QString>("item");
        QTest::newRow("properties") << "mnuEdit_properties";
        QTest::newRow("set font") << "mnuFont_select";
    }
    void propertiesKeepMarksTrue()
    {
        QFETCH(QString, item);
        Fixture f;
        WithModal(
            [](QWidget *modal) {
                auto *dialog = qobject_cast<PropertiesDialog *>(modal);
                QVERIFY(dialog);
                dialog->autoIndent->setCurrentIndex(0);
                dialog->lineNumbering->setCurrentIndex(dialog->lineNumbering->findText(QStringLiteral("Binary")));
                dialog->lineNumberTips->setChecked(false);
                dialog->syntaxHighlighting->setChecked(false);
                dialog->closeButton->click();
            },
            [&] { f.window.menuItem(item)->trigger(); });
        QCOMPARE(f.checkedIn(Endent), QStringList{"mnuOptions_endent_off"});
        QCOMPARE(f.checkedIn(Numbering), QStringList{"mnuOptions_linenum_bin"});
        QVERIFY(!f.checked("mnuOptions_linenumtips"));
        QVERIFY(!f.checked("mnuOptions_syntaxh"));
        // The menu works on from there: the previous-line choice is no longer checked.
        f.click("mnuOptions_endent_line");
        QCOMPARE(f.editor->AutoIndentMode(), 2);
        f.click("mnuOptions_linenumtips");
        QVERIFY(f.editor->LineToolTips());
    }

    // The chosen font and colours reach every style of the script language and survive
    // a game switch, which brings a new lexer.
    void propertiesReachTheScriptLanguage()
    {
        Fixture f;
        QsciLexer *lexer = f.editor->lexer();
        QVERIFY(lexer);
        const QString family = f.editor->Features()->appearance().family;
        QCOMPARE(lexer->font(0).family(), family);
        QCOMPARE(lexer->font(0).pointSizeF(), 9.75);
        f.prompts.colors.enqueue(QColor(0x12, 0x34, 0x56));
        WithModal(
            [](QWidget *modal) {
                auto *dialog = qobject_cast<PropertiesDialog *>(modal);
                QVERIFY(dialog);
                QStringList names;
                for (int i = 0; i < dialog->styleList->count(); ++i)
                    names << dialog->styleList->item(i)->text();
                QVERIFY2(names.contains(QStringLiteral("Keyword")) && names.contains(QStringLiteral("Comment")),
                         qPrintable(names.join(',')));
                dialog->styleList->setCurrentRow(int(names.indexOf(QStringLiteral("Comment"))));
                dialog->chooseColorButton->click();
                dialog->fontSize->setValue(16);
            },
            [&] { f.click("mnuFont_select"); });
        f.click("mnuGame_q3");
        lexer = f.editor->lexer();
        const QString chosenFamily = f.editor->Features()->appearance().family;
        QCOMPARE(f.editor->Language(), QStringLiteral("Q3Script"));
        int keyword = -1;
        int comment = -1;
        for (int style = 0; style < 32; ++style) {
            if (lexer->description(style) == QLatin1String("Keyword"))
                keyword = style;
            if (lexer->description(style) == QLatin1String("Comment"))
                comment = style;
        }
        QVERIFY(keyword >= 0 && comment >= 0);
        QCOMPARE(lexer->font(0).pointSizeF(), 12.0);
        QCOMPARE(lexer->font(keyword).pointSizeF(), 12.0);
        QCOMPARE(lexer->font(keyword).family(), chosenFamily);
        QVERIFY(lexer->font(keyword).bold());
        QVERIFY(!lexer->font(0).bold());
        QCOMPARE(lexer->color(comment), QColor(0x12, 0x34, 0x56));
    }

    void timeAndDate()
    {
        Fixture f;
        f.editor->SetText(QStringLiteral("echo ;"));
        f.editor->SetCaretPos(0, 5);
        const QString before = TimeDateText(QTime::currentTime(), QDate::currentDate(), QLocale());
        f.click("mnuEdit_time");
        const QString after = TimeDateText(QTime::currentTime(), QDate::currentDate(), QLocale());
        const QString text = f.editor->Text();
        QVERIFY2(text == "echo " + before + ";" || text == "echo " + after + ";", qPrintable(text));
        // The caret stays in front of the inserted text.
        QCOMPARE(f.editor->GetSel(false), (EditorRange{0, 5, 0, 5}));
        QVERIFY(f.window.windowTitle().endsWith(QLatin1Char('*')));

        // With a selection made backwards, the caret returns to that caret end.
        f.editor->SetText(QStringLiteral("say old\nx"));
        f.editor->SetSel({0, 7, 0, 4}, true);
        f.click("mnuEdit_time");
        QVERIFY(f.editor->GetLine(0).startsWith(QStringLiteral("say ")));
        QVERIFY(!f.editor->Text().contains(QStringLiteral("old")));
        QVERIFY(f.editor->GetLine(0).endsWith(QLatin1Char(' ')));
        QCOMPARE(f.editor->GetSel(false), (EditorRange{0, 4, 0, 4}));
        // Selected forwards, the old caret end lies inside the new text.
        f.editor->SetText(QStringLiteral("say old"));
        f.editor->SetSel({0, 4, 0, 7}, true);
        f.click("mnuEdit_time");
        QCOMPARE(f.editor->GetSel(false), (EditorRange{0, 7, 0, 7}));
    }

    void undoDialogLooksAsStored()
    {
        Fixture f;
        QVERIFY(!f.undoDialog());
        f.click("mnuEdit_undomany");
        frmUndo *dialog = f.undoDialog();
        QVERIFY(dialog);
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->parentWidget(), &f.window);
        QVERIFY(dialog->isWindow());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Undo"));
        QCOMPARE(dialog->Command2->text(), QStringLiteral("Undo"));
        QCOMPARE(dialog->Command1->text(), QStringLiteral("Close"));
        QCOMPARE(dialog->Label1->text(), "Undo the last" + Blanks + "operations");
        QCOMPARE(dialog->Label1->text().size(), 61);
        QCOMPARE(dialog->Combo1->count(), 100);
        QCOMPARE(dialog->Combo1->itemText(0), QStringLiteral("1"));
        QCOMPARE(dialog->Combo1->itemText(99), QStringLiteral("100"));
        QCOMPARE(dialog->Combo1->currentText(), QStringLiteral("1"));
        QVERIFY(dialog->Combo1->isEditable());
        QCOMPARE(dialog->size(), QSize(254, 48));
        QCOMPARE(dialog->Combo1->geometry().topLeft(), QPoint(84, 0));
        QCOMPARE(dialog->Command1->geometry(), QRect(172, 24, 81, 21));
        QCOMPARE(NextInTabOrder(dialog->Combo1), dialog->Command1);
        QCOMPARE(NextInTabOrder(dialog->Command1), dialog->Command2);

        // Redo re-labels the same dialog and leaves the count alone.
        dialog->Combo1->setEditText(QStringLiteral("7"));
        f.click("mnuEdit_redoOps");
        QCOMPARE(f.undoDialog(), dialog);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Redo"));
        QCOMPARE(dialog->Command2->text(), QStringLiteral("Redo"));
        QCOMPARE(dialog->Label1->text(), "Redo the last" + Blanks + "operations");
        QCOMPARE(dialog->Combo1->currentText(), QStringLiteral("7"));
    }

    void undoAndRedoCounts_data()
    {
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("afterUndo");
        QTest::addColumn<bool>("message");
        QTest::newRow("0") << "0" << "abcde" << false;
        QTest::newRow("negative") << "-3" << "abcde" << false;
        QTest::newRow("1") << "1" << "abcd" << false;
        QTest::newRow("3") << "3" << "ab" << false;
        QTest::newRow("250 typed") << "250" << "" << false;
        QTest::newRow("1000000000") << "1000000000" << "" << false;
        QTest::newRow("empty") << "" << "abcde" << true;
        QTest::newRow("letters") << "five" << "abcde" << true;
        QTest::newRow("fraction") << "2.5" << "abcde" << true;
    }
    void undoAndRedoCounts()
    {
        QFETCH(QString, count);
        QFETCH(QString, afterUndo);
        QFETCH(bool, message);
        Fixture f;
        f.makeHistory();
        f.click("mnuEdit_undomany");
        frmUndo *dialog = f.undoDialog();
        dialog->Combo1->setEditText(count);
        dialog->Command2->click();
        QCOMPARE(f.editor->Text(), afterUndo);
        QCOMPARE(f.fakes.messageBoxes.shown.size(), message ? 1 : 0);
        if (message) {
            QCOMPARE(f.fakes.messageBoxes.shown[0].title, QStringLiteral("Tavrel"));
            QVERIFY(f.fakes.messageBoxes.shown[0].text.contains(QStringLiteral("whole number")));
        }
        // The dialog stays open with its count; the same count redoes.
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->Combo1->currentText(), count);
        QCOMPARE(dialog->Combo1->count(), 100);
        f.click("mnuEdit_redoOps");
        dialog->Command2->click();
        QCOMPARE(f.editor->Text(), QStringLiteral("abcde"));
    }

    void undoDialogCloseAndCloseBox()
    {
        Fixture f;
        f.click("mnuEdit_undomany");
        frmUndo *dialog = f.undoDialog();
        dialog->Combo1->setEditText(QStringLiteral("12"));
        dialog->Command1->click();
        QVERIFY(dialog->isHidden());
        f.click("mnuEdit_undomany");
        QCOMPARE(f.undoDialog(), dialog);
        QCOMPARE(dialog->Combo1->currentText(), QStringLiteral("12"));
        // The close box unloads it: the next opening is a fresh dialog.
        QPointer<frmUndo> old = dialog;
        QVERIFY(dialog->close());
        f.click("mnuEdit_redoOps");
        frmUndo *fresh = f.undoDialog();
        QVERIFY(fresh && fresh != dialog);
        QCOMPARE(fresh->Combo1->currentText(), QStringLiteral("1"));
        QCOMPARE(fresh->windowTitle(), QStringLiteral("Redo"));
        QTRY_VERIFY(old.isNull());
    }

    void playDialogLooksAsStored()
    {
        Fixture f;
        QVERIFY(!f.playDialog());
        f.click("mnuMacros_play");
        frmPlay *dialog = f.playDialog();
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->parentWidget(), &f.window);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Play Recorded Macro"));
        QCOMPARE(dialog->size(), QSize(304, 111));
        for (int i = 0; i < 10; ++i) {
            QCOMPARE(dialog->Option1[i]->text(), QStringLiteral("Macro %1").arg(i + 1));
            QCOMPARE(dialog->Option1[i]->objectName(), QStringLiteral("Option1"));
            QCOMPARE(dialog->Option1[i]->property("Index").toInt(), i);
            QVERIFY(!dialog->Option1[i]->isChecked());
        }
        QCOMPARE(dialog->Option1[5]->geometry(), QRect(88, 8, 121, 17));
        QCOMPARE(dialog->Command1->text(), QStringLiteral("Play"));
        QCOMPARE(dialog->Command2->text(), QStringLiteral("Close"));
        QCOMPARE(dialog->Check1->text(), QStringLiteral("Close On Play"));
        QVERIFY(dialog->Check1->isChecked());
        QCOMPARE(NextInTabOrder(dialog->Option1[4]), dialog->Option1[5]);
        QCOMPARE(NextInTabOrder(dialog->Option1[9]), dialog->Command1);
        QCOMPARE(NextInTabOrder(dialog->Command2), dialog->Check1);
    }

    void playSendsTheChosenSlot()
    {
        Fixture f;
        f.spyOnMacroCommands();
        f.click("mnuMacros_play");
        frmPlay *dialog = f.playDialog();
        // Nothing chosen: nothing sent, and Close On Play still hides the dialog.
        dialog->Command1->click();
        QVERIFY(f.sent.isEmpty());
        QVERIFY(dialog->isHidden());
        f.click("mnuMacros_play");
        dialog->Option1[9]->setChecked(true);
        dialog->Check1->setChecked(false);
        dialog->Command1->click();
        dialog->Command1->click();
        QCOMPARE(f.sent, (QList<qint32>{223, 223}));
        QVERIFY(dialog->isVisible());
        dialog->Option1[0]->setChecked(true);
        dialog->Command1->click();
        QCOMPARE(f.sent.last(), 214);
        // Close, the close box and the main window's exit all hide it and keep its state.
        dialog->Command2->click();
        QVERIFY(dialog->isHidden());
        f.click("mnuMacros_play");
        QVERIFY(!dialog->close());
        QVERIFY(dialog->isHidden());
        f.click("mnuMacros_play");
        QCOMPARE(f.playDialog(), dialog);
        QVERIFY(dialog->Option1[0]->isChecked());
        QVERIFY(!dialog->Check1->isChecked());
        f.click("mnuFile_exit");
        QVERIFY(f.window.ProgramEnded());
        QVERIFY(dialog->isHidden());
        QCOMPARE(f.playDialog(), dialog);
    }

    void recordItemSendsTheRecordCommand()
    {
        Fixture f;
        f.spyOnMacroCommands();
        QAction *record = f.window.menuItem(QStringLiteral("mnuMacros_record"));
        f.click("mnuMacros_record");
        f.click("mnuMacros_record");
        QCOMPARE(f.sent, (QList<qint32>{213, 213}));
        QCOMPARE(record->text(), QStringLiteral("&Record Macro..."));
        QVERIFY(!record->isChecked());
    }

    // Recorded from the Macros menu into "Macro 3", played into a new document.
    void recordAndPlayThroughTheMenus()
    {
        Fixture f;
        f.window.activateWindow();
        f.editor->setFocus();
        f.prompts.macroSlots.enqueue(2);
        f.click("mnuMacros_record");
        QVERIFY(f.editor->Features()->statusBadge()->isVisibleTo(f.editor));
        QTest::keyClicks(f.editor, QStringLiteral("  seta a 1"));
        QTest::keyClick(f.editor, Qt::Key_Return);
        QTest::keyClicks(f.editor, QStringLiteral("vstr a"));
        f.click("mnuMacros_record");
        QVERIFY(!f.editor->Features()->statusBadge()->isVisibleTo(f.editor));
        const QString typed = QStringLiteral("  seta a 1\n  vstr a");
        QCOMPARE(f.editor->Text(), typed);
        f.click("mnuFile_new");
        QCOMPARE(f.editor->Text(), QString());
        f.click("mnuMacros_play");
        f.playDialog()->Option1[2]->setChecked(true);
        f.playDialog()->Command1->click();
        QCOMPARE(f.editor->Text(), typed);
        QVERIFY(f.playDialog()->isHidden());
        QVERIFY(f.window.windowTitle().endsWith(QLatin1Char('*')));
    }

    void findAndRepeatFromTheEditMenu()
    {
        Fixture f;
        f.editor->SetText(QStringLiteral("bind a; bind b"));
        f.editor->SetCaretPos(0, 0);
        f.click("mnuEdit_findnext");
        auto *dialog = f.window.findChild<FindReplaceDialog *>(QStringLiteral("FindReplaceDialog"));
        QVERIFY(dialog && dialog->isVisible());
        dialog->findText->setText(QStringLiteral("bind"));
        dialog->findNextButton->click();
        QCOMPARE(f.editor->GetSel(true), (EditorRange{0, 0, 0, 4}));
        f.click("mnuEdit_findnext");
        QCOMPARE(f.editor->GetSel(true), (EditorRange{0, 8, 0, 12}));
        f.click("mnuEdit_find");
        QCOMPARE(f.window.findChildren<FindReplaceDialog *>().size(), 1);
        dialog->hide();

        f.prompts.counts.enqueue(QStringLiteral("4"));
        f.click("mnuEdit_repeatnext");
        f.editor->SetCaretPos(0, 0);
        QTest::keyClicks(f.editor, QStringLiteral("x"));
        QCOMPARE(f.editor->Text(), QStringLiteral("xxxxbind a; bind b"));
        f.click("mnuEdit_selectall");
        QCOMPARE(f.editor->SelText(), f.editor->Text());
    }
};

QTEST_MAIN(EditMenuTest)
#include "test_editmenu.moc"
