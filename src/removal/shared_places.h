#pragma once

#include <QStringList>

#include "platform/path.h"

// The places in the home that belong to the desktop or to many programs (keyrings, dconf,
// fonts, launchers and MIME associations, autostart, systemd units, the Trash, icon and
// theme folders, toolkit settings...). Each is a path below the home in which "*"
// stands for any run of characters within one name; the list is shipped with the
// program and printed in the README.
extern const QStringList sharedPlaces;

// Whether path is one of the shared places below home, or lies inside one, comparing
// names without regard to case.
bool isInSharedPlace(const Path& path, const Path& home);
