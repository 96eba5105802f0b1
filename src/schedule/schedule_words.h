#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// A crontab entry of the program said in words, "Files your listed folders every day at
// 09:00", "... on Sundays and Wednesdays at 14:30", "... every 3 hours, on the 15th of
// every month"; nullopt for a line whose times are not the kind the program writes (one
// edited by hand).
std::optional<QString> describeCrontabEntry(const QByteArray& line);
