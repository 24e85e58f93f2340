#include "editing/editorfeatures.h"
#include "editing/frmPlay.h"
#include "editing/frmUndo.h"
#include "editing/macros.h"
#include "editing/timedate.h"
#include "support/datarows.h"
#include "support/mainwindow.h"
#include "support/markedtext.h"
#include "support/withmodal.h"

#include <Qsci/qscilexer.h>

#include <QtTest>
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
    Fixture() { MacroSlots::ClearAll(); }
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

} // namespace

class EditMenuTest : public QObject
{
    Q_OBJECT

private slots:
    // Steps are Options menu items to click. Changed: whether the last step changed the state; a
    // checked choice changes nothing. Which items are checked in each group: test_frmmain.
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

    // The caret goes back to the column of the selection's old caret end.
    void timeAndDate_data()
    {
        Columns<QString, QString>({"before", "after"}); // "T" stands for the time and date
        QTest::newRow("no selection") << "say |old;" << "say Told;";
        QTest::newRow("backwards") << "say |old[;" << "say T;";
        QTest::newRow("forwards") << "say [old|;" << "say T;";
    }
    void timeAndDate()
    {
        const auto [before, after] = Fetch<QString, QString>({"before", "after"});
        Fixture f;
        Place(*f.editor(), before);
        const EditorRange old = f.editor()->GetSel(false);
        const QString early = TimeDateText(QTime::currentTime(), QDate::currentDate(), QLocale());
        f.click("mnuEdit_time");
        const QString late = TimeDateText(QTime::currentTime(), QDate::currentDate(), QLocale());
        const QString text = f.editor()->Text();
        QVERIFY2(text == QString(after).replace("T", early) || text == QString(after).replace("T", late),
                 qPrintable(text));
        QCOMPARE(f.editor()->GetSel(false), (EditorRange{0, old.EndColNo, 0, old.EndColNo}));
        QVERIFY(f.window.windowTitle().endsWith(u'*'));
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

    // Close hides the dialog, keeping the choice for the next opening.
    void playSendsTheChosenSlot()
    {
        Fixture f;
        QList<qint32> sent; // the editor commands that arrive, instead of running them
        f.editor()->SetCommandFilter([&sent](qint32 id) {
            sent << id;
            return true;
        });
        f.click("mnuMacros_play");
        frmPlay *dialog = f.window.findChild<frmPlay *>();
        dialog->Option1[9]->setChecked(true);
        dialog->Check1->setChecked(false);
        dialog->Command1->click();
        dialog->Option1[0]->setChecked(true);
        dialog->Command1->click();
        QCOMPARE(sent, (QList<qint32>{CodeSense::cmdPlayMacro10, CodeSense::cmdPlayMacro1}));
        dialog->Command2->click();
        QVERIFY(dialog->isHidden());
        f.click("mnuMacros_play");
        QVERIFY(dialog->isVisible() && dialog->Option1[0]->isChecked() && !dialog->Check1->isChecked());
    }
};

QTEST_MAIN(EditMenuTest)
#include "test_editmenu.moc"
