// The install layout, the desktop integration files and the Debian package, built from
// the already-built tree into a temporary folder.

#include "support/files.h"

#include <QDirIterator>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

const QString AppId = QStringLiteral(TAVREL_APP_ID);
const QString DesktopFile = QStringLiteral("share/applications/" TAVREL_APP_ID ".desktop");
const QString MetainfoFile = QStringLiteral("share/metainfo/" TAVREL_APP_ID ".metainfo.xml");
const QString IconFile = QStringLiteral("share/icons/hicolor/scalable/apps/tavrel.svg");
const QString MimeFile = QStringLiteral("share/mime/packages/" TAVREL_APP_ID ".xml");

struct Run
{
    bool finished = false;
    int exitCode = -1;
    QString out, err;
    QString all() const { return out + err; }
};

Run run(const QString &program, const QStringList &arguments, const QProcessEnvironment &env = {})
{
    QProcess process;
    QProcessEnvironment full = QProcessEnvironment::systemEnvironment();
    full.insert(env);
    process.setProcessEnvironment(full);
    process.start(program, arguments);
    Run result;
    result.finished = process.waitForFinished(240000) && process.exitStatus() == QProcess::NormalExit;
    if (!result.finished) {
        process.kill();
        process.waitForFinished();
    }
    result.exitCode = process.exitCode();
    result.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    result.err = QString::fromLocal8Bit(process.readAllStandardError());
    return result;
}

QProcessEnvironment environment(std::initializer_list<std::pair<QString, QString>> pairs)
{
    QProcessEnvironment env;
    for (const auto &[name, value] : pairs)
        env.insert(name, value);
    return env;
}

// Every file below root, relative to it, sorted.
QStringList filesBelow(const QString &root)
{
    QStringList files;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(root).relativeFilePath(it.next());
    files.sort();
    return files;
}

// The [Desktop Entry] group of a desktop file as key/value pairs.
QHash<QString, QString> desktopEntry(const QString &path)
{
    QHash<QString, QString> keys;
    bool inGroup = false;
    for (const QString &line : QString::fromUtf8(readAll(path)).split('\n')) {
        if (line.startsWith('['))
            inGroup = line == QStringLiteral("[Desktop Entry]");
        else if (inGroup && line.contains('='))
            keys.insert(line.section('=', 0, 0), line.section('=', 1));
    }
    return keys;
}

// Texts of the elements of an XML file, by element name (the last one of a name wins),
// and of the named attributes as "element@attribute".
QHash<QString, QString> xmlTexts(const QString &path, const QStringList &attributes = {})
{
    QHash<QString, QString> texts;
    QXmlStreamReader xml(readAll(path));
    QString element;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            element = xml.name().toString();
            for (const QString &attribute : attributes) {
                const QString name = attribute.section('@', 1);
                if (attribute.section('@', 0, 0) == element && xml.attributes().hasAttribute(name))
                    texts.insert(attribute, xml.attributes().value(name).toString());
            }
        } else if (token == QXmlStreamReader::Characters && !xml.isWhitespace()) {
            texts.insert(element, xml.text().toString());
        }
    }
    if (xml.hasError())
        texts.insert("error", xml.errorString());
    return texts;
}

} // namespace

class PackagingTest : public QObject
{
    Q_OBJECT

    QTemporaryDir tmp;
    QString installed; // the prefix of `cmake --install`, as /usr is on a machine
    QString extracted; // the prefix of the unpacked Debian package
    QString package;

    QString path(const QString &relative) const { return QDir::cleanPath(tmp.filePath(relative)); }

private slots:
    void initTestCase()
    {
        QVERIFY(tmp.isValid());
        const Run install = run(CMAKE_EXECUTABLE, {"--install", TAVREL_BUILD_DIR, "--prefix", "/usr"},
                                environment({{"DESTDIR", path("install")}}));
        QVERIFY2(install.finished && install.exitCode == 0, qPrintable(install.all()));
        installed = path("install/usr");

        const Run cpack = run(CPACK_EXECUTABLE, {"-G", "DEB", "--config", TAVREL_BUILD_DIR "/CPackConfig.cmake",
                                                 "-B", path("package")});
        QVERIFY2(cpack.finished && cpack.exitCode == 0, qPrintable(cpack.all()));
        const QStringList debs = QDir(path("package")).entryList({"*.deb"}, QDir::Files);
        QCOMPARE(debs, QStringList{QStringLiteral("tavrel_" TAVREL_VERSION "_amd64.deb")});
        package = QDir(path("package")).filePath(debs.first());

        const Run unpack = run("dpkg-deb", {"-x", package, path("unpacked")});
        QVERIFY2(unpack.finished && unpack.exitCode == 0, qPrintable(unpack.all()));
        extracted = path("unpacked/usr");
    }

    // Exactly these files, the shipped data byte for byte as in data/.
    void installLayout()
    {
        QStringList expected = {"bin/tavrel", DesktopFile, MetainfoFile, IconFile, MimeFile};
        const QString data = QStringLiteral(TAVREL_SOURCE_DIR "/data");
        for (const QString &file : filesBelow(data)) {
            expected << "share/tavrel/" + file;
            QCOMPARE(readAll(installed + "/share/tavrel/" + file), readAll(data + "/" + file));
        }
        expected.sort();
        QCOMPARE(filesBelow(installed), expected);
        QVERIFY(QFileInfo(installed + "/bin/tavrel").isExecutable());
        for (const QString &file : expected) {
            if (file != "bin/tavrel")
                QVERIFY2(!QFileInfo(installed + "/" + file).isExecutable(), qPrintable(file));
        }
    }

    void desktopEntryIsValid()
    {
        const QString file = installed + "/" + DesktopFile;
        const Run validate = run("desktop-file-validate", {file});
        QVERIFY2(validate.finished && validate.exitCode == 0, qPrintable(validate.all()));
        QCOMPARE(validate.all(), QString());

        const QHash<QString, QString> entry = desktopEntry(file);
        QCOMPARE(entry.value("Type"), QStringLiteral("Application"));
        QCOMPARE(entry.value("Name"), QStringLiteral("Tavrel"));
        // The file manager hands over one local file; the program opens it at start.
        QCOMPARE(entry.value("Exec"), QStringLiteral("tavrel %f"));
        QCOMPARE(entry.value("Icon"), QFileInfo(IconFile).completeBaseName());
        QCOMPARE(entry.value("MimeType"), QStringLiteral("text/x-idtech3-cfg;"));
    }

    // The desktop entry's MIME type is the one the shipped definition gives *.cfg files.
    void cfgFilesHaveTheEntrysMimeType()
    {
        QVERIFY(QDir().mkpath(path("mime/packages")));
        QVERIFY(QFile::copy(installed + "/" + MimeFile, path("mime/packages/tavrel.xml")));
        const Run update = run("update-mime-database", {path("mime")});
        QVERIFY2(update.finished && update.exitCode == 0, qPrintable(update.all()));
        QVERIFY2(!update.all().contains("rror"), qPrintable(update.all()));
        const QString globs = QString::fromUtf8(readAll(path("mime/globs2")));
        QVERIFY2(globs.contains(QRegularExpression(R"(^\d+:text/x-idtech3-cfg:\*\.cfg$)",
                                                   QRegularExpression::MultilineOption)),
                 qPrintable(globs));
        QVERIFY(readAll(path("mime/subclasses")).contains("text/x-idtech3-cfg text/plain"));
    }

    void metainfoIsValid()
    {
        const QString file = installed + "/" + MetainfoFile;
        const Run validate = run("appstreamcli", {"validate", "--no-net", file});
        QVERIFY2(validate.finished && validate.exitCode == 0, qPrintable(validate.all()));

        const QHash<QString, QString> texts =
            xmlTexts(file, {"release@version", "release@date", "launchable@type", "component@type"});
        QVERIFY2(!texts.contains("error"), qPrintable(texts.value("error")));
        QCOMPARE(texts.value("component@type"), QStringLiteral("desktop-application"));
        QCOMPARE(texts.value("id"), AppId);
        QCOMPARE(texts.value("launchable@type"), QStringLiteral("desktop-id"));
        QCOMPARE(texts.value("launchable"), QFileInfo(DesktopFile).fileName());
        QCOMPARE(texts.value("release@version"), QStringLiteral(TAVREL_VERSION));
        QCOMPARE(texts.value("binary"), QStringLiteral("tavrel"));
        QCOMPARE(texts.value("mediatype") + ";", desktopEntry(installed + "/" + DesktopFile).value("MimeType"));
    }

    void iconIsASquareSvg()
    {
        QXmlStreamReader xml(readAll(installed + "/" + IconFile));
        QVERIFY(xml.readNextStartElement());
        QCOMPARE(xml.name().toString(), QStringLiteral("svg"));
        QCOMPARE(xml.namespaceUri().toString(), QStringLiteral("http://www.w3.org/2000/svg"));
        const QStringList viewBox = xml.attributes().value("viewBox").toString().split(' ');
        QCOMPARE(viewBox.size(), 4);
        QCOMPARE(viewBox[2], viewBox[3]);
        while (!xml.atEnd())
            xml.readNext();
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    }

    void debianPackageFields_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::newRow("name") << "Package" << "tavrel";
        QTest::newRow("version") << "Version" << TAVREL_VERSION;
        QTest::newRow("architecture") << "Architecture" << "amd64";
        QTest::newRow("section") << "Section" << "editors";
    }
    void debianPackageFields()
    {
        QFETCH(QString, field);
        const Run info = run("dpkg-deb", {"-f", package, field});
        QVERIFY2(info.finished && info.exitCode == 0, qPrintable(info.all()));
        QTEST(info.out.trimmed(), "value");
    }

    // Every shared library the program links comes from a package it depends on.
    void debianPackageDependsOnWhatTheProgramLinks()
    {
        const Run depends = run("dpkg-deb", {"-f", package, "Depends"});
        QVERIFY2(depends.finished && depends.exitCode == 0, qPrintable(depends.all()));
        QSet<QString> declared;
        for (const QString &item : depends.out.trimmed().split(','))
            declared.insert(item.trimmed().section(' ', 0, 0));

        const Run ldd = run("ldd", {extracted + "/bin/tavrel"});
        QVERIFY2(ldd.finished && ldd.exitCode == 0, qPrintable(ldd.all()));
        QVERIFY2(!ldd.out.contains("not found"), qPrintable(ldd.out));
        // Only the libraries named by the program itself, not those they pull in.
        const Run needed = run("objdump", {"-p", extracted + "/bin/tavrel"});
        QVERIFY2(needed.finished && needed.exitCode == 0, qPrintable(needed.all()));
        QStringList owners;
        const QRegularExpression neededLine(R"(NEEDED\s+(\S+))");
        for (auto match = neededLine.globalMatch(needed.out); match.hasNext();) {
            const QString library = match.next().captured(1);
            // ldd shows the dynamic loader by its path alone, without "=>".
            const QRegularExpression resolved(QRegularExpression::escape(library) + R"( => (\S+)|(\S+/)"
                                              + QRegularExpression::escape(library) + R"() \()");
            const QRegularExpressionMatch found = resolved.match(ldd.out);
            const QString file = found.hasCaptured(1) ? found.captured(1) : found.captured(2);
            QVERIFY2(!file.isEmpty(), qPrintable(library));
            // dpkg knows a file by the path its package ships, which /usr merging may hide.
            const QString canonical = QFileInfo(file).canonicalFilePath();
            QString owner;
            for (const QString &candidate : {file, canonical, QString(canonical).remove(QRegularExpression("^/usr"))}) {
                const Run search = run("dpkg", {"-S", candidate});
                if (search.finished && search.exitCode == 0) {
                    owner = search.out.section(':', 0, 0);
                    break;
                }
            }
            QVERIFY2(!owner.isEmpty(), qPrintable(file));
            owners << owner;
        }
        for (const char *required : {"libqt6widgets6", "libqt6gui6", "libqt6core6", "libqscintilla2-qt6-15"})
            QVERIFY2(owners.contains(QLatin1String(required)), required);
        for (const QString &owner : owners)
            QVERIFY2(declared.contains(owner), qPrintable(owner + " missing from " + depends.out));
    }

    // The package holds what `cmake --install` lays out, nothing more.
    void debianPackageHoldsTheInstallLayout()
    {
        QCOMPARE(filesBelow(path("unpacked")), [&] {
            QStringList files;
            for (const QString &file : filesBelow(installed))
                files << "usr/" + file;
            return files;
        }());
        QCOMPARE(readAll(extracted + "/share/tavrel/pf/cc.txt"), readAll(installed + "/share/tavrel/pf/cc.txt"));
    }

    // Started from where it was laid out, the program finds its data through ../share/tavrel,
    // puts the user's word files in the user's data folder and reads them.
    void installedProgramStartsAndFindsItsData_data()
    {
        QTest::addColumn<QString>("prefix");
        QTest::newRow("cmake --install") << "install/usr";
        QTest::newRow("Debian package") << "unpacked/usr";
    }
    void installedProgramStartsAndFindsItsData()
    {
        QFETCH(QString, prefix);
        const QString root = path(prefix);
        const QString program = root + "/bin/tavrel";
        const Run version = run(program, {"--version"});
        QVERIFY2(version.finished && version.exitCode == 0, qPrintable(version.all()));
        QCOMPARE(version.out, QStringLiteral("tavrel " TAVREL_VERSION "\n"));

        const QString home = path("home " + QString(QTest::currentDataTag()));
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("HOME", home);
        env.insert("XDG_DATA_HOME", home + "/data");
        env.insert("QT_LOGGING_RULES", "tavrel.*.info=true");
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, {});
        QVERIFY(process.waitForStarted());
        QByteArray output;
        // A word file that could not be read would stop start-up at its message box.
        while (!output.contains("tavrel.startup: word files read")
               && process.state() == QProcess::Running && process.waitForReadyRead(120000))
            output += process.readAll();
        const bool running = process.state() == QProcess::Running;
        process.kill();
        process.waitForFinished();
        output += process.readAll();
        QVERIFY2(running && output.contains("tavrel.startup: word files read"), output.constData());

        const QString userFolder = home + "/data/Tavrel";
        QVERIFY2(output.contains(("tavrel.folders: application folder " + root + "/share/tavrel writable folder "
                                  + userFolder)
                                     .toLocal8Bit()),
                 output.constData());
        const QStringList shipped = QDir(root + "/share/tavrel/pf").entryList(QDir::Files);
        QCOMPARE(QDir(userFolder + "/pf").entryList(QDir::Files), shipped);
        for (const QString &file : shipped)
            QCOMPARE(readAll(userFolder + "/pf/" + file), readAll(root + "/share/tavrel/pf/" + file));
        QVERIFY(!QFileInfo::exists(userFolder + "/cfgs"));
    }
};

QTEST_GUILESS_MAIN(PackagingTest)
#include "test_packaging.moc"
