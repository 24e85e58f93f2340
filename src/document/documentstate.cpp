#include "document/documentstate.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

namespace {
QString captionFor(const QString &title)
{
    return ProgramTitle + QStringLiteral(" - ") + title;
}
} // namespace

void DocumentState::TextChanged(bool textEmpty)
{
    Modified = true;
    if (FileTitle.isEmpty()) {
        FileTitle = UntitledName;
        Caption = captionFor(UntitledName) + QLatin1Char('*');
    } else {
        Caption = captionFor(FileTitle) + QLatin1Char('*');
    }
    if (textEmpty)
        Caption = captionFor(UntitledName);
}

void DocumentState::NewDocument()
{
    Caption = captionFor(UntitledName);
    Modified = false;
    FileTitle = UntitledName;
    FilePath.clear();
}

void DocumentState::Opened(const QString &path)
{
    FileTitle = QFileInfo(path).fileName();
    FilePath = path;
    Caption = captionFor(FileTitle);
}

void DocumentState::Saved(const QString &path)
{
    Opened(path);
    Modified = false;
}

bool DocumentState::TitleShowsChanges() const
{
    return Caption == captionFor(FileTitle) + QLatin1Char('*');
}

EditorSize EditorSizeForWindow(float outerWidth, float outerHeight)
{
    return {outerWidth - 100.0f, outerHeight - 680.0f};
}

QString QtFileFilter(const QString &pipeFilter)
{
    const QStringList parts = pipeFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        description.remove(QRegularExpression(QStringLiteral("\\s*\\([^)]*\\)$")));
        // "*.*" means every file, also those without an extension.
        QString pattern = parts[i + 1] == QStringLiteral("*.*") ? QStringLiteral("*") : parts[i + 1];
        pattern.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << description + QStringLiteral(" (") + pattern + QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}
