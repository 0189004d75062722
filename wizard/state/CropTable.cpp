#include "CropTable.h"

#include "NumberText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>

namespace tavik {

namespace {

const Cell kEmptyCell{};

constexpr const char* kEmptyRow = "the row is empty";
constexpr const char* kEmptyRows = "the rows are empty";

constexpr int kMaxRowCount = std::numeric_limits<std::int16_t>::max();

bool isNumericColumn(int column) {
    return (column >= CropColumn::Stage1EndFactor && column <= CropColumn::UptakeRatio) ||
           column == CropColumn::Stage1EndDay;
}

// A value for a message: whole thousands and millions without an exponent ("1000000"), other
// values in their shortest form ("0.001", "2.7e-06").
std::string messageNumber(double value) {
    if (std::fabs(value) >= 1 && std::fabs(value) < 1e15) {
        std::array<char, 32> buffer{};
        const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                             std::chars_format::fixed);
        if (ec == std::errc{}) {
            return std::string(buffer.data(), end);
        }
    }
    return shortestText(value);
}

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

// The columns that are read, with their names for messages; the others are "not used".
struct ColumnName {
    int column;
    std::string_view name;
};
constexpr std::array<ColumnName, 25> kColumnNames{{
    {CropColumn::Name, "crop name"},
    {CropColumn::Stage1EndFactor, "stage-1 end factor"},
    {CropColumn::SeasonEndFactor, "season-end factor"},
    {CropColumn::PeakStartDay, "peak start day"},
    {CropColumn::PeakEndDay, "peak end day"},
    {CropColumn::DemandDivisor, "demand divisor"},
    {CropColumn::WaterUseSlope, "water-use slope"},
    {CropColumn::WaterUseIntercept, "water-use intercept"},
    {CropColumn::MinYield, "minimum yield"},
    {CropColumn::MaxYield, "maximum yield"},
    {CropColumn::RecommendedYield, "recommended yield"},
    {CropColumn::SeasonEndDay, "season end day"},
    {CropColumn::RootA0, "root length coefficient a0"},
    {CropColumn::RootA0 + 1, "root length coefficient a1"},
    {CropColumn::RootA0 + 2, "root length coefficient a2"},
    {CropColumn::RootA0 + 3, "root length coefficient a3"},
    {CropColumn::RootScale, "root length scale"},
    {CropColumn::RootDepthFactor, "rooting depth factor"},
    {CropColumn::RootDepth, "rooting depth"},
    {CropColumn::CropFactorK, "crop factor K"},
    {CropColumn::LimitLeafPotential, "limiting leaf water potential"},
    {CropColumn::Root90Fraction, "90 % root depth fraction"},
    {CropColumn::UptakeRatio, "uptake ratio"},
    {CropColumn::Stage1EndDay, "stage-1 end day"},
    {CropColumn::Picture, "picture path"},
}};

} // namespace

std::string cropColumnName(int column) {
    for (const auto& [number, name] : kColumnNames) {
        if (number == column) {
            return std::string(name);
        }
    }
    return "not used";
}

std::string CropColumnRange::describe() const {
    const std::string lowText = messageNumber(low);
    const std::string highText = messageNumber(high);
    return (aboveLow ? "more than " + lowText + " and at most " + highText
                     : "from " + lowText + " to " + highText) +
           unit;
}

const std::vector<CropColumnRange>& cropColumnRanges() {
    using namespace CropColumn;
    static const std::vector<CropColumnRange> ranges{
        {Stage1EndFactor, 0, 1.5, false, " (a fraction of the peak demand)"},
        {SeasonEndFactor, 0, 1.5, false, " (a fraction of the peak demand)"},
        {DemandDivisor, 5, 600, false, " days"},
        {WaterUseSlope, 0, 1000, true, " kg/ha per mm"},
        {WaterUseIntercept, -1e6, 1e6, false, " kg/ha"},
        {MinYield, 0, 1e6, false, " kg/ha"},
        {MaxYield, 0, 1e6, false, " kg/ha"},
        {RecommendedYield, 0, 1e6, false, " kg/ha"},
        {RootA0, -1e6, 1e6, false, ""},
        {RootA0 + 1, -1e6, 1e6, false, ""},
        {RootA0 + 2, -1e6, 1e6, false, ""},
        {RootA0 + 3, -1e6, 1e6, false, ""},
        {RootScale, 0, 1e6, true, ""},
        {RootDepthFactor, 0, 1e4, true, ""},
        {RootDepth, 0, 100, true, ""},
        {CropFactorK, 0, 1e-3, true, ""},
        {LimitLeafPotential, 100, 1e4, false, " kPa"},
        {Root90Fraction, 0, 1, true, ""},
        {UptakeRatio, 0, 10, true, ""},
    };
    return ranges;
}

std::string CropRowProblem::describe() const {
    if (lastRow > row) {
        return "Rows " + std::to_string(row) + " to " + std::to_string(lastRow) + ": " + what + ".";
    }
    std::string text = "Row " + std::to_string(row);
    if (!crop.empty()) {
        text += " (" + printableText(crop, kMaxCropNameLength) + ")";
    }
    if (column > 0) {
        text += ", column " + std::to_string(column) + " (" + cropColumnName(column) + ")";
    }
    return text + ": " + what + ".";
}

std::string describeCropProblems(const std::vector<CropRowProblem>& problems) {
    std::string text;
    for (const auto& p : problems) {
        if (!text.empty()) {
            text += '\n';
        }
        text += p.describe();
    }
    return text;
}

CropTable::CropTable() : cells_(1, std::vector<Cell>(CropColumn::Last + 1)) {}

CropTable::LoadResult CropTable::load(const SheetCells& usedRange) {
    *this = CropTable();
    LoadResult result;
    if (usedRange.rows.size() > static_cast<std::size_t>(kMaxRowCount)) {
        result.problem = "the crop sheet's used range has " +
                         std::to_string(usedRange.rows.size()) +
                         " rows, more than the 32,767 rows that can be read";
        return result;
    }
    rowCount_ = static_cast<std::int16_t>(usedRange.rows.size());
    // Rows without a value take no memory: a sheet may claim thousands of empty rows.
    cells_.assign(static_cast<std::size_t>(rowCount_) + 1, {});
    for (int r = 2; r <= rowCount_; ++r) {
        const auto& sheetRow = usedRange.rows[static_cast<std::size_t>(r - 1)];
        const auto columns = std::min<std::size_t>(sheetRow.size(), CropColumn::Last);
        if (std::all_of(sheetRow.begin(), sheetRow.begin() + static_cast<std::ptrdiff_t>(columns),
                        isEmpty)) {
            continue;
        }
        auto& row = cells_[static_cast<std::size_t>(r)];
        row.resize(CropColumn::Last + 1);
        std::copy_n(sheetRow.begin(), columns, row.begin() + 1);
    }
    for (int r = 2; r <= rowCount_; ++r) {
        auto problems = checkCropRow(*this, r);
        if (problems.empty()) {
            offered_.push_back(static_cast<std::int16_t>(r));
            continue;
        }
        // A run of empty rows (formatted but blank cells below the crops) is one problem.
        const bool empty = problems.size() == 1 && problems[0].what == kEmptyRow;
        if (empty && !result.rowProblems.empty()) {
            CropRowProblem& last = result.rowProblems.back();
            const bool lastEmpty = last.column == 0 && (last.lastRow > 0 || last.what == kEmptyRow);
            if (lastEmpty && std::max(last.row, last.lastRow) == r - 1) {
                last.lastRow = r;
                last.what = kEmptyRows;
                continue;
            }
        }
        result.rowProblems.insert(result.rowProblems.end(), problems.begin(), problems.end());
    }
    return result;
}

const Cell& CropTable::cell(int row, int column) const {
    if (row < 0 || row > rowCount_ || column < CropColumn::First || column > CropColumn::Last ||
        cells_[static_cast<std::size_t>(row)].empty()) {
        return kEmptyCell;
    }
    return cells_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

double CropTable::number(int row, int column) const {
    const Cell& c = cell(row, column);
    if (const auto* value = std::get_if<double>(&c)) {
        return *value;
    }
    if (const auto* text = std::get_if<std::string>(&c)) {
        return wholeTextNumber(*text).value_or(std::numeric_limits<double>::quiet_NaN());
    }
    return isEmpty(c) ? 0.0 : std::numeric_limits<double>::quiet_NaN();
}

std::string CropTable::text(int row, int column) const {
    const Cell& c = cell(row, column);
    if (const auto* value = std::get_if<double>(&c)) {
        return shortestText(*value);
    }
    if (const auto* text = std::get_if<std::string>(&c)) {
        return *text;
    }
    return {};
}

bool CropTable::isOffered(int row) const {
    return std::find(offered_.begin(), offered_.end(), row) != offered_.end();
}

namespace {

// The checks of one crop row and the problems they found so far.
struct RowCheck {
    RowCheck(const CropTable& cropTable, int cropRow)
        : table(cropTable), row(cropRow), crop(table.text(row, CropColumn::Name)) {}

    const CropTable& table;
    int row;
    std::string crop;
    std::vector<CropRowProblem> problems;

    void problem(int column, std::string what) {
        problems.push_back({row, crop, column, std::move(what)});
    }
    const Cell& cell(int column) const { return table.cell(row, column); }
    double number(int column) const { return table.number(row, column); }
};

std::string columnText(int column) {
    return "column " + std::to_string(column);
}

// False (and the row's one problem) when every cell is empty.
bool rowHoldsValues(RowCheck& check) {
    for (int c = CropColumn::First; c <= CropColumn::Last; ++c) {
        if (!isEmpty(check.cell(c))) {
            return true;
        }
    }
    check.problem(0, kEmptyRow);
    return false;
}

// A formula without a readable result in any column that is read: its value is unknown.
bool formulasHaveResults(RowCheck& check) {
    bool readable = true;
    for (int c = CropColumn::First; c <= CropColumn::Last; ++c) {
        const auto* unreadable = std::get_if<UnreadableCell>(&check.cell(c));
        if (unreadable != nullptr &&
            (isNumericColumn(c) || c == CropColumn::Name || c == CropColumn::Picture)) {
            check.problem(c, "holds a formula, and " + unreadable->why +
                                 "; put the value itself in the cell instead");
            readable = false;
        }
    }
    return readable;
}

// The crop name is shown on a button and in the report.
void checkCropName(RowCheck& check) {
    const auto* name = std::get_if<std::string>(&check.cell(CropColumn::Name));
    if (name == nullptr) {
        return;
    }
    if (needsEscapes(*name)) {
        check.problem(CropColumn::Name, "holds control characters (such as a tab or a line break) "
                                        "or bytes that are not text; a crop name may not");
    }
    if (const std::size_t length = characterCount(*name); length > kMaxCropNameLength) {
        // The reader cuts very long texts short: their length is not known.
        const bool cut = name->size() + 4 > kMaxCellTextBytes;
        check.problem(CropColumn::Name, "is " + std::string(cut ? "more than " : "") +
                                            std::to_string(length) +
                                            " characters long; a crop name may have at most " +
                                            std::to_string(kMaxCropNameLength));
    }
}

// Every numeric column must hold a finite number (or a text that is one).
bool numbersReadable(RowCheck& check) {
    bool readable = true;
    for (int c = CropColumn::Stage1EndFactor; c <= CropColumn::Last; ++c) {
        if (!isNumericColumn(c)) {
            continue;
        }
        const Cell& cell = check.cell(c);
        if (const auto* text = std::get_if<std::string>(&cell)) {
            if (!wholeTextNumber(*text)) {
                check.problem(c, "holds the text " + quoted(printableText(*text, 60)) +
                                     " where a number is expected");
                readable = false;
            }
        } else if (const auto* value = std::get_if<double>(&cell);
                   value && !std::isfinite(*value)) {
            check.problem(c, "holds a value that is not a finite number");
            readable = false;
        }
    }
    return readable;
}

// The demand curve's days: whole days in the order 1 <= stage-1 end < peak start < peak end <
// season end <= 366.
void checkDays(RowCheck& check) {
    bool daysWhole = true;
    for (int c : {CropColumn::Stage1EndDay, CropColumn::PeakStartDay, CropColumn::PeakEndDay,
                  CropColumn::SeasonEndDay}) {
        const double day = check.number(c);
        if (day != std::floor(day)) {
            check.problem(c,
                          "holds " + shortestText(day) + ", which is not a whole number of days");
            daysWhole = false;
        }
    }
    if (!daysWhole) {
        return;
    }
    const double stage1End = check.number(CropColumn::Stage1EndDay);
    const double peakStart = check.number(CropColumn::PeakStartDay);
    const double peakEnd = check.number(CropColumn::PeakEndDay);
    const double seasonEnd = check.number(CropColumn::SeasonEndDay);
    if (stage1End < 1) {
        check.problem(CropColumn::Stage1EndDay,
                      "is day " + shortestText(stage1End) + "; stage 1 must end on day 1 or later");
    }
    if (peakStart <= stage1End) {
        check.problem(CropColumn::PeakStartDay, "is day " + shortestText(peakStart) +
                                                    "; it must come after the stage-1 end day (" +
                                                    shortestText(stage1End) + ")");
    }
    // The peak's demand is spread over its days less one, so it lasts two days at least.
    if (peakEnd < peakStart + 2) {
        check.problem(CropColumn::PeakEndDay, "is day " + shortestText(peakEnd) +
                                                  "; it must come at least two days after the peak "
                                                  "start day (" +
                                                  shortestText(peakStart) + ")");
    }
    if (seasonEnd <= peakEnd) {
        check.problem(CropColumn::SeasonEndDay, "is day " + shortestText(seasonEnd) +
                                                    "; it must come after the peak end day (" +
                                                    shortestText(peakEnd) + ")");
    }
    if (seasonEnd > 366) {
        check.problem(CropColumn::SeasonEndDay,
                      "is day " + shortestText(seasonEnd) + "; a season ends by day 366");
    }
}

bool isDivisor(int column) {
    return column == CropColumn::DemandDivisor || column == CropColumn::WaterUseSlope;
}

// The season's water use and the peak daily demand are divided by these.
bool divisorsUsable(RowCheck& check) {
    bool usable = true;
    for (int c : {CropColumn::DemandDivisor, CropColumn::WaterUseSlope}) {
        if (isEmpty(check.cell(c))) {
            check.problem(c, "is empty; the season's water use is divided by it");
            usable = false;
        } else if (check.number(c) == 0) {
            check.problem(c, "is zero; the season's water use is divided by it");
            usable = false;
        }
    }
    return usable;
}

// Every other figure the computations read lies in a range wide enough for any real crop (a
// divisor already named as empty or zero is not named again).
bool figuresInRange(RowCheck& check, bool divisorsAreUsable) {
    bool inRange = true;
    for (const CropColumnRange& range : cropColumnRanges()) {
        const double value = check.number(range.column);
        if ((isDivisor(range.column) && !divisorsAreUsable && value == 0) ||
            range.contains(value)) {
            continue;
        }
        check.problem(range.column,
                      "holds " + messageNumber(value) + "; it must be " + range.describe());
        inRange = false;
    }
    return inRange;
}

// The target-yield slider runs from the minimum to the maximum yield in whole kg/ha and starts
// at the recommended yield.
void checkYields(RowCheck& check) {
    const double minimum = check.number(CropColumn::MinYield);
    const double maximum = check.number(CropColumn::MaxYield);
    const double recommended = check.number(CropColumn::RecommendedYield);
    if (minimum > maximum) {
        check.problem(CropColumn::MinYield, "is " + shortestText(minimum) +
                                                " kg/ha, above the maximum yield (" +
                                                shortestText(maximum) + " kg/ha)");
    } else if (recommended < minimum || recommended > maximum) {
        check.problem(CropColumn::RecommendedYield,
                      "is " + shortestText(recommended) +
                          " kg/ha, outside the range from the minimum (" + shortestText(minimum) +
                          ") to the maximum yield (" + shortestText(maximum) + ")");
    }
}

// The season's water use at either end of the yield range; false when it is not plausible.
bool seasonWaterUsePlausible(RowCheck& check) {
    const double slope = check.number(CropColumn::WaterUseSlope);
    const double intercept = check.number(CropColumn::WaterUseIntercept);
    for (const double yield :
         {check.number(CropColumn::MinYield), check.number(CropColumn::MaxYield)}) {
        const double use = (yield + intercept) / slope;
        if (!(use > 0 && use <= kMaxSeasonWaterUse)) {
            check.problem(CropColumn::WaterUseIntercept,
                          "gives with the water-use slope a season's water use of " +
                              shortestText(use) + " mm at " + shortestText(yield) +
                              " kg/ha; it must be more than 0 and at most " +
                              shortestText(kMaxSeasonWaterUse) + " mm");
            return false;
        }
    }
    return true;
}

void checkPeakDemand(RowCheck& check) {
    const double maximum = check.number(CropColumn::MaxYield);
    const double peak = (maximum + check.number(CropColumn::WaterUseIntercept)) /
                        check.number(CropColumn::WaterUseSlope) /
                        check.number(CropColumn::DemandDivisor);
    if (peak > kMaxPeakDemand) {
        check.problem(CropColumn::DemandDivisor,
                      "gives a peak daily demand of " + shortestText(peak) + " mm at " +
                          shortestText(maximum) + " kg/ha; it must be at most " +
                          shortestText(kMaxPeakDemand) + " mm per day");
    }
}

// A rooting depth that reaches into the top layer, and a root length the soil computation can
// use.
void checkRoots(RowCheck& check) {
    const double rootingDepth =
        check.number(CropColumn::RootDepthFactor) * check.number(CropColumn::RootDepth);
    if (rootingDepth < kMinRootingDepth || rootingDepth > kMaxRootingDepth) {
        check.problem(CropColumn::RootDepthFactor,
                      "gives with the rooting depth (" + columnText(CropColumn::RootDepth) +
                          ") a rooting depth of " + shortestText(rootingDepth) +
                          " mm; it must be from " + shortestText(kMinRootingDepth) + " to " +
                          shortestText(kMaxRootingDepth) + " mm");
    }
    const double x = check.number(CropColumn::RootDepth);
    const double rootLength =
        (check.number(CropColumn::RootA0) + check.number(CropColumn::RootA0 + 1) * x +
         check.number(CropColumn::RootA0 + 2) * x * x +
         check.number(CropColumn::RootA0 + 3) * x * x * x) *
        check.number(CropColumn::RootScale);
    if (!(rootLength > 0 && rootLength <= kMaxRootLength)) {
        check.problem(CropColumn::RootScale, "gives with the root length coefficients (columns " +
                                                 std::to_string(CropColumn::RootA0) + " to " +
                                                 std::to_string(CropColumn::RootA0 + 3) +
                                                 ") a root length of " + shortestText(rootLength) +
                                                 "; it must be more than 0 and at most " +
                                                 shortestText(kMaxRootLength));
    }
}

} // namespace

// The checks run in stages; a stage whose problems would make the later ones meaningless (an
// empty row, unknown or unreadable values, unusable divisors, figures out of range, an
// implausible water use) ends the checking.
std::vector<CropRowProblem> checkCropRow(const CropTable& table, int row) {
    RowCheck check(table, row);
    if (!rowHoldsValues(check) || !formulasHaveResults(check)) {
        return check.problems;
    }
    checkCropName(check);
    if (!numbersReadable(check)) {
        return check.problems;
    }
    checkDays(check);
    const bool divisorsAreUsable = divisorsUsable(check);
    if (!figuresInRange(check, divisorsAreUsable) || !divisorsAreUsable) {
        return check.problems;
    }
    checkYields(check);
    if (seasonWaterUsePlausible(check)) {
        checkPeakDemand(check);
        checkRoots(check);
    }
    return check.problems;
}

std::optional<std::filesystem::path> cropPicturePath(const std::filesystem::path& programFolder,
                                                     const Cell& pictureCell) {
    const auto* text = std::get_if<std::string>(&pictureCell);
    if (text == nullptr || text->empty()) {
        return std::nullopt;
    }
    std::string relative = *text;
    std::replace(relative.begin(), relative.end(), '\\', '/');
    if (relative.find('\0') != std::string::npos) {
        return std::nullopt;
    }
    std::error_code ec;
    const auto folder = std::filesystem::weakly_canonical(programFolder, ec);
    if (ec) {
        return std::nullopt;
    }
    // The column's path is put directly behind the folder, as the workbook's rows expect.
    const auto joined = std::filesystem::weakly_canonical(
        std::filesystem::path(programFolder.native() + relative), ec);
    if (ec) {
        return std::nullopt;
    }
    const auto rel = joined.lexically_relative(folder);
    if (rel.empty() || rel == "." || *rel.begin() == "..") {
        return std::nullopt;
    }
    return joined;
}

} // namespace tavik
