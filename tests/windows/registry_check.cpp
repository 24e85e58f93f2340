// Runs the install path lookup against the Windows registry (under Wine): the game's
// value as its installer writes it is found, anything else gives the default.
//   registry_check.exe <key the script wrote into>
// Exit status: the number of failed checks.

#include "gamepath/registryFinder.h"

#include <QStringList>

#include <cstdio>

// Only GameDataPathFor uses it, which this check does not call.
QStringList MatchPathCase(const QString &, const QStringList &components)
{
    return components;
}

namespace {

int checks = 0;
int failures = 0;

void print(const char *label, const QString &text)
{
    std::printf("%-44s \"%s\"\n", label, text.toUtf8().constData());
}

void expect(const char *label, const QString &actual, const QString &expected)
{
    const bool ok = actual == expected;
    ++checks;
    failures += ok ? 0 : 1;
    std::printf("%s  ", ok ? "PASS" : "FAIL");
    print(label, actual);
    if (!ok)
        print("      expected", expected);
}

} // namespace

int main()
{
    // The same text the script writes, a Windows-1252 letter included.
    const QString installPath = QStringLiteral("C:\\Games\\Jedi Outcast Caf\u00e9");
    const QString key = QString::fromLatin1(JediOutcastKeyPath);
    const QString fallback = QStringLiteral("<default>");

    expect("Install Path (REG_SZ)",
           ReadRegistryString(HKEY_LOCAL_MACHINE_ROOT, key, QString::fromLatin1(JediOutcastInstallValue), fallback),
           installPath);
    expect("JediOutcastInstallPath()", JediOutcastInstallPath(), installPath);
    expect("Expanded Path (REG_EXPAND_SZ)",
           ReadRegistryString(HKEY_LOCAL_MACHINE_ROOT, key, QStringLiteral("Expanded Path"), fallback), fallback);
    expect("Version (REG_DWORD)",
           ReadRegistryString(HKEY_LOCAL_MACHINE_ROOT, key, QStringLiteral("Version"), fallback), fallback);
    expect("missing value", ReadRegistryString(HKEY_LOCAL_MACHINE_ROOT, key, QStringLiteral("Nothing"), fallback),
           fallback);
    expect("missing key",
           ReadRegistryString(HKEY_LOCAL_MACHINE_ROOT, key + QStringLiteral("\\Nowhere"),
                              QString::fromLatin1(JediOutcastInstallValue), fallback),
           fallback);
    expect("same key under HKEY_CURRENT_USER",
           ReadRegistryString(HKEY_CURRENT_USER_ROOT, key, QString::fromLatin1(JediOutcastInstallValue), fallback),
           fallback);

    std::printf("%d passed, %d failed\n", checks - failures, failures);
    return failures;
}
