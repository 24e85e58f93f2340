#pragma once
// Finds the Jedi Outcast installation through the text value its installer leaves in the
// registry. The lookup runs over an exchangeable backend: the Windows registry on Windows,
// the registry files of Wine prefixes elsewhere, fakes in tests.

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <memory>

// Predefined root keys, as the 32-bit values Windows gives them.
constexpr quint32 HKEY_LOCAL_MACHINE_ROOT = 0x80000002;
constexpr quint32 HKEY_CURRENT_USER_ROOT = 0x80000001;

// Value types (the registry's type codes).
namespace RegistryType {
constexpr quint32 None = 0;
constexpr quint32 String = 1;       // REG_SZ
constexpr quint32 ExpandString = 2; // REG_EXPAND_SZ
constexpr quint32 Binary = 3;       // REG_BINARY
constexpr quint32 DWord = 4;        // REG_DWORD
constexpr quint32 MultiString = 7;  // REG_MULTI_SZ
} // namespace RegistryType

// Status codes the registry operations return (Windows error numbers).
namespace RegistryStatus {
constexpr qint32 Success = 0;
constexpr qint32 FileNotFound = 2;
constexpr qint32 InvalidHandle = 6;
constexpr qint32 MoreData = 234;
} // namespace RegistryStatus

using RegistryHandle = quintptr; // 0 is never a valid key

// The three registry operations the lookup is built from, with the ANSI calling
// conventions of RegOpenKeyA, RegQueryValueExA and RegCloseKey: names and string data
// travel as bytes in the system's 8-bit code page.
class RegistryBackend
{
public:
    virtual ~RegistryBackend() = default;
    // *key is set to 0 when the key cannot be opened.
    virtual qint32 openKey(quint32 rootKey, const QByteArray &keyPath, RegistryHandle *key) = 0;
    // With data null only *type and *size (in bytes, a string's terminating NUL included)
    // are reported. Otherwise *size is the buffer's capacity on entry and the number of
    // bytes copied on return; MoreData when the value does not fit.
    virtual qint32 queryValue(RegistryHandle key, const QByteArray &valueName, quint32 *type,
                              char *data, quint32 *size) = 0;
    virtual qint32 closeKey(RegistryHandle key) = 0;
    // A path read from this registry as a path of this machine; empty when it has none.
    virtual QString localPath(const QString &registryPath) { return registryPath; }
};

constexpr const char JediOutcastKeyPath[] =
    "Software\\LucasArts Entertainment Company LLC\\Star Wars JK II Jedi Outcast\\1.0";
constexpr const char JediOutcastInstallValue[] = "Install Path";

// Longest text before a string value's first NUL that the lookup accepts.
constexpr int RegistryStringLimit = 32766;

// The text value, up to its first NUL (the whole value when it holds none), or
// defaultValue when the value is missing, unreadable or not a plain string.
QString ReadRegistryString(quint32 rootKey, const QString &keyPath, const QString &valueName,
                           const QString &defaultValue);
QString ReadRegistryString(RegistryBackend &registry, quint32 rootKey, const QString &keyPath,
                           const QString &valueName, const QString &defaultValue);

// The game's install folder as a local path, "" when the game is not installed.
QString JediOutcastInstallPath();
QString JediOutcastInstallPath(RegistryBackend &registry);

// "\gamedata\base" on Windows, "/gamedata/base" elsewhere.
QString GameDataPathSuffix();
// installPath followed by the suffix; the suffix alone for an empty installPath.
QString GameDataPathFor(const QString &installPath);

// The backend the parameterless functions use: the one installed for testing, else the
// platform's, created on first use.
RegistryBackend &CurrentRegistryBackend();
// Tests install a backend of their own; nullptr returns to the platform's.
void SetRegistryBackendForTesting(RegistryBackend *backend);
// The platform's backend (defined with the platform code).
std::unique_ptr<RegistryBackend> CreatePlatformRegistryBackend();
