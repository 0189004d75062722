#include "SheetAnswer.h"
#include "SheetRead.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>
#include <iostream>
#include <new>

namespace tavik {

namespace {

enum class Format { Xls, Xlsx, Ods, Unknown };

const char* formatName(Format format) {
    switch (format) {
    case Format::Xls:
        return "an Excel 97-2003 workbook (.xls)";
    case Format::Xlsx:
        return "an Excel workbook (.xlsx)";
    case Format::Ods:
        return "an OpenDocument spreadsheet (.ods)";
    case Format::Unknown:
        break;
    }
    return "a workbook";
}

const char* extensionOf(Format format) {
    return format == Format::Xls ? ".xls" : format == Format::Xlsx ? ".xlsx" : ".ods";
}

// The format a file's name says, by its ending in any case.
Format namedFormat(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || path.find('/', dot) != std::string::npos) {
        return Format::Unknown;
    }
    std::string ending = path.substr(dot);
    std::transform(ending.begin(), ending.end(), ending.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    });
    for (const Format format : {Format::Xls, Format::Xlsx, Format::Ods}) {
        if (ending == extensionOf(format)) {
            return format;
        }
    }
    return Format::Unknown;
}

// The whole file, at most kMaxWorkbookFileBytes of it; or why not.
std::optional<std::string> readWholeFile(const std::string& path, std::string& problem) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    const std::streamoff size = file ? static_cast<std::streamoff>(file.tellg()) : -1;
    if (size < 0) {
        problem = "the file does not exist or cannot be opened for reading";
        return std::nullopt;
    }
    if (static_cast<std::size_t>(size) > kMaxWorkbookFileBytes) {
        problem = "the file is larger than " +
                  std::to_string(kMaxWorkbookFileBytes / (1024 * 1024)) +
                  " MiB, far more than a crop table workbook";
        return std::nullopt;
    }
    std::string bytes(static_cast<std::size_t>(size), '\0');
    file.seekg(0);
    file.read(bytes.data(), static_cast<std::streamsize>(size));
    if (file.gcount() != size) {
        problem = "the file cannot be read in full";
        return std::nullopt;
    }
    return bytes;
}

// The format the content says, from its first bytes (a zip archive is looked into).
// `head` is the whole file.
Format contentFormat(std::string_view head, std::string& problem) {
    constexpr std::string_view compoundFile{"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8};
    if (head.substr(0, 8) == compoundFile) {
        return Format::Xls;
    }
    if (head.substr(0, 4) == std::string_view("PK\x03\x04", 4)) {
        const auto zip = zipFormatOf(head, problem);
        if (zip) {
            return *zip == ZipFormat::Xlsx ? Format::Xlsx : Format::Ods;
        }
    }
    return Format::Unknown;
}

} // namespace

SheetRead readWorkbookBytes(std::string_view bytes, const std::string& name) {
    SheetRead read;
    std::string problem;
    const Format named = namedFormat(name);
    const Format content = contentFormat(bytes, problem);
    if (content == Format::Unknown) {
        if (!problem.empty()) {
            read.problem = std::move(problem);
        } else if (named != Format::Unknown) {
            read.problem = std::string("it is not ") + formatName(named);
        } else {
            read.problem = "it is not a workbook: neither an Excel workbook (.xls or .xlsx) nor "
                           "an OpenDocument spreadsheet (.ods)";
        }
        return read;
    }
    if (named != Format::Unknown && named != content) {
        read.problem = std::string("its name says it is ") + formatName(named) + ", but it holds " +
                       formatName(content) + "; give it a name ending in " + extensionOf(content);
        return read;
    }
    if (content == Format::Xls) {
        return readXlsSheet(bytes);
    }
    return readZipSheet(bytes, content == Format::Xlsx ? ZipFormat::Xlsx : ZipFormat::Ods);
}

namespace {

SheetRead readSheet(const std::string& path) {
    std::string problem;
    const auto bytes = readWholeFile(path, problem);
    if (!bytes) {
        SheetRead read;
        read.problem = std::move(problem);
        return read;
    }
    return readWorkbookBytes(*bytes, path);
}

} // namespace

int runWorkbookCommand(const std::string& path) {
    try {
        SheetRead read = readSheet(path);
        if (!read.sheet) {
            std::cerr << "tavik workbook: \"" << path << "\": " << read.problem << '\n';
            return kExitWorkbookProblem;
        }
        if (!writeSheetAnswer(*read.sheet, std::cout)) {
            std::cerr << "tavik workbook: the answer could not be written\n";
            return kExitWorkbookProblem;
        }
        return 0;
    } catch (const std::bad_alloc&) {
        // The reader runs with a memory limit: a sheet that needs more is too large to be a
        // crop table, whatever it claims.
        std::cerr << "tavik workbook: \"" << path << "\": " << kTooLargeProblem << '\n';
        return kExitWorkbookProblem;
    }
}

} // namespace tavik
