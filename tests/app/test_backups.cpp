// Unsaved work and large files in the main window: when backups are written and removed,
// what the recovery question offers, the real program killed and started again, and a
// large file opened in the background.
#include "document/documentbackup.h"
#include "recovery/backupfile.h"
#include "script/scriptanalysis.h"
#include "support/datarows.h"
#include "support/files.h"
#include "support/mainwindow.h"

#include <QProcess>
#include <QStatusBar>

namespace {

struct BackupFixture : MainWindowFixture
{
    QString folder = RecoveryFolder::DefaultLocation();
    BackupFixture() { window.Backup()->setDelay(10); }
    QString file() const { return window.Backup()->file(); }
    bool typeAndWaitForBackup(const QString &text)
    {
        QSignalSpy written(window.Backup(), &DocumentBackup::written);
        type(text);
        return written.wait(60000); // a large backup under the sanitizers on a busy machine
    }
    // A backup left behind by a program that is no longer running.
    QString leaveOrphan(const BackupHeader &header, const QByteArray &text)
    {
        const QString orphan = folder + "/ended.backup";
        return QDir().mkpath(folder) && WriteBackup(orphan, header, text).ok() ? orphan : QString();
    }
};

} // namespace

class BackupsTest : public QObject
{
    Q_OBJECT

private slots:
    void backupGoesOnlyWhenWorkIsSafeOrGivenUp_data()
    {
        Columns<QString, bool>({"action", "kept"});
        QTest::newRow("save") << "save" << false;
        QTest::newRow("save fails") << "save to a missing folder" << true;
        QTest::newRow("new") << "new" << false;
        QTest::newRow("open") << "open" << false;
        QTest::newRow("exit, No") << "exit No" << false;
        QTest::newRow("exit, Cancel") << "exit Cancel" << true;
    }
    void backupGoesOnlyWhenWorkIsSafeOrGivenUp()
    {
        QFETCH(QString, action);
        QFETCH(bool, kept);
        BackupFixture f;
        QVERIFY(f.typeAndWaitForBackup(u"bind x \"say \u2603\""_qs));
        QCOMPARE(ReadBackup(f.file()).backup->text, u"bind x \"say \u2603\""_qs.toUtf8());
        const QString cfg = f.appDir.filePath("cfgs/a.cfg");
        QVERIFY(writeAll(cfg, "seta a 1\r\n"));
        if (action.startsWith("save")) {
            f.type("\b\b"); // the snowman cannot be saved
            f.fakes.fileDialogs.saveAnswers << (kept ? f.appDir.filePath("missing/a.cfg") : cfg);
            f.click("mnuFile_saveas");
        } else if (action == "new") {
            f.click("mnuFile_new");
        } else if (action == "open") {
            f.fakes.fileDialogs.openAnswers << cfg;
            f.click("mnuFile_open");
        } else {
            f.fakes.messageBoxes.answers << (action.endsWith("No") ? QMessageBox::No : QMessageBox::Cancel);
            f.click("mnuFile_exit");
        }
        QCOMPARE(QFile::exists(f.file()), kept);
    }

    // The text is copied off the editor in pieces, the buffer's gap (where the last key
    // went) between two of them; a script too large for the checks is backed up all the same.
    void largeTextEditedInTheMiddleIsBackedUpExactly()
    {
        BackupFixture f;
        QByteArray block;
        while (block.size() < 1 << 20)
            block += u"seta \u0100%1 \U0001F3AE\n"_qs.arg(block.size()).toUtf8();
        f.editor()->SetTextUtf8(block.repeated(33));
        QVERIFY(f.editor()->SendScintilla(QsciScintillaBase::SCI_GETLENGTH) > MaxCheckedBytes);
        const long middle = f.editor()->SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT) / 2;
        f.editor()->SendScintilla(QsciScintillaBase::SCI_GOTOLINE, middle);
        QVERIFY(f.typeAndWaitForBackup("x"));
        QVERIFY(ReadBackup(f.file()).backup->text == f.editor()->TextUtf8());
    }

    void unwritableFolderIsReportedOnceAndEditingGoesOn()
    {
        BackupFixture f;
        QVERIFY(QDir().mkpath(QFileInfo(f.folder).path()));
        QVERIFY(writeAll(f.folder, "a file where the folder belongs"));
        QSignalSpy shown(f.window.statusBar(), &QStatusBar::messageChanged);
        f.type("bind x quit");
        QTRY_COMPARE(shown.size(), 1);
        QVERIFY(f.window.statusBar()->currentMessage().contains(f.folder));
        f.type(" now");
        QTest::qWait(200); // several more attempts, each failing
        QCOMPARE(shown.size(), 1);
        const QString cfg = f.appDir.filePath("cfgs/a.cfg");
        f.fakes.fileDialogs.saveAnswers << cfg;
        f.click("mnuFile_save");
        QCOMPARE(readAll(cfg), QByteArray("bind x quit now"));
        QVERIFY(f.fakes.messageBoxes.shown.isEmpty());
    }

    void recoveryQuestionOffersBackupsOfEndedPrograms_data()
    {
        Columns<QByteArray, QMessageBox::StandardButton>({"onDisk", "answer"}); // onDisk empty: an untitled document
        const QByteArray small = "seta a 1\r\n";
        QTest::newRow("untitled, Restore") << QByteArray() << QMessageBox::Yes;
        QTest::newRow("file changed on disk, Restore") << small << QMessageBox::Yes;
        // A file this large opens in the background elsewhere; the restore must wait for it.
        QTest::newRow("large file, Restore") << small + QByteArray("// padding\r\n").repeated(400000)
                                             << QMessageBox::Yes;
        QTest::newRow("Discard") << small << QMessageBox::Discard;
        QTest::newRow("Later") << QByteArray() << QMessageBox::Cancel;
    }
    void recoveryQuestionOffersBackupsOfEndedPrograms()
    {
        QFETCH(QByteArray, onDisk);
        QFETCH(QMessageBox::StandardButton, answer);
        const bool hasFile = !onDisk.isEmpty();
        BackupFixture f;
        const QString cfg = f.appDir.filePath("cfgs/\u00e9t\u00e9.cfg");
        QVERIFY(writeAll(cfg, hasFile ? onDisk : "seta a 1\r\n"));
        const QByteArray text = u"seta a 2 // \u6f22\U0001F3AE\r\n"_qs.toUtf8();
        const BackupHeader header{hasFile ? cfg : QString(), "Quake III Arena", "ioquake3",
                                  QDateTime::currentDateTimeUtc().addSecs(-3600)};
        const QString orphan = f.leaveOrphan(header, text);
        QVERIFY(!orphan.isEmpty());
        f.fakes.messageBoxes.answers << answer;
        f.window.OfferRecovery();
        QCOMPARE(f.fakes.messageBoxes.shown.size(), 1);
        const MessageBoxRequest &asked = f.fakes.messageBoxes.shown[0];
        QVERIFY(asked.text.contains(hasFile ? QDir::toNativeSeparators(cfg) : "Untitled.cfg"));
        QVERIFY(asked.text.contains(header.time.toLocalTime().toString("yyyy-MM-dd HH:mm:ss")));
        QCOMPARE(asked.text.contains("changed on disk"), hasFile);
        QCOMPARE(asked.buttons, QMessageBox::Yes | QMessageBox::Discard | QMessageBox::Cancel);

        const bool restored = answer == QMessageBox::Yes;
        QCOMPARE(f.editor()->TextUtf8(), restored ? text : QByteArray());
        QCOMPARE(f.window.Document.Modified, restored);
        QCOMPARE(f.window.Document.FilePath, restored && hasFile ? cfg : QString());
        QCOMPARE(f.window.State.game(), restored ? Game::Quake3 : Game::JediOutcast);
        QCOMPARE(QFile::exists(orphan), answer == QMessageBox::Cancel);
        QCOMPARE(QFile::exists(f.file()), restored);
        if (restored && hasFile) {
            f.click("mnuEdit_undo");
            QCOMPARE(f.editor()->TextUtf8(), onDisk);
        }
    }

    void truncatedBackupIsReportedAndLeftAlone()
    {
        BackupFixture f;
        const QString orphan = f.leaveOrphan({}, "seta a 1\r\nseta b 2\r\n");
        QByteArray bytes = readAll(orphan);
        bytes.chop(4);
        QVERIFY(writeAll(orphan, bytes));
        f.window.OfferRecovery();
        QCOMPARE(f.fakes.messageBoxes.shown.size(), 1);
        QVERIFY(f.fakes.messageBoxes.shown[0].text.contains("cannot be restored"));
        QCOMPARE(readAll(orphan), bytes);
        QCOMPARE(f.editor()->TextUtf8(), QByteArray());
        QVERIFY(!f.window.Document.Modified);
    }

    // Two programs side by side, one with an Untitled document and one with a file, are
    // killed once their backups are on disk; each start afterwards restores one of them.
    void killedProgramsWorkComesBack_data()
    {
        Columns<QByteArray>({"body"});
        QTest::newRow("outside Windows-1252") << u"\r\n// \u2603 \u6f22\u5b57 \U0001F3AE \u20ac\0end\n"_qs.toUtf8();
        QByteArray large;
        while (large.size() < 10 * 1024 * 1024)
            large += u"bind KP_%1 \"say \u0141\u00f3d\u017a \U0001F3AE\"\r\n"_qs.arg(large.size()).toUtf8();
        QTest::newRow("10 MB") << large;
    }
    void killedProgramsWorkComesBack()
    {
        QFETCH(QByteArray, body);
        QTemporaryDir dir;
        const QString bodyFile = dir.filePath("body.txt"), cfg = dir.filePath("autoexec.cfg");
        QVERIFY(writeAll(bodyFile, body) && writeAll(cfg, "seta name \x80\r\n"));
        const QString typed = u"echo \u03a9\u2603"_qs;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_DATA_HOME", dir.path());
        std::array<QProcess, 2> programs;
        for (QProcess &program : programs) {
            program.setProcessEnvironment(environment);
            const bool opened = &program == &programs[1];
            program.start(RECOVERY_CHILD, QStringList{"type", typed, bodyFile} + (opened ? QStringList{cfg} : QStringList{}));
        }
        for (QProcess &program : programs) {
            while (!program.canReadLine())
                QVERIFY2(program.waitForReadyRead(-1), program.readAllStandardError());
            QCOMPARE(program.readLine(), QByteArray("backed up\n"));
            program.kill();
            program.waitForFinished(-1);
        }
        const QByteArray expected = (typed + QString::fromUtf8(body)).toUtf8();
        QMap<QString, QByteArray> recovered;
        for (int start = 0; start < 2; ++start) {
            QProcess program;
            program.setProcessEnvironment(environment);
            const QString out = dir.filePath("out");
            program.start(RECOVERY_CHILD, {"recover", out});
            QVERIFY(program.waitForFinished(-1));
            QCOMPARE(program.exitCode(), 0);
            const QStringList lines = QString::fromUtf8(program.readAllStandardOutput()).split('\n');
            QCOMPARE(lines.value(1), "modified=1");
            QCOMPARE(lines.filter("asked=").size(), 2); // Restore, then the question on exit
            recovered.insert(lines.value(0).mid(5), readAll(out));
        }
        QCOMPARE(recovered.keys(), (QStringList{"", cfg}));
        QVERIFY(recovered[""] == expected);
        QVERIFY(recovered[cfg] == "seta name \u20ac\r\n" + expected);
        // Each left through Exit answering No: nothing of the work stays on disk.
        QCOMPARE(QDir(dir.filePath("Tavrel/recovery")).entryList({"*.backup"}), QStringList());
    }

    // A large file loads in the background: the window goes on handling events while the
    // document stays as it was and takes no keys. A cancel, by Escape or the status bar's
    // button, or a file refused, keeps that document: text, file, modified mark and undo.
    void largeFileLoadsInTheBackground_data()
    {
        Columns<QString>({"ending"});
        QTest::newRow("Escape") << "Escape";
        QTest::newRow("Cancel button") << "button";
        QTest::newRow("loaded") << "";
        QTest::newRow("refused, too large for the memory left") << "refused";
    }
    void largeFileLoadsInTheBackground()
    {
        const auto [ending] = Fetch<QString>({"ending"});
        MainWindowFixture f;
        const QString small = f.appDir.filePath("small.cfg"), big = f.appDir.filePath("big.cfg");
        const QByteArray line = "seta rate 25000\r\n";
        QVERIFY(writeAll(small, "bind x +attack\r\n") && writeAll(big, line.repeated(500000)));
        f.window.OpenDocumentFile(small);
        f.type("y");
        const QString caption = f.window.windowTitle();
        auto *bar = f.window.findChild<QWidget *>(QStringLiteral("fraLoading"));
        bool handledMeanwhile = false;
        if (ending == "refused")
            SetOpenableFileSizeLimitForTesting(line.size() * 1000);
        f.window.OpenDocumentFile(big);
        f.type("z");
        QMetaObject::invokeMethod(
            &f.window,
            [&] {
                handledMeanwhile = !bar->isHidden() && f.editor()->Text() == "ybind x +attack\r\n";
                if (ending == "Escape")
                    QTest::keyClick(f.editor(), Qt::Key_Escape);
                else if (ending == "button")
                    bar->findChild<QPushButton *>(QStringLiteral("cmdCancelLoading"))->click();
            },
            Qt::QueuedConnection);
        QTRY_VERIFY(bar->isHidden());
        SetOpenableFileSizeLimitForTesting(-1);
        QCOMPARE(handledMeanwhile, ending != "refused"); // refused before the first turn of the loop
        QCOMPARE(f.fakes.messageBoxes.texts().size(), ending == "refused" ? 1 : 0);
        if (ending.isEmpty()) {
            QCOMPARE(f.editor()->length(), 500000 * line.size());
            QVERIFY(!f.editor()->isModified() && !f.editor()->isUndoAvailable());
            QVERIFY(f.window.windowTitle().contains(QStringLiteral("big.cfg")));
            f.type("q"); // the loaded document takes keys again
            QVERIFY(f.editor()->isModified());
            return;
        }
        QCOMPARE(f.editor()->Text(), QStringLiteral("ybind x +attack\r\n"));
        QVERIFY(f.editor()->isModified());
        QCOMPARE(f.window.windowTitle(), caption);
        f.editor()->Undo();
        f.type("w");
        QCOMPARE(f.editor()->Text(), QStringLiteral("wbind x +attack\r\n"));
    }
};

QTEST_MAIN(BackupsTest)
#include "test_backups.moc"
