#pragma once

#include <QVariantMap>

// The property lists compiled into the program: "mydefaults" (folder names and default
// type lists) and "appdirs" (folders searched for an application's related files).
struct BundleDefaults {
    QVariantMap myDefaults;
    QVariantMap myAppDirs;

    static BundleDefaults fromResources();
};
