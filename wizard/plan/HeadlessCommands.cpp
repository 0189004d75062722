#include "HeadlessCommands.h"

#include "state/NumberText.h"
#include "workbook/CropWorkbook.h"

#include <ostream>

namespace tavik {

int runCropsCommand(const QStringList& arguments, const HeadlessContext& context) {
    QString workbook = defaultWorkbookPath(context.programFolder);
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--workbook")) {
            if (i + 1 >= arguments.size() || arguments[i + 1].isEmpty()) {
                context.err << "tavik crops: --workbook needs a file name\n";
                return kExitBadInput;
            }
            workbook = arguments[++i];
        } else {
            context.err << "tavik crops: unknown argument \"" << arguments[i].toStdString()
                        << "\" (usage: tavik crops [--workbook FILE])\n";
            return kExitBadInput;
        }
    }

    mType state;
    WorkbookReaderOptions options;
    options.readerProgram = context.readerProgram;
    if (const auto error = openCropWorkbook(state, workbook, options)) {
        context.err << "tavik crops: " << *error << '\n';
        return kExitWorkbook;
    }
    const CropTableReport report = loadCropTable(state, workbook);
    if (report.error) {
        context.err << "tavik crops: " << *report.error << '\n';
        return kExitWorkbook;
    }
    if (report.leftOut) {
        context.err << "tavik crops: " << *report.leftOut << '\n';
    }
    const CropTable& crops = state.CropData;
    for (const std::int16_t row : crops.offeredRows()) {
        context.out << row << '\t' << crops.text(row, CropColumn::Name) << '\t'
                    << shortestText(crops.number(row, CropColumn::MinYield)) << '\t'
                    << shortestText(crops.number(row, CropColumn::MaxYield)) << '\t'
                    << shortestText(crops.number(row, CropColumn::RecommendedYield)) << '\n';
    }
    context.out.flush();
    return kExitOk;
}

} // namespace tavik
