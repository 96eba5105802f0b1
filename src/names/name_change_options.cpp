#include "names/name_change_options.h"

void clearChangeNames(NameChangeOptions& options) {
    const int upperLower = options.upperLower;
    const int filesFolders = options.filesFolders;
    options = NameChangeOptions();
    options.upperLower = upperLower;
    options.filesFolders = filesFolders;
}
