// The shipped word and command files of both games.
#include "script/wordfile.h"

#include <QRegularExpression>
#include <QSet>
#include <QtTest>

namespace {
// The file's lines, each ended by CR LF; one line saying so when any line end is lone.
QStringList Lines(const QString &name) {
    QByteArray bytes;
    const bool read = ReadFileBytes(TAVREL_SOURCE_DIR "/data/pf/" + name, bytes).ok();
    const qsizetype ends = bytes.count("\r\n");
    if (!read || !bytes.endsWith("\r\n") || bytes.count('\r') != ends || bytes.count('\n') != ends)
        return {name + ": a lone line end"};
    return SplitLines(bytes);
}
QSet<QString> Folded(QStringList lines) {
    for (QString &line : lines)
        line = (line.startsWith(u'+') ? line.mid(1) : line).toLower();
    return QSet<QString>(lines.begin(), lines.end());
}
} // namespace

class TestVocabulary : public QObject {
    Q_OBJECT

private slots:
    void files() {
        // Cheats and developer names stay; single-player, debug-build and Team Arena names do not.
        // Word file, command file, at least the union of the game's commands, buttons and cvars, present (in
        // the command file as written), absent (in neither file, in any case, with or without "+").
        const std::tuple<const char *, const char *, int, QStringList, QStringList> games[] = {
            {"operators.txt", "cc.txt", 1059,
             {"+force_grip", "g_forcePowerDisable", "god", "devmap", "saberAttackCycle"},
             {"npc", "thereisnospoon", "runscript", "headexplodey", "block"}},
            {"q3operators.txt", "q3cc.txt", 872, {"+zoom", "+button14", "com_maxfps", "iamacheater"},
             {"loadhud", "g_obeliskHealth", "hunklog"}}};
        for (const auto &[words, commands, minimum, present, absent] : games) {
            const QStringList wordLines = Lines(words), commandLines = Lines(commands);
            QVERIFY2(wordLines.size() >= minimum, qPrintable(wordLines.value(0)));
            // Each entry once, in any case, and a button only with its "+"; the command list's
            // entries are the highlighted words.
            QCOMPARE(Folded(wordLines).size(), wordLines.size());
            QCOMPARE(Folded(commandLines).size(), commandLines.size());
            QCOMPARE(Folded(commandLines), Folded(wordLines));
            const QRegularExpression button("^\\+");
            QVERIFY(wordLines.filter(button).isEmpty() && commandLines.filter(button).size() >= 30);
            for (const QString &line : wordLines + commandLines) // printable ASCII, no blanks
                QVERIFY2(QRegularExpression("^\\+?[A-Za-z0-9_]+$").match(line).hasMatch(), qPrintable(line));
            for (const QString &name : present + QStringList{"bind", "unbind", "seta", "vstr", "exec", "+attack"})
                QVERIFY2(commandLines.contains(name, Qt::CaseInsensitive), qPrintable(name));
            for (const QString &name : absent)
                QVERIFY2(!Folded(wordLines).contains(name.toLower()), qPrintable(name));
        }
    }
};

QTEST_GUILESS_MAIN(TestVocabulary)
#include "test_vocabulary.moc"
