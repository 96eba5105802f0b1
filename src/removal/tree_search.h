#pragma once

#include <QList>
#include <vector>

#include "platform/path.h"
#include "platform/wildcard.h"

// One walk that answers several name searches of a folder at once, the way
// `find -x ROOT -maxdepth N -iname PATTERN -print` answers one: the root itself and
// every item at most maxDepth levels below it, in depth-first order with a folder
// before its contents and the names of each folder in byte order. Symbolic links are
// listed but never followed (a root that is a link is not entered), folders on another
// file system are listed but not entered, a missing root gives nothing. Each found path
// comes back as its bytes, whatever they are; names are matched as
// WildcardPattern::matchesUtf8 reads them.
struct TreeSearch {
    Path root;
    int maxDepth = 0;
    std::vector<WildcardPattern> namePatterns;
    // A folder that is neither listed nor entered (the Trash); empty for none.
    Path skippedFolder;
};

// For each name pattern, in order, the paths whose last component matches it.
std::vector<QList<Path>> searchTree(const TreeSearch& search);
