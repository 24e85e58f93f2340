// The shipped word and command files of both games.
#include "script/wordfile.h"

#include <QRegularExpression>
#include <QSet>
#include <QtTest>

namespace {
// The file's lines; one line naming the first byte that is no printable ASCII or a lone CR or LF.
QStringList Lines(const QString &name) {
    QByteArray bytes;
    if (!ReadFileBytes(QStringLiteral(TAVREL_SOURCE_DIR "/data/pf/") + name, bytes).ok() || !bytes.endsWith("\r\n")) return {};
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b == '\r' ? bytes[i + 1] != '\n' : b == '\n' ? i == 0 || bytes[i - 1] != '\r' : b <= 0x20 || b >= 0x7f)
            return {QStringLiteral("byte %1 at %2").arg(b).arg(i)};
    }
    return SplitLines(bytes);
}
QSet<QString> Folded(QStringList lines) {
    for (QString &line : lines) line = (line.startsWith(u'+') ? line.mid(1) : line).toLower();
    return QSet<QString>(lines.begin(), lines.end());
}
} // namespace

class TestVocabulary : public QObject {
    Q_OBJECT

private slots:
    void files() {
        // Cheats and developer names stay; single-player, debug-build and Team Arena names do not.
        const std::tuple<const char *, const char *, int, QStringList, QStringList> games[] = {
            // word file, command file, at least the union of the game's commands, buttons and cvars, present (in the
            // command file as written), absent (in neither file, in any case, with or without "+")
            {"operators.txt", "cc.txt", 1059, {"+force_grip", "g_forcePowerDisable", "god", "devmap", "saberAttackCycle"},
             {"npc", "thereisnospoon", "runscript", "headexplodey", "block"}},
            {"q3operators.txt", "q3cc.txt", 872, {"+zoom", "+button14", "com_maxfps", "iamacheater"}, {"loadhud", "g_obeliskHealth", "hunklog"}}};
        for (const auto &[words, commands, minimum, present, absent] : games) {
            const QStringList wordLines = Lines(words), commandLines = Lines(commands);
            QVERIFY2(wordLines.size() >= minimum, qPrintable(wordLines.value(0)));
            // Each entry once, in any case, and a button only with its "+"; the command list's
            // entries are the highlighted words.
            QCOMPARE(Folded(wordLines).size(), wordLines.size());
            QCOMPARE(Folded(commandLines).size(), commandLines.size());
            QCOMPARE(Folded(commandLines), Folded(wordLines));
            QVERIFY(wordLines.filter(QRegularExpression("^\\+")).isEmpty() && commandLines.filter(QRegularExpression("^\\+")).size() >= 30);
            for (const QString &line : wordLines + commandLines) QVERIFY2(QRegularExpression("^\\+?\\w+$").match(line).hasMatch(), qPrintable(line));
            for (const QString &name : QStringList{"bind", "unbind", "set", "seta", "vstr", "echo", "exec", "wait", "toggle", "+attack", "cg_fov"} + present)
                QVERIFY2(commandLines.contains(name, Qt::CaseInsensitive), qPrintable(name));
            for (const QString &name : absent) QVERIFY2(!Folded(wordLines).contains(name.toLower()), qPrintable(name));
        }
    }
};

QTEST_GUILESS_MAIN(TestVocabulary)
#include "test_vocabulary.moc"
