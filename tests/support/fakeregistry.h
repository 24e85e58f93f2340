#pragma once
// An in-memory registry, installed for the whole program while it lives: empty, the game is
// not installed; setInstallPath says where it is. Closed keys are recorded.

#include "gamepath/registryFinder.h"

#include <QHash>
#include <QList>
#include <cstring>
#include <functional>

class FakeRegistry final : public RegistryBackend
{
public:
    struct Value
    {
        quint32 type = RegistryType::String;
        QByteArray bytes;
    };

    FakeRegistry() { SetRegistryBackendForTesting(this); }
    ~FakeRegistry() override { SetRegistryBackendForTesting(nullptr); }

    // Stored as the registry stores a REG_SZ written by an installer: with its NUL.
    void setString(const QString &keyPath, const QString &valueName, const QString &text)
    {
        setValue(keyPath, valueName, RegistryType::String, text.toLocal8Bit() + QByteArray(1, '\0'));
    }
    void setValue(const QString &keyPath, const QString &valueName, quint32 type, const QByteArray &bytes)
    {
        m_keys[keyPath.toLower()][valueName.toLower()] = Value{type, bytes};
    }
    void setInstallPath(const QString &path)
    {
        setString(QString::fromLatin1(JediOutcastKeyPath), QString::fromLatin1(JediOutcastInstallValue), path);
    }

    QList<RegistryHandle> closed;
    qint32 secondQueryStatus = RegistryStatus::Success; // to make the filling query fail
    std::function<void()> beforeFilling; // to change the value between the two queries

    qint32 openKey(quint32 rootKey, const QByteArray &keyPath, RegistryHandle *key) override
    {
        const QString path = QString::fromLocal8Bit(keyPath).toLower();
        if (rootKey != HKEY_LOCAL_MACHINE_ROOT || !m_keys.contains(path)) {
            *key = 0;
            return RegistryStatus::FileNotFound;
        }
        *key = RegistryHandle(m_handles.size() + 1);
        m_handles.append(path);
        return RegistryStatus::Success;
    }

    qint32 queryValue(RegistryHandle key, const QByteArray &valueName, quint32 *type, char *data,
                      quint32 *size) override
    {
        if (data && beforeFilling)
            beforeFilling();
        if (key == 0 || key > RegistryHandle(m_handles.size()))
            return RegistryStatus::InvalidHandle;
        const auto values = m_keys.value(m_handles.at(qsizetype(key) - 1));
        const auto found = values.constFind(QString::fromLocal8Bit(valueName).toLower());
        if (found == values.constEnd())
            return RegistryStatus::FileNotFound;
        if (data && secondQueryStatus != RegistryStatus::Success)
            return secondQueryStatus;
        *type = found->type;
        const quint32 capacity = *size;
        *size = quint32(found->bytes.size());
        if (!data)
            return RegistryStatus::Success;
        if (capacity < *size)
            return RegistryStatus::MoreData;
        std::memcpy(data, found->bytes.constData(), found->bytes.size());
        return RegistryStatus::Success;
    }

    qint32 closeKey(RegistryHandle key) override
    {
        closed.append(key);
        return key == 0 ? RegistryStatus::InvalidHandle : RegistryStatus::Success;
    }

private:
    QHash<QString, QHash<QString, Value>> m_keys;
    QStringList m_handles;
};
