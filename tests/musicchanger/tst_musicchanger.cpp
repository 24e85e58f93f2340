// The music changer script: its lines, its Windows-1252 bytes, and where it goes.
#include "musicchanger/musicchanger.h"
#include "support/datarows.h"

#include <QDir>

class TestMusicChanger : public QObject
{
    Q_OBJECT

private slots:
    // Each track line names its own track and its neighbours, wrapping at both ends; a stop
    // asked for after a track line leaves out the rest, but the closing line counts them all.
    void chain_data()
    {
        Columns<int, int, int, QString>({"n", "stopAt", "trackLines", "loopHeader"}); // stopAt: the yes, from 1
        QTest::newRow("1") << 1 << 0 << 1 << "//LOOP 0-0-------------";
        QTest::newRow("9: one hyphen fewer") << 9 << 0 << 9 << "//LOOP 0-8------------";
        QTest::newRow("100") << 100 << 0 << 100 << "//LOOP 0-99------------";
        QTest::newRow("stop after the first") << 8 << 1 << 1 << "//LOOP 0-7-------------";
        QTest::newRow("stop after the fifth of 11") << 11 << 5 << 5 << "//LOOP 0-10------------";
        QTest::newRow("stop the only track") << 1 << 1 << 1 << "//LOOP 0-0-------------";
    }
    void chain()
    {
        const auto [n, stopAt, trackLines] = Fetch<int, int, int>({"n", "stopAt", "trackLines"});
        QList<MusicTrack> tracks;
        for (int i = 0; i < n; ++i)
            tracks.append({QStringLiteral("Track %1").arg(i), QStringLiteral("t%1.mp3").arg(i)});
        int asked = 0;
        const QStringList lines = BuildMusicChanger(tracks, "u", "o", [&] { return ++asked == stopAt; });
        QCOMPARE(asked, trackLines);
        QCOMPARE(lines.size(), 23 + trackLines);
        QTEST(lines.at(8), "loopHeader");
        QCOMPARE(lines.at(19 + trackLines), "SET PREV_MUSIC VSTR MUSIC_CHANGE_" + QString::number(n - 1));
        const QString line = "SET MUSIC_CHANGE_%1 \"MUSIC MUSIC/t%1.mp3\"; SET PREV_MUSIC VSTR MUSIC_CHANGE_%2; "
                             "ECHO Track %1; SET MUSIC_CHANGE VSTR MUSIC_CHANGE_%3";
        for (int i = 0; i < trackLines; ++i)
            QCOMPARE(lines.at(10 + i), line.arg(i).arg((i + n - 1) % n).arg((i + 1) % n));
        bool askedForNone = false;
        QVERIFY(BuildMusicChanger({}, "u", "o", [&] { return askedForNone = true; }).isEmpty() && !askedForNone);
    }

    // Every line ends in CR LF; a character Windows-1252 lacks leaves no bytes at all.
    void encoding_data()
    {
        Columns<QStringList, QByteArray, QString, int>({"lines", "bytes", "unencodable", "line"});
        QTest::newRow("no lines") << QStringList() << QByteArray() << "" << 0;
        QTest::newRow("empty line, LF inside a line") << QStringList{"a", "", "x\ny"} << QByteArray("a\r\n\r\nx\ny\r\n")
                                                      << "" << 0;
        QTest::newRow("the 0x80 row") << QStringList{"\u20ac\u2019\u0160\u0178\u2122"}
                                      << QByteArray("\x80\x92\x8a\x9f\x99\r\n") << "" << 0;
        QTest::newRow("Polish letter") << QStringList{"ok", "\u0141\u00f3d\u017a"} << QByteArray() << "\u0141" << 1;
        QTest::newRow("emoji, both halves") << QStringList{"a", "b", "x\U0001F3B5"} << QByteArray()
                                            << QString::fromUtf16(u"\U0001F3B5") << 2;
    }
    void encoding()
    {
        const auto [lines, unencodable, line] = Fetch<QStringList, QString, int>({"lines", "unencodable", "line"});
        const MusicChangerBytes file = EncodeMusicChanger(lines);
        QCOMPARE(file.ok, unencodable.isEmpty());
        QTEST(file.bytes, "bytes");
        QCOMPARE(file.unencodable, unencodable);
        QVERIFY(file.ok || (file.line == line && FirstNonWindows1252(lines.at(line)) == unencodable));
    }

    // The base folder below an install path as the registry gives it, a blank one included;
    // the application folder when the game is not installed.
    void whereTheScriptGoes()
    {
        const QString s = QDir::separator();
        for (const QString install : {"C:\\Games\\JK2", "C:\\JK2\\", " "})
            QCOMPARE(TunemillBasePath(install, "/opt/tavrel"), install + s + "gamedata" + s + "base");
        QCOMPARE(TunemillBasePath("", "/opt/tavrel"), QDir::toNativeSeparators("/opt/tavrel"));
        QCOMPARE(TunemillScriptPath("base"), "base" + s + "tunemill.cfg");
        // Notepad on Windows when windir is known; otherwise the desktop's own viewer.
        const QString path = "C:\\Games\\JK2\\gamedata\\base\\tunemill.cfg";
        const ViewerCommand notepad = TunemillViewerCommand(path, "C:\\WINDOWS", true);
        QCOMPARE(notepad.program + " " + notepad.arguments.join(' '), "C:\\WINDOWS\\notepad.exe " + path);
        for (const bool onWindows : {true, false})
            QVERIFY(TunemillViewerCommand(path, onWindows ? "" : "C:\\WINDOWS", onWindows).program.isEmpty());
    }
};

QTEST_APPLESS_MAIN(TestMusicChanger)
#include "tst_musicchanger.moc"
