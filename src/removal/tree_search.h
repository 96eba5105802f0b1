#pragma once

#include <QList>
#include <QString>
#include <atomic>
#include <string>
#include <string_view>
#include <vector>

#include "platform/path.h"

// A test of a name as the file system gives it (its bytes, read as UTF-8, a byte that is
// no part of a character read as U+FFFD): whether it holds text, or is text, ignoring
// case. The text is taken as it stands: "*", "?" and "[" are characters like any other.
class NameMatcher {
  public:
    NameMatcher(const QString& text, bool wholeName);
    bool matchesUtf8(std::string_view name) const;

  private:
    QString folded_;         // the text, case folded
    std::string asciiText_;  // the same in lower case, when it is all ASCII
    bool wholeName_;
};

// One walk that answers several name searches of a folder at once, the way
// `find -x ROOT -maxdepth N -iname PATTERN -print` answers one: the root itself and
// every item at most maxDepth levels below it, in depth-first order with a folder
// before its contents and the names of each folder in byte order. Symbolic links are
// listed but never followed (a root that is a link is not entered), folders on another
// file system are listed but not entered, a missing root gives nothing. Each found path
// comes back as its bytes, whatever they are.
struct TreeSearch {
    Path root;
    int maxDepth = 0;
    std::vector<NameMatcher> names;
    // A folder that is neither listed nor entered (the Trash); empty for none.
    Path skippedFolder;
    // When set, the walk stops at the next entry; what was found so far comes back.
    const std::atomic_bool* cancel = nullptr;
};

// For each name test, in order, the paths whose last component passes it.
std::vector<QList<Path>> searchTree(const TreeSearch& search);
