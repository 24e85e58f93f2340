// Draws the windows the README shows into PNG files, offscreen, with a fixed font and a real
// player's script from the corpus beside the checkout, so the pictures come out alike on every
// machine. Not a test: scripts/screenshots.sh builds and runs it; TAVREL_SCREENSHOTS names the
// folder to write (docs/ by default).
#include "aids/frmJK2colors.h"
#include "about/frmSplash.h"
#include "aids/frmLookAheadCheck.h"
#include "insight/scriptinsight.h"
#include "script/flags.h"
#include "support/mainwindow.h"
#include "support/withmodal.h"

#include <QtWidgets>

namespace {

// A Rocket Arena server config: comments, quoted values, a colour code, and PunkBuster
// commands the checks do not know.
const char *const Script = TAVREL_SOURCE_DIR "/../shared/corpus/q3/b-hayes-Quake-III-configs__arena_server.cfg";

// A Jedi Outcast player's binds: toggles that rebind through vstr, and a say script.
const char *const Binds = TAVREL_SOURCE_DIR "/../shared/corpus/jk2/fredericrous__zougi_spebot.cfg";

void Save(QWidget *window, const QString &name)
{
    const QString folder = qEnvironmentVariable("TAVREL_SCREENSHOTS", QStringLiteral(TAVREL_SOURCE_DIR "/docs"));
    QVERIFY(QDir().mkpath(folder));
    QCoreApplication::processEvents();
    QVERIFY2(window->grab().save(folder + u'/' + name + QStringLiteral(".png")), qPrintable(name));
}

} // namespace

class Screenshots : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 9)); }

    void grab()
    {
        MainWindowFixture f;
        f.window.Splash()->hide();
        QVERIFY(QFile::copy(QStringLiteral(TAVREL_SOURCE_DIR "/data/help.txt"), f.appDir.filePath("help.txt")));

        QVERIFY2(QFile::exists(QString::fromLatin1(Script)), Script);
        f.click("mnuGame_q3");
        f.window.OpenDocumentFile(QString::fromLatin1(Script));
        QSignalSpy checked(f.window.Insight(), &ScriptInsight::refreshed);
        f.window.Insight()->refreshNow();
        QVERIFY(checked.wait());
        QVERIFY(!f.window.Insight()->findings().isEmpty());
        f.editor()->SetCaretPos(0, 0);
        Save(&f.window, QStringLiteral("main-window"));

        WithModal([](QWidget *checklist) { Save(checklist, QStringLiteral("flag-checklist")); },
                  [&f] { RunFlagChecklist(&f.window, ForcePowerTable(), 5 | 1 << 20); });

        f.click("mnuTools_tunemill");
        auto *tunemill = f.window.findChild<QWidget *>(QStringLiteral("frmTunemill"));
        const QStringList tracks = {"Yavin Temple", "music/yavin1/yavtemp.mp3", "Bespin Streets",
                                    "music/bespin/bespin_platform.mp3"};
        for (qsizetype i = 0; i < tracks.size(); i += 2) {
            tunemill->findChild<QLineEdit *>(QStringLiteral("TXTcaption"))->setText(tracks[i]);
            tunemill->findChild<QLineEdit *>(QStringLiteral("TXTpath"))->setText(tracks[i + 1]);
            tunemill->findChild<QPushButton *>(QStringLiteral("add"))->click();
        }
        Save(tunemill, QStringLiteral("tunemill"));

        // A player's bind script, run and tried key by key.
        f.click("mnuGame_jk2");
        f.window.OpenDocumentFile(QString::fromLatin1(Binds));
        f.click("mnuOptions_trykeys");
        auto *picture = f.window.findChild<QWidget *>(QStringLiteral("picKeyboard"));
        for (Qt::Key key : {Qt::Key_Insert, Qt::Key_Insert, Qt::Key_Delete})
            QTest::keyClick(picture, key);
        f.editor()->SetCaretPos(0, 0);
        f.window.Insight()->refreshNow();
        QVERIFY(checked.wait());
        Save(&f.window, QStringLiteral("try-keys"));
        f.click("mnuOptions_trykeys");

        f.click("mnuFont_jk2");
        auto *colours = f.window.findChild<frmJK2colors *>();
        colours->Text1->setText(QStringLiteral("Hello there"));
        colours->Combo1->setCurrentText(QStringLiteral("Yellow"));
        Save(colours, QStringLiteral("colour-dialog"));
    }
};

QTEST_MAIN(Screenshots)
#include "screenshots.moc"
