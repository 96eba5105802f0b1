#pragma once

#include <QString>

// The controls of the name-change window. The window binds its widgets to these fields
// and the command line sets them directly. Nothing here is saved: the controls keep
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
    int upperLower = 0;    // selected column: 0 upper case, any other lower case
    int filesFolders = 0;  // selected row: 0 files only, any other files and folders
};

// Unchecks every rule and empties the four texts. The case and the files-or-folders
// choice stay as they are.
void clearChangeNames(NameChangeOptions& options);

// The values a run copies from the controls once the user has confirmed it, so that the
// run works from one consistent set. Check boxes read 1 for on and 0 for off.
struct NameChangeState {
    int replaceState = 0;
    int ignoreCaseState = 0;
    int prefixNumberState = 0;
    int prefixStringState = 0;
    int prefixNumber2State = 0;
    int suffixNumberState = 0;
    int suffixStringState = 0;
    int suffixNumber2State = 0;
    int removeSpacesState = 0;
    int removeNumbersState = 0;
    int caseState = 0;
    int upperLowerState = 0;
    int filesFoldersState = 0;
    QString replace1String;  // copied only when Replace is on
    QString replace2String;

    // Copies every value from the controls; the replace texts only when Replace is on.
    void copyFrom(const NameChangeOptions& options);
};
