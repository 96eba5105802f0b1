#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <array>
#include <functional>
#include <optional>

// The eight categories items are filed into. Folder name k of Settings::folderNames is
// the folder of category k; name 0 is the archive folder.
enum class Category { Audio = 1, Compressed, Data, Image, Layout, Video, Web, Words };

inline constexpr std::array<Category, 8> allCategories = {
    Category::Audio,  Category::Compressed, Category::Data, Category::Image,
    Category::Layout, Category::Video,      Category::Web,  Category::Words};

// The category of a row of the category table: rows 1 to 8; none for the archive row.
std::optional<Category> categoryAt(int row);
// A category's settings key, which the command line also takes: "audio" ... "words".
QString categoryKey(Category category);

// A row of the pack or unpack list: the item copied and the folder it is copied into.
struct PackRow {
    QString source;
    QString destination;
    friend bool operator==(const PackRow&, const PackRow&) = default;
};

// The titles of the archive-date pop-ups: "None", or the number as the pop-up shows it.
struct ArchiveDate {
    QString month = QStringLiteral("None");
    QString day = QStringLiteral("None");
    QString year = QStringLiteral("None");
    friend bool operator==(const ArchiveDate&, const ArchiveDate&) = default;
};

// The days of a weekly schedule: the every-day box and the seven weekday boxes.
struct ScheduleDays {
    bool everyDay = true;
    std::array<bool, 7> weekdays{};  // Sunday to Saturday

    // The weekday boxes follow the every-day box.
    void setEveryDay(bool on);
    // A weekday box changed by hand turns the every-day box off.
    void setWeekday(int day, bool on);
    friend bool operator==(const ScheduleDays&, const ScheduleDays&) = default;
};

// When the unattended run files the folder list.
struct Schedule {
    // The time of day. Its date and UTC offset are those it was stored with, so that an
    // unchanged time is written back exactly as it was read.
    QDateTime time = QDateTime(QDate(2000, 1, 1), QTime(9, 0));
    bool everyNHours = false;  // every hoursStep hours instead of at the time of day
    int hoursStep = 2;
    bool byWeekdays = true;  // else by month
    ScheduleDays days;
    int month = 0;     // 0 for every month, else 1 to 12
    int monthDay = 0;  // 0 for every day, else 1 to 31

    QTime timeOfDay() const { return time.time(); }
    // A new time of day, kept in the local time zone.
    void setTimeOfDay(QTime timeOfDay);
    friend bool operator==(const Schedule&, const Schedule&) = default;
};

// Every setting the program keeps, as the Setup panel, the window and the command line
// edit it. The store reads and writes it as a whole (settings_store.h).
struct Settings {
    static constexpr int categoryCount = 8;

    QStringList folderNames;    // the archive folder, then the folder of each category
    QStringList listedFolders;  // the folders filed in one go
    QList<PackRow> packRows;
    QList<PackRow> unpackRows;
    ArchiveDate archiveDate;
    QString workingFolder;  // the folder the main window files
    bool checkForUpdates = false;
    Schedule schedule;
    bool packOverwrite = false;  // replace an existing copy without asking
    bool unpackOverwrite = false;
    // How long a new item must stay unchanged before the watch files it, in seconds.
    static constexpr double defaultWatchSettle = 5.0;
    double watchSettle = defaultWatchSettle;

    QStringList& types(Category category) { return typeLists_[int(category) - 1]; }
    const QStringList& types(Category category) const { return typeLists_[int(category) - 1]; }
    // Adds a type entry to a category, keeping the list in the order the panel shows.
    void addType(Category category, const QString& entry);

    friend bool operator==(const Settings&, const Settings&) = default;

  private:
    std::array<QStringList, categoryCount> typeLists_;  // category k at k - 1
};

// Sorts a type list as the Setup panel shows it: case-insensitively, ties kept in order.
void sortTypeList(QStringList& list);

// Removes the entries at rows (any order; duplicates and rows out of range are ignored).
template <typename T>
void removeRows(QList<T>& list, QList<int> rows) {
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (int row : rows)
        if (row >= 0 && row < list.size()) list.removeAt(row);
}
