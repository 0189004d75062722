#pragma once

#include <QString>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

namespace tavik {

// Replaces a file with the given bytes, all or nothing: the bytes go to a temporary file
// beside it, which is flushed and synced to the disk and checked at every step before it
// takes the file's place. On any failure (a full disk, a folder that cannot be written)
// the existing file is left byte for byte as it was and the reason is returned. A target
// that exists but is no regular file (a folder, a device, a pipe) is refused untouched.
//
// Deferred leaves out the sync to the disk, for a run that writes many files and then syncs
// them together (syncFolderToDisk): each file still takes its place whole or not at all.
enum class Durability { Synced, Deferred };
std::optional<std::string> replaceFileContents(const QString& path, std::string_view bytes,
                                               Durability durability = Durability::Synced);

// A file of a folder that takes its place whole: its bytes go to a new file beside it, which
// is then renamed onto its name. The rename replaces the entry of that name itself: a
// symbolic link there is replaced, never followed, so nothing is written outside the folder
// (which QSaveFile, following links, would do). A folder, device, pipe or socket of that name
// is refused untouched. Paths are taken by their exact bytes (FileNames.h).
class FileInFolder {
public:
    explicit FileInFolder(QString path);
    ~FileInFolder(); // what was not committed is removed
    FileInFolder(const FileInFolder&) = delete;
    FileInFolder& operator=(const FileInFolder&) = delete;

    // Each returns the reason when it failed (the file then takes no place).
    std::optional<std::string> open();
    std::optional<std::string> write(std::string_view bytes);
    std::optional<std::string> commit(Durability durability);

private:
    std::optional<std::string> flushBuffer();
    void discard();
    std::string target_;    // bytes
    std::string temporary_; // bytes; empty when there is none
    int handle_ = -1;
    std::string buffer_;
};

// One whole file into a folder, as FileInFolder writes it.
std::optional<std::string> replaceFileInFolder(const QString& path, std::string_view bytes,
                                               Durability durability);

// Writes what the file system of a folder holds in memory to the disk; the reason when that
// failed.
std::optional<std::string> syncFolderToDisk(const QString& folder);

// Writes the bytes to a stream and flushes it; the reason when the stream failed (standard
// output redirected to a full disk, or a closed pipe).
std::optional<std::string> writeToStream(std::ostream& out, std::string_view bytes);

} // namespace tavik
