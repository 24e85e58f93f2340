#include "editing/autoindenter.h"
#include "editing/editorfeatures.h"
#include "editing/linenumbers.h"
#include "editing/macros.h"
#include "editing/repeatcommand.h"
#include "editor/codesense.h"
#include "support/fakeservices.h"
#include "support/fakeservices.h"
#include "support/withmodal.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QToolTip>
#include <QtTest>

namespace {

using Sci = QsciScintillaBase;

struct Editor
{
    FakeServices fakes;
    FakePrompts prompts;
    CodeSense editor;
    explicit Editor(const QString &text = QString())
    {
        MacroSlots::ClearAll();
        editor.resize(640, 400);
        editor.SetText(text);
        editor.show();
    }
    EditorFeatures *features() { return editor.Features(); }
    void type(const QString &text) { QTest::keyClicks(&editor, text); }
    void key(Qt::Key key) { QTest::keyClick(&editor, key); }
    // The selection as (start, end) characters of a one-line document.
    QPair<int, int> selection() const
    {
        const EditorRange r = editor.GetSel(true);
        return {r.StartColNo, r.EndColNo};
    }
};

QString MarginText(const CodeSense &editor, int line)
{
    const long length = editor.SendScintilla(Sci::SCI_MARGINGETTEXT, line);
    QByteArray text(length + 1, '\0');
    editor.SendScintilla(Sci::SCI_MARGINGETTEXT, line, text.data());
    return QString::fromLatin1(text.constData());
}

} // namespace

class EditorFeaturesTest : public QObject
{
    Q_OBJECT

private slots:
    // Only the lines on screen carry numbers, in the chosen base, and they follow a scroll.
    void lineNumbersAfterScrolling_data()
    {
        QTest::addColumn<int>("base");
        QTest::addColumn<QString>("label");
        QTest::newRow("hex") << 16 << "D432";
        QTest::newRow("decimal") << 10 << "54322";
        QTest::newRow("binary") << 2 << "1101010000110010";
        QTest::newRow("octal") << 8 << "152062";
    }
    void lineNumbersAfterScrolling()
    {
        QFETCH(int, base);
        QFETCH(QString, label);
        Editor e(QStringLiteral("echo\n").repeated(99999) + QStringLiteral("end"));
        QVERIFY(QTest::qWaitForWindowExposed(&e.editor));
        QCOMPARE(e.editor.SendScintilla(Sci::SCI_GETMARGINWIDTHN, 0), 0L);
        e.editor.SetLineNumbering(true);
        e.editor.SetLineNumberStyle(base);
        QCOMPARE(MarginText(e.editor, 0), QStringLiteral("1"));
        e.editor.SendScintilla(Sci::SCI_SETFIRSTVISIBLELINE, 54321);
        QTRY_COMPARE(MarginText(e.editor, 54321), label);
        const long onScreen = e.editor.SendScintilla(Sci::SCI_LINESONSCREEN);
        QVERIFY(onScreen > 5);
        QCOMPARE(MarginText(e.editor, 54321 + int(onScreen) - 1), LineNumberText(54321 + onScreen, base));
        // Lines scrolled away lose their numbers; lines never shown never had any.
        QCOMPARE(MarginText(e.editor, 0), QString());
        QCOMPARE(MarginText(e.editor, 99999), QString());
        QCOMPARE(MarginText(e.editor, 54320), QString());
        // The margin fits the widest number of the document.
        const QByteArray widest = LineNumberText(100000, base).toLatin1();
        QVERIFY(e.editor.SendScintilla(Sci::SCI_GETMARGINWIDTHN, 0) >=
                e.editor.SendScintilla(Sci::SCI_TEXTWIDTH, Sci::STYLE_LINENUMBER, widest.constData()));

        e.editor.SetLineNumbering(false);
        QCOMPARE(e.editor.SendScintilla(Sci::SCI_GETMARGINWIDTHN, 0), 0L);
        QCOMPARE(MarginText(e.editor, 54321), QString());
        QCOMPARE(e.editor.LineNumberStyle(), base);
    }

    void numbersFollowEditsAndStyleChanges()
    {
        Editor e(QStringLiteral("a\nb\nc"));
        QVERIFY(QTest::qWaitForWindowExposed(&e.editor));
        e.editor.SetLineNumbering(true);
        e.editor.SetLineNumberStyle(2);
        QCOMPARE(MarginText(e.editor, 2), QStringLiteral("11"));
        e.editor.SetCaretPos(0, 0);
        e.type(QStringLiteral("x"));
        e.key(Qt::Key_Return);
        QTRY_COMPARE(MarginText(e.editor, 3), QStringLiteral("100"));
        QCOMPARE(MarginText(e.editor, 1), QStringLiteral("10"));
        e.editor.SetLineNumberStyle(16);
        QCOMPARE(MarginText(e.editor, 3), QStringLiteral("4"));
    }

    void scrollTipNamesTopLine_data()
    {
        QTest::addColumn<bool>("tips");
        QTest::addColumn<int>("base");
        QTest::addColumn<QString>("text");
        QTest::newRow("hex") << true << 16 << "Line 7531";
        QTest::newRow("decimal") << true << 10 << "Line 30001";
        QTest::newRow("tips off") << false << 10 << "";
    }
    void scrollTipNamesTopLine()
    {
        QFETCH(bool, tips);
        QFETCH(int, base);
        QFETCH(QString, text);
        Editor e(QStringLiteral("x\n").repeated(99999));
        QVERIFY(QTest::qWaitForWindowExposed(&e.editor));
        QToolTip::hideText();
        e.editor.SetLineToolTips(tips);
        e.editor.SetLineNumberStyle(base);
        QScrollBar *bar = e.editor.verticalScrollBar();
        bar->setSliderDown(true);
        bar->setSliderPosition(30000);
        QCOMPARE(e.editor.SendScintilla(Sci::SCI_GETFIRSTVISIBLELINE), 30000L);
        if (tips) {
            QTRY_VERIFY(QToolTip::isVisible());
            QCOMPARE(QToolTip::text(), text);
        } else {
            QTest::qWait(0);
            QVERIFY(!QToolTip::isVisible());
        }
        bar->setSliderDown(false);
        QTRY_VERIFY(!QToolTip::isVisible());
        // Scrolling without the slider held shows nothing.
        bar->setValue(100);
        QTest::qWait(0);
        QVERIFY(!QToolTip::isVisible());
    }

    void autoIndent_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("typed"); // "|" stands for the Return key
        QTest::addColumn<QString>("text");
        QTest::newRow("off") << 0 << "    a|b" << "    a\nb";
        QTest::newRow("previous line") << 2 << "    a|b|c" << "    a\n    b\n    c";
        QTest::newRow("previous line ignores braces") << 2 << "a {|b|}" << "a {\nb\n}";
        QTest::newRow("scope braces") << 1 << "a {|b|}|c" << "a {\n    b\n}\nc";
        QTest::newRow("scope nested") << 1 << "{|{|x|}|}" << "{\n    {\n        x\n    }\n}";
        QTest::newRow("scope quote") << 1 << "bind x \"|say hi|\"|echo" << "bind x \"\n    say hi\n\"\necho";
        QTest::newRow("scope closed quote") << 1 << "say \"hi\"|x" << "say \"hi\"\nx";
        QTest::newRow("scope keeps indentation") << 1 << "  a|b" << "  a\n  b";
        QTest::newRow("scope comment") << 1 << "a // {|b" << "a // {\nb";
    }
    void autoIndent()
    {
        QFETCH(int, mode);
        QFETCH(QString, typed);
        Editor e;
        e.editor.setIndentationsUseTabs(false);
        e.editor.setIndentationWidth(4);
        e.editor.SetAutoIndentMode(mode);
        const QStringList parts = typed.split(QLatin1Char('|'));
        for (qsizetype i = 0; i < parts.size(); ++i) {
            if (i > 0)
                e.key(Qt::Key_Return);
            e.type(parts[i]);
        }
        QTEST(e.editor.Text(), "text");
    }

    void indentUsesTabsByDefaultAndKeepsTypedIndentation()
    {
        Editor e;
        e.editor.SetAutoIndentMode(1);
        e.type(QStringLiteral("x {"));
        e.key(Qt::Key_Return);
        e.type(QStringLiteral("y"));
        QCOMPARE(e.editor.Text(), QStringLiteral("x {\n\ty"));
        // A break in front of indented text keeps that text's indentation.
        e.editor.SetText(QStringLiteral("    a"));
        e.editor.SetCaretPos(0, 0);
        e.editor.SetAutoIndentMode(2);
        e.key(Qt::Key_Return);
        QCOMPARE(e.editor.Text(), QStringLiteral("\n    a"));
        QCOMPARE(e.editor.GetSel(false), (EditorRange{1, 0, 1, 0}));
    }

    void findNextVariants_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<bool>("wholeWord");
        QTest::addColumn<bool>("regex");
        QTest::addColumn<bool>("forward");
        QTest::addColumn<QList<int>>("starts"); // of the matches found in turn, wrapping
        // "Bind bind BIND rebind"
        QTest::newRow("any case") << "bind" << false << false << false << true << QList<int>{0, 5, 10, 17, 0};
        QTest::newRow("match case") << "bind" << true << false << false << true << QList<int>{5, 17, 5};
        QTest::newRow("whole word") << "bind" << false << true << false << true << QList<int>{0, 5, 10, 0};
        QTest::newRow("case and word") << "bind" << true << true << false << true << QList<int>{5, 5};
        QTest::newRow("regex") << "[a-z]bind" << false << false << true << true << QList<int>{16, 16};
        QTest::newRow("regex whole word") << "b\\w+" << false << true << true << true << QList<int>{0, 5, 10, 0};
        QTest::newRow("upwards") << "bind" << false << false << false << false << QList<int>{17, 10, 5, 0, 17};
    }
    void findNextVariants()
    {
        QFETCH(QString, pattern);
        QFETCH(QList<int>, starts);
        Editor e(QStringLiteral("Bind bind BIND rebind"));
        FindOptions options;
        options.text = pattern;
        QFETCH(bool, matchCase);
        QFETCH(bool, wholeWord);
        QFETCH(bool, regex);
        QFETCH(bool, forward);
        options.matchCase = matchCase;
        options.wholeWord = wholeWord;
        options.regularExpression = regex;
        options.forward = forward;
        e.editor.SetCaretPos(0, forward ? 0 : 21);
        QList<int> found;
        for (qsizetype i = 0; i < starts.size(); ++i) {
            QCOMPARE(FindNextMatch(&e.editor, options), FindResult::Found);
            found << e.selection().first;
        }
        QCOMPARE(found, starts);
        // The caret ends where the next search in that direction starts.
        const EditorRange caret = e.editor.GetSel(false);
        QCOMPARE(caret.EndColNo, forward ? e.selection().second : e.selection().first);
    }

    void findWithoutWrapStopsAndBadPatternIsReported()
    {
        Editor e(QStringLiteral("one two one"));
        FindOptions options;
        options.text = QStringLiteral("one");
        options.wrapAround = false;
        e.editor.SetCaretPos(0, 0);
        QCOMPARE(FindNextMatch(&e.editor, options), FindResult::Found);
        QCOMPARE(FindNextMatch(&e.editor, options), FindResult::Found);
        QCOMPARE(e.selection(), qMakePair(8, 11));
        QCOMPARE(FindNextMatch(&e.editor, options), FindResult::NotFound);
        QCOMPARE(e.selection(), qMakePair(8, 11));
        options.text = QStringLiteral("(one");
        options.regularExpression = true;
        QCOMPARE(FindNextMatch(&e.editor, options), FindResult::BadPattern);
        QCOMPARE(ReplaceAllMatches(&e.editor, options), -1);
        QCOMPARE(e.editor.Text(), QStringLiteral("one two one"));
        // Non-ASCII text matches in any case.
        e.editor.SetText(QStringLiteral("Grüße GRÜSSE grüße"));
        e.editor.SetCaretPos(0, 0);
        options = FindOptions();
        options.text = QStringLiteral("grüße");
        QCOMPARE(FindNextMatch(&e.editor, options), FindResult::Found);
        QCOMPARE(e.selection(), qMakePair(0, 5));
        QCOMPARE(FindNextMatch(&e.editor, options), FindResult::Found);
        QCOMPARE(e.selection(), qMakePair(13, 18));
    }

    void replaceAll_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<bool>("regex");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("result");
        QTest::newRow("plain") << "bind a; bind b; unbind c" << "bind" << "BIND" << false << 3 << "BIND a; BIND b; unBIND c";
        QTest::newRow("longer replacement") << "aaa" << "a" << "aa" << false << 3 << "aaaaaa";
        QTest::newRow("groups") << "seta x 1\nseta y 2" << "seta (\\w) (\\d)" << "set \\1 \\2\\2" << true << 2
                                << "set x 11\nset y 22";
        QTest::newRow("empty matches at line starts") << "a\nb\nc" << "^" << "// " << true << 3 << "// a\n// b\n// c";
        QTest::newRow("empty matches everywhere") << "ab" << "x*" << "-" << true << 3 << "-a-b-";
        QTest::newRow("nothing") << "abc" << "z" << "y" << false << 0 << "abc";
    }
    void replaceAll()
    {
        QFETCH(QString, text);
        Editor e(text);
        e.editor.SendScintilla(Sci::SCI_EMPTYUNDOBUFFER);
        FindOptions options;
        QFETCH(QString, pattern);
        QFETCH(QString, replacement);
        QFETCH(bool, regex);
        options.text = pattern;
        options.replacement = replacement;
        options.regularExpression = regex;
        options.matchCase = true;
        QTEST(ReplaceAllMatches(&e.editor, options), "count");
        QTEST(e.editor.Text(), "result");
        // All of it is one undo step.
        e.editor.Undo();
        QCOMPARE(e.editor.Text(), text);
        QVERIFY(!e.editor.isUndoAvailable());
    }

    void replaceReplacesMatchingSelectionThenFindsNext()
    {
        Editor e(QStringLiteral("cl_run cl_yaw cl_run"));
        FindOptions options;
        options.text = QStringLiteral("cl_run");
        options.replacement = QStringLiteral("+speed");
        e.editor.SetCaretPos(0, 0);
        // The selection is no match yet: Replace only finds.
        QCOMPARE(ReplaceMatch(&e.editor, options), FindResult::Found);
        QCOMPARE(e.editor.Text(), QStringLiteral("cl_run cl_yaw cl_run"));
        QCOMPARE(e.selection(), qMakePair(0, 6));
        QCOMPARE(ReplaceMatch(&e.editor, options), FindResult::Found);
        QCOMPARE(e.editor.Text(), QStringLiteral("+speed cl_yaw cl_run"));
        QCOMPARE(e.selection(), qMakePair(14, 20));
        QCOMPARE(ReplaceMatch(&e.editor, options), FindResult::NotFound);
        QCOMPARE(e.editor.Text(), QStringLiteral("+speed cl_yaw +speed"));
    }

    void findDialogAndFindNext()
    {
        Editor e(QStringLiteral("vstr a; vstr b; VSTR c"));
        // Find Next without a search opens the dialog.
        e.editor.ExecuteCmd(CodeSense::cmdFindNext);
        FindReplaceDialog *dialog = e.features()->findDialog();
        QVERIFY(dialog);
        QVERIFY(dialog->isVisible());
        QVERIFY(!dialog->isModal());
        QVERIFY(!dialog->findNextButton->isEnabled());
        dialog->hide();
        // A selected word becomes the text to find.
        e.editor.SetSel({0, 0, 0, 4}, false);
        e.editor.ExecuteCmd(CodeSense::cmdFindReplace);
        QCOMPARE(e.features()->findDialog(), dialog);
        QCOMPARE(dialog->findText->text(), QStringLiteral("vstr"));
        dialog->matchCase->setChecked(true);
        dialog->findNextButton->click();
        QCOMPARE(e.selection(), qMakePair(8, 12));
        e.editor.ExecuteCmd(CodeSense::cmdFindNext);
        QCOMPARE(e.selection(), qMakePair(0, 4));

        dialog->findText->setText(QStringLiteral("zzz"));
        dialog->findNextButton->click();
        QCOMPARE(e.fakes.messageBoxes.texts(), QStringList{QStringLiteral("Cannot find \"zzz\".")});
        QCOMPARE(e.fakes.messageBoxes.shown[0].title, QStringLiteral("Tavrel"));
        e.editor.ExecuteCmd(CodeSense::cmdFindNext);
        QCOMPARE(e.fakes.messageBoxes.shown.size(), 2);

        dialog->findText->setText(QStringLiteral("vstr"));
        dialog->matchCase->setChecked(false);
        dialog->replaceText->setText(QStringLiteral("exec"));
        dialog->replaceAllButton->click();
        QCOMPARE(e.editor.Text(), QStringLiteral("exec a; exec b; exec c"));
        QCOMPARE(e.fakes.messageBoxes.texts().last(), QStringLiteral("Replaced 3 occurrences."));
        dialog->findText->setText(QStringLiteral("exec b"));
        dialog->replaceAllButton->click();
        QCOMPARE(e.fakes.messageBoxes.texts().last(), QStringLiteral("Replaced 1 occurrence."));
        dialog->findText->setText(QStringLiteral("(("));
        dialog->regularExpression->setChecked(true);
        dialog->findNextButton->click();
        QCOMPARE(e.fakes.messageBoxes.texts().last(), QStringLiteral("The regular expression \"((\" is not valid."));
    }

    void repeatTypedKey()
    {
        Editor e;
        e.prompts.counts.enqueue(QStringLiteral("3"));
        e.editor.ExecuteCmd(CodeSense::cmdRepeatNext);
        QCOMPARE(e.features()->repeat()->pending(), 3);
        QLabel *badge = e.features()->statusBadge();
        QVERIFY(badge->isVisibleTo(&e.editor));
        QVERIFY(badge->text().contains(QStringLiteral("3 times")));
        QTest::keyClick(&e.editor, Qt::Key_Shift); // modifiers alone are not the command
        e.type(QStringLiteral("ab"));
        QCOMPARE(e.editor.Text(), QStringLiteral("aaab"));
        QVERIFY(!badge->isVisibleTo(&e.editor));
        e.editor.Undo();
        QCOMPARE(e.editor.Text(), QStringLiteral("aaa"));
        e.editor.Undo();
        QCOMPARE(e.editor.Text(), QString());
        // Return many times, each line indented as typing would.
        e.editor.SetAutoIndentMode(2);
        e.type(QStringLiteral("  x"));
        e.prompts.counts.enqueue(QStringLiteral("2"));
        e.editor.ExecuteCmd(CodeSense::cmdRepeatNext);
        e.key(Qt::Key_Return);
        e.type(QStringLiteral("y"));
        QCOMPARE(e.editor.Text(), QStringLiteral("  x\n  \n  y"));
        // Escape gives up the repeat.
        e.prompts.counts.enqueue(QStringLiteral("4"));
        e.editor.ExecuteCmd(CodeSense::cmdRepeatNext);
        e.key(Qt::Key_Escape);
        QCOMPARE(e.features()->repeat()->pending(), 0);
        e.type(QStringLiteral("z"));
        QCOMPARE(e.editor.Text(), QStringLiteral("  x\n  \n  yz"));
    }

    void repeatCountIsChecked()
    {
        Editor e;
        for (const char *answer : {"abc", "", "2.5", "0", "-2", "10001"})
            e.prompts.counts.enqueue(QString::fromLatin1(answer));
        e.editor.ExecuteCmd(CodeSense::cmdRepeatNext); // ends cancelled
        QCOMPARE(e.features()->repeat()->pending(), 0);
        QCOMPARE(e.fakes.messageBoxes.shown.size(), 6);
        QVERIFY(e.fakes.messageBoxes.shown[0].text.contains(QStringLiteral("whole number from 1 to 10000")));
        // Each new question starts from the rejected answer.
        QCOMPARE(e.prompts.countTexts, (QStringList{"", "abc", "", "2.5", "0", "-2", "10001"}));
        e.prompts.counts.enqueue(QStringLiteral(" 10000 "));
        e.editor.ExecuteCmd(CodeSense::cmdRepeatNext);
        QCOMPARE(e.features()->repeat()->pending(), RepeatCommand::MaxCount);
    }

    void repeatEditorCommand()
    {
        Editor e;
        for (const char *text : {"a", "b", "c"})
            e.editor.InsertText(QString::fromLatin1(text));
        e.prompts.counts.enqueue(QStringLiteral("2"));
        e.editor.ExecuteCmd(CodeSense::cmdRepeatNext);
        e.editor.ExecuteCmd(CodeSense::cmdUndo);
        QCOMPARE(e.editor.Text(), QStringLiteral("a"));
        // More undo than history stops at its start.
        e.prompts.counts.enqueue(QStringLiteral("10000"));
        e.editor.ExecuteCmd(CodeSense::cmdRepeatNext);
        e.editor.ExecuteCmd(CodeSense::cmdUndo);
        QCOMPARE(e.editor.Text(), QString());
        e.prompts.counts.enqueue(QStringLiteral("10000"));
        e.editor.ExecuteCmd(CodeSense::cmdRepeatNext);
        e.editor.ExecuteCmd(CodeSense::cmdRedo);
        QCOMPARE(e.editor.Text(), QStringLiteral("abc"));
        // A played macro repeats as one undo step.
        MacroSlots::Keep(4, {{QStringLiteral("2170 0 2 ok"), {}}});
        e.prompts.counts.enqueue(QStringLiteral("3"));
        e.editor.ExecuteCmd(CodeSense::cmdRepeatNext);
        e.editor.ExecuteCmd(CodeSense::cmdPlayMacro1 + 4);
        QCOMPARE(e.editor.Text(), QStringLiteral("abcokokok"));
        e.editor.Undo();
        QCOMPARE(e.editor.Text(), QStringLiteral("abc"));
    }

    // Recorded in one editor with scope indentation, played in another where the same keys
    // land deeper: the indentation follows the new surroundings.
    void recordIntoSlotThreeAndPlayElsewhere()
    {
        Editor e;
        e.editor.setIndentationsUseTabs(false);
        e.editor.setIndentationWidth(4);
        e.editor.SetAutoIndentMode(1);
        e.prompts.macroSlots.enqueue(2);
        e.editor.ExecuteCmd(CodeSense::cmdRecordMacro);
        QVERIFY(e.features()->macros()->isRecording());
        QVERIFY(e.features()->statusBadge()->isVisibleTo(&e.editor));
        QVERIFY(e.features()->statusBadge()->text().contains(QStringLiteral("Recording")));
        e.type(QStringLiteral("if {"));
        e.key(Qt::Key_Return);
        e.type(QStringLiteral("echo"));
        e.key(Qt::Key_Return);
        e.type(QStringLiteral("}"));
        e.key(Qt::Key_Return);
        e.type(QStringLiteral("done"));
        e.editor.ExecuteCmd(CodeSense::cmdRecordMacro);
        QVERIFY(!e.features()->macros()->isRecording());
        QVERIFY(!e.features()->statusBadge()->isVisibleTo(&e.editor));
        const QString typed = QStringLiteral("if {\n    echo\n}\ndone");
        QCOMPARE(e.editor.Text(), typed);
        QCOMPARE(e.prompts.slotQuestions, (QList<QList<bool>>{QList<bool>(10, false)}));
        QCOMPARE(MacroSlots::Used(), (QList<bool>{false, false, true, false, false, false, false, false, false, false}));

        CodeSense other;
        other.setIndentationsUseTabs(false);
        other.setIndentationWidth(4);
        other.SetAutoIndentMode(1);
        other.SetText(QStringLiteral("{\n    "));
        other.SetCaretPos(1, 4);
        other.ExecuteCmd(CodeSense::cmdPlayMacro1 + 2);
        QCOMPARE(other.Text(), QStringLiteral("{\n    if {\n        echo\n    }\n    done"));
        other.Undo();
        QCOMPARE(other.Text(), QStringLiteral("{\n    "));
        // Played into an empty document it gives what the user saw.
        other.SetText(QString());
        other.ExecuteCmd(CodeSense::cmdPlayMacro1 + 2);
        QCOMPARE(other.Text(), typed);
        // Empty slots do nothing.
        other.ExecuteCmd(CodeSense::cmdPlayMacro1);
        other.ExecuteCmd(CodeSense::cmdPlayMacro10);
        QCOMPARE(other.Text(), typed);
    }

    void recordingEdgeCases()
    {
        Editor e;
        // Nothing recorded: no question, no slot taken.
        e.editor.ExecuteCmd(CodeSense::cmdRecordMacro);
        e.editor.ExecuteCmd(CodeSense::cmdRecordMacro);
        QVERIFY(e.prompts.slotQuestions.isEmpty());
        // A discarded recording leaves the slots alone.
        MacroSlots::Keep(0, {{QStringLiteral("2170 0 2 old"), {}}});
        e.editor.ExecuteCmd(CodeSense::cmdRecordMacro);
        e.type(QStringLiteral("new"));
        e.editor.ExecuteCmd(CodeSense::cmdRecordMacro); // chooser answers nothing
        QCOMPARE(e.prompts.slotQuestions.size(), 1);
        QCOMPARE(e.prompts.slotQuestions[0].first(), true);
        e.editor.SetText(QString());
        e.editor.ExecuteCmd(CodeSense::cmdPlayMacro1);
        QCOMPARE(e.editor.Text(), QStringLiteral("old"));
        // Keys that move the caret are recorded and replayed; a line break without
        // indentation mode is plain text.
        e.editor.SetAutoIndentMode(0);
        e.editor.SetText(QStringLiteral("b"));
        e.editor.SetCaretPos(0, 1);
        e.prompts.macroSlots.enqueue(9);
        e.editor.ExecuteCmd(CodeSense::cmdRecordMacro);
        e.key(Qt::Key_Home);
        e.type(QStringLiteral("a"));
        e.key(Qt::Key_End);
        e.key(Qt::Key_Return);
        e.editor.ExecuteCmd(CodeSense::cmdRecordMacro);
        QCOMPARE(e.editor.Text(), QStringLiteral("ab\n"));
        e.editor.SetText(QStringLiteral("  b"));
        e.editor.SetCaretPos(0, 3);
        e.editor.ExecuteCmd(CodeSense::cmdPlayMacro10);
        QCOMPARE(e.editor.Text(), QStringLiteral("  ab\n"));
        // The program's own caret moves during a recording do not replay as jumps.
        e.editor.SetText(QString());
        e.prompts.macroSlots.enqueue(5);
        e.editor.ExecuteCmd(CodeSense::cmdRecordMacro);
        e.type(QStringLiteral("a"));
        e.editor.SetSelText(QString());
        e.type(QStringLiteral("b"));
        e.editor.ExecuteCmd(CodeSense::cmdRecordMacro);
        e.editor.SetText(QStringLiteral("xyz"));
        e.editor.ExecuteCmd(CodeSense::cmdPlayMacro1 + 5);
        QCOMPARE(e.editor.Text(), QStringLiteral("xyzab"));
    }

    void propertiesApplyAtOnce()
    {
        Editor e(QStringLiteral("text"));
        e.prompts.colors.enqueue(QColor(Qt::red));
        WithModal(
            [&](QWidget *modal) {
                auto *dialog = qobject_cast<PropertiesDialog *>(modal);
                QVERIFY(dialog);
                QCOMPARE(dialog->fontSize->value(), 13);
                QCOMPARE(dialog->fontWeight->currentData().toInt(), 400);
                QCOMPARE(dialog->autoIndent->currentIndex(), 2);
                QCOMPARE(dialog->lineNumbering->currentText(), QStringLiteral("None"));
                QVERIFY(dialog->lineNumberTips->isChecked());
                QVERIFY(dialog->syntaxHighlighting->isChecked());
                dialog->fontSize->setValue(20);
                QCOMPARE(e.editor.SendScintilla(Sci::SCI_STYLEGETSIZEFRACTIONAL, Sci::STYLE_DEFAULT), 1500L);
                dialog->fontWeight->setCurrentIndex(dialog->fontWeight->findData(700));
                QCOMPARE(std::abs(e.editor.SendScintilla(Sci::SCI_STYLEGETWEIGHT, Sci::STYLE_DEFAULT)), 700L);
                QCOMPARE(dialog->styleList->count(), 1);
                dialog->chooseColorButton->click();
                QCOMPARE(e.editor.color(), QColor(Qt::red));
                dialog->tabWidth->setValue(3);
                QCOMPARE(e.editor.tabWidth(), 3);
                dialog->autoIndent->setCurrentIndex(1);
                QCOMPARE(e.editor.AutoIndentMode(), 1);
                dialog->lineNumbering->setCurrentIndex(dialog->lineNumbering->findText(QStringLiteral("Octal")));
                QVERIFY(e.editor.LineNumbering());
                QCOMPARE(e.editor.LineNumberStyle(), 8);
                dialog->lineNumbering->setCurrentIndex(0);
                QVERIFY(!e.editor.LineNumbering());
                QCOMPARE(e.editor.LineNumberStyle(), 8);
                dialog->lineNumberTips->setChecked(false);
                QVERIFY(!e.editor.LineToolTips());
                dialog->syntaxHighlighting->setChecked(false);
                QVERIFY(!e.editor.ColorSyntax());
                dialog->closeButton->click();
            },
            [&] { e.editor.ExecuteCmd(CodeSense::cmdProperties); });
        QCOMPARE(e.prompts.colorTitles, QStringList{QStringLiteral("Colour of Text")});
        QCOMPARE(e.features()->appearance().pixelSize, 20);
        // Opened again, the dialog shows what was chosen.
        WithModal(
            [&](QWidget *modal) {
                auto *dialog = qobject_cast<PropertiesDialog *>(modal);
                QVERIFY(dialog);
                QCOMPARE(dialog->fontSize->value(), 20);
                QCOMPARE(dialog->fontWeight->currentData().toInt(), 700);
                QCOMPARE(dialog->tabWidth->value(), 3);
                QCOMPARE(dialog->autoIndent->currentIndex(), 1);
            },
            [&] { e.editor.ExecuteCmd(CodeSense::cmdProperties); });
    }

    // The program's own dialogs behind the prompts.
    void promptDialogs()
    {
        DialogPrompts dialogs;
        std::optional<QString> count;
        WithModal(
            [](QWidget *modal) {
                auto *line = modal->findChild<QLineEdit *>();
                QVERIFY(line);
                QCOMPARE(line->text(), QStringLiteral("7x"));
                line->setText(QStringLiteral("12"));
                QMetaObject::invokeMethod(modal, "accept");
            },
            [&] { count = dialogs.askRepeatCount(nullptr, QStringLiteral("7x")); });
        QCOMPARE(count, std::optional<QString>(QStringLiteral("12")));

        std::optional<int> slot;
        WithModal(
            [](QWidget *modal) {
                auto *list = modal->findChild<QListWidget *>(QStringLiteral("slots"));
                QVERIFY(list);
                QCOMPARE(list->count(), 10);
                // The first empty slot is proposed.
                QCOMPARE(list->currentRow(), 1);
                QVERIFY(list->item(0)->text().startsWith(QStringLiteral("Macro 1 (in use")));
                QCOMPARE(list->item(9)->text(), QStringLiteral("Macro 10 (empty)"));
                list->setCurrentRow(6);
                QMetaObject::invokeMethod(modal, "accept");
            },
            [&] {
                QList<bool> used(10, false);
                used[0] = true;
                slot = dialogs.chooseMacroSlot(nullptr, used);
            });
        QCOMPARE(slot, std::optional<int>(6));
        WithModal([](QWidget *modal) { QMetaObject::invokeMethod(modal, "reject"); },
                  [&] { slot = dialogs.chooseMacroSlot(nullptr, QList<bool>(10, false)); });
        QVERIFY(!slot);
    }
};

QTEST_MAIN(EditorFeaturesTest)
#include "test_editorfeatures.moc"
