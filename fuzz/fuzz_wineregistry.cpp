// Wine registry files of any shape, key paths of any spelling, and Windows paths
// translated below a prefix.
#include "fuzzcheck.h"
#include "languages/registryFinder.h"
#include "languages/wineRegistry.h"

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

    if (const auto values = ReadWineKey(file, keyPath)) {
        // Values come from single lines and their continuations only.
        for (const WineRegistryBackend::Value &value : *values)
            FUZZ_CHECK(!value.name.contains(u'\n'));
    }

    const QString local = WinePathToLocal(prefixDir->path(), windowsPath);
    if (!local.isEmpty())
        FUZZ_CHECK(local == driveC || local.startsWith(driveC + u'/'));
    if (!(windowsPath.size() >= 2 && windowsPath.at(1) == u':'))
        FUZZ_CHECK(local.isEmpty());
    return 0;
}
