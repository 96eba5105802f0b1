#include "names/name_change_options.h"

void clearChangeNames(NameChangeOptions& options) {
    const int upperLower = options.upperLower;
    const int filesFolders = options.filesFolders;
    options = NameChangeOptions();
    options.upperLower = upperLower;
    options.filesFolders = filesFolders;
}

void NameChangeState::copyFrom(const NameChangeOptions& options) {
    replaceState = options.replaceCheck;
    ignoreCaseState = options.ignoreCaseCheck;
    prefixNumberState = options.prefixNumberCheck;
    prefixStringState = options.prefixStringCheck;
    prefixNumber2State = options.prefixNumber2Check;
    suffixNumberState = options.suffixNumberCheck;
    suffixStringState = options.suffixStringCheck;
    suffixNumber2State = options.suffixNumber2Check;
    removeSpacesState = options.removeSpacesCheck;
    removeNumbersState = options.removeNumbersCheck;
    caseState = options.caseCheck;
    upperLowerState = options.upperLower;
    filesFoldersState = options.filesFolders;
    if (replaceState) {
        replace1String = options.replace1TextField;
        replace2String = options.replace2TextField;
    }
}
