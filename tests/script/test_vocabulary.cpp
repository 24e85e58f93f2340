#include <QRegularExpression>
#include <QSet>
#include <QtTest>

#include "script/wordfile.h"

namespace {
QString DataFile(const QString &name) { return QStringLiteral(TAVREL_SOURCE_DIR "/data/pf/") + name; }

QByteArray Bytes(const QString &name) {
    QByteArray bytes;
    const FileError error = ReadFileBytes(DataFile(name), bytes);
    if (!error.ok()) qWarning("%s: %s", qPrintable(name), qPrintable(error.description));
    return bytes;
}

QSet<QString> Folded(const QStringList &lines, bool dropPlus) {
    QSet<QString> set;
    for (QString line : lines) {
        if (dropPlus && line.startsWith('+')) line.remove(0, 1);
        set.insert(line.toLower());
    }
    return set;
}

const QStringList kScriptWords{"bind", "unbind", "set", "seta", "vstr", "echo", "exec", "wait", "toggle"};
}

class TestVocabulary : public QObject {
    Q_OBJECT
private slots:
    void file_data();
    void file();
    void pairs_data();
    void pairs();
};

void TestVocabulary::file_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("commandFile");
    // The union of the games' command, button and cvar lists: a smaller file lost names.
    QTest::addColumn<int>("minimum");
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QStringList>("absent");
    // Cheats and developer names stay; single-player, debug-build and Team Arena names do not.
    const QStringList jk2Absent{"npc", "thereisnospoon", "runscript", "headexplodey", "+block", "block"};
    const QStringList q3Absent{"loadhud", "g_obeliskHealth", "hunklog", "zonelog"};
    QTest::newRow("operators.txt")
        << "operators.txt" << false << 1059
        << QStringList{"altattack", "force_grip", "g_forcePowerDisable", "g_weaponDisable", "god", "noclip",
                       "devmap", "cg_fov", "zoom", "saberAttackCycle", "forcepowers"}
        << jk2Absent + QStringList{"+attack", "-attack"};
    QTest::newRow("cc.txt")
        << "cc.txt" << true << 1059
        << QStringList{"+altattack", "+force_grip", "+attack", "g_forcePowerDisable", "god", "cg_fov", "zoom"}
        << jk2Absent + QStringList{"attack", "altattack", "-attack"};
    QTest::newRow("q3operators.txt")
        << "q3operators.txt" << false << 872
        << QStringList{"attack", "zoom", "scores", "cg_fov", "com_maxfps", "iamacheater", "god", "sv_master1"}
        << q3Absent + QStringList{"+zoom"};
    QTest::newRow("q3cc.txt")
        << "q3cc.txt" << true << 872
        << QStringList{"+attack", "+zoom", "+scores", "+button14", "cg_fov", "iamacheater"}
        << q3Absent + QStringList{"attack", "zoom", "-zoom"};
}

void TestVocabulary::file() {
    QFETCH(QString, name);
    QFETCH(bool, commandFile);
    QFETCH(int, minimum);
    QFETCH(QStringList, present);
    QFETCH(QStringList, absent);

    const QByteArray bytes = Bytes(name);
    QVERIFY(bytes.endsWith("\r\n"));
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b == '\r') QVERIFY2(i + 1 < bytes.size() && bytes[i + 1] == '\n', "CR without LF");
        else if (b == '\n') QVERIFY2(i > 0 && bytes[i - 1] == '\r', "LF without CR");
        else QVERIFY2(b > 0x20 && b < 0x7f, qPrintable(QString("byte %1 at %2").arg(b).arg(i)));
    }

    const QStringList lines = SplitLines(bytes);
    QVERIFY2(lines.size() >= minimum, qPrintable(QString::number(lines.size())));
    const QSet<QString> folded = Folded(lines, false);
    QCOMPARE(folded.size(), lines.size());
    const QRegularExpression word(commandFile ? "^\\+?\\w+$" : "^\\w+$", QRegularExpression::NoPatternOption);
    for (const QString &line : lines) QVERIFY2(word.match(line).hasMatch(), qPrintable(line));

    for (const QString &entry : kScriptWords + present)
        QVERIFY2(folded.contains(entry.toLower()), qPrintable(entry));
    for (const QString &entry : absent) QVERIFY2(!folded.contains(entry.toLower()), qPrintable(entry));
}

void TestVocabulary::pairs_data() {
    QTest::addColumn<QString>("wordFile");
    QTest::addColumn<QString>("commandFile");
    QTest::newRow("Jedi Outcast") << "operators.txt" << "cc.txt";
    QTest::newRow("Quake III") << "q3operators.txt" << "q3cc.txt";
}

void TestVocabulary::pairs() {
    // Every command-list entry is highlighted, under its name without "+", and the
    // word file marks nothing the command list lacks.
    QFETCH(QString, wordFile);
    QFETCH(QString, commandFile);
    const QSet<QString> words = Folded(SplitLines(Bytes(wordFile)), false);
    const QStringList commands = SplitLines(Bytes(commandFile));
    QVERIFY(!words.isEmpty());
    QCOMPARE(Folded(commands, true), words);
    QVERIFY(commands.filter(QRegularExpression("^\\+")).size() >= 30);
}

QTEST_GUILESS_MAIN(TestVocabulary)
#include "test_vocabulary.moc"
