#include "settings/settings.h"

std::optional<Category> categoryAt(int row) {
    if (row < 1 || row > Settings::categoryCount) return std::nullopt;
    return Category(row);
}

QString categoryKey(Category category) {
    static const char* const keys[] = {"audio",  "compressed", "data", "image",
                                       "layout", "video",      "web",  "words"};
    return QString::fromLatin1(keys[int(category) - 1]);
}

void ScheduleDays::setEveryDay(bool on) {
    everyDay = on;
    weekdays.fill(on);
}

void ScheduleDays::setWeekday(int day, bool on) {
    weekdays.at(day) = on;
    everyDay = false;
}

void Schedule::setTimeOfDay(QTime timeOfDay) { time = QDateTime(time.date(), timeOfDay); }

void Settings::addType(Category category, const QString& entry) {
    QStringList& list = types(category);
    list.append(entry);
    sortTypeList(list);
}

void sortTypeList(QStringList& list) {
    std::stable_sort(list.begin(), list.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
}
