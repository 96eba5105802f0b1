#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "platform/wildcard.h"

// One walk that answers several name searches of a folder at once, the way
// `find -x ROOT -maxdepth N -iname PATTERN -print` answers one: the root itself and
// every item at most maxDepth levels below it, in depth-first order with a folder
// before its contents and the names of each folder in byte order. Symbolic links are
// listed but never followed (a root that is a link is not entered), folders on another
// file system are listed but not entered, a missing root gives nothing. Each found path
// comes back whole, whatever bytes its name holds; a name that this program could not
// address again (bytes that are not UTF-8) is left out.
struct TreeSearch {
    QString root;
    int maxDepth = 0;
    std::vector<WildcardPattern> namePatterns;
    // A folder that is neither listed nor entered (the Trash); empty for none.
    QString skippedFolder;
};

// For each name pattern, in order, the paths whose last component matches it.
std::vector<QStringList> searchTree(const TreeSearch& search);
