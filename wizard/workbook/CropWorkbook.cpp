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

} // namespace

QString dataFolder(const QString& programFolder) {
    const auto holdsData = [](const QString& folder) {
        return QFileInfo::exists(defaultWorkbookPath(folder)) ||
               QFileInfo(QDir(folder).filePath(QStringLiteral("pictures"))).isDir();
    };
    if (holdsData(programFolder)) {
        return programFolder;
    }
    const QString installed = installedDataFolder(programFolder);
    return holdsData(installed) ? installed : programFolder;
}

QString findWorkbook(const QString& programFolder) {
    const QString own = defaultWorkbookPath(programFolder);
    if (QFileInfo::exists(own)) {
        return own;
    }
    const QString userData = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (!userData.isEmpty()) {
        const QString edited = QDir(userData).filePath(QStringLiteral("tavik/") +
                                                       QString::fromLatin1(kWorkbookFileName));
        if (QFileInfo::exists(edited)) {
            return edited;
        }
    }
    const QString installed = defaultWorkbookPath(installedDataFolder(programFolder));
    return QFileInfo::exists(installed) ? installed : own;
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

// The first problems, one a line, and a count of the others.
std::string listedProblems(const std::vector<CropRowProblem>& problems) {
    if (problems.size() <= kListedCropProblems) {
        return describeCropProblems(problems);
    }
    const std::vector<CropRowProblem> first(problems.begin(),
                                            problems.begin() + kListedCropProblems);
    std::vector<int> rows;
    for (auto p = problems.begin() + kListedCropProblems; p != problems.end(); ++p) {
        if (p->row != first.back().row && (rows.empty() || rows.back() != p->row)) {
            rows.push_back(p->row);
        }
    }
    const std::size_t more = problems.size() - kListedCropProblems;
    return describeCropProblems(first) + "\n… and " + std::to_string(more) + " more problem" +
           (more == 1 ? "" : "s") +
           (rows.empty() ? ""
                         : " in " + std::to_string(rows.size()) + " more row" +
                               (rows.size() == 1 ? "" : "s")) +
           " (all of them are listed in the details).";
}

} // namespace

CropTableReport loadCropTable(mType& state, const QString& path, bool everyProblem) {
    CropTableReport report;
    const CropTable::LoadResult loaded = loadCropData(state);
    if (loaded.problem) {
        report.problem = workbookErrorMessage(path, *loaded.problem);
        return report;
    }
    const std::string listed = everyProblem ? describeCropProblems(loaded.rowProblems)
                                            : listedProblems(loaded.rowProblems);
    if (!loaded.rowProblems.empty()) {
        report.leftOut = "These crop rows of the workbook \"" + printableText(path.toStdString()) +
                         "\" cannot be used, so their crops are not offered:\n\n" + listed;
        report.details = describeCropProblems(loaded.rowProblems);
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
