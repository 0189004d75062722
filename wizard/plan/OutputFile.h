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

// Writes what the file system of a folder holds in memory to the disk; the reason when that
// failed.
std::optional<std::string> syncFolderToDisk(const QString& folder);

// Writes the bytes to a stream and flushes it; the reason when the stream failed (standard
// output redirected to a full disk, or a closed pipe).
std::optional<std::string> writeToStream(std::ostream& out, std::string_view bytes);

} // namespace tavik
