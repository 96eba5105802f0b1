#pragma once

#include <QString>
#include <atomic>

#include "platform/path.h"

// An application as the removal sees it: a "*.app" bundle (its identifier read from
// Contents/Info.plist, XML or binary) or an AppImage file ("*.AppImage", without an
// identifier). Both suffixes are matched without regard to case.
bool isApplicationBundle(const Path& path);
bool isAppImage(const Path& path);
bool isApplication(const Path& path);

// The name searched for: the file name without its final ".app" or ".AppImage", as text
// for the search's patterns (bytes that are not UTF-8 read as U+FFFD there). Empty for
// anything that is not an application.
QString applicationName(const Path& path);

// The bundle's "CFBundleIdentifier"; empty when the bundle has none, its property list
// cannot be read, or path is no bundle. "Contents/Info.plist" is found whatever the
// case of its letters. A set cancel stops the read (no identifier).
QString bundleIdentifier(const Path& bundlePath, const std::atomic_bool* cancel = nullptr);
