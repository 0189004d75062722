#include "HeadlessCommands.h"

#include "Plan.h"
#include "PlanOutput.h"
#include "TimeStamp.h"
#include "state/NumberText.h"
#include "workbook/CropWorkbook.h"

#include <QFile>
#include <QSaveFile>
#include <ostream>

namespace tavik {

namespace {

// Opens the workbook and loads its crop table, or says why not.
std::optional<CropTable> loadCrops(const QString& workbook, const HeadlessContext& context,
                                   const char* command, bool nameUnusableRows) {
    mType state;
    WorkbookReaderOptions options;
    options.readerProgram = context.readerProgram;
    if (const auto error = openCropWorkbook(state, workbook, options)) {
        context.err << "tavik " << command << ": " << *error << '\n';
        return std::nullopt;
    }
    const CropTableReport report = loadCropTable(state, workbook);
    if (report.error) {
        context.err << "tavik " << command << ": " << *report.error << '\n';
        return std::nullopt;
    }
    if (report.leftOut && nameUnusableRows) {
        context.err << "tavik " << command << ": " << *report.leftOut << '\n';
    }
    return state.CropData;
}

} // namespace

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

    const auto table = loadCrops(workbook, context, "crops", true);
    if (!table) {
        return kExitWorkbook;
    }
    const CropTable& crops = *table;
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

namespace tavik {

int runPlanCommand(const QStringList& arguments, const HeadlessContext& context) {
    constexpr const char* kUsage = "usage: tavik plan SCENARIO.json [--workbook FILE] [--format "
                                   "text|rtf|json|csv] [--output FILE]";
    QString scenarioPath;
    QString workbook = defaultWorkbookPath(context.programFolder);
    QString format = QStringLiteral("text");
    QString output;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const bool takesValue = argument == QLatin1String("--workbook") ||
                                argument == QLatin1String("--format") ||
                                argument == QLatin1String("--output");
        if (takesValue) {
            if (i + 1 >= arguments.size() || arguments[i + 1].isEmpty()) {
                context.err << "tavik plan: " << argument.toStdString() << " needs a value\n"
                            << kUsage << '\n';
                return kExitBadInput;
            }
            QString& target = argument == QLatin1String("--workbook") ? workbook
                              : argument == QLatin1String("--format") ? format
                                                                      : output;
            target = arguments[++i];
        } else if (argument.startsWith(QLatin1String("--")) || !scenarioPath.isEmpty()) {
            context.err << "tavik plan: unknown argument \"" << argument.toStdString() << "\"\n"
                        << kUsage << '\n';
            return kExitBadInput;
        } else {
            scenarioPath = argument;
        }
    }
    if (scenarioPath.isEmpty()) {
        context.err << "tavik plan: give a scenario file\n" << kUsage << '\n';
        return kExitBadInput;
    }
    if (format != QLatin1String("text") && format != QLatin1String("rtf") &&
        format != QLatin1String("json") && format != QLatin1String("csv")) {
        context.err << "tavik plan: --format must be text, rtf, json or csv, not \""
                    << format.toStdString() << "\"\n";
        return kExitBadInput;
    }

    QFile file(scenarioPath);
    if (!file.open(QIODevice::ReadOnly)) {
        context.err << "tavik plan: the scenario file \"" << scenarioPath.toStdString()
                    << "\" cannot be read: " << file.errorString().toStdString() << '\n';
        return kExitBadInput;
    }
    const ScenarioParse parse = parseScenario(file.readAll().toStdString());
    if (!parse.scenario) {
        context.err << "tavik plan: " << scenarioPath.toStdString() << ": " << parse.problem
                    << '\n';
        return kExitBadInput;
    }

    const auto crops = loadCrops(workbook, context, "plan", false);
    if (!crops) {
        return kExitWorkbook;
    }
    const PlanOutcome outcome = runPlan(*crops, *parse.scenario, currentTimeStamp());
    if (!outcome.result) {
        context.err << "tavik plan: " << scenarioPath.toStdString() << ": " << outcome.problem
                    << '\n';
        return kExitBadInput;
    }
    const std::string text = format == QLatin1String("rtf")    ? planRtf(*outcome.result)
                             : format == QLatin1String("json") ? planJson(*outcome.result)
                             : format == QLatin1String("csv")  ? planCsv(*outcome.result)
                                                               : planText(*outcome.result);
    if (output.isEmpty()) {
        context.out << text;
        context.out.flush();
        return kExitOk;
    }
    QSaveFile target(output);
    if (!target.open(QIODevice::WriteOnly) ||
        target.write(text.data(), static_cast<qint64>(text.size())) !=
            static_cast<qint64>(text.size()) ||
        !target.commit()) {
        context.err << "tavik plan: --output \"" << output.toStdString()
                    << "\" cannot be written: " << target.errorString().toStdString() << '\n';
        return kExitBadInput;
    }
    return kExitOk;
}

} // namespace tavik
