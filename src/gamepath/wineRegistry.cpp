#include "gamepath/wineRegistry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cstring>

namespace {

// Steam's app id of Star Wars Jedi Knight II: Jedi Outcast.
constexpr int JediOutcastSteamAppId = 6030;

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

bool isOctalDigit(QChar c)
{
    return c.unicode() >= '0' && c.unicode() <= '7';
}

// Reads a string in Wine's escaping from pos up to the unescaped end character and leaves
// pos behind it. Wine writes \\, \" and \[ \], C escapes for control characters, octal
// for the others below 32 (\0 for NUL) and \x with up to four hex digits above 127.
std::optional<QString> unescape(const QString &text, qsizetype &pos, QChar end)
{
    QString out;
    while (pos < text.size()) {
        const QChar c = text.at(pos++);
        if (c == end)
            return out;
        if (c != u'\\') {
            out += c;
            continue;
        }
        if (pos >= text.size())
            break;
        const QChar e = text.at(pos++);
        switch (e.unicode()) {
        case 'a': out += QChar(7); break;
        case 'b': out += QChar(8); break;
        case 'e': out += QChar(27); break;
        case 'f': out += QChar(12); break;
        case 'n': out += QChar(10); break;
        case 'r': out += QChar(13); break;
        case 't': out += QChar(9); break;
        case 'v': out += QChar(11); break;
        case 'x': {
            char16_t value = 0;
            int digits = 0;
            while (digits < 4 && pos < text.size() && hexDigit(text.at(pos)) >= 0) {
                value = char16_t(value * 16 + hexDigit(text.at(pos++)));
                ++digits;
            }
            out += digits ? QChar(value) : QChar(u'x');
            break;
        }
        default:
            if (isOctalDigit(e)) {
                char16_t value = e.unicode() - '0';
                for (int i = 0; i < 2 && pos < text.size() && isOctalDigit(text.at(pos)); ++i)
                    value = char16_t(value * 8 + (text.at(pos++).unicode() - '0'));
                out += QChar(value);
            } else {
                out += e;
            }
        }
    }
    return std::nullopt; // no closing character: Wine drops the line too
}

QByteArray utf16Data(const QString &text)
{
    QByteArray data;
    data.reserve((text.size() + 1) * 2);
    for (const QChar c : text) {
        data.append(char(c.unicode() & 0xff));
        data.append(char(c.unicode() >> 8));
    }
    // Wine leaves out the terminating NUL that Windows stores with the string.
    data.append('\0');
    data.append('\0');
    return data;
}

std::optional<QByteArray> parseHexBytes(const QString &text)
{
    QByteArray data;
    for (const QString &piece : text.split(u',')) {
        const QString byte = piece.trimmed();
        if (byte.isEmpty())
            continue;
        bool ok = false;
        const uint value = byte.toUInt(&ok, 16);
        if (!ok || value > 0xff)
            return std::nullopt;
        data.append(char(value));
    }
    return data;
}

// The value written after "=" starting at pos; continuation lines already joined.
std::optional<WineRegistryBackend::Value> parseData(const QString &line, qsizetype pos)
{
    WineRegistryBackend::Value value;
    const QStringView rest = QStringView(line).mid(pos);
    static const QRegularExpression typed(QStringLiteral("^(str|hex)\\(([0-9a-fA-F]+)\\):"));

    auto stringValue = [&](qsizetype quote, quint32 type) -> std::optional<WineRegistryBackend::Value> {
        qsizetype at = pos + quote + 1;
        const std::optional<QString> text = unescape(line, at, u'"');
        if (!text)
            return std::nullopt;
        value.type = type;
        value.data = utf16Data(*text);
        return value;
    };

    if (rest.startsWith(u'"'))
        return stringValue(0, RegistryType::String);
    if (rest.startsWith(u"str:\""))
        return stringValue(4, RegistryType::String);
    if (rest.startsWith(u"dword:")) {
        bool ok = false;
        const QString digits = rest.mid(6).trimmed().toString();
        const uint number = digits.toUInt(&ok, 16);
        if (!ok || digits.size() > 8)
            return std::nullopt;
        value.type = RegistryType::DWord;
        for (int i = 0; i < 4; ++i)
            value.data.append(char((number >> (8 * i)) & 0xff));
        return value;
    }
    if (rest.startsWith(u"hex:")) {
        const std::optional<QByteArray> bytes = parseHexBytes(rest.mid(4).toString());
        if (!bytes)
            return std::nullopt;
        value.type = RegistryType::Binary;
        value.data = *bytes;
        return value;
    }
    const QRegularExpressionMatch match = typed.match(rest.toString());
    if (!match.hasMatch())
        return std::nullopt;
    const quint32 type = match.captured(2).toUInt(nullptr, 16);
    const qsizetype after = match.capturedLength(0);
    if (match.captured(1) == u"str") {
        if (!rest.mid(after).startsWith(u'"'))
            return std::nullopt;
        return stringValue(after, type);
    }
    const std::optional<QByteArray> bytes = parseHexBytes(rest.mid(after).toString());
    if (!bytes)
        return std::nullopt;
    value.type = type;
    value.data = *bytes;
    return value;
}

// A value line ("Name"=..., @=...) with its continuation lines; nothing when it is none.
std::optional<WineRegistryBackend::Value> parseValue(const QString &line)
{
    qsizetype pos = 0;
    QString name;
    if (line.startsWith(u'@')) {
        pos = 1;
    } else if (line.startsWith(u'"')) {
        pos = 1;
        const std::optional<QString> parsed = unescape(line, pos, u'"');
        if (!parsed)
            return std::nullopt;
        name = *parsed;
    } else {
        return std::nullopt;
    }
    while (pos < line.size() && line.at(pos).isSpace())
        ++pos;
    if (pos >= line.size() || line.at(pos) != u'=')
        return std::nullopt;
    ++pos;
    while (pos < line.size() && line.at(pos).isSpace())
        ++pos;
    std::optional<WineRegistryBackend::Value> value = parseData(line, pos);
    if (value)
        value->name = name;
    return value;
}

std::optional<QStringList> parseSection(const QString &line)
{
    qsizetype pos = 1;
    const std::optional<QString> path = unescape(line, pos, u']');
    if (!path)
        return std::nullopt;
    return path->split(u'\\', Qt::SkipEmptyParts);
}

bool sameKey(const QStringList &a, const QStringList &b, qsizetype count)
{
    for (qsizetype i = 0; i < count; ++i) {
        if (a.at(i).compare(b.at(i), Qt::CaseInsensitive) != 0)
            return false;
    }
    return true;
}

QString registryFileFor(quint32 rootKey)
{
    if (rootKey == HKEY_LOCAL_MACHINE_ROOT)
        return QStringLiteral("system.reg");
    if (rootKey == HKEY_CURRENT_USER_ROOT)
        return QStringLiteral("user.reg");
    return {};
}

bool isStringType(quint32 type)
{
    return type == RegistryType::String || type == RegistryType::ExpandString
        || type == RegistryType::MultiString;
}

} // namespace

std::optional<QList<WineRegistryBackend::Value>> ReadWineKey(const QByteArray &fileText,
                                                             const QStringList &keyPath)
{
    QStringList lines = QString::fromUtf8(fileText).split(u'\n');
    if (lines.isEmpty() || !lines.first().startsWith(u"WINE REGISTRY Version 2"))
        return std::nullopt;

    bool keyExists = false;
    bool inKey = false;
    QList<WineRegistryBackend::Value> values;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        QString line = lines.at(i);
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.startsWith(u'[')) {
            inKey = false;
            const std::optional<QStringList> section = parseSection(line);
            // A key lives on in the file only through its subkeys when it holds no values.
            if (section && section->size() >= keyPath.size() && sameKey(*section, keyPath, keyPath.size())) {
                keyExists = true;
                inKey = section->size() == keyPath.size();
            }
            continue;
        }
        if (!inKey || !(line.startsWith(u'"') || line.startsWith(u'@')))
            continue;
        // Long binary values go on over lines that end in a backslash.
        while (line.endsWith(u'\\') && i + 1 < lines.size()) {
            line.chop(1);
            QString next = lines.at(++i);
            if (next.endsWith(u'\r'))
                next.chop(1);
            line += next.trimmed();
        }
        if (std::optional<WineRegistryBackend::Value> value = parseValue(line))
            values.append(*value);
    }
    if (!keyExists)
        return std::nullopt;
    return values;
}

WineRegistryBackend::WineRegistryBackend(const QStringList &prefixes)
    : m_prefixes(prefixes)
{
}

// Steam's Proton keeps a Wine prefix per game, where Steam runs the game's own install
// steps. It is searched after the user's Wine prefix: a player who has the game under
// Steam only still gets the game's folder.
QStringList WineRegistryBackend::defaultPrefixes()
{
    const QString wine = qEnvironmentVariable("WINEPREFIX");
    QStringList prefixes{wine.isEmpty() ? QDir::homePath() + QStringLiteral("/.wine") : wine};
    prefixes += protonPrefixes(JediOutcastSteamAppId);
    return prefixes;
}

QStringList WineRegistryBackend::protonPrefixes(int steamAppId)
{
    const QString home = QDir::homePath();
    const QStringList steamRoots{home + QStringLiteral("/.steam/steam"),
                                 home + QStringLiteral("/.local/share/Steam"),
                                 home + QStringLiteral("/.var/app/com.valvesoftware.Steam/.local/share/Steam")};
    // Other libraries are listed as "path" entries (older files: numbered entries).
    static const QRegularExpression libraryEntry(QStringLiteral("\"(?:path|\\d+)\"\\s+\"((?:[^\"\\\\]|\\\\.)*)\""));

    QStringList libraries;
    for (const QString &root : steamRoots) {
        if (!QFileInfo(root).isDir())
            continue;
        libraries << root;
        QFile folders(root + QStringLiteral("/steamapps/libraryfolders.vdf"));
        if (!folders.open(QIODevice::ReadOnly))
            continue;
        const QString text = QString::fromUtf8(folders.readAll());
        for (const QRegularExpressionMatch &m : libraryEntry.globalMatch(text)) {
            QString path = m.captured(1);
            path.replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
            if (QDir::isAbsolutePath(path))
                libraries << path;
        }
    }

    QStringList prefixes;
    QStringList seen;
    for (const QString &library : libraries) {
        const QString prefix = library + QStringLiteral("/steamapps/compatdata/")
            + QString::number(steamAppId) + QStringLiteral("/pfx");
        const QFileInfo info(prefix);
        if (!info.isDir() || seen.contains(info.canonicalFilePath()))
            continue;
        seen << info.canonicalFilePath();
        prefixes << prefix;
    }
    return prefixes;
}

qint32 WineRegistryBackend::openKey(quint32 rootKey, const QByteArray &keyPath, RegistryHandle *key)
{
    *key = 0;
    const QString fileName = registryFileFor(rootKey);
    if (fileName.isEmpty())
        return RegistryStatus::FileNotFound;

    const QStringList path = QString::fromLocal8Bit(keyPath).split(u'\\', Qt::SkipEmptyParts);
    QList<QStringList> candidates;
    // A 64-bit prefix files a 32-bit installer's keys where a 32-bit program like the
    // game's installer reads them first.
    if (rootKey == HKEY_LOCAL_MACHINE_ROOT && !path.isEmpty()
        && path.first().compare(u"Software", Qt::CaseInsensitive) == 0
        && (path.size() < 2 || path.at(1).compare(u"Wow6432Node", Qt::CaseInsensitive) != 0)) {
        QStringList redirected = path;
        redirected.insert(1, QStringLiteral("Wow6432Node"));
        candidates << redirected;
    }
    candidates << path;

    QList<Found> found;
    for (int i = 0; i < m_prefixes.size(); ++i) {
        QFile file(QDir(m_prefixes.at(i)).filePath(fileName));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = file.readAll();
        for (const QStringList &candidate : candidates) {
            if (std::optional<QList<Value>> values = ReadWineKey(text, candidate))
                found.append({i, *values});
        }
    }
    if (found.isEmpty())
        return RegistryStatus::FileNotFound;
    *key = m_nextHandle++;
    m_open.insert(*key, found);
    return RegistryStatus::Success;
}

qint32 WineRegistryBackend::queryValue(RegistryHandle key, const QByteArray &valueName,
                                       quint32 *type, char *data, quint32 *size)
{
    const auto open = m_open.constFind(key);
    if (open == m_open.constEnd())
        return RegistryStatus::InvalidHandle;
    const QString name = QString::fromLocal8Bit(valueName);
    for (const Found &found : *open) {
        for (const Value &value : found.values) {
            if (value.name.compare(name, Qt::CaseInsensitive) != 0)
                continue;
            m_lastPrefix = found.prefix;
            // The ANSI call hands strings over in the 8-bit code page.
            const QByteArray bytes = isStringType(value.type)
                ? QString::fromUtf16(reinterpret_cast<const char16_t *>(value.data.constData()),
                                     value.data.size() / 2)
                      .toLocal8Bit()
                : value.data;
            *type = value.type;
            const quint32 capacity = *size;
            *size = quint32(bytes.size());
            if (!data)
                return RegistryStatus::Success;
            if (capacity < quint32(bytes.size()))
                return RegistryStatus::MoreData;
            if (!bytes.isEmpty())
                std::memcpy(data, bytes.constData(), size_t(bytes.size()));
            return RegistryStatus::Success;
        }
    }
    return RegistryStatus::FileNotFound;
}

qint32 WineRegistryBackend::closeKey(RegistryHandle key)
{
    return m_open.remove(key) ? RegistryStatus::Success : RegistryStatus::InvalidHandle;
}

QString WineRegistryBackend::localPath(const QString &registryPath)
{
    if (m_prefixes.isEmpty())
        return {};
    return WinePathToLocal(m_prefixes.value(m_lastPrefix), registryPath);
}

QString WinePathToLocal(const QString &prefix, const QString &windowsPath)
{
    if (windowsPath.size() < 2 || windowsPath.at(1) != u':' || windowsPath.at(0).unicode() > 127
        || !windowsPath.at(0).isLetter())
        return {};
    const QString drive = windowsPath.left(2).toLower();
    QString base = QFileInfo(prefix + QStringLiteral("/dosdevices/") + drive).canonicalFilePath();
    if (base.isEmpty() && drive == u"c:")
        base = QFileInfo(prefix + QStringLiteral("/drive_c")).canonicalFilePath();
    if (base.isEmpty())
        return {};

    static const QRegularExpression separators(QStringLiteral("[\\\\/]"));
    QStringList rest = windowsPath.mid(2).split(separators);
    if (rest.first().isEmpty())
        rest.removeFirst();
    if (rest.isEmpty())
        return base;
    // Empty components are kept, so "C:\Games\JK2\" keeps its trailing separator.
    const QString joined = MatchPathCase(base, rest).join(u'/');
    return (base == u"/" ? QString() : base) + u'/' + joined;
}

QStringList MatchPathCase(const QString &folder, const QStringList &components)
{
    QStringList matched;
    QString current = folder;
    for (const QString &component : components) {
        QString name = component;
        if (!name.isEmpty() && name != u"." && name != u".."
            && !QFileInfo::exists(current + u'/' + name)) {
            const QStringList entries = QDir(current).entryList(
                QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
            for (const QString &entry : entries) {
                if (entry.compare(name, Qt::CaseInsensitive) == 0) {
                    name = entry;
                    break;
                }
            }
        }
        matched << name;
        if (!name.isEmpty())
            current += u'/' + name;
    }
    return matched;
}
