// The document: Windows-1252 files through the editor byte for byte, and its life (new,
// open, save, save as, the question before closing) as the user sees it.
#include "document/documentfile.h"
#include "document/documentlifecycle.h"
#include "codec/cp1252.h"
#include "editor/codesense.h"
#include "foundation/appfolder.h"
#include "support/datarows.h"
#include "support/fakeservices.h"
#include "support/files.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <numeric>

class DocumentTest : public QObject
{
    Q_OBJECT

private slots:
    void bytesSurviveOpenAndSave_data()
    {
        Columns<QByteArray>({"bytes"});
        QByteArray all(256, Qt::Uninitialized);
        std::iota(all.begin(), all.end(), 0);
        QTest::newRow("every byte") << all;
        QTest::newRow("empty") << QByteArray();
        QByteArray noise(3 * 1024 * 1024 + 8, Qt::Uninitialized);
        QRandomGenerator(7).fillRange(reinterpret_cast<quint32 *>(noise.data()), noise.size() / 4);
        QTest::newRow("random bytes in four pieces") << noise;
#if !defined(__SANITIZE_ADDRESS__) // too slow there
        QTest::newRow("one 50 MB line") << QByteArray(50 * 1024 * 1024, 'w');
#endif
    }
    // A file goes in by megabytes and the caller hears of each. Opening is not an edit, and moves the text's gap to
    // the start, where typing begins.
    void bytesSurviveOpenAndSave()
    {
        const auto [bytes] = Fetch<QByteArray>({"bytes"});
        QTemporaryDir dir;
        const QString in = dir.filePath("in.cfg"), out = dir.filePath("out.cfg");
        QVERIFY(writeAll(in, bytes));
        CodeSense editor;
        editor.SetText("before");
        editor.setTabWidth(3); // the document's own settings go over to the file's
        QSignalSpy changes(&editor, &CodeSense::Change), loaded(&editor, &CodeSense::DocumentLoaded);
        QList<qint64> heard;
        SetOpenableFileSizeLimitForTesting(bytes.size()); // exactly at the limit still opens
        const FileError opened = OpenFile(&editor, in, [&](qint64 done, qint64 total) {
            heard << (total == bytes.size() ? done : -1);
        });
        SetOpenableFileSizeLimitForTesting(-1);
        QVERIFY(opened.ok());
        QTRY_COMPARE(editor.SendScintilla(QsciScintillaBase::SCI_GETGAPPOSITION), 0L);
        QVERIFY(changes.isEmpty() && loaded.count() == 1 && !editor.isModified() && !editor.isUndoAvailable());
        QCOMPARE(editor.tabWidth(), 3);
        QVERIFY(editor.Text() == cp1252::decode(bytes) && SaveFile(&editor, out).ok() && readAll(out) == bytes);
        QCOMPARE(heard.size(), (bytes.size() + (1 << 20) - 1) >> 20);
        if (!bytes.isEmpty())
            QCOMPARE(QList<qint64>({heard.first(), heard.last()}),
                     QList<qint64>({std::min(bytes.size(), qsizetype(1) << 20), bytes.size()}));
        // A character the file cannot hold, on the first, a middle or the last line, whichever
        // piece it falls in, is refused with the file left exactly as it was.
        using Sci = QsciScintillaBase; // not by the caret, whose placing lays out a long line whole
        for (const int line : {0, editor.lines() / 2, editor.lines() - 1}) {
            const auto at = static_cast<unsigned long>(editor.SendScintilla(Sci::SCI_POSITIONFROMLINE, line));
            editor.SendScintilla(Sci::SCI_INSERTTEXT, at, "\u4E2D");
            const FileError error = SaveFile(&editor, out);
            QVERIFY2(error.number == UnencodableCharacterError && error.description.startsWith(
                         QString("Line %1 holds the character \u201c\u4E2D\u201d (U+4E2D)").arg(line + 1)),
                     qPrintable(error.description));
            QVERIFY(readAll(out) == bytes && editor.isModified() && editor.isUndoAvailable());
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"in.cfg", "out.cfg"}));
            editor.SendScintilla(Sci::SCI_DELETERANGE, at, 3L);
        }
        QVERIFY(SaveFile(&editor, out).ok() && !editor.isModified() && readAll(out) == bytes);
    }

    // While a file loads in the background, and after it is cancelled, the document on
    // screen still shows and scrolls through all of its lines; the loaded one, once in, has
    // its gap moved to the start bit by bit, with the window taking events meanwhile.
    void backgroundLoadLeavesTheShownDocumentWhole_data()
    {
        Columns<bool>({"cancel"});
        QTest::newRow("cancelled") << true;
        QTest::newRow("loaded") << false;
    }
    void backgroundLoadLeavesTheShownDocumentWhole()
    {
        const auto [cancel] = Fetch<bool>({"cancel"});
        QTemporaryDir dir;
        const QByteArray line = "bind x \"+attack; wait; -attack\"\r\n";
        QVERIFY(writeAll(dir.filePath("big.cfg"), line.repeated(1 << 19)));
        CodeSense editor;
        const QString shown = QString("echo %1\r\n").repeated(300);
        editor.SetText(shown);
        editor.resize(400, 300);
        editor.show();
        const auto scrolls = [&] {
            editor.setFirstVisibleLine(250);
            return editor.firstVisibleLine() == 250 && editor.Text() == shown;
        };
        FileLoad load(&editor, dir.filePath("big.cfg"));
        bool heard = false;
        connect(&load, &FileLoad::Progress, &editor, [&] {
            if (!std::exchange(heard, true)) {
                QVERIFY(scrolls());
                if (cancel)
                    load.Cancel();
            }
        });
        long gapWhenLoaded = 0;
        connect(&editor, &CodeSense::DocumentLoaded, &editor, [&] {
            gapWhenLoaded = editor.SendScintilla(QsciScintillaBase::SCI_GETGAPPOSITION);
        });
        QSignalSpy finished(&load, &FileLoad::Finished);
        QTRY_VERIFY(heard && (cancel || finished.count() == 1));
        if (cancel) {
            QVERIFY(scrolls());
            return;
        }
        QCOMPARE(editor.length(), line.size() * (1 << 19));
        QVERIFY(gapWhenLoaded > 0); // not all at once
        QTRY_COMPARE(editor.SendScintilla(QsciScintillaBase::SCI_GETGAPPOSITION), 0L);
        QVERIFY(!editor.isModified() && !editor.isUndoAvailable());
        QCOMPARE(editor.text(editor.lines() - 2), QString(line));
    }

    // Steps on a window's document, starting untitled beside old.cfg holding "old"; the log
    // holds what the user sees: captions, messages, the close answer, how often a name was
    // asked for, the files and the text.
    void lifecycle_data()
    {
        Columns<QString, QString>({"steps", "log"});
        const auto row = [](const char *name, const char *steps, const char *log) {
            QTest::newRow(name) << steps << log;
        };
        row("open, change, save, new", "type open type save new type save",
            "Untitled.cfg* | old.cfg | old.cfg* | old.cfg | Untitled.cfg | Untitled.cfg* | asked 1 | old.cfg=xold | x");
        row("untitled saved under a name", "type save name:kyle.cfg save type save",
            "Untitled.cfg* | kyle.cfg | kyle.cfg* | kyle.cfg | asked 2 | kyle.cfg=xx | old.cfg=old | xx");
        row("failures change nothing", "type open:missing.cfg huge open type name:nowhere/x.cfg saveas",
            "Untitled.cfg* | Error #53 | Error #7 | old.cfg | old.cfg* | Error #76 | asked 1 | old.cfg=old | xold");
        row("changed, then reopened, closes", "type open close",
            "Untitled.cfg* | old.cfg | closes | asked 0 | old.cfg=old | old");
        row("yes on untitled ends after a later save", "type Yes close name:quit.cfg save",
            "Untitled.cfg* | The text in Untitled.cfg file has changed. | stays | quit.cfg | quit | asked 2 | "
            "old.cfg=old | quit.cfg=x | x");
        row("a failed save does not end", "open cjk Yes close",
            "old.cfg | old.cfg* | The text in old.cfg file has changed. | Error #1252 | stays | asked 0 | "
            "old.cfg=old | \r\n中old");
    }
    void lifecycle()
    {
        QTemporaryDir home;
        SetApplicationFolder(home.path());
        QVERIFY(writeAll(home.filePath("old.cfg"), "old"));
        QStringList log;
        FakeServices fakes;
        fakes.messageBoxes.onShow = [&](const MessageBoxRequest &box) { log << box.text.section('\r', 0, 0); };
        QWidget window;
        auto *editor = new CodeSense(&window);
        DocumentState state;
        DocumentLifecycle life(editor, state, &window);
        QString caption = state.Caption;
        connect(&life, &DocumentLifecycle::CaptionChanged, [&](const QString &c) {
            if (c != std::exchange(caption, c))
                log << QString(c).remove("Tavrel - ");
        });
        connect(&life, &DocumentLifecycle::SavedBeforeQuit, [&] { log << "quit"; });
        using Answer = DocumentLifecycle::CloseAnswer;
        const QMap<QString, std::function<void()>> act{
            {"type", [&] { QTest::keyClick(editor, Qt::Key_X); }},
            {"cjk", [&] { editor->InsertText("\r\n\u4E2D"); }},
            {"open", [&] { life.Open(home.path()); }}, {"new", [&] { life.New(); }}, {"save", [&] { life.Save(); }},
            {"saveas", [&] { life.SaveAs(); }}, {"Yes", [&] { fakes.messageBoxes.answers.enqueue(QMessageBox::Yes); }},
            {"close", [&] { log << (life.AskBeforeClose() == Answer::Close ? "closes" : "stays"); }},
            {"huge", [&] { // beyond the memory still free
                 SetOpenableFileSizeLimitForTesting(2);
                 life.OpenFile(home.filePath("old.cfg"));
                 SetOpenableFileSizeLimitForTesting(-1);
             }}};
        for (const QString &step : std::get<0>(Fetch<QString>({"steps"})).split(' ')) {
            const QString name = step.section(':', 0, 0), file = step.section(':', 1); // file: the dialog's answer
            if (step.startsWith("open"))
                fakes.fileDialogs.openAnswers.enqueue(home.filePath(file.isEmpty() ? "old.cfg" : file));
            else if (!file.isEmpty())
                fakes.fileDialogs.saveAnswers.enqueue(home.filePath(file));
            act.value(name, [] {})();
        }
        for (const FileDialogRequest &r : fakes.fileDialogs.saveRequests) // adds .cfg, asks before replacing a file
            QVERIFY(r.defaultSuffix == "cfg" && r.confirmOverwrite);
        log << QString("asked %1").arg(fakes.fileDialogs.saveRequests.size());
        for (const QFileInfo &file : QDir(home.path()).entryInfoList(QDir::Files))
            log << file.fileName() + "=" + readAll(file.filePath());
        QTEST((log << editor->Text()).join(" | "), "log");
    }

    // Save As starts where the user can write: never in an installed copy's shipped folder.
    void saveAsStartsWhereTheUserCanWrite_data()
    {
        Columns<bool, QString, QString>({"installed", "file", "folder"});
        QTest::newRow("portable, untitled") << false << "" << "app/cfgs";
        QTest::newRow("installed, untitled") << true << "" << "user";
        QTest::newRow("installed, a shipped example") << true << "app/cfgs/example.cfg" << "user";
        QTest::newRow("a file of the user's") << true << "mine/kyle.cfg" << "mine";
        QTest::newRow("portable, a shipped example") << false << "app/cfgs/example.cfg" << "app/cfgs";
    }
    void saveAsStartsWhereTheUserCanWrite()
    {
        const auto [installed, file] = Fetch<bool, QString>({"installed", "file"});
        QTemporaryDir home;
        for (const char *folder : {"app/cfgs", "user", "mine"})
            QVERIFY(QDir(home.path()).mkpath(folder));
        SetDataFolders({home.filePath("app"), home.filePath(installed ? "user" : "app")});
        FakeServices fakes;
        QWidget window;
        auto *editor = new CodeSense(&window);
        DocumentState state;
        DocumentLifecycle life(editor, state, &window);
        if (!file.isEmpty()) {
            QVERIFY(writeAll(home.filePath(file), "bind x jump"));
            life.OpenFile(home.filePath(file));
        }
        life.SaveAs();
        SetApplicationFolder(QString());
        QCOMPARE(fakes.fileDialogs.saveRequests.size(), 1);
        QTEST(fakes.fileDialogs.saveRequests[0].initialFolder.mid(home.path().size() + 1), "folder");
    }
};

QTEST_MAIN(DocumentTest)
#include "test_document.moc"
