#pragma once

#include <functional>
#include <optional>
#include <string>

class QPrinter;

namespace tavik {

// Runs a print job. On a printer that writes a file (a PDF chosen in the print dialog) the
// job goes to a temporary file beside the chosen one first, and the chosen file is replaced
// only when the whole document was written (a full disk, a folder that cannot be written
// leave an existing file as it was). `print` returns false when it could not begin. The
// message for the user when the job failed; none when it went well.
std::optional<std::string> printChecked(QPrinter& printer, const std::function<bool()>& print);

} // namespace tavik
