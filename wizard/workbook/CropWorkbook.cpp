#include "CropWorkbook.h"

#include "state/NumberText.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace tavik {

QString defaultWorkbookPath(const QString& programFolder) {
    return QDir(programFolder).filePath(QString::fromLatin1(kWorkbookFileName));
}

namespace {

QString installedDataFolder(const QString& programFolder) {
    return QDir::cleanPath(programFolder + QStringLiteral("/../share/tavik"));
}

// The crop workbook a folder holds, in any of the formats read, the first of them in order;
// empty when it holds none.
QString workbookIn(const QString& folder) {
    const QString xls = defaultWorkbookPath(folder);
    for (const QString& path :
         {xls, xls + QLatin1Char('x'), xls.chopped(3) + QStringLiteral("ods")}) {
        if (QFileInfo::exists(path)) {
            return path;
        }
    }
    return {};
}

} // namespace

QString dataFolder(const QString& programFolder) {
    const auto holdsData = [](const QString& folder) {
        return !workbookIn(folder).isEmpty() ||
               QFileInfo(QDir(folder).filePath(QStringLiteral("pictures"))).isDir();
    };
    if (holdsData(programFolder)) {
        return programFolder;
    }
    const QString installed = installedDataFolder(programFolder);
    return holdsData(installed) ? installed : programFolder;
}

QString findWorkbook(const QString& programFolder) {
    if (QString own = workbookIn(programFolder); !own.isEmpty()) {
        return own;
    }
    const QString userData = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (!userData.isEmpty()) {
        if (QString edited = workbookIn(QDir(userData).filePath(QStringLiteral("tavik")));
            !edited.isEmpty()) {
            return edited;
        }
    }
    const QString installed = workbookIn(installedDataFolder(programFolder));
    return installed.isEmpty() ? defaultWorkbookPath(programFolder) : installed;
}

std::optional<std::string> openCropWorkbook(mType& state, const QString& path,
                                            const WorkbookReaderOptions& options) {
    WorkbookReadResult read = readWorkbook(path, options);
    if (!read.sheet) {
        return workbookErrorMessage(path, read.problem);
    }
    state.CropWorkbook = std::move(read.sheet);
    return std::nullopt;
}

namespace {

// "… and 3 more problems in 2 more rows" after the first `listed` problems.
std::string moreProblems(const std::vector<CropRowProblem>& problems, std::size_t listed) {
    std::vector<int> rows;
    for (auto p = problems.begin() + static_cast<std::ptrdiff_t>(listed); p != problems.end();
         ++p) {
        if (p->row != problems[listed - 1].row && (rows.empty() || rows.back() != p->row)) {
            rows.push_back(p->row);
        }
    }
    const std::size_t more = problems.size() - listed;
    return "… and " + std::to_string(more) + " more problem" + (more == 1 ? "" : "s") +
           (rows.empty() ? ""
                         : " in " + std::to_string(rows.size()) + " more row" +
                               (rows.size() == 1 ? "" : "s"));
}

// The first `listed` problems, one a line, and a count of the others.
std::string listedProblems(const std::vector<CropRowProblem>& problems, std::size_t listed,
                           const char* ending) {
    if (problems.size() <= listed) {
        return describeCropProblems(problems);
    }
    const std::vector<CropRowProblem> first(problems.begin(),
                                            problems.begin() + static_cast<std::ptrdiff_t>(listed));
    return describeCropProblems(first) + "\n" + moreProblems(problems, listed) + ending;
}

} // namespace

CropTableReport loadCropTable(mType& state, const QString& path, bool onTerminal) {
    CropTableReport report;
    const CropTable::LoadResult loaded = loadCropData(state);
    if (loaded.problem) {
        report.problem = workbookErrorMessage(path, *loaded.problem);
        return report;
    }
    // Problems the message leaves out are listed in the message box's details, up to a bound.
    const std::size_t count = loaded.rowProblems.size();
    const std::string pointer = count <= kDetailedCropProblems
                                    ? " (all of them are listed in the details)."
                                    : " (the first " + std::to_string(kDetailedCropProblems) +
                                          " are listed in the details).";
    const std::string listed =
        listedProblems(loaded.rowProblems, kListedCropProblems, onTerminal ? "." : pointer.c_str());
    if (count > 0) {
        report.leftOut = "These crop rows of the workbook \"" + printableText(path.toStdString()) +
                         "\" cannot be used, so their crops are not offered:\n\n" + listed;
    }
    if (count > kListedCropProblems) {
        report.details = listedProblems(loaded.rowProblems, kDetailedCropProblems, ".");
    }
    if (state.CropData.offeredRows().empty()) {
        std::string problem = state.CropData.RowCount() < 2
                                  ? "its first sheet holds no crop rows (crops begin in row 2)"
                                  : "none of its crop rows can be used";
        report.problem = workbookErrorMessage(path, problem);
        if (report.leftOut) {
            *report.problem += "\n\n" + listed;
        }
    }
    return report;
}

} // namespace tavik
