#include "names/name_change_options.h"

void clearChangeNames(NameChangeOptions& options) {
    const bool lowerCase = options.lowerCase;
    const bool foldersToo = options.foldersToo;
    options = NameChangeOptions();
    options.lowerCase = lowerCase;
    options.foldersToo = foldersToo;
}
