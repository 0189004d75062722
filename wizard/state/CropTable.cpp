#include "CropTable.h"

#include "NumberText.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tavik {

namespace {

const Cell kEmptyCell{};

constexpr int kMaxRowCount = std::numeric_limits<std::int16_t>::max();

bool isNumericColumn(int column) {
    return (column >= CropColumn::Stage1EndFactor && column <= CropColumn::UptakeRatio) ||
           column == CropColumn::Stage1EndDay;
}

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

} // namespace

std::string cropColumnName(int column) {
    switch (column) {
    case 1:
        return "crop name";
    case 2:
        return "stage-1 end factor";
    case 3:
        return "season-end factor";
    case 4:
        return "peak start day";
    case 5:
        return "peak end day";
    case 6:
        return "demand divisor";
    case 7:
        return "water-use slope";
    case 8:
        return "water-use intercept";
    case 9:
        return "minimum yield";
    case 10:
        return "maximum yield";
    case 11:
        return "recommended yield";
    case 12:
        return "season end day";
    case 13:
        return "root length coefficient a0";
    case 14:
        return "root length coefficient a1";
    case 15:
        return "root length coefficient a2";
    case 16:
        return "root length coefficient a3";
    case 17:
        return "root length scale";
    case 18:
        return "rooting depth factor";
    case 19:
        return "rooting depth";
    case 20:
        return "crop factor K";
    case 21:
        return "limiting leaf water potential";
    case 22:
        return "90 % root depth fraction";
    case 23:
        return "uptake ratio";
    case 36:
        return "stage-1 end day";
    case 37:
        return "picture path";
    default:
        return "not used";
    }
}

std::string CropRowProblem::describe() const {
    std::string text = "Row " + std::to_string(row);
    if (!crop.empty()) {
        text += " (" + crop + ")";
    }
    if (column > 0) {
        text += ", column " + std::to_string(column) + " (" + cropColumnName(column) + ")";
    }
    return text + ": " + what + ".";
}

CropTable::CropTable() : cells_(1, std::vector<Cell>(CropColumn::Last + 1)) {}

CropTable::LoadResult CropTable::load(const SheetCells& usedRange) {
    *this = CropTable();
    LoadResult result;
    if (usedRange.rows.size() > static_cast<std::size_t>(kMaxRowCount)) {
        result.error = "the crop sheet's used range has " + std::to_string(usedRange.rows.size()) +
                       " rows, more than the 32,767 rows that can be read";
        return result;
    }
    rowCount_ = static_cast<std::int16_t>(usedRange.rows.size());
    cells_.assign(static_cast<std::size_t>(rowCount_) + 1, std::vector<Cell>(CropColumn::Last + 1));
    for (int r = 2; r <= rowCount_; ++r) {
        const auto& sheetRow = usedRange.rows[static_cast<std::size_t>(r - 1)];
        auto& row = cells_[static_cast<std::size_t>(r)];
        const auto columns = std::min<std::size_t>(sheetRow.size(), CropColumn::Last);
        std::copy_n(sheetRow.begin(), columns, row.begin() + 1);
    }
    for (int r = 2; r <= rowCount_; ++r) {
        auto problems = checkCropRow(*this, r);
        if (problems.empty()) {
            offered_.push_back(static_cast<std::int16_t>(r));
        } else {
            result.problems.insert(result.problems.end(), problems.begin(), problems.end());
        }
    }
    return result;
}

const Cell& CropTable::cell(int row, int column) const {
    if (row < 0 || row > rowCount_ || column < CropColumn::First || column > CropColumn::Last) {
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
    return 0.0;
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

std::vector<CropRowProblem> checkCropRow(const CropTable& table, int row) {
    std::vector<CropRowProblem> problems;
    const std::string crop = table.text(row, CropColumn::Name);
    const auto problem = [&](int column, std::string what) {
        problems.push_back({row, crop, column, std::move(what)});
    };

    bool allEmpty = true;
    for (int c = CropColumn::First; c <= CropColumn::Last; ++c) {
        allEmpty = allEmpty && isEmpty(table.cell(row, c));
    }
    if (allEmpty) {
        problem(0, "the row is empty");
        return problems;
    }

    // Every numeric column must hold a finite number (or a text that is one).
    bool numbersReadable = true;
    for (int c = CropColumn::Stage1EndFactor; c <= CropColumn::Last; ++c) {
        if (!isNumericColumn(c)) {
            continue;
        }
        const Cell& cell = table.cell(row, c);
        if (const auto* text = std::get_if<std::string>(&cell)) {
            if (!wholeTextNumber(*text)) {
                problem(c, "holds the text " + quoted(*text) + " where a number is expected");
                numbersReadable = false;
            }
        } else if (const auto* value = std::get_if<double>(&cell);
                   value && !std::isfinite(*value)) {
            problem(c, "holds a value that is not a finite number");
            numbersReadable = false;
        }
    }
    if (!numbersReadable) {
        return problems;
    }
    const auto number = [&](int column) {
        return table.number(row, column);
    };

    // The demand curve's days: whole days in the order 1 <= stage-1 end < peak start <
    // peak end < season end <= 366.
    bool daysWhole = true;
    for (int c : {CropColumn::Stage1EndDay, CropColumn::PeakStartDay, CropColumn::PeakEndDay,
                  CropColumn::SeasonEndDay}) {
        const double day = number(c);
        if (day != std::floor(day)) {
            problem(c, "holds " + shortestText(day) + ", which is not a whole number of days");
            daysWhole = false;
        }
    }
    if (daysWhole) {
        const double stage1End = number(CropColumn::Stage1EndDay);
        const double peakStart = number(CropColumn::PeakStartDay);
        const double peakEnd = number(CropColumn::PeakEndDay);
        const double seasonEnd = number(CropColumn::SeasonEndDay);
        if (stage1End < 1) {
            problem(CropColumn::Stage1EndDay,
                    "is day " + shortestText(stage1End) + "; stage 1 must end on day 1 or later");
        }
        if (peakStart <= stage1End) {
            problem(CropColumn::PeakStartDay, "is day " + shortestText(peakStart) +
                                                  "; it must come after the stage-1 end day (" +
                                                  shortestText(stage1End) + ")");
        }
        // The peak's demand is spread over its days less one, so it lasts two days at least.
        if (peakEnd < peakStart + 2) {
            problem(CropColumn::PeakEndDay, "is day " + shortestText(peakEnd) +
                                                "; it must come at least two days after the peak "
                                                "start day (" +
                                                shortestText(peakStart) + ")");
        }
        if (seasonEnd <= peakEnd) {
            problem(CropColumn::SeasonEndDay, "is day " + shortestText(seasonEnd) +
                                                  "; it must come after the peak end day (" +
                                                  shortestText(peakEnd) + ")");
        }
        if (seasonEnd > 366) {
            problem(CropColumn::SeasonEndDay,
                    "is day " + shortestText(seasonEnd) + "; a season ends by day 366");
        }
    }

    // The season's water use and the peak daily demand are divided by these.
    for (int c : {CropColumn::DemandDivisor, CropColumn::WaterUseSlope}) {
        if (isEmpty(table.cell(row, c))) {
            problem(c, "is empty; the season's water use is divided by it");
        } else if (number(c) == 0) {
            problem(c, "is zero; the season's water use is divided by it");
        }
    }

    // The target-yield slider runs from the minimum to the maximum yield in whole kg/ha and
    // starts at the recommended yield.
    constexpr double kSliderLimit = std::numeric_limits<std::int32_t>::max();
    bool yieldsFit = true;
    for (int c : {CropColumn::MinYield, CropColumn::MaxYield, CropColumn::RecommendedYield}) {
        if (std::fabs(number(c)) > kSliderLimit) {
            problem(c,
                    "holds " + shortestText(number(c)) + " kg/ha, too large for the yield slider");
            yieldsFit = false;
        }
    }
    if (yieldsFit) {
        const double minimum = number(CropColumn::MinYield);
        const double maximum = number(CropColumn::MaxYield);
        const double recommended = number(CropColumn::RecommendedYield);
        if (minimum > maximum) {
            problem(CropColumn::MinYield, "is " + shortestText(minimum) +
                                              " kg/ha, above the maximum yield (" +
                                              shortestText(maximum) + " kg/ha)");
        } else if (recommended < minimum || recommended > maximum) {
            problem(CropColumn::RecommendedYield,
                    "is " + shortestText(recommended) +
                        " kg/ha, outside the range from the minimum (" + shortestText(minimum) +
                        ") to the maximum yield (" + shortestText(maximum) + ")");
        }
    }
    return problems;
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

namespace tavik {

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

} // namespace tavik
