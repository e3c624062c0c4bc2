#include "ui/StatusClock.h"

#include <QList>

namespace tarvelin::ui {

namespace {

// A format split into runs of one repeated pattern letter, quoted literals and other literals.
struct FormatRun {
    QString text;
    bool field = false;  // a run of one pattern letter
};

QList<FormatRun> splitFormat(const QString& format)
{
    QList<FormatRun> runs;
    qsizetype i = 0;
    while (i < format.size()) {
        const QChar c = format[i];
        qsizetype end = i + 1;
        bool field = false;
        if (c == u'\'') {
            while (end < format.size() && format[end] != u'\'') ++end;
            end = qMin(end + 1, format.size());
        } else if (c.isLetter()) {
            while (end < format.size() && format[end] == c) ++end;
            field = true;
        }
        runs.append({format.mid(i, end - i), field});
        i = end;
    }
    return runs;
}

QString joinRuns(const QList<FormatRun>& runs)
{
    QString format;
    for (const FormatRun& run : runs) format += run.text;
    return format;
}

}  // namespace

QString statusDateFormat(const QLocale& locale)
{
    QList<FormatRun> runs = splitFormat(locale.dateFormat(QLocale::ShortFormat));
    for (FormatRun& run : runs) {
        if (run.field && run.text == u"yy") run.text = QStringLiteral("yyyy");
    }
    return joinRuns(runs);
}

QString statusTimeFormat(const QLocale& locale)
{
    QList<FormatRun> runs = splitFormat(locale.timeFormat(QLocale::LongFormat));
    QList<FormatRun> kept;
    for (const FormatRun& run : runs) {
        if (run.field && run.text.front() == u't') continue;
        kept.append(run);
    }
    return joinRuns(kept).trimmed();
}

QString statusDateText(const QLocale& locale, QDate date)
{
    return locale.toString(date, statusDateFormat(locale));
}

QString statusTimeText(const QLocale& locale, QTime time)
{
    return locale.toString(time, statusTimeFormat(locale));
}

}  // namespace tarvelin::ui
