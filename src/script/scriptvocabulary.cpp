#include "script/scriptvocabulary.h"

#include <QFile>

#include <algorithm>

namespace {

QString keyOf(VocabKind kind, const QString &name)
{
    return QString::number(int(kind)) + name.toLower();
}

bool parseKind(const QByteArray &text, VocabKind &kind)
{
    static const std::pair<const char *, VocabKind> kinds[] = {
        {"cmd", VocabKind::Command}, {"button", VocabKind::Button}, {"cvar", VocabKind::Cvar},
        {"var", VocabKind::SetOnlyCvar}, {"key", VocabKind::Key}};
    for (const auto &[word, value] : kinds) {
        if (text == word) {
            kind = value;
            return true;
        }
    }
    return false;
}

} // namespace

ScriptVocabulary ScriptVocabulary::fromTsv(const QByteArray &data)
{
    ScriptVocabulary vocabulary;
    for (const QByteArray &line : data.split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        VocabEntry entry;
        if (fields.size() < 3 || fields[1].isEmpty() || !parseKind(fields[0], entry.kind))
            continue;
        entry.name = QString::fromLatin1(fields[1]);
        entry.inOriginal = fields[2].contains('o');
        entry.inContinuation = fields[2].contains('c');
        if (fields.size() > 3)
            entry.defaultValue = QString::fromLatin1(fields[3]);
        if (fields.size() > 4)
            entry.continuationDefault = QString::fromLatin1(fields[4]);
        if (fields.size() > 5)
            entry.flags = QString::fromLatin1(fields[5]).trimmed();
        vocabulary.entries_.insert(keyOf(entry.kind, entry.name), entry);
    }
    return vocabulary;
}

ScriptVocabulary ScriptVocabulary::load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return fromTsv(file.readAll());
}

const VocabEntry *ScriptVocabulary::find(VocabKind kind, const QString &name) const
{
    const auto it = entries_.constFind(keyOf(kind, name));
    return it == entries_.cend() ? nullptr : &it.value();
}

bool ScriptVocabulary::isConsoleWord(const QString &word, ScriptEngine engine) const
{
    const bool button = word.startsWith(u'+') || word.startsWith(u'-');
    return isCommand(word, engine) || (!button && isCvar(word, engine));
}

bool ScriptVocabulary::isCommand(const QString &word, ScriptEngine engine) const
{
    const bool button = word.startsWith(u'+') || word.startsWith(u'-');
    const VocabEntry *entry = button ? find(VocabKind::Button, u'+' + word.mid(1)) : find(VocabKind::Command, word);
    return entry && entry->availableIn(engine);
}

bool ScriptVocabulary::isCvar(const QString &name, ScriptEngine engine) const
{
    for (VocabKind kind : {VocabKind::Cvar, VocabKind::SetOnlyCvar}) {
        const VocabEntry *entry = find(kind, name);
        if (entry && entry->availableIn(engine))
            return true;
    }
    return false;
}

bool ScriptVocabulary::isNamedKey(const QString &name, ScriptEngine engine) const
{
    const VocabEntry *entry = find(VocabKind::Key, name);
    return entry && entry->availableIn(engine);
}

QStringList ScriptVocabulary::names(VocabKind kind, ScriptEngine engine) const
{
    QStringList result;
    for (const VocabEntry &entry : entries_) {
        if (entry.kind == kind && entry.availableIn(engine))
            result << entry.name;
    }
    std::sort(result.begin(), result.end(),
              [](const QString &a, const QString &b) { return QString::compare(a, b, Qt::CaseInsensitive) < 0; });
    return result;
}
