// Tunemill's window: the track list, the two keys, and Create writing the music changer.
#include "foundation/appfolder.h"
#include "musicchanger/workedexample.h"
#include "support/datarows.h"
#include "support/files.h"
#include "support/mainwindow.h"
#include "tunemill/frmTunemill.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <csignal>
#include <sys/resource.h>

namespace {

const QString Boxes = "TXTcaption,TXTpath,Text3,Text4";

// A shown window over a fresh application folder holding a help file; messages go to fakes.
struct Tunemill
{
    QTemporaryDir dir;
    bool help = (SetApplicationFolder(dir.path()), writeAll(dir.filePath("help.txt"), "Caf\xe9 \x80 5\r\n"));
    FakeServices fakes;
    frmTunemill w;

    explicit Tunemill(const QString &install = QString()) : w(nullptr, install)
    {
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
    }
    ~Tunemill() { SetApplicationFolder(QString()); }
    template <class T = QWidget> T *at(const QString &name) const { return w.findChild<T *>(name); }
    QString script() const { return QDir::toNativeSeparators(dir.path()) + QDir::separator() + "tunemill.cfg"; }
    void fill(const QString &boxes, const QStringList &texts)
    {
        for (qsizetype i = 0; i < texts.size(); ++i)
            at<QLineEdit>(boxes.section(u',', i, i))->setText(texts[i]);
    }
    void add(const QString &caption, const QString &path)
    {
        fill("TXTcaption,TXTpath", {caption, path});
        at<QPushButton>("add")->click();
    }
    QStringList tracks() const
    {
        QStringList texts;
        for (const MusicTrack &track : w.tracks())
            texts << track.caption + "|" + track.path;
        return texts;
    }
    int selected(const char *name) const
    {
        const QListWidget *list = at<QListWidget>(name);
        return list->selectedItems().isEmpty() ? -1 : list->row(list->selectedItems().first());
    }
    QColor base(const QString &box) const { return at(box)->palette().color(QPalette::Base); }
    QString lit() const
    {
        QStringList on;
        for (const QString &box : Boxes.split(u','))
            if (base(box) == QColor(255, 255, 192))
                on << box;
        return on.join(u',');
    }
    QString focused() const { return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : ""; }
    void expect(const QStringList &texts, QMessageBox::Icon icon = QMessageBox::NoIcon,
                QMessageBox::StandardButtons buttons = QMessageBox::Ok)
    {
        ExpectMessages(fakes.messageBoxes, texts, buttons, icon, "Tunemill 1.07");
    }
};

} // namespace

class TestFrmTunemill : public QObject
{
    Q_OBJECT

private slots:
    // Tracks "caption|path" listed first; the four boxes filled; the button clicked or Enter
    // pressed in a box. The boxes lit while the message shows and after it.
    void refused_data()
    {
        Columns<QStringList, QStringList, QString, QString, int, QString, QString, QString>(
            {"tracks", "boxes", "trigger", "message", "icon", "litDuring", "litAfter", "focus"});
        const QStringList none, one{"t|t.mp3"}, two{"Title theme|title.mp3", "t|t.mp3"};
        const int warning = QMessageBox::Warning;
        QTest::newRow("Add, both empty") << none << QStringList{"", "", "u", "o"} << "TXTpath"
                                         << "Please fill in Caption and Path" << warning << "" << "TXTcaption,TXTpath"
                                         << "TXTcaption";
        QTest::newRow("Add, path empty: lit first, focus stays") << none << QStringList{"Duel", "", "u", "o"} << "add"
                                                                 << "Please fill in Path" << warning << "TXTpath"
                                                                 << "TXTpath" << "add";
        QTest::newRow("Add, caption empty") << none << QStringList{"", "duel.mp3", "u", "o"} << "add"
                                            << "Please fill in Caption" << warning << "" << "TXTcaption"
                                            << "TXTcaption";
        QTest::newRow("Create, no tracks: keys not examined") << none << QStringList{"", "", "", ""} << "Command2"
                                                              << "Enter some tracks." << int(QMessageBox::Critical)
                                                              << "" << "" << "Command2";
        QTest::newRow("Create, both keys empty") << two << QStringList{"", "", "", ""} << "Command2"
                                                 << "Please fill in Next and Back keys" << warning << ""
                                                 << "Text3,Text4" << "Text3";
        QTest::newRow("Create, next key empty") << one << QStringList{"", "", "", "o"} << "Command2"
                                                << "Please fill in Next key" << warning << "" << "Text3" << "Text3";
        QTest::newRow("Create, back key empty: lit first, focus stays")
            << one << QStringList{"", "", "u", ""} << "Command2" << "Please fill in Back key" << warning << "Text4"
            << "Text4" << "Command2";
        const QString cannot = "\", which a game script cannot hold (only Windows-1252 characters can be written). "
                               "Nothing was written.";
        QTest::newRow("Create, caption") << QStringList{"t|t.mp3", "\u0141\u00f3d\u017a|duel.mp3"}
                                         << QStringList{"", "", "u", "o"} << "Command2"
                                         << "The caption of track 2 contains \"\u0141" + cannot << warning << ""
                                         << "" << "Command2";
        QTest::newRow("Create, back key") << one << QStringList{"", "", "u", "\u00e9\u0436"} << "Command2"
                                          << "The Back key contains \"\u0436" + cannot << warning << "" << "Text4"
                                          << "Text4";
    }
    void refused()
    {
        const auto [tracks, boxes, trigger, message, icon] =
            Fetch<QStringList, QStringList, QString, QString, int>({"tracks", "boxes", "trigger", "message", "icon"});
        Tunemill t;
        QVERIFY(writeAll(t.script(), "earlier"));
        for (const QString &track : tracks)
            t.add(track.section(u'|', 0, 0), track.section(u'|', 1));
        t.fill(Boxes, boxes);
        QString litDuring;
        t.fakes.messageBoxes.onShow = [&](const MessageBoxRequest &) { litDuring = t.lit(); };
        QWidget *target = t.at(trigger);
        target->setFocus();
        if (qobject_cast<QPushButton *>(target))
            QTest::mouseClick(target, Qt::LeftButton);
        else
            QTest::keyClick(target, Qt::Key_Return);
        t.expect({message}, QMessageBox::Icon(icon));
        QTEST(litDuring, "litDuring");
        QTEST(t.lit(), "litAfter");
        QTEST(t.focused(), "focus");
        QCOMPARE(t.tracks(), tracks);
        QCOMPARE(t.at<QLineEdit>("TXTpath")->text(), boxes[1]);
        QCOMPARE(readAll(t.script()), "earlier");
    }

    // Enter anywhere but on another button means Add; a blank caption and a repeated track are fine.
    void addAppends_data()
    {
        Columns<QString, int>({"trigger", "key"});
        QTest::newRow("click") << "add" << 0;
        QTest::newRow("Enter in caption box") << "TXTcaption" << int(Qt::Key_Return);
        QTest::newRow("keypad Enter in path box") << "TXTpath" << int(Qt::Key_Enter);
        QTest::newRow("Enter in the track list") << "listcap" << int(Qt::Key_Return);
        QTest::newRow("Enter in the help pane") << "Text2" << int(Qt::Key_Return);
        QTest::newRow("Enter on the help button") << "Command4" << int(Qt::Key_Return);
    }
    void addAppends()
    {
        const auto [trigger, key] = Fetch<QString, int>({"trigger", "key"});
        Tunemill t;
        const bool help = trigger == "Command4";
        for (int round = 0; round < 2; ++round) {
            t.fill("TXTcaption,TXTpath", {" ", "duel/duel1.mp3"});
            t.at(trigger)->setFocus();
            if (key)
                QTest::keyClick(t.at(trigger), Qt::Key(key));
            else
                QTest::mouseClick(t.at(trigger), Qt::LeftButton);
            QCOMPARE(t.at<QLineEdit>("TXTpath")->text(), help ? "duel/duel1.mp3" : "");
            QCOMPARE(t.focused(), help ? trigger : "TXTcaption");
        }
        const QString keys = "Special keys: F1, F2, etc. | Keypad: kp_star, kp_home, kp_5, etc.";
        t.expect(help ? QStringList{keys, keys} : QStringList{});
        QCOMPARE(t.tracks(), help ? QStringList{} : QStringList({" |duel/duel1.mp3", " |duel/duel1.mp3"}));
    }

    // Typing in a box puts its colour back: white for the track boxes, the window's for the
    // keys; a grey window background tells the two apart.
    void editingClearsTheHighlight()
    {
        QPalette grey = QApplication::palette();
        grey.setColor(QPalette::Base, QColor(230, 230, 230));
        QApplication::setPalette(grey);
        const auto restore = qScopeGuard([] { QApplication::setPalette(QPalette()); });
        Tunemill t;
        t.add("", "");
        QTest::keyClick(t.at("TXTcaption"), Qt::Key_D);
        QCOMPARE(t.base("TXTcaption"), QColor(Qt::white));
        t.add("Duel", "duel.mp3");
        t.fill("Text3,Text4", {"", ""});
        t.at<QPushButton>("Command2")->click();
        QCOMPARE(t.lit(), "TXTpath,Text3,Text4");
        QTest::keyClick(t.at("Text3"), Qt::Key_U);
        t.at<QLineEdit>("Text4")->setText("o");
        QCOMPARE(t.lit(), "TXTpath");
        QCOMPARE(t.base("Text3"), QColor(230, 230, 230));
        QCOMPARE(t.base("Text4"), QColor(230, 230, 230));
    }

    void fullTrackListRefusesAdd()
    {
        Tunemill t;
        QStringList many;
        for (int i = 0; i < frmTunemill::MaxTracks; ++i)
            many << QString::number(i);
        t.at<QListWidget>("listcap")->addItems(many);
        t.at<QListWidget>("listpath")->addItems(many);
        t.add("one more", "more.mp3");
        t.expect({"The track list is full: a music changer holds at most 32767 tracks."}, QMessageBox::Warning);
        QCOMPARE(t.at<QListWidget>("listpath")->count(), frmTunemill::MaxTracks);
    }

    // The two lists select in step; after a removal nothing is selected, so Remove again takes nothing.
    void selectAndRemove()
    {
        Tunemill t;
        QTest::mouseClick(t.at("Command6"), Qt::LeftButton);
        for (const char *track : {"a", "b", "c"})
            t.add(track, QString(track) + ".mp3");
        auto *paths = t.at<QListWidget>("listpath");
        QTest::mouseClick(paths->viewport(), Qt::LeftButton, {}, paths->visualItemRect(paths->item(2)).center());
        QCOMPARE(t.selected("listcap"), 2);
        t.at("listcap")->setFocus();
        QTest::keyClick(t.at("listcap"), Qt::Key_Up);
        QCOMPARE(t.selected("listpath"), 1);
        for (int click = 0; click < 2; ++click)
            QTest::mouseClick(t.at("Command6"), Qt::LeftButton);
        QCOMPARE(t.tracks(), QStringList({"a|a.mp3", "c|c.mp3"}));
        QVERIFY(t.selected("listcap") == -1 && t.selected("listpath") == -1);
        t.expect({});
    }

    // Closing only hides, asking first over tracks, even when asked while hidden.
    void closeAsksOverTracks_data()
    {
        Columns<QString, int, int, bool>({"how", "tracks", "answer", "visibleAfter"});
        QTest::newRow("Close, no tracks") << "Close" << 0 << int(QMessageBox::No) << false;
        QTest::newRow("Close, No") << "Close" << 2 << int(QMessageBox::No) << true;
        QTest::newRow("close box, No") << "close box" << 1 << int(QMessageBox::No) << true;
        QTest::newRow("close box, Yes") << "close box" << 1 << int(QMessageBox::Yes) << false;
        QTest::newRow("hidden") << "hidden" << 1 << int(QMessageBox::No) << false;
    }
    void closeAsksOverTracks()
    {
        const auto [how, tracks, answer] = Fetch<QString, int, int>({"how", "tracks", "answer"});
        Tunemill t;
        for (int i = 0; i < tracks; ++i)
            t.add("t", "t.mp3");
        if (how == "hidden")
            t.w.hide();
        t.fakes.messageBoxes.answers.enqueue(QMessageBox::StandardButton(answer));
        if (how == "Close")
            QTest::mouseClick(t.at("Command3"), Qt::LeftButton);
        else
            QVERIFY(!t.w.close());
        QTEST(t.w.isVisible(), "visibleAfter");
        t.expect(tracks ? QStringList{"Are you sure you want to quit?"} : QStringList{}, QMessageBox::NoIcon,
                 QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(t.tracks().size(), tracks);
        t.w.show();
        QCOMPARE(t.at<QPlainTextEdit>("Text2")->toPlainText(), "Caf\u00e9 \u20ac 5\n");
    }

    void escapeSetsStop_data()
    {
        Columns<QString, int>({"target", "key"});
        for (const char *target : {"TXTcaption", "listcap", "Text2", "frmTunemill"})
            QTest::addRow("Escape on %s", target) << target << int(Qt::Key_Escape);
        QTest::newRow("another key") << "TXTcaption" << int(Qt::Key_X);
    }
    void escapeSetsStop()
    {
        const auto [target, key] = Fetch<QString, int>({"target", "key"});
        Tunemill t;
        QWidget *widget = target == "frmTunemill" ? &t.w : t.at(target);
        widget->setFocus();
        QTest::keyClick(widget, Qt::Key(key));
        QCOMPARE(t.w.stopRequested(), key == Qt::Key_Escape);
        QVERIFY(t.w.isVisible());
        t.expect({});
    }

    // An earlier, longer file is replaced without a question; Yes to the question shows the
    // file. Create lets input in while it runs, but a second Create then does nothing.
    void createWritesTheWorkedExample()
    {
        Tunemill t;
        QVERIFY(writeAll(t.script(), "an earlier, longer file that Create replaces without asking\r\n"));
        t.add("Title theme", "title.mp3");
        t.add("Duel", "duel/duel1.mp3");
        bool sawRunning = false;
        const auto again = [&] {
            sawRunning = t.w.isCreating();
            t.w.Command2_Click();
        };
        QMetaObject::invokeMethod(&t.w, again, Qt::QueuedConnection);
        for (const auto answer : {QMessageBox::No, QMessageBox::Yes}) {
            t.fakes.messageBoxes.answers << QMessageBox::Ok << answer;
            t.at<QPushButton>("Command2")->click();
            QVERIFY(sawRunning && !t.w.isCreating());
            QCOMPARE(readAll(t.script()), WorkedExampleBytes);
            QCOMPARE(t.fakes.messageBoxes.texts(), QStringList({"MC created. Path: " + t.script(),
                                                                "Do you want to veiw your Music Changer?"}));
            QCOMPARE(t.fakes.messageBoxes.shown.at(1).buttons, QMessageBox::Yes | QMessageBox::No);
            t.fakes.messageBoxes.shown.clear();
            QCOMPARE(t.fakes.processLauncher.opened.join(' '), answer == QMessageBox::Yes ? t.script() : "");
        }
        QCOMPARE(QDir(t.dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"help.txt", "tunemill.cfg"}));
    }

    // The installer's folder is GameData; a case-sensitive file system must still find it.
    void createIntoTheInstallFolder()
    {
        QTemporaryDir install;
        QVERIFY(QDir(install.path()).mkpath("GameData/base"));
        Tunemill t(QDir::toNativeSeparators(install.path()));
        t.add("Duel", "duel.mp3");
        t.at<QPushButton>("Command2")->click();
        const QString script = QDir::toNativeSeparators(install.filePath("GameData/base/tunemill.cfg"));
        QCOMPARE(t.fakes.messageBoxes.texts().value(0), "MC created. Path: " + script);
        QVERIFY(readAll(script).startsWith("//Music Changer - Generated by Tunemill 1.07 by Kestrin"));
    }

    // A file-size limit cuts the write short, as a full disk would, even for root: the earlier
    // file stays whole and no temporary file is left.
    void writeFailuresReachThePlayer()
    {
        for (const bool cutShort : {false, true}) {
            QTemporaryDir elsewhere;
            Tunemill t(cutShort ? QString() : QDir::toNativeSeparators(elsewhere.filePath("nowhere")));
            const QString script = TunemillScriptPath(t.w.basePath());
            QVERIFY(!cutShort || writeAll(script, "earlier\r\n"));
            for (int i = 0; i < 20; ++i)
                t.add("Track", "track.mp3");
            rlimit saved{};
            QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
            const auto savedSignal = std::signal(SIGXFSZ, SIG_IGN);
            rlimit small = saved;
            small.rlim_cur = cutShort ? 200 : saved.rlim_cur;
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
            t.at<QPushButton>("Command2")->click();
            setrlimit(RLIMIT_FSIZE, &saved);
            std::signal(SIGXFSZ, savedSignal);
            t.expect({"The Music Changer could not be written to " + script + "\r\n"
                      + (cutShort ? "Error #61\r\nFile too large" : "Error #76\r\nPath not found")},
                     QMessageBox::Critical);
            QCOMPARE(readAll(script), cutShort ? "earlier\r\n" : "<missing>");
            QCOMPARE(QDir(t.dir.path()).entryList(QDir::Files | QDir::Hidden),
                     QStringList({"help.txt", "tunemill.cfg"}).mid(0, cutShort ? 2 : 1));
            QVERIFY(t.fakes.processLauncher.opened.isEmpty() && t.fakes.processLauncher.started.isEmpty());
        }
    }

    // Create lets input in between track lines: an Escape then stops it; one from before does not.
    void escapeDuringCreate()
    {
        for (const bool during : {true, false}) {
            Tunemill t;
            for (int i = 0; i < 5; ++i)
                t.add("t", "t.mp3");
            if (during)
                QCoreApplication::postEvent(t.at("TXTcaption"), new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, {}));
            else
                QTest::keyClick(t.at("TXTcaption"), Qt::Key_Escape);
            t.at<QPushButton>("Command2")->click();
            const int trackLines = during ? 1 : 5;
            const QList<QByteArray> lines = readAll(t.script()).split('\n');
            QCOMPARE(lines.size(), 23 + trackLines + 1); // an empty piece after the last CR LF
            QCOMPARE(lines.at(8), "//LOOP 0-4-------------\r");
            QVERIFY(lines.at(9 + trackLines).startsWith("SET MUSIC_CHANGE_" + QByteArray::number(trackLines - 1)));
            QCOMPARE(lines.at(19 + trackLines), "SET PREV_MUSIC VSTR MUSIC_CHANGE_4\r");
            QCOMPARE(t.w.stopRequested(), during);
            QCOMPARE(t.fakes.messageBoxes.texts().value(0), "MC created. Path: " + t.script());
        }
    }
};

QTEST_MAIN(TestFrmTunemill)
#include "tst_frmtunemill.moc"
