#pragma once

#include <cstdint>
#include <optional>

#include "platform/file_error.h"
#include "platform/name_list.h"
#include "platform/path.h"
#include "platform/tree_removal.h"

// What lstat says of an item; links are never followed.
struct FileStatus {
    enum class Kind { File, Directory, Symlink, Other };
    Kind kind = Kind::Other;
    std::int64_t size = 0;
    std::int64_t blocks = 0;  // 512-byte blocks in use
    std::int64_t mtimeSeconds = 0;
    std::int64_t mtimeNanoseconds = 0;
    std::uint32_t mode = 0;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t links = 0;
    bool mountRoot = false;  // the top of a mounted file system, a bind mount included
    // When the item was made (statx's birth time), where the file system keeps it: a new
    // item that was given the inode number of one removed is born later than that one.
    bool birthKnown = false;
    std::int64_t birthSeconds = 0;
    std::int64_t birthNanoseconds = 0;

    bool isDirectory() const { return kind == Kind::Directory; }
    bool isSymlink() const { return kind == Kind::Symlink; }
};

// Every file operation the subsystems make goes through this narrow interface, so tests
// can make a move fail or a disk fill up, which root cannot provoke with permissions.
// Paths and names are bytes, passed to the system as they are. None of these operations
// ever replaces an existing item.
class FileSystem {
  public:
    virtual ~FileSystem() = default;

    // Every entry of a folder, hidden ones too, sorted by bytes, each with whether it is a
    // real folder (a link to one is not). A folder that cannot be read is an error, so
    // that neither a copy nor a removal ever passes one off as empty.
    virtual FileError readFolder(const Path& folder, NameList& names) = 0;
    // The same for a listing to show or act on: hidden names (leading ".") only on
    // request, and an unreadable or missing folder lists as empty.
    NameList listNames(const Path& folder, bool includeHidden);

    // lstat: nullopt when the item does not exist or cannot be examined.
    virtual std::optional<FileStatus> status(const Path& path) = 0;
    bool exists(const Path& path) { return status(path).has_value(); }
    bool isDirectory(const Path& path);  // a real folder, not a link to one

    // Moves from to to; fails with EEXIST when to is taken, on every file system.
    virtual FileError moveNoReplace(const Path& from, const Path& to) = 0;
    virtual FileError makeDirectory(const Path& path) = 0;
    // Removes an empty folder only.
    virtual FileError removeEmptyDirectory(const Path& path) = 0;
    // Removes an item and, for a folder, everything in it; links are removed, not followed.
    // Never crosses into another file system: a folder below that is on another device or
    // is a mount point is neither entered nor removed, the rest goes, and the removal
    // fails with EXDEV naming that folder (as rm --one-file-system). The error names the
    // first entry left with its reason, and how many more there are.
    virtual FileError removeAll(const Path& path) = 0;

    // --- Small files (a Trash record) ---
    // Reads a regular file (never through a link) of at most limit bytes: EFBIG for a
    // longer one, EINVAL for anything but a file.
    virtual FileError readSmallFile(const Path& path, QByteArray& contents, qsizetype limit) = 0;
    // Makes a new file holding contents; fails with EEXIST, replacing nothing, when the name
    // is taken. A file that could not be written whole is removed again.
    virtual FileError writeNewFile(const Path& path, const QByteArray& contents) = 0;
    // Removes a file (a link as a link); never a folder.
    virtual FileError removeFile(const Path& path) = 0;

    // Moves from to the free path to on another file system, where moveNoReplace fails with
    // EXDEV: by copy, then removal of the old item, as moveByCopy (platform/move_across.h)
    // makes it. Never a tool, never into a mount inside the item.
    virtual FileError moveAcrossFileSystems(const Path& from, const Path& to);

    // --- Copying (the pack copy; platform/copy_tree.h builds whole copies from these) ---
    // Makes a copy of one item that is not a folder at to, which must not exist: a file
    // with its contents, a link as a link to the same target (never followed), a special
    // file as a new node. The copy keeps the permissions and the modification time.
    virtual FileError copyEntry(const Path& from, const Path& to) = 0;
    // Gives to the permissions and times of from; for a link, the times only. Used to
    // finish a copied folder once everything is in it.
    virtual FileError copyAttributes(const Path& from, const Path& to) = 0;
    // Swaps two existing items in one step (renameat2 RENAME_EXCHANGE), so that neither
    // name is ever missing. EINVAL where the file system cannot do it.
    virtual FileError exchange(const Path& first, const Path& second) = 0;
};

// The real thing, over POSIX calls. Each change it makes to the disk is counted
// (platform/disk_changes.h).
class LocalFileSystem : public FileSystem {
  public:
    // The system calls of the no-replace move. A test swaps them to take the path that
    // file systems without RENAME_NOREPLACE need, which no test machine's disk takes.
    struct MoveCalls {
        int (*renameNoReplace)(const char* from, const char* to);
        int (*link)(const char* from, const char* to);
        int (*unlink)(const char* path);
    };
    static MoveCalls systemMoveCalls();
    MoveCalls moveCalls = systemMoveCalls();
    // What removeAll calls on its way through a tree (see removeTree).
    TreeRemovalHooks removalHooks;

    FileError readFolder(const Path& folder, NameList& names) override;
    std::optional<FileStatus> status(const Path& path) override;
    FileError moveNoReplace(const Path& from, const Path& to) override;
    FileError makeDirectory(const Path& path) override;
    FileError removeEmptyDirectory(const Path& path) override;
    FileError removeAll(const Path& path) override;
    // In small_files.cpp.
    FileError readSmallFile(const Path& path, QByteArray& contents, qsizetype limit) override;
    FileError writeNewFile(const Path& path, const QByteArray& contents) override;
    FileError removeFile(const Path& path) override;
    // In file_copy.cpp.
    FileError copyEntry(const Path& from, const Path& to) override;
    FileError copyAttributes(const Path& from, const Path& to) override;
    FileError exchange(const Path& first, const Path& second) override;
};

// The error of a removal or replacement that met another file system at mountPoint.
FileError otherFileSystemAt(const Path& mountPoint);
// Checks that nothing in the folder (the folder included) is another file system:
// otherFileSystemAt for the first folder that is, a read error for a folder that cannot be
// read, else ok. Run before an operation that must not start unless it can finish.
FileError checkOneFileSystem(FileSystem& files, const Path& folder);
// The path with every link in it resolved (realpath); empty when it does not exist.
Path canonicalPath(const Path& path);
