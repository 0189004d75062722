#include "SheetRead.h"
#include "state/Utf8.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace tavik {

namespace {

// An .xls file is a compound file: a little file system of fixed-size sectors, chained by a
// sector allocation table (the FAT), holding a directory of streams. The workbook itself is one
// stream of BIFF records. Everything below reads that structure from untrusted bytes: every
// offset and length is checked before use and every chain is walked at most once per sector.

constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::size_t kHeaderDifatEntries = 109;
constexpr std::size_t kDirectoryEntrySize = 128;
constexpr std::size_t kMiniSectorSize = 64;
constexpr std::uint64_t kMiniStreamCutoff = 4096;

constexpr std::uint16_t kBof = 0x0809;
constexpr std::uint16_t kEof = 0x000A;
constexpr std::uint16_t kFilePass = 0x002F;
constexpr std::uint16_t kBoundSheet = 0x0085;
constexpr std::uint16_t kFormula = 0x0006;
constexpr std::uint16_t kString = 0x0207;
constexpr std::uint16_t kContinue = 0x003C;
constexpr std::uint16_t kSharedFormula = 0x04BC;
constexpr std::uint16_t kArray = 0x0221;
constexpr std::uint16_t kTable = 0x0236;
constexpr std::uint16_t kDimensions = 0x0200;
constexpr std::uint16_t kSharedTexts = 0x00FC; // SST
constexpr std::uint16_t kLabelSst = 0x00FD;
constexpr std::uint16_t kLabel = 0x0204;
constexpr std::uint16_t kRString = 0x00D6;
constexpr std::uint16_t kNumber = 0x0203;
constexpr std::uint16_t kRk = 0x027E;
constexpr std::uint16_t kMulRk = 0x00BD;
constexpr std::uint16_t kBoolErr = 0x0205;
constexpr std::uint16_t kCodePage = 0x0042;
constexpr std::uint16_t kBiff8 = 0x0600;
constexpr std::uint16_t kBiff5 = 0x0500;
// Far more records than any real workbook holds; more means a damaged or hostile file.
constexpr std::size_t kMaxRecords = 10'000'000;

constexpr const char* kNotAWorkbook = "it is not an Excel 97-2003 workbook (.xls)";
constexpr const char* kBadHeader = "the file is damaged: its file header is not valid";
constexpr const char* kBadChains =
    "the file is damaged or incomplete: its sector chains cannot be followed";
constexpr const char* kNoStream = "the file is damaged: the workbook stream cannot be found";
constexpr const char* kBadRecords =
    "the file is damaged or incomplete: its workbook records cannot be followed";
constexpr const char* kNoSheet = "the workbook has no worksheet";
constexpr const char* kBadSheet = "the file is damaged: its first worksheet cannot be found";
constexpr const char* kPassword = "the workbook is protected by a password";

constexpr const char* kNeverCalculated = "its result was never calculated (the workbook was not "
                                         "recalculated and saved by a spreadsheet program)";
constexpr const char* kTruthValue = "its result is a truth value";
constexpr const char* kErrorValue = "its result is an error";
constexpr const char* kUnknownKind = "its result is of an unknown kind";
constexpr const char* kNotFinite = "its result is not a finite number";
constexpr const char* kTextMissing = "its text result is missing";
constexpr const char* kTextDamaged = "its text result is damaged";
constexpr const char* kTextCharset = "its text result is in a character set that cannot be read";

// Little-endian reads; the caller has checked that the bytes are there.
std::uint8_t byteAt(std::string_view data, std::size_t at) {
    return static_cast<std::uint8_t>(data[at]);
}
std::uint16_t u16(std::string_view data, std::size_t at) {
    return static_cast<std::uint16_t>(byteAt(data, at) | (byteAt(data, at + 1) << 8));
}
std::uint32_t u32(std::string_view data, std::size_t at) {
    return static_cast<std::uint32_t>(u16(data, at)) |
           (static_cast<std::uint32_t>(u16(data, at + 2)) << 16);
}
std::uint64_t u64(std::string_view data, std::size_t at) {
    return static_cast<std::uint64_t>(u32(data, at)) |
           (static_cast<std::uint64_t>(u32(data, at + 4)) << 32);
}

// Reads a stream whose sectors of `sectorSize` bytes lie in `area` (sector n at n * sectorSize)
// and are chained by `table`: `size` bytes, or with no size every sector up to the end of the
// chain. Nothing when the chain leaves the table or the area, loops, or ends too soon.
std::optional<std::string> readChain(const std::vector<std::uint32_t>& table, std::string_view area,
                                     std::size_t sectorSize, std::uint32_t start,
                                     std::optional<std::uint64_t> size) {
    if (size && *size > area.size()) {
        return std::nullopt;
    }
    const std::size_t sectors = (area.size() + sectorSize - 1) / sectorSize;
    std::vector<bool> seen(std::min(sectors, table.size()));
    std::string out;
    out.reserve(size ? static_cast<std::size_t>(*size) : 0);
    std::uint32_t sector = start;
    while (size ? out.size() < *size : sector != kEndOfChain) {
        if (sector >= seen.size() || seen[sector]) {
            return std::nullopt;
        }
        seen[sector] = true;
        const std::size_t offset = std::size_t{sector} * sectorSize;
        const std::size_t available = std::min(sectorSize, area.size() - offset);
        const std::size_t wanted =
            size ? std::min<std::size_t>(sectorSize, static_cast<std::size_t>(*size) - out.size())
                 : available;
        if (available < wanted) {
            return std::nullopt;
        }
        out.append(area.substr(offset, wanted));
        sector = table[sector];
    }
    return out;
}

std::vector<std::uint32_t> toEntries(std::string_view bytes) {
    std::vector<std::uint32_t> entries(bytes.size() / 4);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        entries[i] = u32(bytes, 4 * i);
    }
    return entries;
}

struct DirectoryEntry {
    std::uint32_t start = 0;
    std::uint64_t size = 0;
};

// Whether a directory entry's UTF-16 name is `name` (ASCII), ignoring case as the format does.
bool hasName(std::string_view entry, std::string_view name) {
    const std::size_t length = u16(entry, 64); // in bytes, with the terminating zero
    if (length != 2 * (name.size() + 1)) {
        return false;
    }
    for (std::size_t i = 0; i < name.size(); ++i) {
        const std::uint16_t unit = u16(entry, 2 * i);
        const auto lower = [](std::uint32_t c) {
            return c >= 'A' && c <= 'Z' ? c + 32 : c;
        };
        if (lower(unit) != lower(static_cast<unsigned char>(name[i]))) {
            return false;
        }
    }
    return true;
}

struct WorkbookStream {
    std::string bytes;
    bool namedBook = false; // "Book", as Excel 5/95 names it, rather than "Workbook"
    std::string problem;
};

// The sectors of a compound file: sector 0 follows the header, which fills a sector of its own.
struct CompoundFile {
    std::string_view file;
    std::string_view area;
    std::size_t sectorSize = 0;
    std::size_t sectors = 0;

    std::optional<std::string_view> fullSector(std::uint32_t n) const {
        if (n >= sectors || area.size() - std::size_t{n} * sectorSize < sectorSize) {
            return std::nullopt;
        }
        return area.substr(std::size_t{n} * sectorSize, sectorSize);
    }
};

// The compound file's layout from its header; the reason when the header is none we read.
std::variant<CompoundFile, const char*> compoundFile(std::string_view file) {
    constexpr std::string_view signature{"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8};
    if (file.size() < 512 || file.substr(0, 8) != signature) {
        return kNotAWorkbook;
    }
    const std::uint16_t sectorShift = u16(file, 0x1E);
    if (u16(file, 0x1C) != 0xFFFE || (sectorShift != 9 && sectorShift != 12) ||
        u16(file, 0x20) != 6 || u32(file, 0x38) != kMiniStreamCutoff) {
        return kBadHeader;
    }
    CompoundFile compound;
    compound.file = file;
    compound.sectorSize = std::size_t{1} << sectorShift;
    if (file.size() < compound.sectorSize) {
        return kBadHeader;
    }
    compound.area = file.substr(compound.sectorSize);
    compound.sectors = (compound.area.size() + compound.sectorSize - 1) / compound.sectorSize;
    return compound;
}

// The FAT, whose own sectors are listed by the DIFAT: 109 entries in the header, then a chain
// of DIFAT sectors, each ending with the number of the next. None when a chain is broken.
std::optional<std::vector<std::uint32_t>> readFat(const CompoundFile& compound) {
    const std::string_view file = compound.file;
    const std::uint32_t fatSectorCount = u32(file, 0x2C);
    if (fatSectorCount > compound.sectors) {
        return std::nullopt;
    }
    std::vector<std::uint32_t> fatSectors;
    fatSectors.reserve(fatSectorCount);
    for (std::size_t i = 0; i < kHeaderDifatEntries && fatSectors.size() < fatSectorCount; ++i) {
        fatSectors.push_back(u32(file, 0x4C + 4 * i));
    }
    std::vector<bool> seenDifat(compound.sectors);
    for (std::uint32_t difat = u32(file, 0x44); fatSectors.size() < fatSectorCount;) {
        const auto sector = compound.fullSector(difat);
        if (!sector || seenDifat[difat]) {
            return std::nullopt;
        }
        seenDifat[difat] = true;
        const std::size_t last = compound.sectorSize - 4;
        for (std::size_t at = 0; at < last && fatSectors.size() < fatSectorCount; at += 4) {
            fatSectors.push_back(u32(*sector, at));
        }
        difat = u32(*sector, last);
    }
    std::string fatBytes;
    fatBytes.reserve(fatSectors.size() * compound.sectorSize);
    for (const std::uint32_t n : fatSectors) {
        const auto sector = compound.fullSector(n);
        if (!sector) {
            return std::nullopt;
        }
        fatBytes.append(*sector);
    }
    return toEntries(fatBytes);
}

// A directory entry's start sector and stream size. Files with 512-byte sectors may leave
// garbage in the high half of a stream size.
DirectoryEntry directoryEntry(std::string_view directory, std::size_t index,
                              std::size_t sectorSize) {
    const std::string_view entry =
        directory.substr(index * kDirectoryEntrySize, kDirectoryEntrySize);
    const std::uint64_t size = sectorSize == 512 ? u32(entry, 120) : u64(entry, 120);
    return DirectoryEntry{u32(entry, 116), size};
}

// The first streams named "Workbook" and "Book" in the directory.
struct WorkbookEntries {
    std::optional<DirectoryEntry> workbook;
    std::optional<DirectoryEntry> book;
};
WorkbookEntries findWorkbookEntries(std::string_view directory, std::size_t sectorSize) {
    constexpr std::uint8_t kStreamObject = 2;
    WorkbookEntries found;
    for (std::size_t i = 0; i < directory.size() / kDirectoryEntrySize; ++i) {
        const std::string_view entry =
            directory.substr(i * kDirectoryEntrySize, kDirectoryEntrySize);
        if (byteAt(entry, 66) != kStreamObject) {
            continue;
        }
        if (!found.workbook && hasName(entry, "Workbook")) {
            found.workbook = directoryEntry(directory, i, sectorSize);
        } else if (!found.book && hasName(entry, "Book")) {
            found.book = directoryEntry(directory, i, sectorSize);
        }
    }
    return found;
}

// A stream's bytes: from the FAT's chains, or for small streams from the mini stream (the
// root entry's stream), in 64-byte sectors chained by the mini FAT.
std::optional<std::string> readStream(const CompoundFile& compound,
                                      const std::vector<std::uint32_t>& fat,
                                      std::string_view directory, const DirectoryEntry& stream) {
    if (stream.size >= kMiniStreamCutoff) {
        return readChain(fat, compound.area, compound.sectorSize, stream.start, stream.size);
    }
    const DirectoryEntry root = directoryEntry(directory, 0, compound.sectorSize);
    const auto miniStream =
        readChain(fat, compound.area, compound.sectorSize, root.start, root.size);
    const auto miniFat =
        readChain(fat, compound.area, compound.sectorSize, u32(compound.file, 0x3C), std::nullopt);
    if (!miniStream || !miniFat) {
        return std::nullopt;
    }
    return readChain(toEntries(*miniFat), *miniStream, kMiniSectorSize, stream.start, stream.size);
}

// Finds the workbook stream in the compound file and reads it whole.
WorkbookStream readWorkbookStream(std::string_view file) {
    WorkbookStream result;
    const auto layout = compoundFile(file);
    if (const auto* error = std::get_if<const char*>(&layout)) {
        result.problem = *error;
        return result;
    }
    const CompoundFile& compound = std::get<CompoundFile>(layout);
    const auto fat = readFat(compound);
    if (!fat) {
        result.problem = kBadChains;
        return result;
    }
    const auto directory =
        readChain(*fat, compound.area, compound.sectorSize, u32(file, 0x30), std::nullopt);
    if (!directory || directory->size() < kDirectoryEntrySize) {
        result.problem = kBadChains;
        return result;
    }
    const WorkbookEntries entries = findWorkbookEntries(*directory, compound.sectorSize);
    if (!entries.workbook && !entries.book) {
        result.problem = kNoStream;
        return result;
    }
    result.namedBook = !entries.workbook;
    const DirectoryEntry stream = entries.workbook ? *entries.workbook : *entries.book;
    if (stream.size == 0 || stream.size > file.size()) {
        result.problem = kBadChains;
        return result;
    }
    auto bytes = readStream(compound, *fat, *directory, stream);
    if (!bytes) {
        result.problem = kBadChains;
        return result;
    }
    result.bytes = std::move(*bytes);
    return result;
}

struct Record {
    std::uint16_t type = 0;
    std::string_view data;
};

// Walks the BIFF records of the workbook stream: each a 16-bit type, a 16-bit length and that
// many bytes. A record running past the end of the stream, or too many records, make the walk
// damaged; the count is shared by all walks over one stream.
class Records {
public:
    Records(std::string_view stream, std::size_t offset, std::size_t& count)
        : stream_(stream), at_(offset), count_(count) {}

    std::optional<Record> next() {
        if (damaged_ || stream_.size() - at_ < 4) {
            return std::nullopt;
        }
        const std::size_t length = u16(stream_, at_ + 2);
        if (stream_.size() - at_ - 4 < length || ++count_ > kMaxRecords) {
            damaged_ = true;
            return std::nullopt;
        }
        const Record record{u16(stream_, at_), stream_.substr(at_ + 4, length)};
        at_ += 4 + length;
        return record;
    }
    std::optional<std::uint16_t> peekType() const {
        if (damaged_ || stream_.size() - at_ < 4) {
            return std::nullopt;
        }
        return u16(stream_, at_);
    }
    bool damaged() const { return damaged_; }

private:
    std::string_view stream_;
    std::size_t at_;
    std::size_t& count_;
    bool damaged_ = false;
};

std::string utf16ToUtf8(const std::u16string& units) {
    std::string out;
    out.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        const std::uint32_t unit = units[i];
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] < 0xE000) {
            appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (units[i + 1] - 0xDC00u));
            ++i;
        } else if (unit >= 0xD800 && unit < 0xE000) {
            appendUtf8(out, 0xFFFD); // half of a pair
        } else {
            appendUtf8(out, unit);
        }
    }
    return out;
}

// A text result in BIFF8: a character count and option flags, then the characters, 8-bit
// (Latin-1) or 16-bit (UTF-16), continued in CONTINUE records that each start with fresh flags.
std::optional<std::string> readBiff8Text(std::string_view data, Records& records) {
    if (data.size() < 2) {
        return std::nullopt;
    }
    std::size_t remaining = u16(data, 0);
    if (remaining == 0) {
        return std::string();
    }
    if (data.size() < 3) {
        return std::nullopt;
    }
    const std::uint8_t flags = byteAt(data, 2);
    std::size_t at = 3;
    at += (flags & 0x08) != 0 ? 2 : 0; // a count of formatting runs, which follow the text
    at += (flags & 0x04) != 0 ? 4 : 0; // the size of phonetic data, likewise
    if (at > data.size()) {
        return std::nullopt;
    }
    std::u16string units;
    units.reserve(remaining);
    std::string_view chunk = data.substr(at);
    bool wide = (flags & 0x01) != 0;
    for (;;) {
        const std::size_t width = wide ? 2 : 1;
        const std::size_t count = std::min(remaining, chunk.size() / width);
        for (std::size_t i = 0; i < count; ++i) {
            units.push_back(wide ? static_cast<char16_t>(u16(chunk, 2 * i))
                                 : static_cast<char16_t>(byteAt(chunk, i)));
        }
        remaining -= count;
        if (remaining == 0) {
            return utf16ToUtf8(units);
        }
        if (records.peekType() != kContinue) {
            return std::nullopt;
        }
        const auto continued = records.next();
        if (!continued || continued->data.empty()) {
            return std::nullopt;
        }
        wide = (byteAt(continued->data, 0) & 0x01) != 0;
        chunk = continued->data.substr(1);
    }
}

// A text cut to kMaxCellTextBytes where a character begins.
std::string boundedText(std::string text) {
    if (text.size() > kMaxCellTextBytes) {
        std::size_t cut = kMaxCellTextBytes;
        while (cut > 0 && isUtf8Continuation(static_cast<unsigned char>(text[cut]))) {
            --cut;
        }
        text.resize(cut);
    }
    return text;
}

// Excel 5/95 texts are in the workbook's code page; Windows-1252 (Western European), the
// default, is read, and any other code page for ASCII texts only.
constexpr std::uint16_t kWindows1252 = 1252;
constexpr std::array<char16_t, 32> kWindows1252High{
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

std::optional<std::string> codePageText(std::string_view bytes, std::uint16_t codePage) {
    std::string out;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            out += c;
        } else if (codePage != kWindows1252) {
            return std::nullopt;
        } else {
            appendUtf8(out, byte < 0xA0 ? kWindows1252High[byte - 0x80] : byte);
        }
    }
    return out;
}

// Reads the table of shared texts of a BIFF8 workbook: the SST record, then the CONTINUE records
// after it, each a piece of the table. After a count of all texts and one of unique texts come the
// unique texts, each a character count, option flags (0x01 16-bit characters, 0x08 formatting runs
// follow, 0x04 phonetic data follows) and, as the flags say, a run count and the size of the
// phonetic data; then the characters, the runs (4 bytes each) and the phonetic data. Characters
// that go on in the next piece follow a fresh option byte there; the rest just go on.
class SharedTexts {
public:
    SharedTexts(std::string_view table, Records& records) : piece_(table), records_(records) {}

    // The texts, in order; stops at the end of the table, however many texts it claims (a
    // cell showing a text past the end is then refused).
    std::vector<std::string> read() {
        std::vector<std::string> texts;
        if (piece_.size() < 8) {
            return texts;
        }
        const std::uint32_t unique = u32(piece_, 4);
        at_ = 8;
        for (std::uint32_t index = 0; index < unique && reachNextByte(); ++index) {
            const auto count = readNumber(2);
            const auto flags = readNumber(1);
            if (!count || !flags) {
                break;
            }
            const auto runs = (*flags & 0x08) != 0 ? readNumber(2) : 0;
            const auto phonetic = (*flags & 0x04) != 0 ? readNumber(4) : 0;
            if (!runs || !phonetic) {
                break;
            }
            auto text = readCharacters(*count, (*flags & 0x01) != 0);
            if (!text || !skip(4 * std::uint64_t{*runs} + *phonetic)) {
                break;
            }
            texts.push_back(std::move(*text));
        }
        return texts;
    }

private:
    bool nextPiece() {
        if (records_.peekType() != kContinue) {
            return false;
        }
        const auto record = records_.next();
        if (!record) {
            return false;
        }
        piece_ = record->data;
        at_ = 0;
        return true;
    }
    // Moves past the ends of pieces onto the next byte; false at the end of the table.
    bool reachNextByte() {
        while (at_ == piece_.size()) {
            if (!nextPiece()) {
                return false;
            }
        }
        return true;
    }
    std::optional<std::uint32_t> readNumber(std::size_t bytes) {
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < bytes; ++i) {
            if (!reachNextByte()) {
                return std::nullopt;
            }
            value |= static_cast<std::uint32_t>(byteAt(piece_, at_++)) << (8 * i);
        }
        return value;
    }
    bool skip(std::uint64_t bytes) {
        while (bytes > 0) {
            if (!reachNextByte()) {
                return false;
            }
            const std::size_t step =
                static_cast<std::size_t>(std::min<std::uint64_t>(bytes, piece_.size() - at_));
            at_ += step;
            bytes -= step;
        }
        return true;
    }
    std::optional<std::string> readCharacters(std::size_t count, bool wide) {
        std::u16string units;
        units.reserve(count);
        for (;;) {
            const std::size_t width = wide ? 2 : 1;
            const std::size_t step = std::min(count, (piece_.size() - at_) / width);
            for (std::size_t i = 0; i < step; ++i, at_ += width) {
                units.push_back(wide ? static_cast<char16_t>(u16(piece_, at_))
                                     : static_cast<char16_t>(byteAt(piece_, at_)));
            }
            count -= step;
            if (count == 0) {
                return boundedText(utf16ToUtf8(units));
            }
            if (!nextPiece() || piece_.empty()) {
                return std::nullopt;
            }
            wide = (byteAt(piece_, 0) & 0x01) != 0;
            at_ = 1;
        }
    }

    std::string_view piece_;
    std::size_t at_ = 0;
    Records& records_;
};

// The result stored in a FORMULA record: a double, or, when its top two bytes are FF FF, a
// value of another kind, told by its first byte. True when the text follows in a STRING record.
bool readResult(Cell& cell, std::string_view result) {
    if (byteAt(result, 6) == 0xFF && byteAt(result, 7) == 0xFF) {
        switch (byteAt(result, 0)) {
        case 0:
            cell = UnreadableCell{kTextMissing}; // until the STRING record is read
            return true;
        case 1:
            cell = UnreadableCell{kTruthValue};
            break;
        case 2:
            cell = UnreadableCell{kErrorValue};
            break;
        case 3:
            // An empty text; also what writers that never calculate store for every formula.
            cell = UnreadableCell{kNeverCalculated};
            break;
        default:
            cell = UnreadableCell{kUnknownKind};
            break;
        }
        return false;
    }
    const double number = std::bit_cast<double>(u64(result, 0));
    if (std::isfinite(number)) {
        cell = number;
    } else {
        cell = UnreadableCell{kNotFinite};
    }
    return false;
}

// The text of a formula's STRING record.
Cell formulaText(std::string_view data, bool biff8, std::uint16_t codePage, Records& records) {
    if (biff8) {
        auto text = readBiff8Text(data, records);
        return text ? Cell{boundedText(std::move(*text))} : Cell{UnreadableCell{kTextDamaged}};
    }
    if (data.size() < 2 || data.size() - 2 < u16(data, 0)) {
        return UnreadableCell{kTextDamaged};
    }
    auto text = codePageText(data.substr(2, u16(data, 0)), codePage);
    return text ? Cell{boundedText(std::move(*text))} : Cell{UnreadableCell{kTextCharset}};
}

// An RK value: a 30-bit integer or the top 30 bits of a double, divided by 100 when told.
double rkValue(std::uint32_t rk) {
    double value = (rk & 0x02) != 0
                       ? static_cast<double>(static_cast<std::int32_t>(rk) >> 2)
                       : std::bit_cast<double>(static_cast<std::uint64_t>(rk & 0xFFFFFFFCU) << 32);
    return (rk & 0x01) != 0 ? value / 100 : value;
}

std::string cellName(unsigned row, unsigned column) {
    return "row " + std::to_string(row + 1) + ", column " + std::to_string(column + 1);
}

// The cells of the first worksheet as they are read: rows on demand, every row as wide as
// the widest that can be read.
class SheetBuilder {
public:
    // Keeps a cell within the limits; cells beyond them are not read.
    void put(unsigned row, unsigned column, Cell value) {
        lastRow_ = std::max(lastRow_, row + 1);
        lastColumn_ = std::max(lastColumn_, column + 1);
        if (row >= kMaxSheetRows || column >= kMaxSheetColumns) {
            return;
        }
        if (row >= rows_.size()) {
            rows_.resize(row + 1);
        }
        auto& cells = rows_[row];
        if (cells.empty()) {
            cells.resize(kMaxSheetColumns);
        }
        cells[column] = std::move(value);
    }
    // A number, or why the file is damaged: no cell holds infinity or NaN, whether stored as
    // a double or in the top bits of an RK value.
    std::optional<std::string> putNumber(unsigned row, unsigned column, double number) {
        if (!std::isfinite(number)) {
            return "the file is damaged: the number in " + cellName(row, column) +
                   " is not a finite number";
        }
        put(row, column, number);
        return std::nullopt;
    }
    Cell* at(unsigned row, unsigned column) {
        if (row >= rows_.size() || column >= kMaxSheetColumns || rows_[row].empty()) {
            return nullptr;
        }
        return &rows_[row][column];
    }
    void claim(std::uint32_t rows, std::uint32_t columns) {
        claimedRows_ = std::max(claimedRows_.value_or(0), rows);
        claimedColumns_ = std::max(claimedColumns_.value_or(0), columns);
    }
    // The used range: the size the sheet claims in its DIMENSIONS record (one past its last row
    // and column), or without one the extent of its cells.
    SheetRead finish() {
        SheetRead read;
        const std::uint64_t rows = claimedRows_.value_or(lastRow_);
        const std::uint64_t columns = claimedColumns_.value_or(lastColumn_);
        if (rows > kMaxBiffRows || columns > kMaxBiffColumns) {
            read.problem = "the file is damaged: its first worksheet claims " +
                           std::to_string(rows) + " rows and " + std::to_string(columns) +
                           " columns";
            return read;
        }
        if (rows > kMaxSheetRows) {
            read.problem = tooManyRowsProblem(rows);
            return read;
        }
        const auto width =
            static_cast<std::size_t>(std::min<std::uint64_t>(columns, kMaxSheetColumns));
        // A row without a value stays empty, taking no memory.
        rows_.resize(static_cast<std::size_t>(rows));
        for (auto& cells : rows_) {
            if (!cells.empty()) {
                cells.resize(width);
            }
        }
        read.sheet.emplace();
        read.sheet->rows = std::move(rows_);
        return read;
    }

private:
    // The largest sheet an Excel 97-2003 workbook can hold; a larger claim means damage.
    static constexpr std::uint64_t kMaxBiffRows = 65536;
    static constexpr std::uint64_t kMaxBiffColumns = 256;

    std::vector<std::vector<Cell>> rows_;
    unsigned lastRow_ = 0;
    unsigned lastColumn_ = 0;
    std::optional<std::uint32_t> claimedRows_;
    std::optional<std::uint32_t> claimedColumns_;
};

struct SheetContext {
    bool biff8 = true;
    std::uint16_t codePage = kWindows1252;
    const std::vector<std::string>* sharedTexts = nullptr;
};

// Reads one cell record of the worksheet into `sheet`; the problem when it is damaged.
std::optional<std::string> readCellRecord(const Record& record, const SheetContext& context,
                                          Records& records, SheetBuilder& sheet) {
    const std::string_view data = record.data;
    const bool cell = record.type == kNumber || record.type == kRk || record.type == kMulRk ||
                      record.type == kLabelSst || record.type == kLabel ||
                      record.type == kRString || record.type == kBoolErr;
    if (!cell) {
        return std::nullopt;
    }
    if (data.size() < 6) {
        return kBadRecords;
    }
    const unsigned row = u16(data, 0);
    const unsigned column = u16(data, 2);
    switch (record.type) {
    case kNumber: {
        if (data.size() < 14) {
            return kBadRecords;
        }
        return sheet.putNumber(row, column, std::bit_cast<double>(u64(data, 6)));
    }
    case kRk:
        if (data.size() < 10) {
            return kBadRecords;
        }
        return sheet.putNumber(row, column, rkValue(u32(data, 6)));
    case kBoolErr:
        // A truth value reads as the number 1 or 0; an error constant as empty.
        if (data.size() < 8) {
            return kBadRecords;
        }
        if (byteAt(data, 7) == 0) {
            sheet.put(row, column, static_cast<double>(byteAt(data, 6)));
        }
        return std::nullopt;
    case kMulRk: {
        // The first column, then an XF index and an RK value for each cell, then the last column.
        if (data.size() < 6 || (data.size() - 6) % 6 != 0) {
            return kBadRecords;
        }
        const std::size_t count = (data.size() - 6) / 6;
        for (std::size_t i = 0; i < count; ++i) {
            if (auto problem = sheet.putNumber(row, static_cast<unsigned>(column + i),
                                               rkValue(u32(data, 4 + 6 * i + 2)))) {
                return problem;
            }
        }
        return std::nullopt;
    }
    case kLabelSst: {
        if (data.size() < 10) {
            return kBadRecords;
        }
        const std::uint32_t index = u32(data, 6);
        if (index >= context.sharedTexts->size()) {
            return "the file is damaged: the text of the cell in " + cellName(row, column) +
                   " is missing";
        }
        sheet.put(row, column, (*context.sharedTexts)[index]);
        return std::nullopt;
    }
    case kLabel:
    case kRString: {
        std::optional<std::string> text;
        if (context.biff8) {
            // A LABEL's text may go on in CONTINUE records, as a STRING's does.
            text = readBiff8Text(data.substr(6), records);
        } else if (data.size() >= 8 && data.size() - 8 >= u16(data, 6)) {
            text = codePageText(data.substr(8, u16(data, 6)), context.codePage);
            if (!text) {
                return "the text in " + cellName(row, column) +
                       " is in a character set that cannot be read";
            }
        }
        if (!text) {
            return "the file is damaged: the text in " + cellName(row, column) +
                   " runs past its record";
        }
        sheet.put(row, column, boundedText(std::move(*text)));
        return std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

// Walks the worksheet substream that starts at `offset`, up to its own EOF (charts embedded in
// it have substreams of their own, nested within); the problem, if any.
std::optional<std::string> readSheet(std::string_view stream, std::size_t offset,
                                     const SheetContext& context, std::size_t& recordCount,
                                     SheetBuilder& sheet) {
    Records records(stream, offset, recordCount);
    const auto bof = records.next();
    if (!bof || bof->type != kBof) {
        return kBadSheet;
    }
    // The formula cell whose text result a STRING record is to bring.
    std::optional<std::pair<unsigned, unsigned>> textPending;
    std::size_t depth = 1;
    while (const auto record = records.next()) {
        if (textPending) {
            if (record->type == kString) {
                if (Cell* cell = sheet.at(textPending->first, textPending->second)) {
                    *cell = formulaText(record->data, context.biff8, context.codePage, records);
                }
                textPending.reset();
                continue;
            }
            if (record->type == kSharedFormula || record->type == kArray ||
                record->type == kTable) {
                continue;
            }
            textPending.reset(); // the text is missing; the cell says so already
        }
        if (record->type == kBof) {
            ++depth;
        } else if (record->type == kEof) {
            if (--depth == 0) {
                break;
            }
        } else if (depth != 1) {
            continue;
        } else if (record->type == kFormula) {
            if (record->data.size() < 20) {
                return kBadRecords;
            }
            const unsigned row = u16(record->data, 0);
            const unsigned column = u16(record->data, 2);
            Cell value;
            if (readResult(value, record->data.substr(6, 8))) {
                textPending.emplace(row, column);
            }
            sheet.put(row, column, std::move(value));
        } else if (record->type == kDimensions) {
            // BIFF8: 32-bit first row and last row + 1, then 16-bit first column and last
            // column + 1; Excel 5/95: all 16-bit.
            if (record->data.size() < (context.biff8 ? 12U : 8U)) {
                return kBadRecords;
            }
            sheet.claim(context.biff8 ? u32(record->data, 4) : u16(record->data, 2),
                        u16(record->data, context.biff8 ? 10 : 6));
        } else if (auto problem = readCellRecord(*record, context, records, sheet)) {
            return problem;
        }
    }
    if (records.damaged()) {
        return kBadRecords;
    }
    return std::nullopt;
}

SheetRead failed(std::string problem) {
    SheetRead read;
    read.problem = std::move(problem);
    return read;
}

} // namespace

std::string tooManyRowsProblem(std::uint64_t rows) {
    return "its first worksheet's used range has " + std::to_string(rows) +
           " rows, more than the " + std::to_string(kMaxSheetRows) + " rows that can be read";
}

SheetRead readXlsSheet(std::string_view bytes) {
    const WorkbookStream stream = readWorkbookStream(bytes);
    if (!stream.problem.empty()) {
        return failed(stream.problem);
    }
    // The workbook globals come first: BOF, the workbook's settings and the list of its sheets,
    // each with the offset of its own BOF, then EOF.
    std::size_t recordCount = 0;
    Records globals(stream.bytes, 0, recordCount);
    const auto bof = globals.next();
    if (!bof || bof->type != kBof) {
        return failed(kBadRecords);
    }
    const std::uint16_t version = bof->data.size() >= 2 ? u16(bof->data, 0) : 0;
    SheetContext context;
    context.biff8 = version == kBiff8 || (version != kBiff5 && !stream.namedBook);
    std::optional<std::uint32_t> firstSheet;
    std::vector<std::string> sharedTexts;
    bool sharedTextsRead = false;
    while (const auto record = globals.next()) {
        if (record->type == kEof) {
            break;
        }
        if (record->type == kFilePass) {
            return failed(kPassword);
        }
        if (record->type == kBoundSheet && !firstSheet) {
            if (record->data.size() < 4) {
                return failed(kBadRecords);
            }
            firstSheet = u32(record->data, 0);
        }
        if (record->type == kCodePage && record->data.size() >= 2) {
            context.codePage = u16(record->data, 0);
        }
        if (record->type == kSharedTexts && context.biff8 && !sharedTextsRead) {
            sharedTextsRead = true;
            sharedTexts = SharedTexts(record->data, globals).read();
        }
    }
    if (globals.damaged()) {
        return failed(kBadRecords);
    }
    if (!firstSheet) {
        return failed(kNoSheet);
    }
    if (*firstSheet >= stream.bytes.size()) {
        return failed(kBadSheet);
    }
    context.sharedTexts = &sharedTexts;
    SheetBuilder sheet;
    if (auto problem = readSheet(stream.bytes, *firstSheet, context, recordCount, sheet)) {
        return failed(std::move(*problem));
    }
    return sheet.finish();
}

} // namespace tavik
