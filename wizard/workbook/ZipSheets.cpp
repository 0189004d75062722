#include "SheetRead.h"
#include "state/Utf8.h"

#include <QXmlStreamReader>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <memory>
#include <zip.h>

// An Excel workbook (.xlsx) and an OpenDocument spreadsheet (.ods) are zip archives of XML
// parts. Each part is inflated in pieces and parsed as it comes, never beyond kMaxPartBytes, so
// that a small archive claiming or inflating to gigabytes (a zip bomb) is refused once the
// bound is reached; XML with a document type declaration is refused, so no entity is expanded.

namespace tavik {

namespace {

// Far more XML than a crop table takes (10,000 rows of 37 cells of numbers): a part that
// inflates to more is refused before its parse takes seconds.
constexpr qint64 kMaxPartBytes = 16LL * 1024 * 1024;
// More shared texts than a crop table has cells cannot all be shown.
constexpr std::size_t kMaxSharedTexts = kMaxSheetRows * kMaxSheetColumns;
// Rows and columns an .ods repeats (it repeats an empty row to the end of the sheet).
constexpr std::uint64_t kMaxRepeat = 1U << 20;

constexpr const char* kOdsMime = "application/vnd.oasis.opendocument.spreadsheet";
constexpr const char* kNeverCalculated = "its result was never calculated (the workbook was not "
                                         "recalculated and saved by a spreadsheet program)";
constexpr const char* kErrorValue = "its result is an error";
constexpr const char* kTruthValue = "its result is a truth value";

std::string cellName(std::uint64_t row, std::uint64_t column) {
    return "row " + std::to_string(row + 1) + ", column " + std::to_string(column + 1);
}

// Appends to a text no more than kMaxCellTextBytes, cut where a character begins.
void appendBounded(std::string& text, const QString& more) {
    if (text.size() >= kMaxCellTextBytes) {
        return;
    }
    text += more.toStdString();
    if (text.size() > kMaxCellTextBytes) {
        std::size_t cut = kMaxCellTextBytes;
        while (cut > 0 && isUtf8Continuation(static_cast<unsigned char>(text[cut]))) {
            --cut;
        }
        text.resize(cut);
    }
}

std::optional<double> numberOf(QStringView text) {
    const std::string digits = text.trimmed().toString().toStdString();
    double value = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value,
                                           std::chars_format::general);
    if (digits.empty() || ec != std::errc{} || end != digits.data() + digits.size() ||
        !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

struct ArchiveCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using Archive = std::unique_ptr<zip_t, ArchiveCloser>;
struct MemberCloser {
    void operator()(zip_file_t* member) const { zip_fclose(member); }
};

// The archive over `bytes`, which must outlive it.
Archive openArchive(std::string_view bytes, std::string& problem) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    Archive archive(source != nullptr ? zip_open_from_source(source, ZIP_RDONLY, &error) : nullptr);
    if (!archive) {
        if (source != nullptr) {
            zip_source_free(source);
        }
        problem = "the file is damaged: it begins as a zip archive but cannot be opened as one";
    }
    zip_error_fini(&error);
    return archive;
}

std::optional<zip_uint64_t> memberIndex(zip_t* archive, const std::string& name) {
    const zip_int64_t index = zip_name_locate(archive, name.c_str(), 0);
    if (index < 0) {
        return std::nullopt;
    }
    return static_cast<zip_uint64_t>(index);
}

// One XML part of the archive, parsed as it is inflated.
class XmlPart {
public:
    XmlPart(zip_t* archive, zip_uint64_t index, std::string name)
        : member_(zip_fopen_index(archive, index, 0)), name_(std::move(name)) {}

    // The next token; false at the end of the part or on a problem (then problem() says).
    bool next() {
        for (;;) {
            const auto token = xml_.readNext();
            if (token == QXmlStreamReader::DTD) {
                problem_ = "the file is damaged: its part " + name_ +
                           " declares a document type, which a workbook never does";
                return false;
            }
            if (token != QXmlStreamReader::Invalid) {
                return token != QXmlStreamReader::EndDocument;
            }
            if (xml_.error() != QXmlStreamReader::PrematureEndOfDocumentError) {
                problem_ = "the file is damaged: its part " + name_ + " is not valid XML (" +
                           xml_.errorString().toStdString() + ")";
                return false;
            }
            if (!feed()) {
                return false;
            }
        }
    }
    QXmlStreamReader& xml() { return xml_; }
    const std::string& problem() const { return problem_; }
    void fail(std::string problem) { problem_ = std::move(problem); }

private:
    bool feed() {
        if (!member_) {
            problem_ = "the file is damaged: its part " + name_ + " cannot be inflated";
            return false;
        }
        QByteArray chunk(64 * 1024, Qt::Uninitialized);
        const zip_int64_t got = zip_fread(member_.get(), chunk.data(), chunk.size());
        if (got < 0) {
            problem_ = "the file is damaged: its part " + name_ + " cannot be inflated";
            return false;
        }
        if (got == 0) {
            problem_ = "the file is damaged: its part " + name_ + " ends too soon";
            return false;
        }
        inflated_ += got;
        if (inflated_ > kMaxPartBytes) {
            problem_ = "its part " + name_ + " inflates to more than " +
                       std::to_string(kMaxPartBytes / (1024 * 1024)) +
                       " MiB, far more than a crop table";
            return false;
        }
        chunk.truncate(static_cast<qsizetype>(got));
        xml_.addData(chunk);
        return true;
    }

    std::unique_ptr<zip_file_t, MemberCloser> member_;
    std::string name_;
    QXmlStreamReader xml_;
    qint64 inflated_ = 0;
    std::string problem_;
};

// The cells of the first sheet as they are read; the used range ends with the last row and
// column that hold a value.
class SheetBuilder {
public:
    std::optional<std::string> put(std::uint64_t row, std::uint64_t column, Cell value) {
        if (isEmpty(value) || column >= kMaxSheetColumns) {
            return std::nullopt;
        }
        if (row >= kMaxSheetRows) {
            return tooManyRowsProblem(row + 1);
        }
        if (row >= rows_.size()) {
            rows_.resize(static_cast<std::size_t>(row + 1));
        }
        auto& cells = rows_[static_cast<std::size_t>(row)];
        if (cells.empty()) {
            cells.resize(kMaxSheetColumns);
        }
        width_ = std::max<std::size_t>(width_, static_cast<std::size_t>(column + 1));
        cells[static_cast<std::size_t>(column)] = std::move(value);
        return std::nullopt;
    }
    SheetRead finish() {
        for (auto& cells : rows_) {
            if (!cells.empty()) {
                cells.resize(width_);
            }
        }
        SheetRead read;
        read.sheet.emplace();
        read.sheet->rows = std::move(rows_);
        return read;
    }

private:
    std::vector<std::vector<Cell>> rows_;
    std::size_t width_ = 0;
};

SheetRead failed(std::string problem) {
    SheetRead read;
    read.problem = std::move(problem);
    return read;
}

std::optional<std::string> partProblem(XmlPart& part) {
    if (!part.problem().empty()) {
        return part.problem();
    }
    return std::nullopt;
}

// Reads past the end of the element the reader is at.
void skipElement(XmlPart& part) {
    int depth = 1;
    while (depth > 0 && part.next()) {
        if (part.xml().isStartElement()) {
            ++depth;
        } else if (part.xml().isEndElement()) {
            --depth;
        }
    }
}

// The characters within the element the reader is at (bounded), which it reads past.
QString elementText(XmlPart& part) {
    QString text;
    int depth = 1;
    while (depth > 0 && part.next()) {
        auto& xml = part.xml();
        if (xml.isStartElement()) {
            ++depth;
        } else if (xml.isEndElement()) {
            --depth;
        } else if (xml.isCharacters() &&
                   text.size() < 4 * static_cast<qsizetype>(kMaxCellTextBytes)) {
            text += xml.text();
        }
    }
    return text;
}

// ---- Excel workbook (.xlsx) ----

// A cell reference ("AK12") as a 0-based row and column; none when it is not one.
std::optional<std::pair<std::uint64_t, std::uint64_t>> cellReference(QStringView reference) {
    std::uint64_t column = 0;
    qsizetype i = 0;
    for (; i < reference.size() && reference[i] >= u'A' && reference[i] <= u'Z'; ++i) {
        column = column * 26 + static_cast<std::uint64_t>(reference[i].unicode() - u'A' + 1);
        if (column > (1U << 20)) {
            return std::nullopt;
        }
    }
    std::uint64_t row = 0;
    const qsizetype digits = i;
    for (; i < reference.size() && reference[i] >= u'0' && reference[i] <= u'9'; ++i) {
        row = row * 10 + static_cast<std::uint64_t>(reference[i].unicode() - u'0');
        if (row > (1U << 24)) {
            return std::nullopt;
        }
    }
    if (column == 0 || row == 0 || i == digits || i != reference.size()) {
        return std::nullopt;
    }
    return std::pair{row - 1, column - 1};
}

// The text of the element the reader is at (an <si> or <is>), its runs' texts joined, without
// phonetic readings; the reader ends on the element's end.
std::optional<std::string> richText(XmlPart& part) {
    std::string text;
    int depth = 1;
    bool phonetic = false;
    bool inText = false;
    while (depth > 0 && part.next()) {
        auto& xml = part.xml();
        if (xml.isStartElement()) {
            ++depth;
            phonetic = phonetic || xml.name() == QLatin1String("rPh");
            inText = xml.name() == QLatin1String("t");
        } else if (xml.isEndElement()) {
            --depth;
            inText = false;
            if (xml.name() == QLatin1String("rPh")) {
                phonetic = false;
            }
        } else if (xml.isCharacters() && inText && !phonetic) {
            appendBounded(text, xml.text().toString());
        }
    }
    if (depth > 0) {
        return std::nullopt;
    }
    return text;
}

std::optional<std::string> readSharedTexts(zip_t* archive, const std::string& name,
                                           std::vector<std::string>& texts) {
    const auto index = memberIndex(archive, name);
    if (!index) {
        return std::nullopt; // a workbook without texts
    }
    XmlPart part(archive, *index, name);
    while (part.next()) {
        if (part.xml().isStartElement() && part.xml().name() == QLatin1String("si")) {
            auto text = richText(part);
            if (!text) {
                break;
            }
            if (texts.size() >= kMaxSharedTexts) {
                return "it holds more shared texts than a crop table has cells";
            }
            texts.push_back(std::move(*text));
        }
    }
    return partProblem(part);
}

// The attribute named `name` in any namespace (the relationship id is "r:id" in one
// namespace or another).
QStringView anyAttribute(const QXmlStreamAttributes& attributes, QLatin1String name) {
    for (const auto& attribute : attributes) {
        if (attribute.name() == name) {
            return attribute.value();
        }
    }
    return {};
}

// The part names of the first sheet and the shared texts, from the workbook and its
// relationships.
std::variant<std::pair<std::string, std::string>, std::string> xlsxParts(zip_t* archive) {
    const auto workbook = memberIndex(archive, "xl/workbook.xml");
    if (!workbook) {
        return std::string("the file is damaged: its part xl/workbook.xml is missing");
    }
    XmlPart book(archive, *workbook, "xl/workbook.xml");
    QString sheetId;
    while (sheetId.isEmpty() && book.next()) {
        if (book.xml().isStartElement() && book.xml().name() == QLatin1String("sheet")) {
            sheetId = anyAttribute(book.xml().attributes(), QLatin1String("id")).toString();
            if (sheetId.isEmpty()) {
                book.fail("the file is damaged: its first sheet names no part");
            }
        }
    }
    if (auto problem = partProblem(book)) {
        return *problem;
    }
    if (sheetId.isEmpty()) {
        return std::string("the workbook has no worksheet");
    }
    std::string sheet;
    std::string texts = "xl/sharedStrings.xml";
    if (const auto rels = memberIndex(archive, "xl/_rels/workbook.xml.rels")) {
        XmlPart part(archive, *rels, "xl/_rels/workbook.xml.rels");
        while (part.next()) {
            if (!part.xml().isStartElement() ||
                part.xml().name() != QLatin1String("Relationship")) {
                continue;
            }
            const auto attributes = part.xml().attributes();
            QString target = attributes.value(QLatin1String("Target")).toString();
            target = target.startsWith(u'/') ? target.mid(1) : QLatin1String("xl/") + target;
            if (attributes.value(QLatin1String("Id")) == sheetId) {
                sheet = target.toStdString();
            } else if (attributes.value(QLatin1String("Type"))
                           .endsWith(QLatin1String("/sharedStrings"))) {
                texts = target.toStdString();
            }
        }
        if (auto problem = partProblem(part)) {
            return *problem;
        }
    }
    if (sheet.empty()) {
        return std::string("the file is damaged: the part of its first sheet cannot be found");
    }
    return std::pair{sheet, texts};
}

// One <c> element, the reader at its start: its value by its type (t): a number (none or
// "n"), a shared text ("s"), a formula's text ("str"), an inline text ("inlineStr"), a date
// as text ("d"), a truth value ("b") as 1 or 0; an error is empty, or unreadable for a
// formula.
std::variant<Cell, std::string> xlsxCell(XmlPart& part, const std::vector<std::string>& texts,
                                         std::uint64_t row, std::uint64_t column) {
    const QString type = part.xml().attributes().value(QLatin1String("t")).toString();
    bool formula = false;
    std::optional<QString> value;
    std::optional<std::string> inlineText;
    int depth = 1;
    while (depth > 0 && part.next()) {
        auto& xml = part.xml();
        if (xml.isStartElement()) {
            if (xml.name() == QLatin1String("f")) {
                formula = true;
            } else if (xml.name() == QLatin1String("is")) {
                inlineText = richText(part);
                continue;
            } else if (xml.name() == QLatin1String("v")) {
                value = elementText(part);
                continue;
            }
            ++depth;
        } else if (xml.isEndElement()) {
            --depth;
        }
    }
    const auto unreadableNumber = [&] {
        return "the file is damaged: the value in " + cellName(row, column) + " is not a number";
    };
    if (type == QLatin1String("inlineStr")) {
        return inlineText ? Cell{std::move(*inlineText)} : Cell{};
    }
    if (!value) {
        return formula ? Cell{UnreadableCell{kNeverCalculated}} : Cell{};
    }
    if (type.isEmpty() || type == QLatin1String("n")) {
        if (value->trimmed().isEmpty()) {
            return formula ? Cell{UnreadableCell{kNeverCalculated}} : Cell{};
        }
        const auto number = numberOf(*value);
        if (!number) {
            return unreadableNumber();
        }
        return Cell{*number};
    }
    if (type == QLatin1String("s")) {
        const auto index = numberOf(*value);
        if (!index || *index < 0 || *index >= static_cast<double>(texts.size()) ||
            std::floor(*index) != *index) {
            return "the file is damaged: the text of the cell in " + cellName(row, column) +
                   " is missing";
        }
        return Cell{texts[static_cast<std::size_t>(*index)]};
    }
    if (type == QLatin1String("str") || type == QLatin1String("d")) {
        std::string text;
        appendBounded(text, *value);
        return Cell{std::move(text)};
    }
    if (type == QLatin1String("b")) {
        // A truth value reads as the number 1 or 0, as in an .xls.
        if (formula) {
            return Cell{UnreadableCell{kTruthValue}};
        }
        const auto number = numberOf(*value);
        return number ? Cell{*number} : Cell{};
    }
    if (type == QLatin1String("e")) {
        return formula ? Cell{UnreadableCell{kErrorValue}} : Cell{};
    }
    return "the file is damaged: the cell in " + cellName(row, column) + " is of an unknown kind";
}

SheetRead readXlsx(zip_t* archive) {
    const auto parts = xlsxParts(archive);
    if (const auto* problem = std::get_if<std::string>(&parts)) {
        return failed(*problem);
    }
    const auto& [sheetName, textsName] = std::get<std::pair<std::string, std::string>>(parts);
    std::vector<std::string> texts;
    if (auto problem = readSharedTexts(archive, textsName, texts)) {
        return failed(std::move(*problem));
    }
    const auto index = memberIndex(archive, sheetName);
    if (!index) {
        return failed("the file is damaged: its part " + sheetName + " is missing");
    }
    XmlPart part(archive, *index, sheetName);
    SheetBuilder sheet;
    std::uint64_t row = 0;
    std::uint64_t column = 0;
    bool firstRow = true;
    while (part.next()) {
        auto& xml = part.xml();
        if (!xml.isStartElement()) {
            continue;
        }
        if (xml.name() == QLatin1String("row")) {
            const auto number = numberOf(xml.attributes().value(QLatin1String("r")));
            row = number && *number >= 1 && *number <= (1U << 24)
                      ? static_cast<std::uint64_t>(*number) - 1
                      : (firstRow ? 0 : row + 1);
            firstRow = false;
            column = 0;
        } else if (xml.name() == QLatin1String("c")) {
            const QStringView reference = xml.attributes().value(QLatin1String("r"));
            if (!reference.isEmpty()) {
                const auto place = cellReference(reference);
                if (!place) {
                    return failed("the file is damaged: a cell of row " + std::to_string(row + 1) +
                                  " has the reference \"" +
                                  reference.left(20).toString().toStdString() + "\"");
                }
                std::tie(row, column) = *place;
            }
            auto value = xlsxCell(part, texts, row, column);
            if (auto* problem = std::get_if<std::string>(&value)) {
                return failed(std::move(*problem));
            }
            if (auto problem = sheet.put(row, column, std::move(std::get<Cell>(value)))) {
                return failed(std::move(*problem));
            }
            ++column;
        }
    }
    if (auto problem = partProblem(part)) {
        return failed(std::move(*problem));
    }
    return sheet.finish();
}

// ---- OpenDocument spreadsheet (.ods) ----

// OpenDocument's namespaces: attributes are looked up by namespace, whatever prefix a file
// gives it.
constexpr QLatin1String kOfficeNs("urn:oasis:names:tc:opendocument:xmlns:office:1.0");
constexpr QLatin1String kTableNs("urn:oasis:names:tc:opendocument:xmlns:table:1.0");
constexpr QLatin1String kTextNs("urn:oasis:names:tc:opendocument:xmlns:text:1.0");
constexpr QLatin1String
    kCalcExtNs("urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0");

std::uint64_t repeatOf(const QXmlStreamAttributes& attributes, QLatin1String ns,
                       QLatin1String name) {
    const auto count = numberOf(attributes.value(ns, name));
    if (!count || *count < 1) {
        return 1;
    }
    return static_cast<std::uint64_t>(std::min<double>(*count, kMaxRepeat));
}

// The text of a <table:table-cell>, the reader at its start: its paragraphs, a line each, with
// their spaces (<text:s text:c="N"/>), tabs and line breaks; notes and nested tables left out.
std::string odsCellText(XmlPart& part) {
    std::string text;
    int depth = 1;
    int paragraphs = 0;
    int skipped = 0; // depth within an annotation or a nested table
    while (depth > 0 && part.next()) {
        auto& xml = part.xml();
        if (xml.isStartElement()) {
            ++depth;
            const auto name = xml.name();
            if (skipped > 0 || name == QLatin1String("annotation") ||
                name == QLatin1String("table")) {
                ++skipped;
            } else if (name == QLatin1String("p") && paragraphs++ > 0) {
                appendBounded(text, QStringLiteral("\n"));
            } else if (name == QLatin1String("s")) {
                const auto count = std::min<std::uint64_t>(
                    repeatOf(xml.attributes(), kTextNs, QLatin1String("c")), kMaxCellTextBytes);
                appendBounded(text, QString(static_cast<qsizetype>(count), u' '));
            } else if (name == QLatin1String("tab")) {
                appendBounded(text, QStringLiteral("\t"));
            } else if (name == QLatin1String("line-break")) {
                appendBounded(text, QStringLiteral("\n"));
            }
        } else if (xml.isEndElement()) {
            --depth;
            if (skipped > 0) {
                --skipped;
            }
        } else if (xml.isCharacters() && skipped == 0 && paragraphs > 0) {
            appendBounded(text, xml.text().toString());
        }
    }
    return text;
}

// One cell by its value type: float, percentage and currency are numbers; string, date and
// time texts; a truth value 1 or 0; a formula without a type was never calculated.
std::variant<Cell, std::string> odsCell(XmlPart& part, std::uint64_t row, std::uint64_t column) {
    const auto attributes = part.xml().attributes();
    const QString type = attributes.value(kOfficeNs, QLatin1String("value-type")).toString();
    const bool formula = attributes.hasAttribute(kTableNs, QLatin1String("formula"));
    const bool error =
        attributes.value(kCalcExtNs, QLatin1String("value-type")) == QLatin1String("error");
    if (type == QLatin1String("float") || type == QLatin1String("percentage") ||
        type == QLatin1String("currency")) {
        skipElement(part);
        const auto number = numberOf(attributes.value(kOfficeNs, QLatin1String("value")));
        if (!number) {
            return "the file is damaged: the value in " + cellName(row, column) +
                   " is not a number";
        }
        return Cell{*number};
    }
    if (formula && error) {
        skipElement(part);
        return Cell{UnreadableCell{kErrorValue}};
    }
    if (type == QLatin1String("string")) {
        std::string text = odsCellText(part);
        if (attributes.hasAttribute(kOfficeNs, QLatin1String("string-value"))) {
            text.clear();
            appendBounded(text,
                          attributes.value(kOfficeNs, QLatin1String("string-value")).toString());
        }
        return Cell{std::move(text)};
    }
    if (type == QLatin1String("date") || type == QLatin1String("time")) {
        skipElement(part);
        std::string text;
        appendBounded(text, attributes
                                .value(kOfficeNs, type == QLatin1String("date")
                                                      ? QLatin1String("date-value")
                                                      : QLatin1String("time-value"))
                                .toString());
        return Cell{std::move(text)};
    }
    if (type == QLatin1String("boolean")) {
        // A truth value reads as the number 1 or 0, as in an .xls.
        skipElement(part);
        if (formula) {
            return Cell{UnreadableCell{kTruthValue}};
        }
        return Cell{attributes.value(kOfficeNs, QLatin1String("boolean-value")) ==
                            QLatin1String("true")
                        ? 1.0
                        : 0.0};
    }
    skipElement(part);
    if (formula) {
        return Cell{UnreadableCell{kNeverCalculated}};
    }
    // A cell without a value type holds nothing, whatever text it shows.
    return Cell{};
}

SheetRead readOds(zip_t* archive) {
    const auto index = memberIndex(archive, "content.xml");
    if (!index) {
        return failed("the file is damaged: its part content.xml is missing");
    }
    XmlPart part(archive, *index, "content.xml");
    SheetBuilder sheet;
    bool inTable = false;
    bool seenTable = false;
    int tableDepth = 0;
    std::uint64_t row = 0;
    std::uint64_t column = 0;
    std::uint64_t rowRepeat = 1;
    std::vector<Cell> rowCells; // the cells of the row being read, to repeat it
    while (part.next()) {
        auto& xml = part.xml();
        if (!inTable) {
            if (xml.isStartElement() && xml.name() == QLatin1String("table") &&
                xml.namespaceUri() == kTableNs) {
                inTable = seenTable = true;
                tableDepth = 0;
            }
            continue;
        }
        if (xml.isEndElement()) {
            if (tableDepth-- == 0) {
                break; // the end of the first sheet
            }
            if (xml.name() == QLatin1String("table-row")) {
                if (!rowCells.empty() && row + rowRepeat > kMaxSheetRows) {
                    return failed(tooManyRowsProblem(row + rowRepeat));
                }
                for (std::uint64_t copy = 0; copy < rowRepeat && !rowCells.empty(); ++copy) {
                    for (std::size_t c = 0; c < rowCells.size(); ++c) {
                        if (auto problem = sheet.put(row + copy, c, rowCells[c])) {
                            return failed(std::move(*problem));
                        }
                    }
                }
                row += rowRepeat;
            }
            continue;
        }
        if (!xml.isStartElement()) {
            continue;
        }
        ++tableDepth;
        const auto name = xml.name();
        if (name == QLatin1String("table-row")) {
            rowRepeat = repeatOf(xml.attributes(), kTableNs, QLatin1String("number-rows-repeated"));
            column = 0;
            rowCells.clear();
        } else if (name == QLatin1String("table-cell") ||
                   name == QLatin1String("covered-table-cell")) {
            const std::uint64_t repeat =
                repeatOf(xml.attributes(), kTableNs, QLatin1String("number-columns-repeated"));
            auto value = odsCell(part, row, column);
            --tableDepth; // the cell's end was read with it
            if (auto* problem = std::get_if<std::string>(&value)) {
                return failed(std::move(*problem));
            }
            const Cell& cell = std::get<Cell>(value);
            if (!isEmpty(cell)) {
                for (std::uint64_t c = column;
                     c < std::min(column + repeat, std::uint64_t{kMaxSheetColumns}); ++c) {
                    rowCells.resize(static_cast<std::size_t>(c + 1));
                    rowCells[static_cast<std::size_t>(c)] = cell;
                }
            }
            column += repeat;
        }
    }
    if (auto problem = partProblem(part)) {
        return failed(std::move(*problem));
    }
    if (!seenTable) {
        return failed("the workbook has no worksheet");
    }
    return sheet.finish();
}

// Member `name`'s first bytes, at most `limit`.
std::string memberStart(zip_t* archive, const char* name, std::size_t limit) {
    const auto index = memberIndex(archive, name);
    if (!index) {
        return {};
    }
    std::unique_ptr<zip_file_t, MemberCloser> member(zip_fopen_index(archive, *index, 0));
    std::string bytes(limit, '\0');
    const zip_int64_t got = member ? zip_fread(member.get(), bytes.data(), limit) : -1;
    bytes.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return bytes;
}

} // namespace

std::optional<ZipFormat> zipFormatOf(std::string_view bytes, std::string& problem) {
    const Archive archive = openArchive(bytes, problem);
    if (!archive) {
        return std::nullopt;
    }
    const std::string mime = memberStart(archive.get(), "mimetype", 100);
    if (mime.rfind(kOdsMime, 0) == 0) {
        return ZipFormat::Ods;
    }
    if (memberIndex(archive.get(), "xl/workbook.xml")) {
        return ZipFormat::Xlsx;
    }
    problem = mime.rfind("application/vnd.oasis.opendocument.", 0) == 0
                  ? "it is an OpenDocument file, but not a spreadsheet (.ods)"
                  : "it is a zip archive, but neither an Excel workbook (.xlsx) nor an "
                    "OpenDocument spreadsheet (.ods)";
    return std::nullopt;
}

SheetRead readZipSheet(std::string_view bytes, ZipFormat format) {
    std::string problem;
    const Archive archive = openArchive(bytes, problem);
    if (!archive) {
        return failed(std::move(problem));
    }
    return format == ZipFormat::Xlsx ? readXlsx(archive.get()) : readOds(archive.get());
}

} // namespace tavik
