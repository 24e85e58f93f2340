#include "gamepath/registryFinder.h"

#include "gamepath/wineRegistry.h"

#include <QDir>
#include <QStringList>

namespace {
RegistryBackend *&testBackend()
{
    static RegistryBackend *backend = nullptr;
    return backend;
}
} // namespace

QString ReadRegistryString(RegistryBackend &registry, quint32 rootKey, const QString &keyPath,
                           const QString &valueName, const QString &defaultValue)
{
    QString result = defaultValue;
    const QByteArray name = valueName.toLocal8Bit();

    // A failed open leaves the handle 0, so the query below fails in turn.
    RegistryHandle key = 0;
    registry.openKey(rootKey, keyPath.toLocal8Bit(), &key);

    quint32 type = RegistryType::None;
    quint32 size = 0;
    if (registry.queryValue(key, name, &type, nullptr, &size) == RegistryStatus::Success
        && type == RegistryType::String) {
        QByteArray buffer(qsizetype(size), ' ');
        quint32 secondType = RegistryType::None;
        quint32 filled = size;
        // A value that vanished, grew or changed type since the first query would leave a
        // buffer of blanks or bytes that are no text; it counts as unreadable instead.
        if (registry.queryValue(key, name, &secondType, buffer.data(), &filled)
                == RegistryStatus::Success
            && secondType == RegistryType::String && filled <= size) {
            // A value that shrank fills only the front of the buffer.
            buffer.truncate(qsizetype(filled));
            const QString text = QString::fromLocal8Bit(buffer);
            const qsizetype nul = text.indexOf(QChar(u'\0'));
            if (nul < 0)
                result = text;
            else if (nul <= RegistryStringLimit)
                result = text.left(nul);
            // Longer text before the NUL is past what a folder path can be; it is not taken.
        }
    }

    registry.closeKey(key);
    return result;
}

QString ReadRegistryString(quint32 rootKey, const QString &keyPath, const QString &valueName,
                           const QString &defaultValue)
{
    return ReadRegistryString(CurrentRegistryBackend(), rootKey, keyPath, valueName, defaultValue);
}

QString JediOutcastInstallPath(RegistryBackend &registry)
{
    const QString path = ReadRegistryString(registry, HKEY_LOCAL_MACHINE_ROOT,
                                            QString::fromLatin1(JediOutcastKeyPath),
                                            QString::fromLatin1(JediOutcastInstallValue), QString());
    return path.isEmpty() ? path : registry.localPath(path);
}

QString JediOutcastInstallPath()
{
    return JediOutcastInstallPath(CurrentRegistryBackend());
}

QString GameDataPathSuffix()
{
    const QChar separator = QDir::separator();
    return separator + QStringLiteral("gamedata") + separator + QStringLiteral("base");
}

QString GameDataPathFor(const QString &installPath)
{
    if (installPath.isEmpty())
        return GameDataPathSuffix();
    // Plain concatenation, so a trailing separator in the install path stays (a doubled
    // separator is harmless). On a case-sensitive file system the installer's "GameData"
    // folder is found all the same, as Windows would find it.
    const QStringList parts = MatchPathCase(installPath, {QStringLiteral("gamedata"), QStringLiteral("base")});
    const QChar separator = QDir::separator();
    return installPath + separator + parts.join(separator);
}

RegistryBackend &CurrentRegistryBackend()
{
    if (testBackend())
        return *testBackend();
    static const std::unique_ptr<RegistryBackend> platform = CreatePlatformRegistryBackend();
    return *platform;
}

void SetRegistryBackendForTesting(RegistryBackend *backend)
{
    testBackend() = backend;
}
