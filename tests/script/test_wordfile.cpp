#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "script/wordfile.h"

class TestWordFile : public QObject {
    Q_OBJECT
private slots:
    void splitLines_data();
    void splitLines();
    void wordListText_data();
    void wordListText();
    void readLines();
    void readLinesMissingFile();
    void appendEntry_data();
    void appendEntry();
    void appendEntryFailure();

private:
    QString writeFile(const QByteArray &bytes);
    QTemporaryDir dir;
};

QString TestWordFile::writeFile(const QByteArray &bytes) {
    const QString path = dir.filePath("words.txt");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) qFatal("cannot write %s", qPrintable(path));
    file.write(bytes);
    return path;
}

void TestWordFile::splitLines_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    const QStringList bsv{"bind", "set", "vstr"};
    QTest::newRow("CR alone") << QByteArray("bind\rset\rvstr\r") << bsv;
    QTest::newRow("LF alone") << QByteArray("bind\nset\nvstr\n") << bsv;
    QTest::newRow("mixed terminators") << QByteArray("bind\r\nset\rvstr\n") << bsv;
    QTest::newRow("CR CR LF is two ends") << QByteArray("a\r\r\nb") << QStringList{"a", "", "b"};
    QTest::newRow("LF CR is two ends") << QByteArray("a\n\rb") << QStringList{"a", "", "b"};
    QTest::newRow("trailing empty line") << QByteArray("a\r\n\r\n") << QStringList{"a", ""};
    QTest::newRow("empty file") << QByteArray() << QStringList{};
    QTest::newRow("terminator only") << QByteArray("\r\n") << QStringList{""};
    QTest::newRow("blanks kept") << QByteArray(" bind \t\r\n\t\r\n") << QStringList{" bind \t", "\t"};
    QTest::newRow("slashes are data") << QByteArray("//not a comment\r\n") << QStringList{"//not a comment"};
    QTest::newRow("Windows-1252") << QByteArray("\x80uro caf\xe9\r\n\x93q\x94")
                                  << QStringList{QString::fromUtf8("€uro café"), QString::fromUtf8("“q”")};
}

void TestWordFile::splitLines() {
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QCOMPARE(SplitLines(bytes), lines);
}

void TestWordFile::wordListText_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("CR LF after each") << QByteArray("bind\r\nset\r\nvstr\r\n") << "bind\nset\nvstr\n";
    QTest::newRow("no final CR LF") << QByteArray("bind\r\nset\r\nvstr") << "bind\nset\nvstr\n";
    QTest::newRow("empty line between") << QByteArray("bind\r\n\r\nset\r\n") << "bind\n\nset\n";
    QTest::newRow("CR alone") << QByteArray("bind\rset") << "bind\nset\n";
    QTest::newRow("empty file") << QByteArray() << "";
    QTest::newRow("one empty line") << QByteArray("\r\n") << "\n";
}

void TestWordFile::wordListText() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(WordListText(SplitLines(bytes)), text);
}

void TestWordFile::readLines() {
    const QString path = writeFile("bind\r\n\r\n+attack\rvstr");
    QStringList lines{"left over"};
    const FileError error = ReadLines(path, lines);
    QVERIFY(error.ok());
    QCOMPARE(lines, (QStringList{"bind", "", "+attack", "vstr"}));
}

void TestWordFile::readLinesMissingFile() {
    QStringList lines{"left over"};
    const FileError error = ReadLines(dir.filePath("missing.txt"), lines);
    QVERIFY(!error.ok());
    QCOMPARE(error.number, 53);
    QVERIFY(!error.description.isEmpty());
    QVERIFY(lines.isEmpty());
}

void TestWordFile::appendEntry_data() {
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("file ends with CR LF") << true << QByteArray("+attack\r\n") << "+zoom"
                                         << QByteArray("+attack\r\n+zoom\r\n");
    QTest::newRow("last line unterminated") << true << QByteArray("+attack") << "+zoom"
                                            << QByteArray("+attack+zoom\r\n");
    QTest::newRow("file ends with LF") << true << QByteArray("+attack\n") << "+zoom"
                                       << QByteArray("+attack\n+zoom\r\n");
    QTest::newRow("missing file") << false << QByteArray() << "+zoom" << QByteArray("+zoom\r\n");
    QTest::newRow("empty file") << true << QByteArray() << "+zoom" << QByteArray("+zoom\r\n");
    QTest::newRow("empty entry") << true << QByteArray("a\r\n") << "" << QByteArray("a\r\n\r\n");
    QTest::newRow("Windows-1252 entry") << false << QByteArray() << QString::fromUtf8("€uro café")
                                        << QByteArray("\x80uro caf\xe9\r\n");
}

void TestWordFile::appendEntry() {
    QFETCH(bool, exists);
    QFETCH(QByteArray, before);
    QFETCH(QString, entry);
    QFETCH(QByteArray, after);
    const QString path = dir.filePath("cc.txt");
    QFile::remove(path);
    if (exists) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(before);
    }
    QVERIFY(AppendEntry(path, entry).ok());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), after);
}

void TestWordFile::appendEntryFailure() {
    const QString path = dir.filePath("no such folder/cc.txt");
    const FileError error = AppendEntry(path, "+zoom");
    QVERIFY(!error.ok());
    QVERIFY(!error.description.isEmpty());
    QVERIFY(!QFile::exists(path));

    // A character Windows-1252 lacks: nothing is written rather than a garbled entry.
    const QString words = dir.filePath("refused.txt");
    FileError refused = AppendEntry(words, QString::fromUtf8("a\u0416b"));
    QCOMPARE(refused.number, UnencodableEntryError);
    QVERIFY(refused.description.contains(QString::fromUtf8("\u0416")));
    QVERIFY(!QFile::exists(words));
    QVERIFY(AppendEntry(words, "bind").ok());
    QCOMPARE(AppendEntry(words, QString::fromUtf8("\U0001F600")).number, UnencodableEntryError);
    QFile file(words);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("bind\r\n"));
}

QTEST_GUILESS_MAIN(TestWordFile)
#include "test_wordfile.moc"
