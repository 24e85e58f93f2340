// Wine registry files of any shape, key paths of any spelling, and Windows paths
// translated below a prefix.
#include "fuzzcheck.h"
#include "gamepath/registryFinder.h"
#include "gamepath/wineRegistry.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {
QTemporaryDir *prefixDir;
QString driveC;
} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    prefixDir = new QTemporaryDir;
    QDir(prefixDir->path()).mkpath(QStringLiteral("drive_c/Games/JK2/GameData/base"));
    QDir(prefixDir->path()).mkpath(QStringLiteral("dosdevices"));
    QFile::link(QStringLiteral("../drive_c"), prefixDir->path() + QStringLiteral("/dosdevices/c:"));
    driveC = QFileInfo(prefixDir->path() + QStringLiteral("/drive_c")).canonicalFilePath();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput in{data, size};
    const std::uint8_t mode = in.byte();
    const QStringList keyPath = QString::fromUtf8(in.take()).split(u'\\');
    const QString windowsPath = QString::fromUtf8(in.take());
    QByteArray file = in.rest();
    if (mode & 1)
        file.prepend("WINE REGISTRY Version 2\n");

    // Key names compare ignoring case: another spelling finds the same values.
    const auto values = ReadWineKey(file, keyPath);
    QStringList otherCase = keyPath;
    for (QString &component : otherCase)
        for (QChar &c : component)
            if (c.unicode() < 128 && c.isLetter())
                c = c.isUpper() ? c.toLower() : c.toUpper();
    const auto again = ReadWineKey(file, otherCase);
    FUZZ_CHECK(values.has_value() == again.has_value());
    if (values) {
        FUZZ_CHECK(values->size() == again->size());
        for (qsizetype i = 0; i < values->size(); ++i)
            FUZZ_CHECK(values->at(i).name == again->at(i).name && values->at(i).data == again->at(i).data);
    }

    const QString local = WinePathToLocal(prefixDir->path(), windowsPath);
    if (!local.isEmpty())
        FUZZ_CHECK(local == driveC || local.startsWith(driveC + u'/'));
    if (!(windowsPath.size() >= 2 && windowsPath.at(1) == u':'))
        FUZZ_CHECK(local.isEmpty());
    return 0;
}
