#include "CropWorkbook.h"

#include <QDir>

namespace tavik {

QString defaultWorkbookPath(const QString& programFolder) {
    return QDir(programFolder).filePath(QString::fromLatin1(kWorkbookFileName));
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

CropTableReport loadCropTable(mType& state, const QString& path) {
    CropTableReport report;
    const CropTable::LoadResult loaded = loadCropData(state);
    if (loaded.error) {
        report.error = workbookErrorMessage(path, *loaded.error);
        return report;
    }
    if (!loaded.problems.empty()) {
        report.leftOut = "These crop rows of the workbook \"" + path.toStdString() +
                         "\" cannot be used, so their crops are not offered:\n\n" +
                         describeCropProblems(loaded.problems);
    }
    if (state.CropData.offeredRows().empty()) {
        std::string problem = state.CropData.RowCount() < 2
                                  ? "its first sheet holds no crop rows (crops begin in row 2)"
                                  : "none of its crop rows can be used";
        report.error = workbookErrorMessage(path, problem);
        if (report.leftOut) {
            *report.error += "\n\n" + describeCropProblems(loaded.problems);
        }
    }
    return report;
}

} // namespace tavik
