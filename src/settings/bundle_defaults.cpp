#include "settings/bundle_defaults.h"

#include "platform/property_list.h"

BundleDefaults BundleDefaults::fromResources() {
    BundleDefaults bundle;
    bundle.myDefaults = readPropertyListDictionary(QStringLiteral(":/mydefaults.plist"));
    bundle.myAppDirs = readPropertyListDictionary(QStringLiteral(":/appdirs.plist"));
    return bundle;
}
