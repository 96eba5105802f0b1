#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

#include "settings/settings.h"

// The text that marks the program's own crontab lines.
inline constexpr char crontabMarker[] = "Desktidy.app";

// The command field of the entry: the executable, escaped for the shell and for cron,
// the argument 1, output dropped, and a line break. When configHome is not empty the
// job is given that settings folder, so it reads the file this session reads; when
// stateHome is not empty, that state folder, so its run is kept in the history this
// session lists and undoes. Returns nullopt for a path cron cannot carry (a line break).
std::optional<QString> buildDktCommand(const QString& executable, const QString& configHome = {},
                                       const QString& stateHome = {});

// A backslash before every character the shell treats specially, and before "%", which
// cron would turn into a line break.
QString escapeForCrontab(const QString& text);

// One crontab line: six tab-separated fields, the last being dktCommand (which carries
// the line break).
QByteArray crontabEntry(const Schedule& schedule, const QString& dktCommand);

// The listing with every line holding the marker taken out, byte for byte otherwise,
// and entry (when given) appended on a line of its own.
QByteArray replaceProgramLines(const QByteArray& listing, const std::optional<QByteArray>& entry);

// The program's lines of a listing.
QList<QByteArray> programLines(const QByteArray& listing);
