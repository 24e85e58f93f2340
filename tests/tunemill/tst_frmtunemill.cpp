#include "foundation/appfolder.h"
#include "support/fakeservices.h"
#include "support/files.h"
#include "support/ordinaryuser.h"
#include "tunemill/frmTunemill.h"
#include "musicchanger/workedexample.h"

#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/resource.h>
#endif

namespace {

const QColor Lit(255, 255, 192);

template <class T> T *Child(QWidget &w, const char *name)
{
    T *c = w.findChild<T *>(QLatin1String(name));
    if (!c)
        qFatal("no control %s", name);
    return c;
}

QColor Background(QWidget &w, const char *name)
{
    return Child<QWidget>(w, name)->palette().color(QPalette::Base);
}

QStringList Items(QWidget &w, const char *name)
{
    QStringList items;
    const auto *list = Child<QListWidget>(w, name);
    for (int i = 0; i < list->count(); ++i)
        items << list->item(i)->text();
    return items;
}

int Selected(QWidget &w, const char *name)
{
    const auto rows = Child<QListWidget>(w, name)->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.constFirst().row();
}

QString Focused()
{
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}

// Names of the lit boxes among the given ones, in the given order.
QStringList LitBoxes(QWidget &w, const QStringList &names)
{
    QStringList lit;
    for (const QString &n : names) {
        if (Background(w, qPrintable(n)) == Lit)
            lit << n;
    }
    return lit;
}

void ShowActive(QWidget &w)
{
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
}

void AddTrack(QWidget &w, const QString &caption, const QString &path)
{
    auto *c = Child<QLineEdit>(w, "TXTcaption");
    auto *p = Child<QLineEdit>(w, "TXTpath");
    c->setText(caption);
    p->setText(path);
    QTest::keyClick(p, Qt::Key_Return);
}

} // namespace

class TestFrmTunemill : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void freshWindow();
    void helpPane();
    void missingHelpLeavesPaneEmpty();
    void shippedHelpIsShown();
    void basePathFromLookup_data();
    void basePathFromLookup();
    void tabOrder();

    void addRefused_data();
    void addRefused();
    void addAppends_data();
    void addAppends();
    void enterOnAButtonPressesThatButton();
    void typingClearsInputHighlight();
    void editingClearsKeyHighlight();
    void keyBoxesHoldTenCharacters();
    void fullTrackListRefusesAdd();

    void selectionKeptInStep();
    void removeSelectedTrack();
    void removeWithoutSelection();

    void closeAndQuestion_data();
    void closeAndQuestion();
    void reopenKeepsEverything();

    void escapeSetsStop_data();
    void escapeSetsStop();

    void createRefused_data();
    void createRefused();
    void createWritesWorkedExample();
    void createIntoInstallFolder();
    void createAgainReplaces();
    void viewerStartsOnYes();
    void createIntoMissingFolder();
    void failedWriteKeepsEarlierFile();
    void createOntoBlockedTarget_data();
    void createOntoBlockedTarget();
    void unwritableCharacterRefused_data();
    void unwritableCharacterRefused();
    void escapeDuringCreate_data();
    void escapeDuringCreate();
    void secondCreateRefusedWhileRunning();

private:
    QTemporaryDir *dir = nullptr;
    FakeServices *fakes = nullptr;
    QString folder() const { return QDir::toNativeSeparators(dir->path()); }
    QString script() const { return folder() + QDir::separator() + "tunemill.cfg"; }
};

void TestFrmTunemill::init()
{
    dir = new QTemporaryDir;
    QVERIFY(dir->isValid());
    SetApplicationFolder(dir->path());
    QVERIFY(writeAll(dir->filePath("help.txt"), "Caf\xe9 \x80 5\r\nsecond line\r\n"));
    fakes = new FakeServices;
}

void TestFrmTunemill::cleanup()
{
    delete fakes;
    delete dir;
    SetApplicationFolder(QString());
    QApplication::setPalette(QPalette());
}

void TestFrmTunemill::freshWindow()
{
    frmTunemill w(nullptr, QString());
    QCOMPARE(w.objectName(), "frmTunemill");
    QCOMPARE(w.windowTitle(), "Tunemill 1.07 by Kestrin");
    QCOMPARE(w.size(), QSize(648, 263));
    QCOMPARE(w.minimumSize(), w.maximumSize());
    QVERIFY(w.isWindow());
    QVERIFY(w.windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));

    QVERIFY(Items(w, "listcap").isEmpty());
    QVERIFY(Items(w, "listpath").isEmpty());
    QCOMPARE(Child<QLineEdit>(w, "TXTcaption")->text(), "");
    QCOMPARE(Child<QLineEdit>(w, "TXTpath")->text(), "");
    QCOMPARE(Child<QLineEdit>(w, "Text3")->text(), "u");
    QCOMPARE(Child<QLineEdit>(w, "Text4")->text(), "o");
    QVERIFY(Child<QPushButton>(w, "add")->isDefault());
    QVERIFY(Child<QPushButton>(w, "Command4")->font().bold());
    QCOMPARE(Child<QLabel>(w, "Label2")->text(), "Path & filename");
    QCOMPARE(Child<QGroupBox>(w, "Frame1")->title(), "Next/Back Keys");

    const QList<std::pair<const char *, QString>> captions = {
        {"Label3", "Track caption:"}, {"Label4", "Track path:"}, {"Label1", "Caption"},
        {"Label6", "Next:"},          {"Label7", "Back:"},
    };
    for (const auto &[name, text] : captions)
        QCOMPARE(Child<QLabel>(w, name)->text(), text);
    const QList<std::pair<const char *, QString>> buttons = {
        {"add", "Add"}, {"Command3", "Close"}, {"Command2", "Create"}, {"Command6", "Remove"}, {"Command4", "?"},
    };
    for (const auto &[name, text] : buttons)
        QCOMPARE(Child<QPushButton>(w, name)->text(), text);

    // Controls in the key frame are placed inside it.
    QCOMPARE(Child<QLineEdit>(w, "Text4")->parentWidget()->objectName(), "Frame1");
    QCOMPARE(Child<QLineEdit>(w, "Text4")->geometry(), QRect(40, 40, 121, 19));
    QCOMPARE(Child<QListWidget>(w, "listpath")->geometry(), QRect(208, 56, 205, 173));
}

void TestFrmTunemill::helpPane()
{
    frmTunemill w(nullptr, QString());
    QCOMPARE(Child<QPlainTextEdit>(w, "Text2")->toPlainText(), "Caf\u00e9 \u20ac 5\nsecond line\n");
}

void TestFrmTunemill::missingHelpLeavesPaneEmpty()
{
    QVERIFY(QFile::remove(dir->filePath("help.txt")));
    frmTunemill w(nullptr, QString());
    QCOMPARE(Child<QPlainTextEdit>(w, "Text2")->toPlainText(), "");
    QVERIFY(fakes->messageBoxes.shown.isEmpty());
}

void TestFrmTunemill::shippedHelpIsShown()
{
    SetApplicationFolder(TAVREL_APP_DIR);
    frmTunemill w(nullptr, QString());
    const QString help = Child<QPlainTextEdit>(w, "Text2")->toPlainText();
    QVERIFY(help.contains("exec tunemill"));
    QVERIFY(help.contains("kp_home"));
}

void TestFrmTunemill::basePathFromLookup_data()
{
    const QString s = QDir::separator();
    QTest::addColumn<QString>("lookup");
    QTest::addColumn<QString>("basePath");
    QTest::newRow("installed") << "D:\\JK2" << "D:\\JK2" + s + "gamedata" + s + "base";
    QTest::newRow("not installed") << "" << "";
}

void TestFrmTunemill::basePathFromLookup()
{
    QFETCH(QString, lookup);
    QFETCH(QString, basePath);
    frmTunemill w(nullptr, lookup);
    QCOMPARE(w.basePath(), basePath.isEmpty() ? folder() : basePath);
}

void TestFrmTunemill::tabOrder()
{
    frmTunemill w(nullptr, QString());
    ShowActive(w);
    Child<QLineEdit>(w, "TXTcaption")->setFocus();
    QStringList order;
    for (int i = 0; i < 12; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order << Focused();
    }
    QCOMPARE(order, QStringList({"TXTpath", "add", "listcap", "listpath", "Command2", "Command3", "Text2", "Text3",
                                 "Text4", "Command4", "Command6", "TXTcaption"}));
}

void TestFrmTunemill::addRefused_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("trigger"); // "click", or the box Enter is pressed in
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("litDuringMessage");
    QTest::addColumn<QStringList>("litAfter");
    QTest::addColumn<QString>("focus");

    const QStringList none, both{"TXTcaption", "TXTpath"}, caption{"TXTcaption"}, path{"TXTpath"};
    QTest::newRow("both empty, click") << "" << "" << "click" << "Please fill in Caption and Path" << none << both
                                       << "TXTcaption";
    QTest::newRow("both empty, Enter in path")
        << "" << "" << "TXTpath" << "Please fill in Caption and Path" << none << both << "TXTcaption";
    QTest::newRow("path empty, Enter in caption")
        << "Duel" << "" << "TXTcaption" << "Please fill in Path" << path << path << "TXTcaption";
    QTest::newRow("path empty, click: focus stays on Add")
        << "Duel" << "" << "click" << "Please fill in Path" << path << path << "add";
    QTest::newRow("caption empty, Enter in path")
        << "" << "duel.mp3" << "TXTpath" << "Please fill in Caption" << none << caption << "TXTcaption";
    QTest::newRow("caption empty, click") << "" << "duel.mp3" << "click" << "Please fill in Caption" << none
                                          << caption << "TXTcaption";
}

void TestFrmTunemill::addRefused()
{
    QFETCH(QString, caption);
    QFETCH(QString, path);
    QFETCH(QString, trigger);
    QFETCH(QString, message);
    QFETCH(QStringList, litDuringMessage);
    QFETCH(QStringList, litAfter);
    QFETCH(QString, focus);

    frmTunemill w(nullptr, QString());
    ShowActive(w);
    Child<QLineEdit>(w, "TXTcaption")->setText(caption);
    Child<QLineEdit>(w, "TXTpath")->setText(path);
    QStringList litSeen;
    fakes->messageBoxes.onShow = [&](const MessageBoxRequest &) {
        litSeen = LitBoxes(w, {"TXTcaption", "TXTpath"});
    };
    if (trigger == "click") {
        QTest::mouseClick(Child<QPushButton>(w, "add"), Qt::LeftButton);
    } else {
        Child<QWidget>(w, qPrintable(trigger))->setFocus();
        QTest::keyClick(Child<QWidget>(w, qPrintable(trigger)), Qt::Key_Return);
    }

    QCOMPARE(fakes->messageBoxes.shown.size(), 1);
    const MessageBoxRequest &box = fakes->messageBoxes.shown.constFirst();
    QCOMPARE(box.text, message);
    QCOMPARE(box.title, "Tunemill 1.07");
    QCOMPARE(box.buttons, QMessageBox::Ok);
    QCOMPARE(box.icon, QMessageBox::Warning);
    QCOMPARE(litSeen, litDuringMessage);
    QCOMPARE(LitBoxes(w, {"TXTcaption", "TXTpath"}), litAfter);
    QCOMPARE(Focused(), focus);
    QVERIFY(Items(w, "listcap").isEmpty());
    QVERIFY(Items(w, "listpath").isEmpty());
    QCOMPARE(Child<QLineEdit>(w, "TXTcaption")->text(), caption);
    QCOMPARE(Child<QLineEdit>(w, "TXTpath")->text(), path);
}

void TestFrmTunemill::addAppends_data()
{
    QTest::addColumn<QString>("trigger");
    QTest::addColumn<int>("key");
    QTest::newRow("click") << "click" << 0;
    QTest::newRow("Enter in caption box") << "TXTcaption" << int(Qt::Key_Return);
    QTest::newRow("Enter in path box") << "TXTpath" << int(Qt::Key_Return);
    QTest::newRow("keypad Enter in path box") << "TXTpath" << int(Qt::Key_Enter);
    QTest::newRow("Enter in the track list") << "listcap" << int(Qt::Key_Return);
    QTest::newRow("Enter in a key box") << "Text4" << int(Qt::Key_Return);
    QTest::newRow("Enter in the help pane") << "Text2" << int(Qt::Key_Return);
}

void TestFrmTunemill::addAppends()
{
    QFETCH(QString, trigger);
    QFETCH(int, key);

    frmTunemill w(nullptr, QString());
    ShowActive(w);
    auto *caption = Child<QLineEdit>(w, "TXTcaption");
    auto *path = Child<QLineEdit>(w, "TXTpath");
    for (int round = 0; round < 2; ++round) {
        // The same track twice, and a caption of one blank, are both accepted.
        caption->setText(" ");
        path->setText("duel/duel1.mp3");
        if (trigger == "click") {
            QTest::mouseClick(Child<QPushButton>(w, "add"), Qt::LeftButton);
        } else {
            Child<QWidget>(w, qPrintable(trigger))->setFocus();
            QTest::keyClick(Child<QWidget>(w, qPrintable(trigger)), Qt::Key(key));
        }
        QCOMPARE(caption->text(), "");
        QCOMPARE(path->text(), "");
        QCOMPARE(Focused(), "TXTcaption");
    }
    QVERIFY(fakes->messageBoxes.shown.isEmpty());
    QCOMPARE(Items(w, "listcap"), QStringList({" ", " "}));
    QCOMPARE(Items(w, "listpath"), QStringList({"duel/duel1.mp3", "duel/duel1.mp3"}));
    QCOMPARE(Child<QPlainTextEdit>(w, "Text2")->toPlainText(), "Caf\u00e9 \u20ac 5\nsecond line\n");
}

void TestFrmTunemill::enterOnAButtonPressesThatButton()
{
    frmTunemill w(nullptr, QString());
    ShowActive(w);
    auto *help = Child<QPushButton>(w, "Command4");
    help->setFocus();
    QTest::keyClick(help, Qt::Key_Return);
    QCOMPARE(fakes->messageBoxes.shown.size(), 1);
    QCOMPARE(fakes->messageBoxes.shown.constFirst().text,
             "Special keys: F1, F2, etc. | Keypad: kp_star, kp_home, kp_5, etc.");
    QCOMPARE(fakes->messageBoxes.shown.constFirst().icon, QMessageBox::NoIcon);
    QCOMPARE(fakes->messageBoxes.shown.constFirst().title, "Tunemill 1.07");
}

void TestFrmTunemill::typingClearsInputHighlight()
{
    // A window background other than white tells the two reset colours apart.
    QPalette grey = QApplication::palette();
    grey.setColor(QPalette::Base, QColor(230, 230, 230));
    QApplication::setPalette(grey);

    frmTunemill w(nullptr, QString());
    ShowActive(w);
    QTest::mouseClick(Child<QPushButton>(w, "add"), Qt::LeftButton);
    QCOMPARE(LitBoxes(w, {"TXTcaption", "TXTpath"}), QStringList({"TXTcaption", "TXTpath"}));
    QTest::keyClick(Child<QLineEdit>(w, "TXTcaption"), Qt::Key_D);
    QCOMPARE(Background(w, "TXTcaption"), QColor(255, 255, 255));
    QCOMPARE(Background(w, "TXTpath"), Lit);
    QCOMPARE(Child<QLineEdit>(w, "TXTcaption")->text(), "d");
    QTest::keyClick(Child<QLineEdit>(w, "TXTpath"), Qt::Key_Space);
    QCOMPARE(Background(w, "TXTpath"), QColor(255, 255, 255));
}

void TestFrmTunemill::editingClearsKeyHighlight()
{
    QPalette grey = QApplication::palette();
    grey.setColor(QPalette::Base, QColor(230, 230, 230));
    QApplication::setPalette(grey);

    frmTunemill w(nullptr, QString());
    ShowActive(w);
    AddTrack(w, "Duel", "duel.mp3");
    Child<QLineEdit>(w, "Text3")->clear();
    Child<QLineEdit>(w, "Text4")->clear();
    QTest::mouseClick(Child<QPushButton>(w, "Command2"), Qt::LeftButton);
    QCOMPARE(LitBoxes(w, {"Text3", "Text4"}), QStringList({"Text3", "Text4"}));
    QTest::keyClick(Child<QLineEdit>(w, "Text3"), Qt::Key_U);
    QCOMPARE(Background(w, "Text3"), QColor(230, 230, 230));
    QCOMPARE(Background(w, "Text4"), Lit);
    Child<QLineEdit>(w, "Text4")->setText("o");
    QCOMPARE(Background(w, "Text4"), QColor(230, 230, 230));
}

void TestFrmTunemill::keyBoxesHoldTenCharacters()
{
    frmTunemill w(nullptr, QString());
    for (const char *name : {"Text3", "Text4"}) {
        auto *box = Child<QLineEdit>(w, name);
        box->clear();
        QTest::keyClicks(box, "mwheeldown1");
        QCOMPARE(box->text(), "mwheeldown");
    }
}

void TestFrmTunemill::fullTrackListRefusesAdd()
{
    frmTunemill w(nullptr, QString());
    QStringList many;
    for (int i = 0; i < frmTunemill::MaxTracks; ++i)
        many << QString::number(i);
    Child<QListWidget>(w, "listcap")->addItems(many);
    Child<QListWidget>(w, "listpath")->addItems(many);
    Child<QLineEdit>(w, "TXTcaption")->setText("one more");
    Child<QLineEdit>(w, "TXTpath")->setText("more.mp3");
    Child<QPushButton>(w, "add")->click();

    QCOMPARE(fakes->messageBoxes.shown.size(), 1);
    QVERIFY(fakes->messageBoxes.shown.constFirst().text.contains("32767"));
    QCOMPARE(fakes->messageBoxes.shown.constFirst().title, "Tunemill 1.07");
    QCOMPARE(Child<QListWidget>(w, "listcap")->count(), 32767);
    QCOMPARE(Child<QListWidget>(w, "listpath")->count(), 32767);
    QCOMPARE(Child<QLineEdit>(w, "TXTcaption")->text(), "one more");
}

void TestFrmTunemill::selectionKeptInStep()
{
    frmTunemill w(nullptr, QString());
    ShowActive(w);
    for (const char *t : {"a", "b", "c"})
        AddTrack(w, t, QString(t) + ".mp3");
    auto *paths = Child<QListWidget>(w, "listpath");
    QTest::mouseClick(paths->viewport(), Qt::LeftButton, {}, paths->visualItemRect(paths->item(2)).center());
    QCOMPARE(Selected(w, "listpath"), 2);
    QCOMPARE(Selected(w, "listcap"), 2);
    auto *captions = Child<QListWidget>(w, "listcap");
    captions->setFocus();
    QTest::keyClick(captions, Qt::Key_Up);
    QCOMPARE(Selected(w, "listcap"), 1);
    QCOMPARE(Selected(w, "listpath"), 1);
}

void TestFrmTunemill::removeSelectedTrack()
{
    frmTunemill w(nullptr, QString());
    ShowActive(w);
    for (const char *t : {"a", "b", "c"})
        AddTrack(w, t, QString(t) + ".mp3");
    auto *paths = Child<QListWidget>(w, "listpath");
    QTest::mouseClick(paths->viewport(), Qt::LeftButton, {}, paths->visualItemRect(paths->item(1)).center());
    QTest::mouseClick(Child<QPushButton>(w, "Command6"), Qt::LeftButton);
    QCOMPARE(Items(w, "listcap"), QStringList({"a", "c"}));
    QCOMPARE(Items(w, "listpath"), QStringList({"a.mp3", "c.mp3"}));
    QCOMPARE(Selected(w, "listcap"), -1);
    QCOMPARE(Selected(w, "listpath"), -1);
    QVERIFY(fakes->messageBoxes.shown.isEmpty());
}

void TestFrmTunemill::removeWithoutSelection()
{
    frmTunemill w(nullptr, QString());
    ShowActive(w);
    auto *remove = Child<QPushButton>(w, "Command6");
    QTest::mouseClick(remove, Qt::LeftButton);
    for (const char *t : {"a", "b"})
        AddTrack(w, t, QString(t) + ".mp3");
    QTest::mouseClick(remove, Qt::LeftButton);
    QCOMPARE(Items(w, "listcap"), QStringList({"a", "b"}));
    // After a removal nothing is selected, so a second Remove takes nothing more.
    Child<QListWidget>(w, "listcap")->setCurrentRow(0);
    QTest::mouseClick(remove, Qt::LeftButton);
    QTest::mouseClick(remove, Qt::LeftButton);
    QCOMPARE(Items(w, "listcap"), QStringList({"b"}));
    QCOMPARE(Items(w, "listpath"), QStringList({"b.mp3"}));
    QVERIFY(fakes->messageBoxes.shown.isEmpty());
}

void TestFrmTunemill::closeAndQuestion_data()
{
    QTest::addColumn<QString>("how"); // "Close", "close box", or a close request while hidden
    QTest::addColumn<int>("tracks");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("visibleAfter");

    for (const char *how : {"Close", "close box"}) {
        QTest::addRow("%s, no tracks", how) << how << 0 << int(QMessageBox::No) << false << false;
        QTest::addRow("%s, tracks, No", how) << how << 2 << int(QMessageBox::No) << true << true;
        QTest::addRow("%s, tracks, Yes", how) << how << 1 << int(QMessageBox::Yes) << true << false;
    }
    QTest::newRow("hidden, tracks: still asks") << "hidden" << 1 << int(QMessageBox::No) << true << false;
}

void TestFrmTunemill::closeAndQuestion()
{
    QFETCH(QString, how);
    QFETCH(int, tracks);
    QFETCH(int, answer);
    QFETCH(bool, asked);
    QFETCH(bool, visibleAfter);

    QWidget owner;
    QPointer<frmTunemill> w = new frmTunemill(&owner, QString());
    ShowActive(*w);
    for (int i = 0; i < tracks; ++i)
        AddTrack(*w, "t", "t.mp3");
    if (how == "hidden")
        w->hide();
    fakes->messageBoxes.answers.enqueue(QMessageBox::StandardButton(answer));
    if (how == "Close")
        QTest::mouseClick(Child<QPushButton>(*w, "Command3"), Qt::LeftButton);
    else
        QVERIFY(!w->close());
    QCoreApplication::processEvents();

    QVERIFY(w);
    QCOMPARE(w->isVisible(), visibleAfter);
    QCOMPARE(fakes->messageBoxes.shown.size(), asked ? 1 : 0);
    if (asked) {
        const MessageBoxRequest &box = fakes->messageBoxes.shown.constFirst();
        QCOMPARE(box.text, "Are you sure you want to quit?");
        QCOMPARE(box.buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(box.icon, QMessageBox::NoIcon);
        QCOMPARE(box.title, "Tunemill 1.07");
    }
    QCOMPARE(Items(*w, "listcap").size(), tracks);
}

void TestFrmTunemill::reopenKeepsEverything()
{
    frmTunemill w(nullptr, QString());
    ShowActive(w);
    AddTrack(w, "a", "a.mp3");
    AddTrack(w, "b", "b.mp3");
    Child<QListWidget>(w, "listcap")->setCurrentRow(1);
    Child<QLineEdit>(w, "Text3")->setText("kp_home");
    Child<QLineEdit>(w, "Text4")->setText("kp_end");
    Child<QLineEdit>(w, "TXTcaption")->setText("half typed");
    QTest::mouseClick(Child<QPushButton>(w, "add"), Qt::LeftButton); // lights the path box
    const QPoint position = w.pos();

    fakes->messageBoxes.answers.enqueue(QMessageBox::Yes);
    QTest::mouseClick(Child<QPushButton>(w, "Command3"), Qt::LeftButton);
    QVERIFY(w.isHidden());
    QVERIFY(writeAll(dir->filePath("help.txt"), "changed"));
    ShowActive(w);

    QCOMPARE(w.pos(), position);
    QCOMPARE(Items(w, "listcap"), QStringList({"a", "b"}));
    QCOMPARE(Items(w, "listpath"), QStringList({"a.mp3", "b.mp3"}));
    QCOMPARE(Selected(w, "listpath"), 1);
    QCOMPARE(Child<QLineEdit>(w, "Text3")->text(), "kp_home");
    QCOMPARE(Child<QLineEdit>(w, "Text4")->text(), "kp_end");
    QCOMPARE(Child<QLineEdit>(w, "TXTcaption")->text(), "half typed");
    QCOMPARE(LitBoxes(w, {"TXTcaption", "TXTpath"}), QStringList{"TXTpath"});
    QCOMPARE(Child<QPlainTextEdit>(w, "Text2")->toPlainText(), "Caf\u00e9 \u20ac 5\nsecond line\n");
}

void TestFrmTunemill::escapeSetsStop_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("stop");
    for (const char *target : {"TXTcaption", "listcap", "Text3", "Text2", "Command2", "frmTunemill"})
        QTest::addRow("Escape on %s", target) << target << int(Qt::Key_Escape) << true;
    QTest::newRow("another key") << "TXTcaption" << int(Qt::Key_X) << false;
}

void TestFrmTunemill::escapeSetsStop()
{
    QFETCH(QString, target);
    QFETCH(int, key);
    QFETCH(bool, stop);

    frmTunemill w(nullptr, QString());
    ShowActive(w);
    QWidget *t = target == w.objectName() ? &w : Child<QWidget>(w, qPrintable(target));
    t->setFocus();
    QTest::keyClick(t, Qt::Key(key));
    QCOMPARE(w.stopRequested(), stop);
    QVERIFY(w.isVisible());
    QVERIFY(fakes->messageBoxes.shown.isEmpty());
}

void TestFrmTunemill::createRefused_data()
{
    QTest::addColumn<int>("tracks");
    QTest::addColumn<QString>("next");
    QTest::addColumn<QString>("back");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("icon");
    QTest::addColumn<QStringList>("litDuringMessage");
    QTest::addColumn<QStringList>("litAfter");
    QTest::addColumn<QString>("focus");

    const QStringList none;
    const int warning = QMessageBox::Warning;
    QTest::newRow("no tracks") << 0 << "u" << "o" << "Enter some tracks." << int(QMessageBox::Critical) << none
                               << none << "Command2";
    QTest::newRow("no tracks, keys not examined") << 0 << "" << "" << "Enter some tracks."
                                                  << int(QMessageBox::Critical) << none << none << "Command2";
    QTest::newRow("both keys empty") << 2 << "" << "" << "Please fill in Next and Back keys" << warning << none
                                     << QStringList({"Text3", "Text4"}) << "Text3";
    QTest::newRow("next key empty") << 1 << "" << "o" << "Please fill in Next key" << warning << none
                                    << QStringList{"Text3"} << "Text3";
    QTest::newRow("back key empty: lit first, focus stays")
        << 1 << "u" << "" << "Please fill in Back key" << warning << QStringList{"Text4"} << QStringList{"Text4"}
        << "Command2";
}

void TestFrmTunemill::createRefused()
{
    QFETCH(int, tracks);
    QFETCH(QString, next);
    QFETCH(QString, back);
    QFETCH(QString, message);
    QFETCH(int, icon);
    QFETCH(QStringList, litDuringMessage);
    QFETCH(QStringList, litAfter);
    QFETCH(QString, focus);

    QVERIFY(writeAll(script(), "earlier"));
    frmTunemill w(nullptr, QString());
    ShowActive(w);
    for (int i = 0; i < tracks; ++i)
        AddTrack(w, "t", "t.mp3");
    Child<QLineEdit>(w, "Text3")->setText(next);
    Child<QLineEdit>(w, "Text4")->setText(back);
    QStringList litSeen;
    fakes->messageBoxes.onShow = [&](const MessageBoxRequest &) { litSeen = LitBoxes(w, {"Text3", "Text4"}); };
    QTest::mouseClick(Child<QPushButton>(w, "Command2"), Qt::LeftButton);

    QCOMPARE(fakes->messageBoxes.shown.size(), 1);
    const MessageBoxRequest &box = fakes->messageBoxes.shown.constFirst();
    QCOMPARE(box.text, message);
    QCOMPARE(box.title, "Tunemill 1.07");
    QCOMPARE(box.buttons, QMessageBox::Ok);
    QCOMPARE(int(box.icon), icon);
    QCOMPARE(litSeen, litDuringMessage);
    QCOMPARE(LitBoxes(w, {"Text3", "Text4"}), litAfter);
    QCOMPARE(Focused(), focus);
    QCOMPARE(readAll(script()), QByteArray("earlier"));
    QVERIFY(fakes->processLauncher.started.isEmpty() && fakes->processLauncher.opened.isEmpty());
}

void TestFrmTunemill::createWritesWorkedExample()
{
    QVERIFY(writeAll(script(), "an earlier, longer file that Create replaces without asking\r\n"));
    frmTunemill w(nullptr, QString());
    ShowActive(w);
    AddTrack(w, "Title theme", "title.mp3");
    AddTrack(w, "Duel", "duel/duel1.mp3");
    fakes->messageBoxes.answers << QMessageBox::Ok << QMessageBox::No;
    QTest::mouseClick(Child<QPushButton>(w, "Command2"), Qt::LeftButton);

    QCOMPARE(readAll(script()), WorkedExampleBytes);
    QCOMPARE(fakes->messageBoxes.texts(),
             QStringList({"MC created. Path: " + script(), "Do you want to veiw your Music Changer?"}));
    for (const MessageBoxRequest &box : fakes->messageBoxes.shown) {
        QCOMPARE(box.title, "Tunemill 1.07");
        QCOMPARE(box.icon, QMessageBox::NoIcon);
    }
    QCOMPARE(fakes->messageBoxes.shown.at(0).buttons, QMessageBox::Ok);
    QCOMPARE(fakes->messageBoxes.shown.at(1).buttons, QMessageBox::Yes | QMessageBox::No);
    QVERIFY(fakes->processLauncher.started.isEmpty());
    QVERIFY(fakes->processLauncher.opened.isEmpty());
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList({"help.txt", "tunemill.cfg"}));
    QVERIFY(!w.isCreating());
}

void TestFrmTunemill::createIntoInstallFolder()
{
    const QString install = QDir::toNativeSeparators(dir->filePath("JK2"));
    // The installer's folder is GameData; a case-sensitive file system must still find it.
    QVERIFY(QDir(dir->path()).mkpath("JK2/GameData/base"));
    frmTunemill w(nullptr, install);
    AddTrack(w, "Duel", "duel.mp3");
    Child<QPushButton>(w, "Command2")->click();

    const QString expected =
        QDir::toNativeSeparators(dir->filePath("JK2/GameData/base")) + QDir::separator() + "tunemill.cfg";
    QCOMPARE(fakes->messageBoxes.texts().value(0), "MC created. Path: " + expected);
    QVERIFY(readAll(expected).startsWith("//Music Changer - Generated by Tunemill 1.07 by Kestrin"));
    QVERIFY(!QFile::exists(script()));
}

void TestFrmTunemill::createAgainReplaces()
{
    frmTunemill w(nullptr, QString());
    ShowActive(w);
    AddTrack(w, "Title theme", "title.mp3");
    AddTrack(w, "Duel", "duel/duel1.mp3");
    AddTrack(w, "Extra", "extra.mp3");
    Child<QPushButton>(w, "Command2")->click();
    QCOMPARE(readAll(script()).count("\r\n"), 26);

    Child<QListWidget>(w, "listcap")->setCurrentRow(2);
    Child<QPushButton>(w, "Command6")->click();
    Child<QPushButton>(w, "Command2")->click();
    QCOMPARE(readAll(script()), WorkedExampleBytes);
}

void TestFrmTunemill::viewerStartsOnYes()
{
    frmTunemill w(nullptr, QString());
    AddTrack(w, "Duel", "duel.mp3");
    fakes->messageBoxes.answers << QMessageBox::Ok << QMessageBox::Yes;
    Child<QPushButton>(w, "Command2")->click();

    QCOMPARE(fakes->messageBoxes.shown.size(), 2);
#ifdef Q_OS_WIN
    QCOMPARE(fakes->processLauncher.started.size(), 1);
    QCOMPARE(fakes->processLauncher.started.constFirst().program, qEnvironmentVariable("windir") + "\\notepad.exe");
    QCOMPARE(fakes->processLauncher.started.constFirst().arguments, QStringList{script()});
    QVERIFY(fakes->processLauncher.opened.isEmpty());
#else
    QCOMPARE(fakes->processLauncher.opened, QStringList{script()});
    QVERIFY(fakes->processLauncher.started.isEmpty());
#endif
}

void TestFrmTunemill::createIntoMissingFolder()
{
    const QString install = QDir::toNativeSeparators(dir->filePath("nowhere"));
    frmTunemill w(nullptr, install);
    AddTrack(w, "Duel", "duel.mp3");
    Child<QPushButton>(w, "Command2")->click();

    QCOMPARE(fakes->messageBoxes.shown.size(), 1);
    const MessageBoxRequest &box = fakes->messageBoxes.shown.constFirst();
    QCOMPARE(box.title, "Tunemill 1.07");
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.text, "The Music Changer could not be written to " + TunemillScriptPath(w.basePath())
                           + "\r\nError #76\r\nPath not found");
    QVERIFY(!QFileInfo::exists(install));
    QVERIFY(fakes->processLauncher.opened.isEmpty() && fakes->processLauncher.started.isEmpty());
}

void TestFrmTunemill::failedWriteKeepsEarlierFile()
{
#ifdef Q_OS_LINUX
    // A file size limit makes the write fail part way, as a full disk would, even for root.
    const QByteArray earlier = "earlier music changer\r\n";
    QVERIFY(writeAll(script(), earlier));
    frmTunemill w(nullptr, QString());
    for (int i = 0; i < 20; ++i)
        AddTrack(w, "Track", "track.mp3");

    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto savedSignal = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 200;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    Child<QPushButton>(w, "Command2")->click();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, savedSignal);

    QCOMPARE(fakes->messageBoxes.shown.size(), 1);
    QCOMPARE(fakes->messageBoxes.shown.constFirst().title, "Tunemill 1.07");
    QVERIFY(fakes->messageBoxes.shown.constFirst().text.startsWith("The Music Changer could not be written to "
                                                                    + script() + "\r\nError #61\r\n"));
    QCOMPARE(readAll(script()), earlier);
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList({"help.txt", "tunemill.cfg"}));
#else
    QSKIP("needs a per-process file size limit");
#endif
}

void TestFrmTunemill::createOntoBlockedTarget_data()
{
    QTest::addColumn<QString>("blocking");
    QTest::addColumn<QString>("error");
    QTest::newRow("script replaced by a folder") << "folder" << "Error #75\r\nPath/File access error";
    QTest::newRow("base folder read-only") << "read-only" << "Error #70\r\nPermission denied";
}

void TestFrmTunemill::createOntoBlockedTarget()
{
    QFETCH(QString, blocking);
    const QByteArray earlier = "earlier music changer\r\n";
    if (blocking == "folder") {
        QVERIFY(QDir().mkpath(script() + "/inside"));
    } else {
        QVERIFY(writeAll(script(), earlier));
        // Readable by everyone, writable by its owner only.
        QVERIFY(QFile::setPermissions(dir->path(), QFile::permissions(dir->path()) | QFile::ReadOther
                                                        | QFile::ExeOther));
        QVERIFY(QFile::setPermissions(script(), QFile::permissions(script()) | QFile::ReadOther));
    }
    const auto create = [this] {
        frmTunemill w(nullptr, QString());
        AddTrack(w, "Duel", "duel.mp3");
        Child<QPushButton>(w, "Command2")->click();
        QByteArray report;
        for (const MessageBoxRequest &box : fakes->messageBoxes.shown)
            report += (box.title + u'|' + box.text + u'\n').toUtf8();
        return report;
    };
    const QByteArray report = blocking == "folder" ? create() : RunAsOrdinaryUser(create);
    QFETCH(QString, error);
    QCOMPARE(QString::fromUtf8(report),
             "Tunemill 1.07|The Music Changer could not be written to " + script() + "\r\n" + error + "\n");
    QStringList files{"help.txt"};
    if (blocking == "folder") {
        QVERIFY(QFileInfo::exists(script() + "/inside"));
    } else {
        QCOMPARE(readAll(script()), earlier);
        files << "tunemill.cfg";
    }
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files | QDir::Hidden), files);
}

void TestFrmTunemill::unwritableCharacterRefused_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("mentions");
    QTest::newRow("caption") << "caption" << "\u0141\u00f3d\u017a" << QStringList({"\u0141", "caption of track 2"});
    QTest::newRow("path") << "path" << "\u4e50.mp3" << QStringList({"\u4e50", "path of track 2"});
    QTest::newRow("next key") << "Text3" << "\u0436" << QStringList({"\u0436", "Next key"});
    QTest::newRow("back key") << "Text4" << "\u00e9\u0436" << QStringList({"\u0436", "Back key"});
}

void TestFrmTunemill::unwritableCharacterRefused()
{
    QFETCH(QString, box);
    QFETCH(QString, text);
    QFETCH(QStringList, mentions);

    QVERIFY(writeAll(script(), "earlier"));
    frmTunemill w(nullptr, QString());
    AddTrack(w, "Title theme", "title.mp3");
    if (box == "caption")
        AddTrack(w, text, "duel.mp3");
    else if (box == "path")
        AddTrack(w, "Duel", text);
    else
        Child<QLineEdit>(w, qPrintable(box))->setText(text);
    Child<QPushButton>(w, "Command2")->click();

    QCOMPARE(fakes->messageBoxes.shown.size(), 1);
    const MessageBoxRequest &shown = fakes->messageBoxes.shown.constFirst();
    QCOMPARE(shown.title, "Tunemill 1.07");
    for (const QString &m : mentions)
        QVERIFY2(shown.text.contains(m), qPrintable(shown.text));
    QCOMPARE(readAll(script()), QByteArray("earlier"));
}

void TestFrmTunemill::escapeDuringCreate_data()
{
    QTest::addColumn<bool>("escapeBefore"); // pressed before Create, so already stale
    QTest::addColumn<bool>("escapeDuring"); // pending when Create lets input in
    QTest::addColumn<int>("trackLines");
    QTest::newRow("Escape while the first line is written") << false << true << 1;
    QTest::newRow("an earlier Escape is forgotten") << true << false << 5;
}

void TestFrmTunemill::escapeDuringCreate()
{
    QFETCH(bool, escapeBefore);
    QFETCH(bool, escapeDuring);
    QFETCH(int, trackLines);

    frmTunemill w(nullptr, QString());
    for (int i = 0; i < 5; ++i)
        AddTrack(w, "t", "t.mp3");
    auto *box = Child<QLineEdit>(w, "TXTcaption");
    if (escapeBefore)
        QTest::keyClick(box, Qt::Key_Escape);
    if (escapeDuring)
        QCoreApplication::postEvent(box, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    Child<QPushButton>(w, "Command2")->click();

    const QList<QByteArray> lines = readAll(script()).split('\n');
    QCOMPARE(lines.size(), 23 + trackLines + 1); // the split leaves an empty piece after the last CR LF
    QCOMPARE(lines.at(8), QByteArray("//LOOP 0-4-------------\r"));
    QVERIFY(lines.at(9 + trackLines).startsWith(QStringLiteral("SET MUSIC_CHANGE_%1 ").arg(trackLines - 1).toLatin1()));
    QCOMPARE(lines.at(10 + trackLines), QByteArray("//---------------------\r"));
    QCOMPARE(lines.at(19 + trackLines), QByteArray("SET PREV_MUSIC VSTR MUSIC_CHANGE_4\r"));
    QCOMPARE(w.stopRequested(), escapeDuring);
    QCOMPARE(fakes->messageBoxes.texts().value(0), "MC created. Path: " + script());
}

void TestFrmTunemill::secondCreateRefusedWhileRunning()
{
    frmTunemill w(nullptr, QString());
    AddTrack(w, "Title theme", "title.mp3");
    AddTrack(w, "Duel", "duel/duel1.mp3");
    bool sawRunning = false;
    QMetaObject::invokeMethod(
        &w,
        [&] {
            sawRunning = w.isCreating();
            w.Command2_Click();
        },
        Qt::QueuedConnection);
    Child<QPushButton>(w, "Command2")->click();
    QCoreApplication::processEvents();

    QVERIFY(sawRunning);
    QCOMPARE(fakes->messageBoxes.texts(),
             QStringList({"MC created. Path: " + script(), "Do you want to veiw your Music Changer?"}));
    QCOMPARE(readAll(script()), WorkedExampleBytes);
    QVERIFY(!w.isCreating());
}

QTEST_MAIN(TestFrmTunemill)
#include "tst_frmtunemill.moc"
