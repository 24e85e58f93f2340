#include "gamepath/registryFinder.h"
#include "gamepath/wineRegistry.h"

#ifdef _WIN32
#include <windows.h>

namespace {

// The registry itself, through the ANSI calls so names and values travel in the system's
// code page. Keys are opened in the 32-bit view, where the game's 32-bit installer wrote
// them: a 64-bit build would otherwise look under the 64-bit view and never find the game.
class WindowsRegistryBackend final : public RegistryBackend
{
public:
    qint32 openKey(quint32 rootKey, const QByteArray &keyPath, RegistryHandle *key) override
    {
        HKEY opened = nullptr;
        const LONG status = RegOpenKeyExA(rootHandle(rootKey), keyPath.constData(), 0,
                                          KEY_QUERY_VALUE | KEY_WOW64_32KEY, &opened);
        *key = status == ERROR_SUCCESS ? reinterpret_cast<RegistryHandle>(opened) : 0;
        return status;
    }

    qint32 queryValue(RegistryHandle key, const QByteArray &valueName, quint32 *type, char *data,
                      quint32 *size) override
    {
        DWORD valueType = 0;
        DWORD valueSize = *size;
        const LONG status = RegQueryValueExA(reinterpret_cast<HKEY>(key), valueName.constData(), nullptr,
                                             &valueType, reinterpret_cast<LPBYTE>(data), &valueSize);
        *type = valueType;
        *size = valueSize;
        return status;
    }

    qint32 closeKey(RegistryHandle key) override
    {
        return RegCloseKey(reinterpret_cast<HKEY>(key));
    }

private:
    // Predefined keys are 32-bit values sign-extended to the width of a handle.
    static HKEY rootHandle(quint32 rootKey)
    {
        return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG_PTR>(static_cast<LONG>(rootKey))));
    }
};

} // namespace

std::unique_ptr<RegistryBackend> CreatePlatformRegistryBackend()
{
    return std::make_unique<WindowsRegistryBackend>();
}

#else

std::unique_ptr<RegistryBackend> CreatePlatformRegistryBackend()
{
    return std::make_unique<WineRegistryBackend>(WineRegistryBackend::defaultPrefixes());
}

#endif
