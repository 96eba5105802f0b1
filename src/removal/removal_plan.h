#pragma once

#include <QDateTime>
#include <QList>

#include "platform/path.h"

class FileSystem;

struct PlannedMove {
    Path source;
    Path destination;
};

// The destinations in folder for sources, all chosen before anything moves, so that no
// two items of one run share one and none lands on an item already there. An item keeps
// its name while it is free; a taken name gets the time "-HH-MM-SS" before its
// extension (Foo.plist becomes Foo-14-05-09.plist), and a suffixed name that is taken
// too a further counter (Foo-14-05-09-2.plist).
QList<PlannedMove> planMoves(const QList<Path>& sources, const Path& folder, const QDateTime& time,
                             FileSystem& files);
