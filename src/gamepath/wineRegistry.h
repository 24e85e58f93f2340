#pragma once
// The registry of Wine prefixes, read from the text files Wine keeps in each prefix
// (system.reg for HKEY_LOCAL_MACHINE, user.reg for HKEY_CURRENT_USER), for systems
// where the game runs under Wine or Steam's Proton.

#include "gamepath/registryFinder.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class WineRegistryBackend final : public RegistryBackend
{
public:
    // Prefixes are searched in this order; the first that holds the value wins.
    explicit WineRegistryBackend(const QStringList &prefixes);

    // $WINEPREFIX, else ~/.wine; then the Proton prefixes Steam made for Jedi Outcast.
    static QStringList defaultPrefixes();
    // pfx folders of the given Steam app in every Steam library of the user.
    static QStringList protonPrefixes(int steamAppId);

    qint32 openKey(quint32 rootKey, const QByteArray &keyPath, RegistryHandle *key) override;
    qint32 queryValue(RegistryHandle key, const QByteArray &valueName, quint32 *type, char *data,
                      quint32 *size) override;
    qint32 closeKey(RegistryHandle key) override;
    // Translated through the prefix the last value was read from.
    QString localPath(const QString &registryPath) override;

    QStringList prefixes() const { return m_prefixes; }

    struct Value
    {
        QString name; // "" for the key's default value
        quint32 type = 0;
        QByteArray data; // as Windows holds it: strings in UTF-16LE
    };

private:
    struct Found
    {
        int prefix;
        QList<Value> values;
    };
    QStringList m_prefixes;
    QHash<RegistryHandle, QList<Found>> m_open;
    RegistryHandle m_nextHandle = 1;
    int m_lastPrefix = 0;
};

// The values of a key in the text of a Wine registry file, keyPath being relative to the
// file's root; nothing when the file lacks the key. Names compare ignoring case.
std::optional<QList<WineRegistryBackend::Value>> ReadWineKey(const QByteArray &fileText,
                                                             const QStringList &keyPath);

// A Windows path ("C:\Games\JK2") as a path below a Wine prefix, through the prefix's
// dosdevices links; "" when the path names no drive of the prefix.
QString WinePathToLocal(const QString &prefix, const QString &windowsPath);

// The components as they are spelled on disk below folder, matched ignoring case where the
// exact name is absent, as Windows would find them; unmatched ones stay as given.
QStringList MatchPathCase(const QString &folder, const QStringList &components);
