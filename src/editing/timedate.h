#pragma once
// The text that Edit > Time / Date inserts.

#include <QDate>
#include <QLocale>
#include <QString>
#include <QTime>

// Time with seconds, a blank, the short date with a four-digit year, and a trailing blank,
// all in the locale's formats: "3:45:12 PM 12/5/2026 " for en_US.
QString TimeDateText(const QTime &time, const QDate &date, const QLocale &locale);

// The locale's time format with seconds and without a time zone ("h:mm:ss AP" for en_US).
QString TimeWithSecondsFormat(const QLocale &locale);
// The locale's short date format with any two-digit year widened to four digits.
QString ShortDateFormat(const QLocale &locale);
