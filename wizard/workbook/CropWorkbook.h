#pragma once

#include "WorkbookReader.h"
#include "state/WizardState.h"

#include <QString>
#include <string>

namespace tavik {

// The workbook path of a program folder: the folder followed by "/SampleData.xls".
QString defaultWorkbookPath(const QString& programFolder);

// Where the program's data (workbook, pictures, dial face, logo) lies: its own folder when
// they are there (the build tree, a copied folder), else the installed data folder
// ("share/tavik" beside the "bin" folder that holds the program).
QString dataFolder(const QString& programFolder);

// The crop workbook the program reads: the one in its own folder; else a per-user copy
// ("tavik/SampleData.xls" in the XDG data folder, normally ~/.local/share), which a user
// may edit; else the installed one. In each folder SampleData.xls, SampleData.xlsx and
// SampleData.ods are looked for in that order. When none is there, the program folder's .xls
// (so that the message names it).
QString findWorkbook(const QString& programFolder);

// Opens the crop workbook into state.CropWorkbook. On failure returns the message for the
// user (naming the path and the problem) and leaves the state as it was.
std::optional<std::string> openCropWorkbook(mType& state, const QString& path,
                                            const WorkbookReaderOptions& options);

// What loading the crop table reported, ready for the user.
// A message about unusable rows stays short enough to read on a screen or a terminal: it lists
// the first problems and counts the rest; `details` holds many more of them, a line each.
struct CropTableReport {
    std::optional<std::string> problem; // the table cannot be used at all
    std::optional<std::string> leftOut; // some rows cannot be used: heading and first problems
    std::string details; // when leftOut counts problems it leaves out: the first 1,000 of all
};

// How many problems a message lists before it counts the rest, and how many its details list.
inline constexpr std::size_t kListedCropProblems = 12;
inline constexpr std::size_t kDetailedCropProblems = 1000;

// Copies the opened workbook into CropData (releasing it) and words the outcome. A workbook
// without a single usable crop row is an error: there would be nothing to plan.
// On a terminal (standard error) there are no details to point to.
CropTableReport loadCropTable(mType& state, const QString& path, bool onTerminal = false);

} // namespace tavik
