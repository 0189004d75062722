#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace tavik {

// File names as the system holds them are bytes; most are UTF-8 text, but not all (a name
// copied from an old disk, say). A name read from the command line or a folder keeps each
// byte that is not part of a UTF-8 sequence as a lone surrogate U+DC80..U+DCFF, which no
// decoded name can hold: such a name is known to be undecodable, is opened by its exact
// bytes, and is shown with those bytes escaped ("\xFF").
QString fileNameFromBytes(std::string_view bytes);

// The exact bytes of a name made by fileNameFromBytes (UTF-8 for any other name).
std::string fileNameBytes(const QString& name);

// Whether a name holds bytes that are not UTF-8 text.
bool hasUndecodableBytes(const QString& name);

// A path fit for a message: control characters and undecodable bytes escaped, and a path
// longer than kMaxShownPathLength characters cut at its start ("…" then its end, which
// names the file).
inline constexpr std::size_t kMaxShownPathLength = 240;
std::string shownPath(const QString& path);

} // namespace tavik
