#include "settings/bundle_defaults.h"

#include "platform/property_list.h"

BundleDefaults BundleDefaults::fromResources() {
    BundleDefaults bundle;
    bundle.myDefaults = readPropertyListDictionary(Path(":/mydefaults.plist"));
    bundle.myAppDirs = readPropertyListDictionary(Path(":/appdirs.plist"));
    return bundle;
}
