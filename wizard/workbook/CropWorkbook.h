#pragma once

#include "WorkbookReader.h"
#include "state/WizardState.h"

#include <QString>
#include <string>

namespace tavik {

// The workbook path of a program folder: the folder followed by "/SampleData.xls".
QString defaultWorkbookPath(const QString& programFolder);

// Opens the crop workbook into state.CropWorkbook. On failure returns the message for the
// user (naming the path and the problem) and leaves the state as it was.
std::optional<std::string> openCropWorkbook(mType& state, const QString& path,
                                            const WorkbookReaderOptions& options);

// What loading the crop table reported, ready for the user.
struct CropTableReport {
    std::optional<std::string> error;   // the table cannot be used at all
    std::optional<std::string> leftOut; // some rows cannot be used (one line per problem)
};

// Copies the opened workbook into CropData (releasing it) and words the outcome. A workbook
// without a single usable crop row is an error: there would be nothing to plan.
CropTableReport loadCropTable(mType& state, const QString& path);

} // namespace tavik
