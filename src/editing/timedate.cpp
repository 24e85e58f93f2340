#include "editing/timedate.h"

namespace {

// Splits a Qt date/time format into literal runs ('quoted') and pattern runs, so that
// edits never touch quoted text such as the 'ч' of Bulgarian times.
template <typename Edit>
QString EditPatternRuns(const QString &format, Edit edit)
{
    QString result;
    QString pattern;
    qsizetype i = 0;
    while (i < format.size()) {
        if (format[i] != QLatin1Char('\'')) {
            pattern += format[i++];
            continue;
        }
        result += edit(pattern);
        pattern.clear();
        const qsizetype close = format.indexOf(QLatin1Char('\''), i + 1);
        const qsizetype end = close < 0 ? format.size() : close + 1;
        result += format.mid(i, end - i);
        i = end;
    }
    return result + edit(pattern);
}

} // namespace

QString TimeWithSecondsFormat(const QLocale &locale)
{
    // The long format is the locale's own time with seconds; only its zone goes.
    const QString format = EditPatternRuns(locale.timeFormat(QLocale::LongFormat), [](const QString &run) {
        QString out;
        for (qsizetype i = 0; i < run.size();) {
            if (run[i] != QLatin1Char('t')) {
                out += run[i++];
                continue;
            }
            while (i < run.size() && run[i] == QLatin1Char('t'))
                ++i;
            // "(t)" goes with its brackets; the blanks around the zone go too.
            if (out.endsWith(QLatin1Char('(')) && i < run.size() && run[i] == QLatin1Char(')')) {
                out.chop(1);
                ++i;
            }
            while (!out.isEmpty() && out.back().isSpace())
                out.chop(1);
            if (out.isEmpty())
                while (i < run.size() && run[i].isSpace())
                    ++i;
        }
        return out;
    });
    return format.trimmed();
}

QString ShortDateFormat(const QLocale &locale)
{
    return EditPatternRuns(locale.dateFormat(QLocale::ShortFormat), [](const QString &run) {
        QString out;
        for (qsizetype i = 0; i < run.size();) {
            if (run[i] != QLatin1Char('y')) {
                out += run[i++];
                continue;
            }
            qsizetype n = 0;
            while (i < run.size() && run[i] == QLatin1Char('y')) {
                ++i;
                ++n;
            }
            out += QString(n == 2 ? 4 : n, QLatin1Char('y'));
        }
        return out;
    });
}

QString TimeDateText(const QTime &time, const QDate &date, const QLocale &locale)
{
    return locale.toString(time, TimeWithSecondsFormat(locale)) + QLatin1Char(' ') +
           locale.toString(date, ShortDateFormat(locale)) + QLatin1Char(' ');
}
