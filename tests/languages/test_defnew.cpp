#include "aids/frmCmdList.h"
#include "foundation/appfolder.h"
#include "app/frmMain.h"
#include "editor/codesense.h"
#include "languages/frmDefNew.h"
#include "support/fakeservices.h"
#include "support/ordinaryuser.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QByteArray Missing("<missing>");
const QStringList DataFiles{"operators.txt", "cc.txt", "q3operators.txt", "q3cc.txt"};

QStringList items(const frmCmdList &window)
{
    QStringList result;
    for (int i = 0; i < window.list1->count(); ++i)
        result << window.list1->item(i)->text();
    return result;
}

} // namespace

class DefineKeywordTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> appDir;

    QString pfFile(const QString &name) const { return QDir(appDir->path()).filePath("pf/" + name); }

    QByteArray contents(const QString &name) const
    {
        QFile file(pfFile(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : Missing;
    }

    void setContents(const QString &name, const QByteArray &bytes)
    {
        if (bytes == Missing) {
            QFile::remove(pfFile(name));
            return;
        }
        QFile file(pfFile(name));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(bytes), bytes.size());
    }

    struct Fixture
    {
        FakeServices fakes;
        CodeSense editor;
        frmCmdList cmdList{&editor};
        frmDefNew dialog{&cmdList};
        Fixture() { cmdList.AddItem(QStringLiteral("stale item")); }
        void define(const QString &word, const QString &command, bool quake = false)
        {
            (quake ? dialog.Option2 : dialog.Option1)->setChecked(true);
            dialog.Text1->setText(word);
            dialog.Text2->setText(command);
            dialog.Command1->click();
        }
    };

private slots:
    void init()
    {
        appDir = std::make_unique<QTemporaryDir>();
        QVERIFY(appDir->isValid());
        QVERIFY(QDir(appDir->path()).mkdir("pf"));
        SetApplicationFolder(appDir->path());
        setContents("operators.txt", "bind\r\nset\r\n");
        setContents("cc.txt", "+forward\r\nbind\r\n");
        setContents("q3operators.txt", "zoom\r\n");
        setContents("q3cc.txt", "+zoom\r\n+back");
    }
    void cleanup() { appDir.reset(); }

    void helpMessage()
    {
        Fixture f;
        f.dialog.Command2->click();
        QCOMPARE(f.fakes.messageBoxes.shown.size(), 1);
        const MessageBoxRequest &box = f.fakes.messageBoxes.shown[0];
        QCOMPARE(box.text, QStringLiteral("New Keyword (No +) means to NOT include the addition sign (+) if "
                                          "applicable.\r\nNew Keyword (W/+) means to include the addition sign "
                                          "if applicable."));
        QCOMPARE(box.title, QStringLiteral("Tavrel"));
        QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(box.icon, QMessageBox::NoIcon);
    }

    void emptyKeywordWritesNothing()
    {
        Fixture f;
        f.define(QString(), QStringLiteral("+attack"));
        QCOMPARE(f.fakes.messageBoxes.texts(), QStringList{"You must fill out the keyword box."});
        QCOMPARE(f.fakes.messageBoxes.shown[0].title, QStringLiteral("Tavrel"));
        QCOMPARE(contents("operators.txt"), QByteArray("bind\r\nset\r\n"));
        QCOMPARE(contents("cc.txt"), QByteArray("+forward\r\nbind\r\n"));
        QCOMPARE(f.dialog.Text2->text(), QStringLiteral("+attack"));
        QCOMPARE(items(f.cmdList), QStringList{"stale item"});
    }

    void define_data()
    {
        QTest::addColumn<bool>("quake");
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QByteArray>("wordFileBefore"); // "<missing>": no file
        QTest::addColumn<QByteArray>("commandFileBefore");
        QTest::addColumn<QByteArray>("wordFileAfter");
        QTest::addColumn<QByteArray>("commandFileAfter");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("listed");
        const QByteArray jkWords("bind\r\nset\r\n");
        const QByteArray jkCommands("+forward\r\nbind\r\n");
        QTest::newRow("Jedi Outcast attack")
            << false << "attack" << "+attack" << jkWords << jkCommands << QByteArray("bind\r\nset\r\nattack\r\n")
            << QByteArray("+forward\r\nbind\r\n+attack\r\n") << "Defined ATTACK as a Jedi Outcast keyword."
            << QStringList{"+forward", "bind", "+attack"};
        QTest::newRow("Quake III, unterminated last line continued")
            << true << "Zoom" << "+Zoom" << QByteArray("zoom\r\n") << QByteArray("+zoom\r\n+back")
            << QByteArray("zoom\r\nZoom\r\n") << QByteArray("+zoom\r\n+back+Zoom\r\n")
            << "Defined ZOOM as a Quake III keyword." << QStringList{"+zoom", "+back+Zoom"};
        QTest::newRow("missing files are created")
            << false << "cl_run" << "cl_run 1" << Missing << Missing << QByteArray("cl_run\r\n")
            << QByteArray("cl_run 1\r\n") << "Defined CL_RUN as a Jedi Outcast keyword." << QStringList{"cl_run 1"};
        QTest::newRow("empty command adds an empty line")
            << false << "echo" << "" << jkWords << jkCommands << QByteArray("bind\r\nset\r\necho\r\n")
            << QByteArray("+forward\r\nbind\r\n\r\n") << "Defined ECHO as a Jedi Outcast keyword."
            << QStringList{"+forward", "bind", ""};
        QTest::newRow("blanks count as content")
            << true << " " << " x " << QByteArray() << QByteArray() << QByteArray(" \r\n") << QByteArray(" x \r\n")
            << "Defined   as a Quake III keyword." << QStringList{" x "};
    }
    void define()
    {
        QFETCH(bool, quake);
        QFETCH(QString, word);
        QFETCH(QString, command);
        QFETCH(QByteArray, wordFileBefore);
        QFETCH(QByteArray, commandFileBefore);
        const QString wordFile = quake ? "q3operators.txt" : "operators.txt";
        const QString commandFile = quake ? "q3cc.txt" : "cc.txt";
        setContents(wordFile, wordFileBefore);
        setContents(commandFile, commandFileBefore);
        QMap<QString, QByteArray> before;
        for (const QString &name : DataFiles)
            before[name] = contents(name);

        Fixture f;
        f.define(word, command, quake);

        QTEST(contents(wordFile), "wordFileAfter");
        QTEST(contents(commandFile), "commandFileAfter");
        for (const QString &name : DataFiles)
            if (name != wordFile && name != commandFile)
                QCOMPARE(contents(name), before[name]);
        QCOMPARE(f.fakes.messageBoxes.shown.size(), 1);
        QTEST(f.fakes.messageBoxes.shown[0].text, "message");
        QCOMPARE(f.fakes.messageBoxes.shown[0].title, QStringLiteral("Tavrel"));
        QCOMPARE(f.fakes.messageBoxes.shown[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(f.fakes.messageBoxes.shown[0].icon, QMessageBox::NoIcon);
        QCOMPARE(f.dialog.Text1->text(), QString());
        QCOMPARE(f.dialog.Text2->text(), QString());
        QTEST(items(f.cmdList), "listed");
        QCOMPARE(f.dialog.Option2->isChecked(), quake);
    }

    void sameWordTwiceIsAppendedTwice()
    {
        Fixture f;
        f.define(QStringLiteral("attack"), QStringLiteral("+attack"));
        f.define(QStringLiteral("attack"), QStringLiteral("+attack"));
        QCOMPARE(contents("operators.txt"), QByteArray("bind\r\nset\r\nattack\r\nattack\r\n"));
        QCOMPARE(contents("cc.txt"), QByteArray("+forward\r\nbind\r\n+attack\r\n+attack\r\n"));
        QCOMPARE(items(f.cmdList), QStringList({"+forward", "bind", "+attack", "+attack"}));
        QCOMPARE(f.fakes.messageBoxes.shown.size(), 2);
    }

    // A file that cannot be written is passed over silently; the rest of the definition goes on.
    void failedAppendIsSkipped_data()
    {
        QTest::addColumn<QString>("blocked"); // a data file replaced by a folder; "pf" removes the folder
        QTest::addColumn<QByteArray>("wordFileAfter");
        QTest::addColumn<QByteArray>("commandFileAfter");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("word file") << "operators.txt" << Missing
                                   << QByteArray("+forward\r\nbind\r\n+attack\r\n")
                                   << QStringList{"+forward", "bind", "+attack"};
        QTest::newRow("command file") << "cc.txt" << QByteArray("bind\r\nset\r\nattack\r\n") << Missing
                                      << QStringList{};
        QTest::newRow("no pf folder") << "pf" << Missing << Missing << QStringList{};
    }
    void failedAppendIsSkipped()
    {
        QFETCH(QString, blocked);
        if (blocked == QLatin1String("pf")) {
            QVERIFY(QDir(pfFile(QString())).removeRecursively());
        } else {
            QVERIFY(QFile::remove(pfFile(blocked)));
            QVERIFY(QDir().mkdir(pfFile(blocked)));
        }
        Fixture f;
        f.define(QStringLiteral("attack"), QStringLiteral("+attack"));
        QTEST(contents("operators.txt"), "wordFileAfter");
        QTEST(contents("cc.txt"), "commandFileAfter");
        QCOMPARE(f.fakes.messageBoxes.texts(),
                 QStringList{"Defined ATTACK as a Jedi Outcast keyword."});
        QCOMPARE(f.dialog.Text1->text(), QString());
        QCOMPARE(f.dialog.Text2->text(), QString());
        QTEST(items(f.cmdList), "listed");
        QCOMPARE(f.cmdList.Label1->text(), QString());
    }

    // A word file the user may read but not write is passed over like a missing one.
    void readOnlyWordFileIsSkipped()
    {
        for (const QString &path : {appDir->path(), pfFile(QString())})
            QVERIFY(QFile::setPermissions(path, QFile::permissions(path) | QFile::ReadOther | QFile::ExeOther
                                                    | QFile::WriteOther));
        QVERIFY(QFile::setPermissions(pfFile("operators.txt"), QFile::ReadOwner | QFile::ReadOther));
        QVERIFY(QFile::setPermissions(pfFile("cc.txt"), QFile::permissions(pfFile("cc.txt")) | QFile::WriteOther
                                                            | QFile::ReadOther));
        const QByteArray report = RunAsOrdinaryUser([] {
            Fixture f;
            f.define(QStringLiteral("attack"), QStringLiteral("+attack"));
            return (f.fakes.messageBoxes.texts().join(u'|') + u'|' + items(f.cmdList).join(u',')).toUtf8();
        });
        QCOMPARE(report, QByteArray("Defined ATTACK as a Jedi Outcast keyword.|+forward,bind,+attack"));
        QCOMPARE(contents("operators.txt"), QByteArray("bind\r\nset\r\n"));
        QCOMPARE(contents("cc.txt"), QByteArray("+forward\r\nbind\r\n+attack\r\n"));
        QCOMPARE(QDir(pfFile(QString())).entryList(QDir::Files | QDir::Hidden).size(), 4);
    }

    void closingHidesAndKeepsChoice()
    {
        FakeServices fakes;
        frmMain main;
        main.EndProgram = [] {};
        main.show();
        QAction *item = main.menuItem(QStringLiteral("mnuTools_defNew"));
        item->trigger();
        frmDefNew *dialog = main.findChild<frmDefNew *>(QStringLiteral("frmDefNew"));
        QVERIFY(dialog);
        QCOMPARE(dialog, main.DefNew());
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->parentWidget(), &main);
        QVERIFY(dialog->Option1->isChecked());

        dialog->Option2->setChecked(true);
        dialog->Text1->setText(QStringLiteral("half typed"));
        QVERIFY(!dialog->close());
        QVERIFY(!dialog->isVisible());
        item->trigger();
        item->trigger();
        QCOMPARE(main.findChildren<frmDefNew *>().size(), 1);
        QVERIFY(dialog->isVisible());
        QVERIFY(dialog->Option2->isChecked());
        QCOMPARE(dialog->Text1->text(), QStringLiteral("half typed"));

        // The main window's command list gets the dialog's game, whatever the Game menu says.
        dialog->Text2->setText(QStringLiteral("+half"));
        dialog->Command1->click();
        QCOMPARE(items(*main.CmdList()), QStringList({"+zoom", "+back+half"}));
        QVERIFY(main.menuItem(QStringLiteral("mnuGame_jk2"))->isChecked());
        QVERIFY(dialog->Option2->isChecked());
    }
};

QTEST_MAIN(DefineKeywordTest)
#include "test_defnew.moc"
