#include "editor/codesense.h"
#include "codec/cp1252.h"
#include "codec/fileio.h"
#include "support/files.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class CodeSenseTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    QByteArray roundTrip(const QByteArray &bytes)
    {
        const QString in = dir.filePath("in.cfg"), out = dir.filePath("out.cfg");
        if (!writeAll(in, bytes))
            return "<write failed>";
        CodeSense editor;
        if (!editor.OpenFile(in).ok() || !editor.SaveFile(out, false).ok())
            return "<editor failed>";
        return readAll(out);
    }

private slots:
    void fileBytesSurviveOpenAndSave_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        QTest::newRow("every byte, NUL first") << all;
        QByteArray reversed = all;
        std::reverse(reversed.begin(), reversed.end());
        QTest::newRow("every byte, NUL last") << reversed;
        QTest::newRow("mixed line ends") << QByteArray("a\r\nb\nc\rd\r\r\n\n\re");
        QTest::newRow("euro and undefined bytes") << QByteArray("echo \x80\x81\x8d\x8f\x90\x9d\x9f\xff");
        QTest::newRow("only NULs") << QByteArray(64, '\0');
        QTest::newRow("empty") << QByteArray();
    }
    void fileBytesSurviveOpenAndSave()
    {
        QFETCH(QByteArray, bytes);
        QCOMPARE(roundTrip(bytes), bytes);
    }

    void randomFilesSurviveOpenAndSave()
    {
        QRandomGenerator random(1252);
        CodeSense editor;
        const QString in = dir.filePath("random.cfg"), out = dir.filePath("random-out.cfg");
        for (int i = 0; i < 500; ++i) {
            QByteArray bytes(random.bounded(0, 300), Qt::Uninitialized);
            for (char &c : bytes)
                c = char(random.bounded(256));
            QVERIFY(writeAll(in, bytes));
            QVERIFY(editor.OpenFile(in).ok());
            QVERIFY(editor.SaveFile(out, false).ok());
            QCOMPARE(readAll(out), bytes);
        }
    }

    void euroDisplaysAsTheGameShowsIt()
    {
        const QString path = dir.filePath("euro.cfg");
        QVERIFY(writeAll(path, "say \x80\x8c"));
        CodeSense editor;
        QVERIFY(editor.OpenFile(path).ok());
        QCOMPARE(editor.Text(), QStringLiteral("say \u20AC\u0152"));
        QCOMPARE(editor.GetLine(0).size(), 6);
    }

    void textKeepsNulAndRaisesOneChange()
    {
        CodeSense editor;
        QSignalSpy changes(&editor, &CodeSense::Change);
        const QString text = QStringLiteral("a") + QChar(0) + QStringLiteral("b");
        editor.SetText(text);
        QCOMPARE(changes.count(), 1);
        QCOMPARE(editor.Text(), text);
        editor.Undo();
        QCOMPARE(editor.Text(), QString());
    }

    void openLeavesNoUndoAndRaisesNoChange()
    {
        const QString path = dir.filePath("open.cfg");
        QVERIFY(writeAll(path, "bind a b"));
        CodeSense editor;
        editor.SetText(QStringLiteral("before"));
        QSignalSpy changes(&editor, &CodeSense::Change);
        QVERIFY(editor.OpenFile(path).ok());
        QCOMPARE(changes.count(), 0);
        QVERIFY(!editor.isModified());
        // Ready for typing at the caret without moving the whole text first.
        QCOMPARE(editor.SendScintilla(QsciScintillaBase::SCI_GETGAPPOSITION), 0);
        editor.ExecuteCmd(CodeSense::cmdUndo);
        QCOMPARE(editor.Text(), QStringLiteral("bind a b"));
        QVERIFY(!editor.isModified());
        // The load keeps notifications off only while it runs.
        QSignalSpy modified(&editor, &QsciScintillaBase::SCN_MODIFIED);
        QTest::keyClicks(&editor, QStringLiteral("x"));
        QCOMPARE(changes.count(), 1);
        QVERIFY(!modified.isEmpty());
    }

    void openMissingFileReportsAndKeepsText()
    {
        CodeSense editor;
        editor.SetText(QStringLiteral("keep"));
        const FileError error = editor.OpenFile(dir.filePath("absent.cfg"));
        QCOMPARE(error.number, 53);
        QCOMPARE(editor.Text(), QStringLiteral("keep"));
    }

    void fileBeyondMemoryIsRefusedUpFront_data()
    {
        QTest::addColumn<qint64>("limit");
        QTest::addColumn<bool>("opens");
        QTest::newRow("one byte over") << qint64(999) << false;
        QTest::newRow("exactly at the limit") << qint64(1000) << true;
        QTest::newRow("nothing free") << qint64(0) << false;
    }
    void fileBeyondMemoryIsRefusedUpFront()
    {
        QFETCH(qint64, limit);
        QFETCH(bool, opens);
        const QString path = dir.filePath("large.cfg");
        const QByteArray bytes(1000, 'x');
        QVERIFY(writeAll(path, bytes));
        CodeSense editor;
        editor.SetText(QStringLiteral("keep"));
        SetOpenableFileSizeLimitForTesting(limit);
        const FileError error = editor.OpenFile(path);
        SetOpenableFileSizeLimitForTesting(-1);
        if (opens) {
            QVERIFY(error.ok());
            QCOMPARE(editor.Text().toLatin1(), bytes);
        } else {
            QCOMPARE(error.number, 7);
            QVERIFY2(error.description.contains(QStringLiteral("Nothing was opened")), qPrintable(error.description));
            QCOMPARE(editor.Text(), QStringLiteral("keep"));
        }
        QCOMPARE(readAll(path), bytes);
    }

    void measuredLimitLeavesRoomForEverydayFiles()
    {
        QVERIFY(OpenableFileSizeLimit() > 16 * 1024 * 1024);
    }

    // Large hostile files, only where the build is fast enough to keep them brief.
    void largeFilesSurviveOpenAndSave_data()
    {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("too slow under the address sanitizer");
#endif
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("one 50 MB line") << QByteArray(50 * 1024 * 1024, 'w');
        QByteArray emptyLines;
        emptyLines.reserve(10'000'000);
        for (int i = 0; i < 5'000'000; ++i)
            emptyLines.append(i % 3 == 0 ? "\r\n" : i % 3 == 1 ? "\n" : "\r");
        QTest::newRow("5 million empty lines, mixed ends") << emptyLines;
        QRandomGenerator random(7);
        QByteArray noise(8 * 1024 * 1024, Qt::Uninitialized);
        random.fillRange(reinterpret_cast<quint32 *>(noise.data()), noise.size() / 4);
        QTest::newRow("8 MB of random bytes") << noise;
        QTest::newRow("8 MB of NULs") << QByteArray(8 * 1024 * 1024, '\0');
    }
    void largeFilesSurviveOpenAndSave()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY(roundTrip(bytes) == bytes);
    }

    // A large file goes in by pieces, and the caller hears of each one, so the window
    // can keep painting and show how far the load has come.
    void largeFileReportsProgressPieceByPiece()
    {
        QByteArray bytes;
        for (int i = 0; bytes.size() < 3'500'000; ++i)
            bytes += "bind x \x80\xE9 // " + QByteArray::number(i) + "\r\n";
        const QString path = dir.filePath("progress.cfg");
        QVERIFY(writeAll(path, bytes));
        CodeSense editor;
        editor.SetText(QStringLiteral("before"));
        QList<QPair<qint64, qint64>> heard;
        QStringList textSeen;
        QVERIFY(editor.OpenFile(path, [&](qint64 done, qint64 total) {
            heard.append({done, total});
            textSeen << editor.Text().left(4);
        }).ok());
        // One read (the file is under the read's piece size), then three full megabytes
        // decoded and the rest; reading counts as half the work.
        const qint64 size = bytes.size();
        QCOMPARE(heard, (QList<QPair<qint64, qint64>>{{size, 2 * size},
                                                      {size + (1 << 20), 2 * size},
                                                      {size + (2 << 20), 2 * size},
                                                      {size + (3 << 20), 2 * size},
                                                      {2 * size, 2 * size}}));
        // The old text stays while reading and is gone from the first piece on.
        QCOMPARE(textSeen.first(), QStringLiteral("befo"));
        QCOMPARE(textSeen[1], QStringLiteral("bind"));
        QVERIFY(!editor.isUndoAvailable());
        QCOMPARE(cp1252::encode(editor.Text()).bytes, bytes);
    }

    // Large documents are encoded and written a piece at a time; a character the file
    // cannot hold deep inside must still leave the earlier file exactly as it was.
    void refusalPastTheFirstPieceLeavesTheFileAlone_data()
    {
        QTest::addColumn<int>("lineOfBadCharacter");
        QTest::newRow("first line") << 0;
        QTest::newRow("past the first megabyte") << 100'000;
        QTest::newRow("last line") << 249'999;
    }
    void refusalPastTheFirstPieceLeavesTheFileAlone()
    {
        QFETCH(int, lineOfBadCharacter);
        QTemporaryDir folder;
        const QString path = folder.filePath("big.cfg");
        QVERIFY(writeAll(path, "seta before 1\r\n"));
        QString text;
        for (int i = 0; i < 250'000; ++i)
            text += i == lineOfBadCharacter ? QStringLiteral("say \u20AC\u4E2D\r\n") : QStringLiteral("bind x \u20AC\u00E9\r\n");
        CodeSense editor;
        editor.SetText(text);
        QVERIFY(editor.TextUtf8().size() > 3 * 1024 * 1024);
        const FileError error = editor.SaveFile(path);
        QCOMPARE(error.number, CodeSense::UnencodableCharacterError);
        QVERIFY2(error.description.contains(QStringLiteral("Line %1 ").arg(lineOfBadCharacter + 1)), qPrintable(error.description));
        QCOMPARE(readAll(path), QByteArray("seta before 1\r\n"));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"big.cfg"});
        // Mended, it saves whole.
        editor.SetText(text.replace(QChar(0x4E2D), QChar(u'x')));
        QVERIFY(editor.SaveFile(path).ok());
        QCOMPARE(readAll(path), cp1252::encode(text).bytes);
    }

    // Columns count characters: the euro sign is three bytes in the editor but one column.
    void selectionColumnsCountCharacters()
    {
        CodeSense editor;
        editor.SetText(QStringLiteral("\u20AC\u20ACab\r\nxyz"));
        editor.SetSel({0, 1, 0, 3}, true);
        QCOMPARE(editor.SelText(), QStringLiteral("\u20ACa"));
        EditorRange range = editor.GetSel(false);
        QCOMPARE(range, (EditorRange{0, 1, 0, 3}));
        // A backwards selection keeps its caret end in End unless normalized.
        editor.SetSel({1, 2, 0, 2}, true);
        QCOMPARE(editor.GetSel(false), (EditorRange{1, 2, 0, 2}));
        QCOMPARE(editor.GetSel(true), (EditorRange{0, 2, 1, 2}));
        // An end column past the line's end means its end, never the next line.
        editor.SetSel({0, 2, 0, 99}, true);
        QCOMPARE(editor.SelText(), QStringLiteral("ab"));
    }

    void caretLineAndWord()
    {
        CodeSense editor;
        editor.SetText(QStringLiteral("seta g_weapondisable 8\nnext"));
        editor.SetCaretPos(0, 20);
        QCOMPARE(editor.CurrentWord(), QStringLiteral("g_weapondisable"));
        editor.SetCaretPos(0, 21);
        QCOMPARE(editor.CurrentWord(), QString());
        QCOMPARE(editor.GetLine(0), QStringLiteral("seta g_weapondisable 8"));
        QCOMPARE(editor.GetLine(1), QStringLiteral("next"));
        QCOMPARE(editor.GetLine(2), QString());
        editor.SetCaretPos(1, 2);
        editor.InsertText(QStringLiteral("[+attack]"));
        QCOMPARE(editor.GetLine(1), QStringLiteral("ne[+attack]xt"));
        QCOMPARE(editor.GetSel(false), (EditorRange{1, 11, 1, 11}));
    }

    void selTextReplacesSelectionOrInsertsAtCaret()
    {
        CodeSense editor;
        QSignalSpy changes(&editor, &CodeSense::Change);
        editor.SetText(QStringLiteral("bind x y"));
        editor.SetSel({0, 5, 0, 6}, false);
        editor.SetSelText(QStringLiteral("MOUSE1"));
        QCOMPARE(editor.Text(), QStringLiteral("bind MOUSE1 y"));
        QCOMPARE(editor.GetSel(false), (EditorRange{0, 11, 0, 11}));
        editor.SetSelText(QString(QChar(0)));
        QCOMPARE(editor.Text().size(), 14);
        QCOMPARE(changes.count(), 3);
    }

    void commandIds()
    {
        CodeSense editor;
        editor.SetText(QStringLiteral("one"));
        editor.ExecuteCmd(CodeSense::cmdSelectAll);
        QCOMPARE(editor.SelText(), QStringLiteral("one"));
        editor.ExecuteCmd(CodeSense::cmdUndo);
        QCOMPARE(editor.Text(), QString());
        editor.ExecuteCmd(CodeSense::cmdRedo);
        QCOMPARE(editor.Text(), QStringLiteral("one"));
        int called = 0;
        editor.SetCommandHandler(CodeSense::cmdFindNext, [&] { ++called; });
        editor.ExecuteCmd(CodeSense::cmdFindNext);
        editor.ExecuteCmd(12345); // unknown ids do nothing
        QCOMPARE(called, 1);
    }

    void keyDownSeesKeyBeforeTheEditor()
    {
        CodeSense editor;
        QString seen;
        editor.SetKeyDownHandler([&](CodeSense *e, int key, int shift) {
            seen += QStringLiteral("%1:%2:%3;").arg(key).arg(shift).arg(e->Text());
            return key == Qt::Key_X; // withhold x
        });
        QTest::keyClick(&editor, Qt::Key_A);
        QTest::keyClick(&editor, Qt::Key_X);
        QTest::keyClick(&editor, Qt::Key_Space, Qt::ShiftModifier);
        QCOMPARE(editor.Text(), QStringLiteral("a "));
        QCOMPARE(seen, QStringLiteral("65:0:;88:0:a;%1:1:a;32:1:a;").arg(int(Qt::Key_Shift)));
    }

    void typedKeysRaiseChangeSynchronously()
    {
        CodeSense editor;
        QStringList texts;
        connect(&editor, &CodeSense::Change, this, [&](CodeSense *e) { texts << e->Text(); });
        QTest::keyClicks(&editor, QStringLiteral("ab"));
        QCOMPARE(texts, QStringList({"a", "ab"}));
    }
};

QTEST_MAIN(CodeSenseTest)
#include "test_codesense.moc"
