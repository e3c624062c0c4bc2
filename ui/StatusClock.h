// The texts of the status bar's date and time panels.
//
// The date uses the locale's short date format with the year written in full (German: 09.12.2024),
// the time the locale's long time format without a time-zone name (German: 14:05:09), as a
// desktop's regional settings show them. Pure functions of a locale and a clock reading; the
// tick handler reads the clock and writes the panels.
#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <QTime>

namespace tarvelin::ui {

// The locale's short date format with a two-digit year widened to four digits.
QString statusDateFormat(const QLocale& locale);
// The locale's long time format without its time-zone field.
QString statusTimeFormat(const QLocale& locale);

QString statusDateText(const QLocale& locale, QDate date);
QString statusTimeText(const QLocale& locale, QTime time);

}  // namespace tarvelin::ui
