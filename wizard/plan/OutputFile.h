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
std::optional<std::string> replaceFileContents(const QString& path, std::string_view bytes);

// Writes the bytes to a stream and flushes it; the reason when the stream failed (standard
// output redirected to a full disk, or a closed pipe).
std::optional<std::string> writeToStream(std::ostream& out, std::string_view bytes);

} // namespace tavik
