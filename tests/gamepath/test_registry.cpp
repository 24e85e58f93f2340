#include "gamepath/registryFinder.h"
#include "gamepath/wineRegistry.h"
#include "support/fakeregistry.h"
#include "support/files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString Default = QStringLiteral("DEFAULT");
const QString KeyPath = QString::fromLatin1(JediOutcastKeyPath);
const QString ValueName = QString::fromLatin1(JediOutcastInstallValue);
const QByteArray Section =
    R"([Software\\LucasArts Entertainment Company LLC\\Star Wars JK II Jedi Outcast\\1.0] 1700000000)";
const QByteArray Wow64Section =
    R"([Software\\Wow6432Node\\LucasArts Entertainment Company LLC\\Star Wars JK II Jedi Outcast\\1.0] 1700000000)";

void writeSystemReg(const QString &prefix, const QByteArray &body, bool header = true)
{
    const QByteArray top = header ? "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n"
                                  : "";
    QVERIFY(writeAll(prefix + "/system.reg", top + body + "\n"));
}

QString readThroughWine(const QString &prefix)
{
    WineRegistryBackend wine({prefix});
    return ReadRegistryString(wine, HKEY_LOCAL_MACHINE_ROOT, KeyPath, ValueName, Default);
}

QString expand(QString text, const QString &root)
{
    return text.replace("%R", root);
}

} // namespace

class TestRegistry : public QObject
{
    Q_OBJECT

private slots:
    void readsStringValues_data();
    void readsStringValues();
    void closesTheKeyInEveryCase_data();
    void closesTheKeyInEveryCase();
    void failedFillingQueryGivesDefault();
    void valueChangedBetweenQueries_data();
    void valueChangedBetweenQueries();

    void decodesWineValues_data();
    void decodesWineValues();
    void findsWineKeys_data();
    void findsWineKeys();
    void reportsWineTypesAndBytes_data();
    void reportsWineTypesAndBytes();
    void searchesPrefixesInOrder_data();
    void searchesPrefixesInOrder();

    void translatesWindowsPaths_data();
    void translatesWindowsPaths();
    void buildsGameDataPath_data();
    void buildsGameDataPath();
    void findsDefaultPrefixes();
    void installPathThroughInstalledBackend();
};

void TestRegistry::readsStringValues_data()
{
    QTest::addColumn<quint32>("type");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");

    using namespace RegistryType;
    const auto raw = [](const char *text, int size) { return QByteArray(text, size); };
    QTest::newRow("path with its NUL") << String << raw("C:\\Games\\JK2\0", 13) << "C:\\Games\\JK2";
    QTest::newRow("trailing backslash stays") << String << raw("C:\\JK2\\\0", 8) << "C:\\JK2\\";
    QTest::newRow("empty string") << String << raw("\0", 1) << "";
    QTest::newRow("no bytes at all") << String << QByteArray() << "";
    QTest::newRow("two words") << String << raw("first\0second\0", 13) << "first";
    QTest::newRow("leading NUL") << String << raw("\0abc", 4) << "";
    QTest::newRow("no NUL: whole buffer") << String << QByteArray("C:\\JK2") << "C:\\JK2";
    QTest::newRow("8-bit text") << String << QString("Jeux\u00e9").toLocal8Bit() + '\0' << "Jeux\u00e9";
    QTest::newRow("expandable string") << ExpandString << raw("C:\\JK2\0", 7) << Default;
    QTest::newRow("dword") << DWord << raw("\1\0\0\0", 4) << Default;
    QTest::newRow("multi string") << MultiString << raw("C:\\JK2\0\0", 8) << Default;
    QTest::newRow("binary") << Binary << raw("C:\\JK2\0", 7) << Default;
    QTest::newRow("untyped") << None << raw("C:\\JK2\0", 7) << Default;
    const QByteArray limit(RegistryStringLimit, 'a');
    QTest::newRow("32766 before the NUL") << String << limit + '\0' << QString(limit);
    QTest::newRow("32767 before the NUL") << String << limit + "a" + '\0' << Default;
    QTest::newRow("long value without NUL") << String << QByteArray(40000, 'b') << QString(40000, 'b');
}

void TestRegistry::readsStringValues()
{
    QFETCH(quint32, type);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);

    FakeRegistry registry;
    registry.setValue(KeyPath, ValueName, type, bytes);
    QCOMPARE(ReadRegistryString(registry, HKEY_LOCAL_MACHINE_ROOT, KeyPath, ValueName, Default), expected);
    // The installed backend answers the parameterless form the same way.
    QCOMPARE(ReadRegistryString(HKEY_LOCAL_MACHINE_ROOT, KeyPath, ValueName, Default), expected);
}

void TestRegistry::closesTheKeyInEveryCase_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<quint32>("root");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<RegistryHandle>("closedHandle");

    QTest::newRow("found") << KeyPath << ValueName << HKEY_LOCAL_MACHINE_ROOT << "C:\\JK2" << RegistryHandle(1);
    QTest::newRow("value missing") << KeyPath << "Version" << HKEY_LOCAL_MACHINE_ROOT << Default
                                   << RegistryHandle(1);
    QTest::newRow("key missing") << KeyPath + "\\Sub" << ValueName << HKEY_LOCAL_MACHINE_ROOT << Default
                                 << RegistryHandle(0);
    QTest::newRow("other root") << KeyPath << ValueName << HKEY_CURRENT_USER_ROOT << Default << RegistryHandle(0);
}

void TestRegistry::closesTheKeyInEveryCase()
{
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(quint32, root);
    QFETCH(QString, expected);
    QFETCH(RegistryHandle, closedHandle);

    FakeRegistry registry;
    registry.setString(KeyPath, ValueName, "C:\\JK2");
    QCOMPARE(ReadRegistryString(registry, root, key, value, Default), expected);
    QCOMPARE(registry.opens, 1);
    QCOMPARE(registry.closed, QList<RegistryHandle>{closedHandle});
}

void TestRegistry::failedFillingQueryGivesDefault()
{
    FakeRegistry registry;
    registry.setString(KeyPath, ValueName, "C:\\JK2");
    registry.secondQueryStatus = RegistryStatus::MoreData;
    QCOMPARE(ReadRegistryString(registry, HKEY_LOCAL_MACHINE_ROOT, KeyPath, ValueName, Default), Default);
    QCOMPARE(registry.queries, 2);
    QCOMPARE(registry.closed.size(), 1);
}

void TestRegistry::valueChangedBetweenQueries_data()
{
    QTest::addColumn<quint32>("type");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    QTest::newRow("now binary") << RegistryType::Binary << QByteArray("C:\\JK2\0", 7) << Default;
    QTest::newRow("now a number") << RegistryType::DWord << QByteArray("\1\0\0\0", 4) << Default;
    QTest::newRow("grown") << RegistryType::String << QByteArray("C:\\Games\\JK2\0", 13) << Default;
    QTest::newRow("shrunk, no NUL") << RegistryType::String << QByteArray("C:\\") << "C:\\";
    QTest::newRow("shrunk to nothing") << RegistryType::String << QByteArray() << "";
}

void TestRegistry::valueChangedBetweenQueries()
{
    QFETCH(quint32, type);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    FakeRegistry registry;
    registry.setString(KeyPath, ValueName, "C:\\JK2");
    registry.beforeFilling = [&] { registry.setValue(KeyPath, ValueName, type, bytes); };
    QCOMPARE(ReadRegistryString(registry, HKEY_LOCAL_MACHINE_ROOT, KeyPath, ValueName, Default), expected);
    QCOMPARE(registry.closed.size(), 1);
}

void TestRegistry::decodesWineValues_data()
{
    QTest::addColumn<QByteArray>("lines");
    QTest::addColumn<QString>("expected");

    QTest::newRow("path") << QByteArray(R"("Install Path"="C:\\Games\\JK2")") << "C:\\Games\\JK2";
    QTest::newRow("trailing backslash") << QByteArray(R"("Install Path"="C:\\Games\\JK2\\")") << "C:\\Games\\JK2\\";
    QTest::newRow("quotes") << QByteArray(R"("Install Path"="say \"hi\"")") << "say \"hi\"";
    QTest::newRow("two-digit hex") << QByteArray(R"("Install Path"="caf\xe9")") << "caf\u00e9";
    QTest::newRow("four-digit hex before a hex letter") << QByteArray(R"("Install Path"="\x00e9e")") << "\u00e9e";
    QTest::newRow("hex above Latin-1") << QByteArray(R"("Install Path"="\x263a")") << "\u263a";
    QTest::newRow("hex without digits") << QByteArray(R"("Install Path"="\xyz")") << "xyz";
    QTest::newRow("NUL") << QByteArray(R"("Install Path"="first\0second")") << "first";
    QTest::newRow("NUL before a digit") << QByteArray(R"("Install Path"="JK\0002")") << "JK";
    QTest::newRow("octal") << QByteArray(R"("Install Path"="\101\102C")") << "ABC";
    QTest::newRow("C escapes") << QByteArray(R"("Install Path"="a\tb\nc")") << "a\tb\nc";
    QTest::newRow("unknown escape is the character") << QByteArray(R"("Install Path"="\u0041")") << "u0041";
    QTest::newRow("UTF-8 text") << QByteArray("\"Install Path\"=\"Jeux\xc3\xa9\"") << "Jeux\u00e9";
    QTest::newRow("empty") << QByteArray(R"("Install Path"="")") << "";
    QTest::newRow("str: form") << QByteArray(R"("Install Path"=str:"C:\\JK2")") << "C:\\JK2";
    QTest::newRow("value name case") << QByteArray(R"("INSTALL path"="C:\\JK2")") << "C:\\JK2";
    QTest::newRow("after another value") << QByteArray("\"Version\"=\"1.04\"\n\"Install Path\"=\"C:\\\\JK2\"")
                                         << "C:\\JK2";
    QTest::newRow("string without NUL") << QByteArray(R"("Install Path"=hex(1):43,00,3a,00,5c,00)") << "C:\\";
    QTest::newRow("string with NULs") << QByteArray(R"("Install Path"=hex(1):41,00,00,00,42,00,00,00)") << "A";
    QTest::newRow("continued lines") << QByteArray("\"Install Path\"=hex(1):43,00,3a,00,5c,00,\\\n"
                                                   "  4a,00,4b,00,32,00,00,00")
                                     << "C:\\JK2";
    QTest::newRow("expandable") << QByteArray(R"("Install Path"=str(2):"%ProgramFiles%\\JK2")") << Default;
    QTest::newRow("multi string") << QByteArray(R"("Install Path"=str(7):"C:\\JK2\0")") << Default;
    QTest::newRow("multi string as hex") << QByteArray(R"("Install Path"=hex(7):43,00,00,00,00,00)") << Default;
    QTest::newRow("dword") << QByteArray(R"("Install Path"=dword:00000001)") << Default;
    QTest::newRow("binary") << QByteArray(R"("Install Path"=hex:43,3a,00)") << Default;
    QTest::newRow("unterminated") << QByteArray(R"("Install Path"="C:\\JK2)") << Default;
    QTest::newRow("value missing") << QByteArray(R"("Version"="1.04")") << Default;
    QTest::newRow("default value only") << QByteArray(R"(@="C:\\JK2")") << Default;
}

void TestRegistry::decodesWineValues()
{
    QFETCH(QByteArray, lines);
    QFETCH(QString, expected);

    QTemporaryDir prefix;
    writeSystemReg(prefix.path(), Section + "\n#time=1da2b3c4d5e6f70\n" + lines);
    QCOMPARE(readThroughWine(prefix.path()), expected);
}

void TestRegistry::findsWineKeys_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("header");
    QTest::addColumn<QString>("expected");

    const QByteArray value = R"("Install Path"="C:\\JK2")";
    QTest::newRow("key") << Section + "\n" + value << true << "C:\\JK2";
    QTest::newRow("key in other case") << Section.toLower() + "\n" + value << true << "C:\\JK2";
    QTest::newRow("32-bit key of a 64-bit prefix") << Wow64Section + "\n" + value << true << "C:\\JK2";
    QTest::newRow("32-bit key first")
        << Section + "\n\"Install Path\"=\"C:\\\\Plain\"\n\n" + Wow64Section + "\n" + value << true << "C:\\JK2";
    QTest::newRow("CR LF lines") << Section + "\r\n" + value + "\r" << true << "C:\\JK2";
    QTest::newRow("odd section before")
        << QByteArray(R"([Software\\Odd\]Name\\[x] 1)") + "\n\"Install Path\"=\"C:\\\\Odd\"\n\n" + Section + "\n"
               + value
        << true << "C:\\JK2";
    QTest::newRow("value under the next key")
        << Section + "\n\"Version\"=\"1.04\"\n\n[Software\\\\Other] 1\n" + value << true << Default;
    QTest::newRow("parent key only")
        << QByteArray(R"([Software\\LucasArts Entertainment Company LLC\\Star Wars JK II Jedi Outcast] 1)") + "\n"
               + value
        << true << Default;
    QTest::newRow("subkey only") << QByteArray(Section).replace("1.0]", "1.0\\\\Sub]") + "\n" + value << true << Default;
    QTest::newRow("no header") << Section + "\n" + value << false << Default;
}

void TestRegistry::findsWineKeys()
{
    QFETCH(QByteArray, body);
    QFETCH(bool, header);
    QFETCH(QString, expected);

    QTemporaryDir prefix;
    writeSystemReg(prefix.path(), body, header);
    QCOMPARE(readThroughWine(prefix.path()), expected);
}

void TestRegistry::reportsWineTypesAndBytes_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<quint32>("type");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("string") << QByteArray(R"("V"="C:\\x")") << RegistryType::String << QByteArray("C:\\x", 5);
    QTest::newRow("string in 8 bits") << QByteArray(R"("V"="\xe9")") << RegistryType::String
                                      << QString("\u00e9").toLocal8Bit() + '\0';
    QTest::newRow("expandable") << QByteArray(R"("V"=str(2):"%a%")") << RegistryType::ExpandString
                                << QByteArray("%a%", 4);
    QTest::newRow("dword") << QByteArray("\"V\"=dword:0000010a") << RegistryType::DWord << QByteArray("\x0a\x01\0\0", 4);
    QTest::newRow("binary") << QByteArray("\"V\"=hex:01,ff") << RegistryType::Binary << QByteArray("\x01\xff");
    QTest::newRow("multi string") << QByteArray("\"V\"=hex(7):41,00,00,00,00,00") << RegistryType::MultiString
                                  << QByteArray("A\0\0", 3);
    QTest::newRow("untyped empty") << QByteArray("\"V\"=hex(0):") << RegistryType::None << QByteArray();
}

void TestRegistry::reportsWineTypesAndBytes()
{
    QFETCH(QByteArray, line);
    QFETCH(quint32, type);
    QFETCH(QByteArray, bytes);

    QTemporaryDir prefix;
    writeSystemReg(prefix.path(), "[Software\\\\Test] 1\n" + line);
    WineRegistryBackend wine({prefix.path()});
    RegistryHandle key = 0;
    QCOMPARE(wine.openKey(HKEY_LOCAL_MACHINE_ROOT, "software\\test", &key), RegistryStatus::Success);
    quint32 gotType = 99;
    quint32 size = 0;
    QCOMPARE(wine.queryValue(key, "V", &gotType, nullptr, &size), RegistryStatus::Success);
    QCOMPARE(gotType, type);
    QCOMPARE(size, quint32(bytes.size()));

    QByteArray buffer(bytes.size() + 4, '#');
    quint32 capacity = quint32(buffer.size());
    QCOMPARE(wine.queryValue(key, "V", &gotType, buffer.data(), &capacity), RegistryStatus::Success);
    QCOMPARE(buffer.left(capacity), bytes);
    if (!bytes.isEmpty()) {
        capacity = quint32(bytes.size() - 1);
        QCOMPARE(wine.queryValue(key, "V", &gotType, buffer.data(), &capacity), RegistryStatus::MoreData);
    }
    QCOMPARE(wine.closeKey(key), RegistryStatus::Success);
    QCOMPARE(wine.queryValue(key, "V", &gotType, nullptr, &size), RegistryStatus::InvalidHandle);
}

void TestRegistry::searchesPrefixesInOrder_data()
{
    QTest::addColumn<QByteArray>("first");
    QTest::addColumn<QByteArray>("second");
    QTest::addColumn<QString>("expectedInstall"); // below the temporary folder

    const QByteArray withValue = Section + "\n\"Install Path\"=\"C:\\\\JK2\"";
    QTest::newRow("first has it") << withValue << withValue << "%R/first/drive_c/JK2";
    QTest::newRow("first lacks the key") << QByteArray("[Software\\\\Other] 1\n\"A\"=\"b\"") << withValue
                                         << "%R/second/drive_c/JK2";
    QTest::newRow("first lacks the value") << Section + "\n\"Version\"=\"1.04\"" << withValue
                                           << "%R/second/drive_c/JK2";
    QTest::newRow("neither") << QByteArray() << QByteArray() << "";
}

void TestRegistry::searchesPrefixesInOrder()
{
    QFETCH(QByteArray, first);
    QFETCH(QByteArray, second);
    QFETCH(QString, expectedInstall);

    QTemporaryDir root;
    const QString canonicalRoot = QDir(root.path()).canonicalPath();
    for (const QString name : {"first", "second"}) {
        QVERIFY(QDir().mkpath(root.filePath(name + "/drive_c/JK2")));
        writeSystemReg(root.filePath(name), name == "first" ? first : second);
    }
    WineRegistryBackend wine({root.filePath("first"), root.filePath("missing"), root.filePath("second")});
    QCOMPARE(JediOutcastInstallPath(wine), expand(expectedInstall, canonicalRoot));
}

void TestRegistry::translatesWindowsPaths_data()
{
    QTest::addColumn<QString>("windowsPath");
    QTest::addColumn<bool>("dosdevices");
    QTest::addColumn<QString>("expected"); // %R: the temporary folder, the prefix is %R/pfx

    QTest::newRow("drive c") << "C:\\Games\\JK2" << true << "%R/pfx/drive_c/Games/JK2";
    QTest::newRow("other case") << "c:\\GAMES\\jk2" << true << "%R/pfx/drive_c/Games/JK2";
    QTest::newRow("trailing backslash") << "C:\\Games\\JK2\\" << true << "%R/pfx/drive_c/Games/JK2/";
    QTest::newRow("forward slashes") << "C:/Games/JK2" << true << "%R/pfx/drive_c/Games/JK2";
    QTest::newRow("missing folder") << "C:\\Games\\None\\x" << true << "%R/pfx/drive_c/Games/None/x";
    QTest::newRow("drive alone") << "C:" << true << "%R/pfx/drive_c";
    QTest::newRow("drive d") << "D:\\stuff" << true << "%R/elsewhere/stuff";
    QTest::newRow("drive z") << "Z:%W\\elsewhere" << true << "%R/elsewhere";
    QTest::newRow("no such drive") << "E:\\JK2" << true << "";
    QTest::newRow("network path") << "\\\\server\\share\\JK2" << true << "";
    QTest::newRow("relative") << "JK2" << true << "";
    QTest::newRow("blanks") << "      " << true << "";
    QTest::newRow("c without dosdevices") << "C:\\Games\\JK2" << false << "%R/pfx/drive_c/Games/JK2";
    QTest::newRow("d without dosdevices") << "D:\\stuff" << false << "";
}

void TestRegistry::translatesWindowsPaths()
{
    QFETCH(QString, windowsPath);
    QFETCH(bool, dosdevices);
    QFETCH(QString, expected);

    QTemporaryDir temp;
    const QString root = QDir(temp.path()).canonicalPath();
    QVERIFY(QDir().mkpath(root + "/pfx/drive_c/Games/JK2"));
    QVERIFY(QDir().mkpath(root + "/elsewhere"));
    if (dosdevices) {
        QVERIFY(QDir().mkpath(root + "/pfx/dosdevices"));
        QVERIFY(QFile::link("../drive_c", root + "/pfx/dosdevices/c:"));
        QVERIFY(QFile::link(root + "/elsewhere", root + "/pfx/dosdevices/d:"));
        QVERIFY(QFile::link("/", root + "/pfx/dosdevices/z:"));
    }
    windowsPath.replace("%W", QString(root).replace('/', '\\'));
    QCOMPARE(WinePathToLocal(root + "/pfx", windowsPath), expand(expected, root));
}

void TestRegistry::buildsGameDataPath_data()
{
    QTest::addColumn<QString>("installPath");
    QTest::addColumn<QString>("expected");

    QTest::newRow("not installed") << "" << QDir::toNativeSeparators("/gamedata/base");
    QTest::newRow("installer's spelling") << "%R/JK2" << "%R/JK2/GameData/Base";
    QTest::newRow("trailing separator stays") << "%R/JK2/" << "%R/JK2//GameData/Base";
    QTest::newRow("exact spelling first") << "%R/Both" << "%R/Both/gamedata/base";
    QTest::newRow("missing folders") << "%R/None" << "%R/None/gamedata/base";
}

void TestRegistry::buildsGameDataPath()
{
    QFETCH(QString, installPath);
    QFETCH(QString, expected);

    QTemporaryDir temp;
    QVERIFY(QDir().mkpath(temp.filePath("JK2/GameData/Base")));
    QVERIFY(QDir().mkpath(temp.filePath("Both/GameData/base")));
    QVERIFY(QDir().mkpath(temp.filePath("Both/gamedata/base")));
    QCOMPARE(GameDataPathSuffix(), QDir::toNativeSeparators("/gamedata/base"));
    QCOMPARE(GameDataPathFor(expand(installPath, temp.path())), expand(expected, temp.path()));
}

void TestRegistry::findsDefaultPrefixes()
{
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME");
    const QByteArray oldPrefix = qgetenv("WINEPREFIX");
    qputenv("HOME", home.path().toUtf8());

    const QString steam = home.filePath(".steam/steam");
    const QString library = home.filePath("library");
    QVERIFY(QDir().mkpath(steam + "/steamapps/compatdata/6030/pfx"));
    QVERIFY(QDir().mkpath(steam + "/steamapps/compatdata/6020/pfx")); // Jedi Academy
    QVERIFY(QDir().mkpath(library + "/steamapps/compatdata/6030/pfx"));
    QVERIFY(QDir().mkpath(home.filePath(".local/share")));
    QVERIFY(QFile::link(steam, home.filePath(".local/share/Steam")));
    writeAll(steam + "/steamapps/libraryfolders.vdf",
              ("\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"" + steam + "\"\n\t\t\"apps\"\n\t\t{\n"
               "\t\t\t\"6030\"\t\t\"123456\"\n\t\t}\n\t}\n\t\"1\"\n\t{\n\t\t\"path\"\t\t\"" + library
               + "\"\n\t}\n\t\"2\"\n\t{\n\t\t\"path\"\t\t\"" + home.filePath("empty") + "\"\n\t}\n}\n")
                  .toUtf8());
    const QStringList proton{steam + "/steamapps/compatdata/6030/pfx", library + "/steamapps/compatdata/6030/pfx"};

    qunsetenv("WINEPREFIX");
    const QStringList withoutVariable = WineRegistryBackend::defaultPrefixes();
    qputenv("WINEPREFIX", "/games/prefix");
    const QStringList withVariable = WineRegistryBackend::defaultPrefixes();

    qputenv("HOME", oldHome);
    if (oldPrefix.isNull())
        qunsetenv("WINEPREFIX");
    else
        qputenv("WINEPREFIX", oldPrefix);
    QCOMPARE(withoutVariable, QStringList{home.filePath(".wine")} + proton);
    QCOMPARE(withVariable, QStringList{"/games/prefix"} + proton);
}

void TestRegistry::installPathThroughInstalledBackend()
{
    {
        FakeRegistry notInstalled;
        QCOMPARE(JediOutcastInstallPath(), QString());
        QCOMPARE(GameDataPathFor(JediOutcastInstallPath()), GameDataPathSuffix());
    }
    QTemporaryDir prefix;
    const QString canonical = QDir(prefix.path()).canonicalPath();
    QVERIFY(QDir().mkpath(prefix.filePath("drive_c/Games/JK2/GameData/base")));
    writeSystemReg(prefix.path(), Wow64Section + "\n\"Install Path\"=\"C:\\\\games\\\\jk2\"");
    WineRegistryBackend wine({prefix.path()});
    SetRegistryBackendForTesting(&wine);
    const QString install = JediOutcastInstallPath();
    SetRegistryBackendForTesting(nullptr);
    QCOMPARE(install, canonical + "/drive_c/Games/JK2");
    QCOMPARE(GameDataPathFor(install), canonical + "/drive_c/Games/JK2/GameData/base");
}

QTEST_GUILESS_MAIN(TestRegistry)
#include "test_registry.moc"
