// Start-up registers both languages from the word files and fills the command list; the
// Game menu switches language and list.
#include "about/frmSplash.h"
#include "script/wordfile.h"
#include "support/files.h"
#include "support/mainwindow.h"

#include <QCheckBox>

namespace {
QString pf(const char *name) { return ApplicationFile(QStringLiteral("pf/") + QLatin1String(name)); }
} // namespace

class RegistrationTest : public QObject
{
    Q_OBJECT

private slots:
    void startUp()
    {
        const QString missing = "53\r\nFile not found";
        const std::tuple<const char *, QByteArray, QStringList, QStringList> cases[] = {
            // file, what it holds ("<missing>": removed), messages, command list ("*": the shipped one)
            {"operators.txt", "<missing>",
             {missing, "Error trying to access operators.txt.\r\nTry unzipping the program again."}, {"*"}},
            {"q3operators.txt", "<missing>", {missing}, {"*"}},
            {"cc.txt", "<missing>", {"Error #" + missing}, {}},
            {"cc.txt", "", {}, {}},
            {"cc.txt", "a\r\n\r\nc", {}, {"a", "", "c"}}};
        for (auto [file, content, messages, list] : cases) {
            MainWindowFixture f(false);
            QVERIFY(content == "<missing>" ? QFile::remove(pf(file)) : writeAll(pf(file), content));
            QVERIFY(list != QStringList{"*"} || ReadLines(pf("cc.txt"), list).ok());
            f.window.Form_Load();
            ExpectMessages(f.fakes.messageBoxes, messages);
            // A word file that cannot be read ends the program; the splash ticks the second language.
            const bool ends = QByteArray(file).endsWith("operators.txt") && content == "<missing>";
            QCOMPARE(f.ends, int(ends));
            QCOMPARE(f.window.ProgramEnded(), ends);
            QCOMPARE(f.window.Splash()->Check1->isChecked(), !ends);
            QCOMPARE(f.commandList(), list);
        }
    }

    void switchingGames()
    {
        MainWindowFixture f;
        const QStringList jk2 = f.commandList();
        QVERIFY(QFile::remove(pf("cc.txt")));
        f.click("mnuGame_jk2"); // the current game: nothing is read again
        QCOMPARE(f.commandList(), jk2);
        f.click("mnuGame_q3");
        ExpectMessages(f.fakes.messageBoxes, {});
        // A command file that cannot be read is reported; the game changes all the same.
        f.click("mnuGame_jk2");
        ExpectMessages(f.fakes.messageBoxes, {"53\r\nFile not found"});
        QCOMPARE(f.editor()->Language(), QStringLiteral("JK2Script"));
        QVERIFY(f.window.menuItem("mnuGame_jk2")->isChecked() && !f.window.menuItem("mnuGame_q3")->isChecked());
        QCOMPARE(f.commandList(), QStringList());
    }

    void keywordsHighlightInAnyCase()
    {
        MainWindowFixture f;
        CodeSense *editor = f.editor();
        editor->SetText(QStringLiteral("SET x 1\nvStr x\nsetx"));
        const auto styles = [&] {
            editor->SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0, -1);
            QList<int> result; // at each line's start
            for (int line = 0; line < 3; ++line)
                result << int(editor->SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, editor->PositionOf(line, 0)));
            return result;
        };
        QCOMPARE(styles(), (QList<int>{1, 1, 0})); // a word that merely starts with a keyword is none
        f.click("mnuOptions_syntaxh");
        QCOMPARE(styles(), (QList<int>{0, 0, 0}));
        f.click("mnuGame_q3"); // a new lexer follows the option too
        QCOMPARE(styles(), (QList<int>{0, 0, 0}));
    }
};

QTEST_MAIN(RegistrationTest)
#include "test_registration.moc"
