#pragma once

#include <QString>

// The rules of a name change, as the name-change window's controls show them and as the
// command line's options give them. Nothing here is saved: the controls keep
// their values only while the program runs.
struct NameChangeOptions {
    bool replaceCheck = false;
    QString replace1TextField;  // the text to find
    QString replace2TextField;  // what replaces it
    bool ignoreCaseCheck = false;

    bool prefixNumberCheck = false;  // running number at the very front
    bool prefixStringCheck = false;  // prefixTextField after that number
    QString prefixTextField;
    bool prefixNumber2Check = false;  // running number between the text and the name

    bool suffixNumberCheck = false;  // running number right after the name
    bool suffixStringCheck = false;  // suffixTextField after that number
    QString suffixTextField;
    bool suffixNumber2Check = false;  // running number at the very end

    bool removeSpacesCheck = false;
    bool removeNumbersCheck = false;
    bool caseCheck = false;
    bool lowerCase = false;   // the case to change to: upper case unless set
    bool foldersToo = false;  // rename folders as well as files
};

// Unchecks every rule and empties the four texts. The case and the files-or-folders
// choice stay as they are.
void clearChangeNames(NameChangeOptions& options);
