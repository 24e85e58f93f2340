// Define New Keyword appends to the chosen game's word and command files and the main
// window's command list shows that command file from then on.
#include "languages/frmDefNew.h"
#include "script/wordfile.h"
#include "support/files.h"
#include "support/mainwindow.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {
QString pf(const QString &name) { return ApplicationFile("pf/" + name); }
} // namespace

class DefineKeywordTest : public QObject
{
    Q_OBJECT

private slots:
    void define()
    {
        const QString jk = "Defined ATTACK as a Jedi Outcast keyword.";
        const QString partly = "ATTACK was only partly defined.\r\n\r\n";
        const std::tuple<bool, QString, QString, QString, QString, QByteArray, QByteArray> cases[] = {
            // Quake III?, keyword, command, what is done first ("missing": the game's files removed, a file made a
            // folder, "pf" removed), the message, what the word and command files gain ("<missing>": not there after)
            {false, "attack", "+attack", "", jk, "attack\r\n", "+attack\r\n"},
            {true, "Zoom", "+Zoom", "", "Defined ZOOM as a Quake III keyword.", "Zoom\r\n", "+Zoom\r\n"},
            {true, " ", "", "missing", "Defined   as a Quake III keyword.", " \r\n", "\r\n"},
            {false, "", "+attack", "", "You must fill out the keyword box.", "", ""},
            // A file that cannot be written does not stop the other, and the message names it
            // (%w, %c: the word and command files).
            {false, "attack", "+attack", "operators.txt", partly + "%w: ", "<missing>", "+attack\r\n"},
            {false, "attack", "+attack", "cc.txt", partly + "%c: ", "attack\r\n", "<missing>"},
            {false, "attack", "+attack", "pf", "ATTACK was not defined.\r\n\r\n%w: ", "<missing>", "<missing>"},
            // Neither file is touched when the code page cannot hold an entry.
            {false, "attack", "+att\u0416ck", "",
             "ATTACK was not defined.\r\n\r\nThe entry holds the character \u201c\u0416\u201d", "", ""}};
        for (const auto &[quake, word, command, prepare, message, wordAdded, commandAdded] : cases) {
            MainWindowFixture f;
            const QString words = pf(quake ? "q3operators.txt" : "operators.txt");
            const QString commands = pf(quake ? "q3cc.txt" : "cc.txt");
            if (prepare == "missing")
                QVERIFY(QFile::remove(words) && QFile::remove(commands));
            else if (prepare == "pf")
                QVERIFY(QDir(pf("")).removeRecursively());
            else if (!prepare.isEmpty())
                QVERIFY(QFile::remove(pf(prepare)) && QDir().mkdir(pf(prepare)));
            // What each file holds after: its bytes before (none when missing) and the entry.
            const auto after = [](const QString &path, const QByteArray &added) {
                return added == "<missing>" ? added : readAll(path).replace("<missing>", "") + added;
            };
            const QByteArray wordsAfter = after(words, wordAdded), commandsAfter = after(commands, commandAdded);
            QStringList listed = f.commandList();
            frmDefNew *dialog = f.window.DefNew();
            (quake ? dialog->Option2 : dialog->Option1)->setChecked(true);
            dialog->Text1->setText(word);
            dialog->Text2->setText(command);
            dialog->Command1->click();
            const QStringList shown = f.fakes.messageBoxes.texts();
            QCOMPARE(shown.size(), 1);
            const QString expected = QString(message).replace("%w", QDir::toNativeSeparators(words))
                                         .replace("%c", QDir::toNativeSeparators(commands));
            // A failure's message goes on with the system's own words.
            QVERIFY2(message.contains(" defined.") ? shown[0].startsWith(expected) : shown[0] == expected,
                     qPrintable(shown[0]));
            QCOMPARE(readAll(words), wordsAfter);
            QCOMPARE(readAll(commands), commandsAfter);
            QCOMPARE(dialog->Text1->text().isEmpty() && dialog->Text2->text().isEmpty(), message.startsWith("Defined"));
            if (!wordAdded.isEmpty() || !commandAdded.isEmpty())
                ReadLines(commands, listed); // empty when it cannot be read
            QCOMPARE(f.commandList(), listed);
        }
    }

    void helpAndClosing()
    {
        MainWindowFixture f;
        f.click("mnuTools_defNew");
        frmDefNew *dialog = f.window.DefNew();
        // Closing only hides: the game chosen and the text typed last.
        QVERIFY(dialog->Option1->isChecked());
        dialog->Option2->setChecked(true);
        dialog->Text1->setText(QStringLiteral("half typed"));
        dialog->close();
        f.click("mnuTools_defNew");
        QVERIFY(dialog->Option2->isChecked() && dialog->Text1->text() == "half typed");
        // The dialog's game decides the list shown, whatever the Game menu says.
        dialog->Command1->click();
        QStringList q3;
        QVERIFY(ReadLines(pf("q3cc.txt"), q3).ok() && q3.last().isEmpty());
        QCOMPARE(f.commandList(), q3);
        QVERIFY(f.window.menuItem("mnuGame_jk2")->isChecked());
    }
};

QTEST_MAIN(DefineKeywordTest)
#include "test_defnew.moc"
