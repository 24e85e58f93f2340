// The editor's own features, and the Edit, Options and Macros menus that reach them.
#include "editing/editorfeatures.h"
#include "editing/frmUndo.h"
#include "editing/linenumbers.h"
#include "editing/macros.h"
#include "editing/repeatcommand.h"
#include "support/datarows.h"
#include "support/mainwindow.h"
#include "support/markedtext.h"
#include "support/withmodal.h"

#include <Qsci/qscilexer.h>

#include <QtWidgets>

Q_DECLARE_METATYPE(EditorOptions)

namespace {

// Switches named by letter are off: t line number tips, s syntax, p colour preview.
EditorOptions Options(int indent, bool numbering, int base, const QString &off = QString())
{
    return {indent, numbering, base, !off.contains(u't'), !off.contains(u's'), !off.contains(u'p')};
}

struct Fixture : MainWindowFixture
{
    FakePrompts prompts;
    frmUndo *undoDialog() { return window.findChild<frmUndo *>(QStringLiteral("frmUndo")); }
    bool checked(const char *item) { return window.menuItem(QLatin1String(item))->isChecked(); }
    // The state, the editor and the check marks of the switches agree on these options.
    void expectOptions(const EditorOptions &options)
    {
        QCOMPARE(window.State.options(), options);
        QCOMPARE(editor()->Options(), options);
        QCOMPARE(QList<bool>({checked("mnuOptions_linenumtips"), checked("mnuOptions_syntaxh"),
                              checked("mnuOptions_colorpreview")}),
                 QList<bool>({options.lineToolTips, options.colorSyntax, options.colorPreview}));
    }
    // Runs the properties dialog that the item opens.
    void dialog(const char *item, const std::function<void(PropertiesDialog *)> &work)
    {
        WithModal([&](QWidget *modal) { work(qobject_cast<PropertiesDialog *>(modal)); }, [&] { click(item); });
    }
};

using Sci = QsciScintillaBase;

// An editor with its features, the text placed as "|" and "[" mark it, indenting by four
// blanks in the given mode.
struct Editor
{
    FakeServices fakes;
    FakePrompts prompts;
    CodeSense editor;
    EditorFeatures *features = new EditorFeatures(&editor);
    explicit Editor(const QString &marked = QStringLiteral("|"), int mode = 2)
    {
        editor.setIndentationsUseTabs(false);
        editor.setIndentationWidth(4);
        editor.SetAutoIndentMode(mode);
        editor.resize(640, 400);
        Place(editor, marked);
        editor.show();
    }
    // Keys and commands in turn: "|" Return, "«" Home, "»" End, "~" Escape, "^" Shift alone,
    // "?" Repeat Next, "@" the Undo command, "*" plays slot 5, "!" starts
    // or ends a recording, "<" undoes, "$" is an edit of the program's own; others are typed.
    void run(const QString &script)
    {
        const QHash<QChar, Qt::Key> keys{{u'|', Qt::Key_Return}, {u'«', Qt::Key_Home}, {u'»', Qt::Key_End},
                                         {u'~', Qt::Key_Escape}, {u'^', Qt::Key_Shift}};
        const QHash<QChar, qint32> commands{{u'?', CodeSense::cmdRepeatNext}, {u'@', CodeSense::cmdUndo},
                                            {u'*', CodeSense::cmdPlayMacro1 + 4}, {u'!', CodeSense::cmdRecordMacro}};
        for (const QChar c : script) {
            if (keys.contains(c))
                QTest::keyClick(&editor, keys[c]);
            else if (commands.contains(c))
                editor.ExecuteCmd(commands[c]);
            else if (c == u'<' || c == u'$')
                c == u'<' ? editor.Undo() : editor.SetSelText(QString());
            else
                QTest::keyClicks(&editor, QString(c));
        }
    }
};

// Flags: c match case, w whole word, r regular expression, u upwards, n no wrapping.
FindOptions Search(const QString &text, const QString &flags, const QString &replacement = QString())
{
    return {text, replacement, flags.contains(u'c'), flags.contains(u'w'), flags.contains(u'r'), !flags.contains(u'n'),
            !flags.contains(u'u')};
}

QString MarginText(const CodeSense &editor, int line)
{
    QByteArray text(editor.SendScintilla(Sci::SCI_MARGINGETTEXT, line) + 1, '\0');
    editor.SendScintilla(Sci::SCI_MARGINGETTEXT, line, text.data());
    return QString::fromLatin1(text.constData());
}

} // namespace

class EditingTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { MacroSlots::ClearAll(); }

    // Steps are Options menu items to click. Changed: whether the last step changed the state; a
    // checked choice changes nothing. Which items are checked in each group: test_mainwindow.
    void optionChoices_data()
    {
        Columns<QString, EditorOptions, bool>({"steps", "options", "changed"});
        QTest::newRow("hex") << "linenum_hex" << Options(2, true, 16) << true;
        QTest::newRow("none keeps base") << "linenum_oct linenum_none" << Options(2, false, 8) << true;
        QTest::newRow("checked numbering") << "linenum_hex linenum_hex" << Options(2, true, 16) << false;
        QTest::newRow("endent off") << "endent_off" << Options(0, false, 10) << true;
        QTest::newRow("endent scope") << "endent_scope" << Options(1, false, 10) << true;
        QTest::newRow("tips") << "linenumtips" << Options(2, false, 10, "t") << true;
        QTest::newRow("syntax") << "syntaxh" << Options(2, false, 10, "s") << true;
        QTest::newRow("preview") << "colorpreview" << Options(2, false, 10, "p") << true;
    }
    void optionChoices()
    {
        const auto [steps, options] = Fetch<QString, EditorOptions>({"steps", "options"});
        Fixture f;
        QSignalSpy changes(&f.window.State, &AppState::optionsChanged);
        for (const QString &step : steps.split(u' ')) {
            changes.clear();
            f.click(qPrintable("mnuOptions_" + step));
        }
        f.expectOptions(options);
        QTEST(!changes.isEmpty(), "changed");
    }

    // The options chosen in the dialog reach the state and the menu marks. The chosen font and
    // colours reach every style of the script language, survive a game switch, which brings a
    // new lexer, and are what the dialog shows next time.
    void propertiesReachTheScriptLanguage()
    {
        Fixture f;
        f.prompts.colors.enqueue(QColor(0x12, 0x34, 0x56));
        f.dialog("mnuFont_select", [](PropertiesDialog *dialog) {
            dialog->autoIndent->setCurrentIndex(0);
            dialog->lineNumbering->setCurrentIndex(dialog->lineNumbering->findText("Binary"));
            dialog->lineNumberTips->setChecked(false);
            dialog->syntaxHighlighting->setChecked(false);
            const auto comment = dialog->styleList->findItems(QStringLiteral("Comment"), Qt::MatchExactly);
            QVERIFY(comment.size() == 1 && dialog->styleList->count() > 5);
            dialog->styleList->setCurrentItem(comment[0]);
            dialog->chooseColorButton->click();
            dialog->fontSize->setValue(16);
            dialog->tabWidth->setValue(3);
        });
        QCOMPARE(f.prompts.colorTitles, QStringList{QStringLiteral("Colour of Comment")});
        f.expectOptions(Options(0, true, 2, "ts"));
        f.click("mnuGame_q3");
        QsciLexer *lexer = f.editor()->lexer();
        int keyword = -1;
        int comment = -1;
        for (int style = 0; style < 32; ++style) {
            keyword = lexer->description(style) == QLatin1String("Keyword") ? style : keyword;
            comment = lexer->description(style) == QLatin1String("Comment") ? style : comment;
        }
        for (const int style : {0, keyword, comment}) {
            QCOMPARE(lexer->font(style).pointSizeF(), 12.0);
            QCOMPARE(lexer->font(style).family(), f.editor()->findChild<EditorFeatures *>()->appearance().family);
            QCOMPARE(lexer->font(style).bold(), style == keyword);
        }
        QCOMPARE(lexer->color(comment), QColor(0x12, 0x34, 0x56));
        f.dialog("mnuEdit_properties", [](PropertiesDialog *dialog) {
            QCOMPARE(dialog->fontSize->value(), 16);
            QCOMPARE(dialog->tabWidth->value(), 3);
        });
    }

    // Five steps to undo; the count, kept when the dialog turns to Redo, gives them all back.
    void undoAndRedoCounts_data()
    {
        Columns<QString, QString>({"count", "afterUndo"}); // "?": the count is refused
        QTest::newRow("0") << "0" << "abcde";
        QTest::newRow("negative") << "-3" << "abcde";
        QTest::newRow("3") << "3" << "ab";
        QTest::newRow("beyond the history") << " +1000000000 " << "";
        QTest::newRow("beyond 64 bits") << "99999999999999999999" << "";
        for (const char *refused : {"", "   ", "-", "2.5", "12abc", "1e3", "1 2", "\u0661\u0662"})
            QTest::newRow(refused) << QString::fromUtf8(refused) << "?";
    }
    void undoAndRedoCounts()
    {
        const auto [count, afterUndo] = Fetch<QString, QString>({"count", "afterUndo"});
        Fixture f;
        for (const char *text : {"a", "b", "c", "d", "e"})
            f.editor()->InsertText(QString::fromLatin1(text));
        f.click("mnuEdit_undomany");
        frmUndo *dialog = f.undoDialog();
        dialog->Combo1->setEditText(count);
        dialog->Command2->click();
        const bool refused = afterUndo == "?";
        QCOMPARE(f.editor()->Text(), refused ? QStringLiteral("abcde") : afterUndo);
        ExpectMessages(f.fakes.messageBoxes,
                       QStringList(refused, "Please type the number of operations as a whole number, for example 5."));
        // The dialog stays open, and Redo keeps its count.
        QVERIFY(dialog->isVisible());
        f.click("mnuEdit_redoOps");
        QCOMPARE(f.undoDialog(), dialog);
        QCOMPARE(dialog->Combo1->currentText(), count);
        dialog->Command2->click();
        QCOMPARE(f.editor()->Text(), QStringLiteral("abcde"));
        // Close hides it; the close box unloads it, and the next opening is a fresh dialog.
        dialog->Command1->click();
        QVERIFY(dialog->isHidden());
        QPointer<frmUndo> old = dialog;
        QVERIFY(dialog->close());
        f.click("mnuEdit_undomany");
        QVERIFY(f.undoDialog() != old.data() && f.undoDialog()->Combo1->currentText() == "1");
    }

    // Only the lines on screen carry numbers, in the chosen base; they follow a scroll and
    // edits. Dragging the scroll bar names the top line when tips are on.
    void lineNumbersAndScrollTips_data()
    {
        Columns<int, bool, QString>({"base", "tips", "label"}); // of line 54322
        QTest::newRow("hex") << 16 << true << "D432";
        QTest::newRow("octal, no tips") << 8 << false << "152062";
    }
    void lineNumbersAndScrollTips()
    {
        const auto [base, tips, label] = Fetch<int, bool, QString>({"base", "tips", "label"});
        Editor e(QStringLiteral("echo\n").repeated(99999) + QStringLiteral("end"));
        QVERIFY(QTest::qWaitForWindowExposed(&e.editor));
        e.editor.SetOptions({2, true, base, tips, true, true});
        QCOMPARE(MarginText(e.editor, 0), QStringLiteral("1"));
        QToolTip::hideText();
        QScrollBar *bar = e.editor.verticalScrollBar();
        bar->setSliderDown(true);
        bar->setSliderPosition(54321);
        QTRY_COMPARE(MarginText(e.editor, 54321), label);
        QTRY_COMPARE(QToolTip::isVisible(), tips);
        QCOMPARE(QToolTip::text(), tips ? "Line " + label : QString());
        bar->setSliderDown(false);
        QTRY_VERIFY(!QToolTip::isVisible());
        for (const int away : {0, 54320, 99999})
            QCOMPARE(MarginText(e.editor, away), QString());
        e.editor.SetCaretPos(54322, 0);
        QTest::keyClick(&e.editor, Qt::Key_Return);
        QTRY_COMPARE(MarginText(e.editor, 54323), LineNumberText(54324, base));
        e.editor.SetLineNumbering(false);
        QCOMPARE(MarginText(e.editor, 54323), QString());
    }

    void autoIndent_data()
    {
        Columns<int, QString, QString, QString>({"mode", "start", "typed", "text"});
        QTest::newRow("off") << 0 << "|" << "    a|b" << "    a\nb";
        QTest::newRow("previous line") << 2 << "|" << "    a {|b|}" << "    a {\n    b\n    }";
        QTest::newRow("break keeps the text's own indentation") << 2 << "|    a" << "|" << "\n    a";
        QTest::newRow("scope") << 1 << "|" << "a {|\"|x|\"|}|c" << "a {\n    \"\n        x\n    \"\n}\nc";
    }
    void autoIndent()
    {
        const auto [mode, start, typed] = Fetch<int, QString, QString>({"mode", "start", "typed"});
        Editor e(start, mode);
        e.run(typed);
        QTEST(e.editor.Text(), "text");
    }

    // The matches found in turn, by start; -1 when none is found, -2 for a bad pattern.
    void findNext_data()
    {
        Columns<QString, QString, QString, QList<int>>({"text", "pattern", "flags", "starts"});
        const QString binds = QStringLiteral("Bind bind BIND rebind");
        QTest::newRow("any case") << binds << "bind" << "" << QList<int>{0, 5, 10, 17, 0};
        QTest::newRow("match case") << binds << "bind" << "c" << QList<int>{5, 17, 5};
        QTest::newRow("whole word") << binds << "bind" << "w" << QList<int>{0, 5, 10, 0};
        QTest::newRow("regex") << binds << "[a-z]bind" << "r" << QList<int>{16, 16};
        QTest::newRow("upwards") << binds << "bind" << "u" << QList<int>{17, 10, 5, 0, 17};
        QTest::newRow("no wrap") << "one two one" << "one" << "n" << QList<int>{0, 8, -1};
        QTest::newRow("bad pattern") << "one" << "(one" << "r" << QList<int>{-2};
        QTest::newRow("empty matches move on") << "ab" << "x*" << "r" << QList<int>{1, 2, 0};
        QTest::newRow("non-ASCII in any case") << "Grüße GRÜSSE grüße" << "grüße" << "" << QList<int>{0, 13, 0};
    }
    void findNext()
    {
        const auto [text, pattern, flags, starts] =
            Fetch<QString, QString, QString, QList<int>>({"text", "pattern", "flags", "starts"});
        Editor e(text);
        const FindOptions options = Search(pattern, flags);
        e.editor.SetCaretPos(0, options.forward ? 0 : qint32(text.size()));
        QList<int> found;
        for (qsizetype i = 0; i < starts.size(); ++i) {
            const FindResult result = FindNextMatch(&e.editor, options);
            found << (result == FindResult::Found ? e.editor.GetSel(true).StartColNo
                                                  : result == FindResult::NotFound ? -1 : -2);
        }
        QCOMPARE(found, starts);
    }

    // All of it is one undo step.
    void replaceAll_data()
    {
        Columns<QString, QString, QString, QString, int, QString>(
            {"text", "pattern", "flags", "replacement", "count", "result"});
        QTest::newRow("plain") << "bind a; unbind c" << "bind" << "c" << "BIND" << 2 << "BIND a; unBIND c";
        QTest::newRow("groups") << "seta x 1\nseta y 2" << "seta (\\w) (\\d)" << "r" << "set \\1 \\2\\2" << 2
                                << "set x 11\nset y 22";
        QTest::newRow("empty matches at line starts") << "a\nb\nc" << "^" << "r" << "// " << 3 << "// a\n// b\n// c";
        QTest::newRow("empty matches everywhere") << "ab" << "x*" << "r" << "-" << 3 << "-a-b-";
        QTest::newRow("nothing") << "abc" << "z" << "" << "y" << 0 << "abc";
        QTest::newRow("bad pattern") << "abc" << "(a" << "r" << "y" << -1 << "abc";
    }
    void replaceAll()
    {
        const auto [text, pattern, flags, replacement, count] =
            Fetch<QString, QString, QString, QString, int>({"text", "pattern", "flags", "replacement", "count"});
        Editor e(text);
        e.editor.SendScintilla(Sci::SCI_EMPTYUNDOBUFFER);
        QCOMPARE(ReplaceAllMatches(&e.editor, Search(pattern, flags, replacement)), count);
        QTEST(e.editor.Text(), "result");
        if (count > 0)
            e.editor.Undo();
        QCOMPARE(e.editor.Text(), text);
        QVERIFY(!e.editor.isUndoAvailable());
    }

    // Find Next without a search opens the modeless dialog on the word selected; Find Next then
    // repeats the dialog's search.
    void findDialog()
    {
        Editor e(QStringLiteral("[vstr| a; vstr b; VSTR c"));
        e.editor.ExecuteCmd(CodeSense::cmdFindNext);
        FindReplaceDialog *dialog = e.features->findDialog();
        QVERIFY(dialog && dialog->isVisible() && !dialog->isModal());
        QCOMPARE(dialog->findText->text(), QStringLiteral("vstr"));
        dialog->hide();
        e.editor.ExecuteCmd(CodeSense::cmdFindReplace);
        QVERIFY(e.features->findDialog() == dialog && dialog->isVisible());
        dialog->matchCase->setChecked(true);
        dialog->findNextButton->click();
        e.editor.ExecuteCmd(CodeSense::cmdFindNext);
        QCOMPARE(Marked(e.editor), QStringLiteral("[vstr| a; vstr b; VSTR c"));
        // Replace replaces the selected match and finds the next.
        dialog->replaceText->setText(QStringLiteral("exec"));
        dialog->replaceButton->click();
        QCOMPARE(Marked(e.editor), QStringLiteral("exec a; [vstr| b; VSTR c"));
        dialog->matchCase->setChecked(false);
        dialog->replaceAllButton->click();
        QCOMPARE(e.editor.Text(), QStringLiteral("exec a; exec b; exec c"));
        dialog->findText->setText(QStringLiteral("zzz"));
        dialog->findNextButton->click();
        dialog->findText->setText(QStringLiteral("(("));
        dialog->regularExpression->setChecked(true);
        dialog->findNextButton->click();
        ExpectMessages(e.fakes.messageBoxes, {"Replaced 2 occurrences.", "Cannot find \"zzz\".",
                                              "The regular expression \"((\" is not valid."});
    }

    // Counts answer the questions in turn; the start is typed first, one undo step a character.
    void repeatNext_data()
    {
        Columns<QStringList, QString, QString, QString, int>({"counts", "start", "script", "text", "refused"});
        QTest::newRow("typed key") << QStringList{"3"} << "" << "?ab" << "aaab" << 0;
        QTest::newRow("as one undo step") << QStringList{"3"} << "" << "?ab<<" << "" << 0;
        QTest::newRow("modifier keys wait") << QStringList{"2"} << "" << "?^x" << "xx" << 0;
        QTest::newRow("escape gives up") << QStringList{"4"} << "" << "?~z" << "z" << 0;
        QTest::newRow("return indents each line") << QStringList{"2"} << "  x" << "?|y" << "  x\n  \n  y" << 0;
        QTest::newRow("undo command") << QStringList{"2"} << "abc" << "?@" << "a" << 0;
        QTest::newRow("macro") << QStringList{"3"} << "abc" << "?*" << "abcokokok" << 0;
        QTest::newRow("macro as one undo step") << QStringList{"3"} << "abc" << "?*<" << "abc" << 0;
        QTest::newRow("bad counts, then cancelled")
            << QStringList{"abc", "", "2.5", "0", "-2", "10001"} << "" << "?x" << "x" << 6;
        QTest::newRow("largest count with blanks") << QStringList{"10001", " 10000 "} << "abc" << "?@" << "" << 1;
    }
    void repeatNext()
    {
        const auto [counts, start, script, text, refused] =
            Fetch<QStringList, QString, QString, QString, int>({"counts", "start", "script", "text", "refused"});
        Editor e;
        MacroSlots::Keep(4, {{QStringLiteral("2170 0 2 ok"), {}}});
        for (const QChar c : start)
            e.editor.InsertText(c);
        for (const QString &count : counts)
            e.prompts.counts.enqueue(count);
        e.run(script);
        QCOMPARE(e.editor.Text(), text);
        // Nothing is left pending, and the badge that showed an accepted count is gone.
        QCOMPARE(e.features->repeat()->pending(), 0);
        QVERIFY(!e.features->statusBadge()->isVisibleTo(&e.editor));
        QCOMPARE(e.features->statusBadge()->styleSheet().isEmpty(), refused == counts.size());
        ExpectMessages(e.fakes.messageBoxes, QStringList(refused, "Please type how many times the next command should "
                                                                  "run: a whole number from 1 to 10000."));
        // Each question after a refusal starts from the refused answer.
        QCOMPARE(e.prompts.countTexts.mid(1, refused), counts.mid(0, refused));
    }

    // Slot 1 holds "ok" before each recording; the recording is then played into another editor
    // where the caret stands, as one undo step.
    void macros_data()
    {
        Columns<int, QString, QString, int, QString, QString, int, QString>(
            {"mode", "start", "script", "slot", "seen", "playStart", "play", "played"});
        const QString block = QStringLiteral("!if {|echo|}|done!");
        const QString typed = QStringLiteral("if {\n    echo\n}\ndone");
        QTest::newRow("indentation follows the new place") << 1 << "|" << block << 2 << typed << "{\n    |" << 2
                                                           << "{\n    if {\n        echo\n    }\n    done";
        QTest::newRow("caret keys, plain line break") << 0 << "b|" << "!«a»|!" << 9 << "ab\n" << "  b|" << 9
                                                      << "  ab\n";
        QTest::newRow("own edits are no caret jumps") << 2 << "|" << "!a$b!" << 5 << "ab" << "xyz|" << 5 << "xyzab";
        QTest::newRow("discarded keeps the slot") << 2 << "|" << "!new!" << -1 << "new" << "|" << 0 << "ok";
        QTest::newRow("nothing recorded, nothing asked") << 2 << "|" << "!!" << 3 << "" << "|" << 3 << "";
        QTest::newRow("empty slot plays nothing") << 2 << "|" << "" << -1 << "" << "x|" << 9 << "x";
    }
    void macros()
    {
        const auto [mode, start, script, slot, playStart, play, played] =
            Fetch<int, QString, QString, int, QString, int, QString>(
                {"mode", "start", "script", "slot", "playStart", "play", "played"});
        MacroSlots::Keep(0, {{QStringLiteral("2170 0 2 ok"), {}}});
        const QList<bool> used = MacroSlots::Used();
        Editor e(start, mode);
        if (slot >= 0)
            e.prompts.macroSlots.enqueue(slot);
        e.run(script);
        QTEST(e.editor.Text(), "seen");
        QVERIFY(!e.features->macros()->isRecording());
        // Only a recording that holds something asks for a slot, showing the used ones.
        QCOMPARE(e.prompts.slotQuestions, script.size() > 2 ? QList<QList<bool>>{used} : QList<QList<bool>>{});

        Editor other(playStart, mode);
        other.editor.ExecuteCmd(CodeSense::cmdPlayMacro1 + play);
        QCOMPARE(other.editor.Text(), played);
        const QString before = QString(playStart).remove(u'|');
        if (played != before)
            other.editor.Undo();
        QCOMPARE(other.editor.Text(), before);
    }
};

QTEST_MAIN(EditingTest)
#include "test_editing.moc"
