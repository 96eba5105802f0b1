#pragma once

#include <QString>

// An application as the removal sees it: a "*.app" bundle (its identifier read from
// Contents/Info.plist, XML or binary) or an AppImage file ("*.AppImage", without an
// identifier). Both suffixes are matched without regard to case.
bool isApplicationBundle(const QString& path);
bool isAppImage(const QString& path);
bool isApplication(const QString& path);

// The name searched for: the file name without its final ".app" or ".AppImage".
// Empty for anything that is not an application.
QString applicationName(const QString& path);

// The bundle's "CFBundleIdentifier"; empty when the bundle has none, its property list
// cannot be read, or path is no bundle. "Contents/Info.plist" is found whatever the
// case of its letters.
QString bundleIdentifier(const QString& bundlePath);
