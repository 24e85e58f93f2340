// Tunemill's window: the track list, the two keys, and Create writing the music changer.
#include "foundation/appfolder.h"
#include "musicchanger/workedexample.h"
#include "support/datarows.h"
#include "support/files.h"
#include "support/mainwindow.h"
#include "tunemill/frmTunemill.h"

#include <QLineEdit>
#include <QPushButton>
#include <csignal>
#include <sys/resource.h>

namespace {

const QString Boxes = "TXTcaption,TXTpath,Text3,Text4";
const QColor Grey(230, 230, 230);

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
    void add(const QString &caption, const QString &path, int times = 1)
    {
        for (int i = 0; i < times; ++i) {
            fill("TXTcaption,TXTpath", {caption, path});
            at<QPushButton>("add")->click();
        }
    }
    QStringList tracks() const
    {
        QStringList texts;
        for (const MusicTrack &track : w.tracks())
            texts << track.caption + "|" + track.path;
        return texts;
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
    // A grey window background tells a key box's own colour from the track boxes' white.
    void initTestCase()
    {
        QPalette grey = QApplication::palette();
        grey.setColor(QPalette::Base, Grey);
        QApplication::setPalette(grey);
    }

    // The tracks ("caption|path", comma separated) listed first; the four boxes filled; the button
    // clicked or Enter pressed in a box. The boxes lit while the message shows and after it.
    void refused_data()
    {
        Columns<QString, QString, QString, QString, int, QString, QString, QString>(
            {"tracks", "boxes", "trigger", "message", "icon", "litDuring", "litAfter", "focus"});
        const int warning = QMessageBox::Warning, critical = QMessageBox::Critical;
        const auto row = [](const char *name, const char *tracks, const QString &boxes, const char *trigger)
            -> QTestData & { return QTest::newRow(name) << tracks << boxes << trigger; };
        row("Add, both empty", "", ",,u,o", "TXTpath")
            << "Please fill in Caption and Path" << warning << "" << "TXTcaption,TXTpath" << "TXTcaption";
        row("Add, path empty: lit first, focus stays", "", "Duel,,u,o", "add")
            << "Please fill in Path" << warning << "TXTpath" << "TXTpath" << "add";
        row("Create, no tracks: keys not examined", "", ",,,", "Command2")
            << "Enter some tracks." << critical << "" << "" << "Command2";
        row("Create, both keys empty", "a|a.mp3,t|t.mp3", ",,,", "Command2")
            << "Please fill in Next and Back keys" << warning << "" << "Text3,Text4" << "Text3";
        row("Create, back key empty: lit first, focus stays", "t|t.mp3", ",,u,", "Command2")
            << "Please fill in Back key" << warning << "Text4" << "Text4" << "Command2";
        const QString cannot = "\", which a game script cannot hold (only Windows-1252 characters can be written). "
                               "Nothing was written.";
        row("Create, caption", "t|t.mp3,\u0141\u00f3d\u017a|duel.mp3", ",,u,o", "Command2")
            << "The caption of track 2 contains \"\u0141" + cannot << warning << "" << "" << "Command2";
        row("Create, back key", "t|t.mp3", ",,u,\u00e9\u0436", "Command2")
            << "The Back key contains \"\u0436" + cannot << warning << "" << "Text4" << "Text4";
    }
    void refused()
    {
        const auto [tracks, boxes, trigger, message, icon] =
            Fetch<QString, QString, QString, QString, int>({"tracks", "boxes", "trigger", "message", "icon"});
        Tunemill t;
        QVERIFY(writeAll(t.script(), "earlier"));
        const QStringList listed = tracks.split(u',', Qt::SkipEmptyParts);
        for (const QString &track : listed)
            t.add(track.section(u'|', 0, 0), track.section(u'|', 1));
        t.fill(Boxes, boxes.split(u','));
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
        QCOMPARE(t.tracks(), listed);
        QCOMPARE(readAll(t.script()), "earlier");
        // Typing puts a lit box's colour back: white for the track boxes, the window's for the keys.
        for (const QString &box : t.lit().split(u',', Qt::SkipEmptyParts)) {
            QTest::keyClick(t.at(box), Qt::Key_X);
            QCOMPARE(t.base(box), box.startsWith("TXT") ? QColor(Qt::white) : Grey);
        }
        QCOMPARE(t.lit(), "");
    }

    // The installer's folder is GameData, which a case-sensitive file system must still find. An
    // earlier, longer file is replaced without a question; Yes to the next question shows the file.
    // Create lets input in while it runs, but a second Create then does nothing.
    void createWritesTheWorkedExample()
    {
        QTemporaryDir install;
        QVERIFY(QDir(install.path()).mkpath("GameData/base"));
        Tunemill t(QDir::toNativeSeparators(install.path()));
        const QString script = QDir::toNativeSeparators(install.filePath("GameData/base/tunemill.cfg"));
        QVERIFY(writeAll(script, "an earlier, longer file that Create replaces without asking\r\n"));
        t.add("Title theme", "title.mp3");
        t.add("Duel", "duel/duel1.mp3");
        bool sawRunning = false;
        const auto again = [&] {
            sawRunning = t.w.isCreating();
            t.w.Command2_Click();
        };
        QMetaObject::invokeMethod(&t.w, again, Qt::QueuedConnection);
        t.fakes.messageBoxes.answers << QMessageBox::Ok << QMessageBox::Yes;
        t.at<QPushButton>("Command2")->click();
        QVERIFY(sawRunning && !t.w.isCreating());
        QCOMPARE(readAll(script), WorkedExampleBytes);
        QCOMPARE(t.fakes.messageBoxes.texts(),
                 QStringList({"MC created. Path: " + script, "Do you want to veiw your Music Changer?"}));
        QCOMPARE(t.fakes.messageBoxes.shown.at(1).buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(t.fakes.processLauncher.opened, QStringList{script});
        QCOMPARE(QDir(QFileInfo(script).path()).entryList(QDir::Files | QDir::Hidden), QStringList{"tunemill.cfg"});
    }

    // A file-size limit cuts the write short, as a full disk would, even for root: the earlier
    // file stays whole, no temporary file is left and the player is told.
    void writeFailureReachesThePlayer()
    {
        Tunemill t;
        QVERIFY(writeAll(t.script(), "earlier\r\n"));
        t.add("Track", "track.mp3", 20);
        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto savedSignal = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 200;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        t.at<QPushButton>("Command2")->click();
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, savedSignal);
        t.expect({"The Music Changer could not be written to " + t.script() + "\r\nError #61\r\nFile too large"},
                 QMessageBox::Critical);
        QCOMPARE(readAll(t.script()), "earlier\r\n");
        QCOMPARE(QDir(t.dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"help.txt", "tunemill.cfg"}));
        QVERIFY(t.fakes.processLauncher.opened.isEmpty());
    }

    // Create lets input in between track lines: an Escape then stops it, wherever it is
    // pressed; another key, or an Escape from before, does not.
    void escapeDuringCreate_data()
    {
        Columns<QString, int, bool, int>({"target", "key", "during", "trackLines"});
        QTest::newRow("in a box") << "TXTcaption" << int(Qt::Key_Escape) << true << 1;
        QTest::newRow("on the window") << "frmTunemill" << int(Qt::Key_Escape) << true << 1;
        QTest::newRow("another key") << "TXTcaption" << int(Qt::Key_X) << true << 5;
        QTest::newRow("Escape before Create") << "TXTcaption" << int(Qt::Key_Escape) << false << 5;
    }
    void escapeDuringCreate()
    {
        const auto [target, key, during, trackLines] = Fetch<QString, int, bool, int>(
            {"target", "key", "during", "trackLines"});
        Tunemill t;
        t.add("t", "t.mp3", 5);
        QWidget *widget = target == "frmTunemill" ? &t.w : t.at(target);
        if (during)
            QCoreApplication::postEvent(widget, new QKeyEvent(QEvent::KeyPress, key, {}));
        else
            QTest::keyClick(widget, Qt::Key(key));
        QCOMPARE(t.w.stopRequested(), !during);
        t.at<QPushButton>("Command2")->click();
        const QList<QByteArray> lines = readAll(t.script()).split('\n');
        QCOMPARE(lines.size(), 23 + trackLines + 1); // an empty piece after the last CR LF
        QCOMPARE(lines.at(19 + trackLines), "SET PREV_MUSIC VSTR MUSIC_CHANGE_4\r");
        QCOMPARE(t.w.stopRequested(), trackLines == 1);
    }
};

QTEST_MAIN(TestFrmTunemill)
#include "tst_frmtunemill.moc"
