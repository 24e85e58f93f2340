#include "script/wordfile.h"
#include "support/files.h"

#include <QTemporaryDir>
#include <QtTest>

class TestWordFile : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void splitLines() {
        const std::pair<QByteArray, QStringList> cases[] = {
            {"bind\rset\nvstr\r\n", {"bind", "set", "vstr"}}, {"a\r\r\nb", {"a", "", "b"}}, {"a\n\rb", {"a", "", "b"}},
            {"a\r\n\r\n", {"a", ""}}, {"", {}}, {"\r\n", {""}}, {" bind \t\r\n//x", {" bind \t", "//x"}},
            {"\x80uro caf\xe9\r\n\x93q\x94", {"€uro café", "“q”"}},
            {QByteArray("a\0b\x81\xff\r\nc", 8), {QStringView(u"a\0b\u0081ÿ", 5).toString(), "c"}},
            {QByteArray(1 << 20, 'w') + "\nx", {QString(1 << 20, u'w'), "x"}}};
        for (const auto &[bytes, lines] : cases)
            QCOMPARE(SplitLines(bytes), lines);
    }
    void readLines() {
        QVERIFY(writeAll(dir.filePath("words.txt"), "bind\r\n\r\n+attack\rvstr"));
        QStringList lines{"left over"};
        QVERIFY(ReadLines(dir.filePath("words.txt"), lines).ok());
        // Every entry ends in one LF, the unterminated last one too.
        QCOMPARE(WordListText(lines), QStringLiteral("bind\n\n+attack\nvstr\n"));
        QCOMPARE(ReadLines(dir.filePath("missing.txt"), lines).number, 53);
        QCOMPARE(lines, QStringList());
    }
    void appendEntry() {
        const QString path = dir.filePath("cc.txt");
        const std::tuple<QByteArray, QString, QByteArray> cases[] = { // before ("<missing>": no file), entry, after
            {"+attack\r\n", "+zoom", "+attack\r\n+zoom\r\n"}, {"+attack", "+zoom", "+attack+zoom\r\n"},
            {"+a\n", "+b", "+a\n+b\r\n"}, {"<missing>", "+zoom", "+zoom\r\n"}, {"a\r\n", "", "a\r\n\r\n"},
            {"", "€uro café", "\x80uro caf\xe9\r\n"}};
        for (const auto &[before, entry, after] : cases) {
            QFile::remove(path);
            QVERIFY(before == "<missing>" || writeAll(path, before));
            QVERIFY(AppendEntry(path, entry).ok());
            QCOMPARE(readAll(path), after);
        }
        const FileError noFolder = AppendEntry(dir.filePath("no such folder/cc.txt"), "+zoom");
        QVERIFY(!noFolder.ok() && !noFolder.description.isEmpty());
    }
    // A character Windows-1252 lacks: nothing is written rather than a garbled entry.
    void appendEntryRefused() {
        const QString path = dir.filePath("refused.txt");
        const std::pair<QString, QString> entries[] = { // the entry, part of the message
            {"a\u0416b", "\u0416\u201d (U+0416)"}, {"\U0001F600", "(U+1F600)"},
            {QString(QChar(0xD800)), "not valid text"}};
        for (const auto &[entry, named] : entries) {
            QFile::remove(path);
            const FileError refused = AppendEntry(path, entry);
            QCOMPARE(refused.number, UnencodableEntryError);
            QVERIFY2(refused.description.contains(named), qPrintable(refused.description));
            QVERIFY(!QFile::exists(path));
            QVERIFY(AppendEntry(path, "bind").ok());
            QCOMPARE(AppendEntry(path, entry).number, UnencodableEntryError);
            QCOMPARE(readAll(path), QByteArray("bind\r\n"));
        }
    }
};

QTEST_GUILESS_MAIN(TestWordFile)
#include "test_wordfile.moc"
