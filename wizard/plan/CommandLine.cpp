#include "CommandLine.h"

#include "FileNames.h"
#include "Scenario.h"
#include "state/CropTable.h"
#include "state/NumberText.h"

#include <QRegularExpression>
#include <algorithm>
#include <filesystem>
#include <optional>

namespace tavik {

const std::vector<OptionSpec>& commandOptions() {
    static const std::vector<OptionSpec> options{
        {Option::Workbook, "--workbook", "FILE"},
        {Option::Format, "--format", "FORMAT"},
        {Option::Size, "--size", "WIDTHxHEIGHT"},
        {Option::Chart, "--chart", "individual|cumulative"},
        {Option::Output, "--output", "FILE"},
        {Option::Batch, "--batch", "FOLDER"},
        {Option::OutputDir, "--output-dir", "FOLDER"},
        {Option::Today, "--today", "YYYY-MM-DD"},
        {Option::Rain, "--rain", "DATE=MM"},
        {Option::Irrigated, "--irrigated", "DATE=MM"},
        {Option::Reading, "--reading", "DATE=W1,W2,..."},
        {Option::ImportRain, "--import-rain", "FILE.csv"},
    };
    return options;
}

namespace {

using enum Option;

// Every way of calling tavik, in the order --help and the manual page show them.
const std::vector<Usage> kUsages{
    {Command::Wizard,
     "",
     "[--no-splash]",
     {},
     {},
     "the wizard; with --no-splash it starts at the crop\n"
     "choice screen"},
    {Command::Wizard,
     "",
     "PLAN.tavikplan",
     {},
     {},
     "the wizard with a saved plan opened: its schedule shown"},
    {Command::Crops,
     "crops",
     "",
     {Workbook},
     {},
     "the crops of the workbook: row, name, minimum,\n"
     "maximum and recommended yield (kg/ha)"},
    {Command::Plan,
     "plan",
     "SCENARIO.json",
     {Workbook, Format, Size, Chart, Output, Today},
     {},
     "the irrigation schedule of a scenario, as FORMAT:\n"
     "  text  the report (the default)\n"
     "  rtf   the saved report document\n"
     "  json  every figure\n"
     "  csv   the irrigation table\n"
     "  ics   the irrigation days as calendar events (the\n"
     "        scenario needs a \"plantingDate\")\n"
     "  pdf   the field sheet: A4 pages to pin up\n"
     "  png, svg  the chart, --size pixels (1200x700), as\n"
     "        --chart says (individual)\n"
     "with a season record, json, ics, pdf and (with --today)\n"
     "csv show the season as of --today (the system's date)"},
    {Command::Plan,
     "plan",
     "[SCENARIO.json...]",
     {Batch, OutputDir, Format, Workbook},
     {OutputDir},
     "many fields: the scenarios given and those of the\n"
     "--batch folder, one output per scenario in the output\n"
     "folder, named after it, and summary.csv, a line per\n"
     "field; exit status 1 when any field was refused"},
    {Command::Compare,
     "compare",
     "SCENARIO.json",
     {Workbook, Format, Output},
     {},
     "the scenario at every irrigation cycle from 2 to 10\n"
     "days: irrigations, season total, peak rate, largest\n"
     "application, days beyond capacity, split days, last day"},
    {Command::Workbook,
     "workbook",
     "FILE",
     {},
     {},
     "the used range of the workbook's first sheet as CSV"},
    {Command::Season,
     "season",
     "FIELD.tavikplan",
     {Today, Format, Workbook},
     {},
     "the season of a plan with a season record, as of\n"
     "--today (the system's date): a line per day, rain,\n"
     "irrigation logged or advised, soil water against\n"
     "plan, and the next irrigation"},
    {Command::Season,
     "season",
     "FIELD.tavikplan",
     {Rain, Irrigated, Reading, ImportRain, Workbook},
     {},
     "records into the plan file the rain or the irrigation\n"
     "of a day (mm), a soil reading (mm/mm per layer, top\n"
     "first) or a station's rain file (CSV with a date and a\n"
     "rain column); an entry on a day that has one replaces it"},
    {Command::Season,
     "season",
     "",
     {Batch, Today, Format, Workbook},
     {Batch},
     "the adviser's list: every field of the folder with a\n"
     "season, by next irrigation; exit status 1 when a field\n"
     "cannot be read"},
    {Command::Help, "", "--help | --version", {}, {}, "this text, or the version"},
};

} // namespace

const std::vector<Usage>& commandUsages() {
    return kUsages;
}

std::vector<OutputFormat> formatsOf(Command command) {
    if (command == Command::Compare || command == Command::Season) {
        return {OutputFormat::Text, OutputFormat::Csv, OutputFormat::Json};
    }
    std::vector<OutputFormat> all;
    for (const OutputFormatName& entry : kOutputFormats) {
        all.push_back(entry.format);
    }
    return all;
}

namespace {

const OptionSpec& specOf(Option option) {
    const auto& options = commandOptions();
    return *std::find_if(options.begin(), options.end(),
                         [option](const OptionSpec& known) { return known.option == option; });
}

const OptionSpec* specNamed(const QString& name) {
    for (const OptionSpec& known : commandOptions()) {
        if (name == QLatin1String(known.name.data(), static_cast<qsizetype>(known.name.size()))) {
            return &known;
        }
    }
    return nullptr;
}

std::vector<Option> optionsOf(Command command) {
    std::vector<Option> options;
    for (const Usage& usage : commandUsages()) {
        if (usage.command != command) {
            continue;
        }
        for (const Option option : usage.options) {
            if (std::find(options.begin(), options.end(), option) == options.end()) {
                options.push_back(option);
            }
        }
    }
    return options;
}

// "a, b or c"
std::string alternatives(const std::vector<OutputFormat>& formats) {
    std::string text;
    for (std::size_t i = 0; i < formats.size(); ++i) {
        text += i == 0 ? "" : i + 1 == formats.size() ? " or " : ", ";
        text += formatName(formats[i]);
    }
    return text;
}

// The value an option is shown with: a command that writes only some formats lists them.
std::string shownValue(Command command, Option option) {
    if (option == Option::Format && formatsOf(command).size() < kOutputFormats.size()) {
        std::string list;
        for (const OutputFormat format : formatsOf(command)) {
            list += (list.empty() ? "" : "|") + std::string(formatName(format));
        }
        return list;
    }
    return std::string(specOf(option).value);
}

// An argument echoed in a message: escaped, and cut short as a crop name is.
std::string shownArgument(const QString& argument) {
    return printableText(fileNameBytes(argument), kMaxCropNameLength);
}

// The synopsis broken into lines of at most `width` characters between its bracketed
// groups, the lines after the first indented by `indent` spaces.
std::string wrapped(const std::string& line, std::size_t width, std::size_t indent) {
    std::string out;
    std::size_t start = 0;
    std::size_t room = width;
    while (line.size() - start > room) {
        std::size_t cut = line.rfind(" [", start + room);
        if (cut == std::string::npos || cut <= start) {
            break;
        }
        out += line.substr(start, cut - start) + "\n" + std::string(indent, ' ');
        start = cut + 1;
        room = width - indent;
    }
    return out + line.substr(start);
}

} // namespace

std::string synopsis(const Usage& usage) {
    std::string line = "tavik";
    for (const std::string_view word : {usage.name, usage.operands}) {
        if (!word.empty()) {
            line += " " + std::string(word);
        }
    }
    for (const Option option : usage.options) {
        const bool required =
            std::find(usage.required.begin(), usage.required.end(), option) != usage.required.end();
        const std::string shown =
            std::string(specOf(option).name) + " " + shownValue(usage.command, option);
        line += required ? " " + shown : " [" + shown + "]";
    }
    return line;
}

std::string helpText() {
    constexpr std::size_t kHelpColumn = 38;
    constexpr std::size_t kWidth = 94;
    std::string text = "usage:\n";
    for (const Usage& usage : commandUsages()) {
        const std::string line = "  " + wrapped(synopsis(usage), kWidth - 2, 4);
        std::string_view help = usage.help;
        const bool sameLine = line.size() + 2 <= kHelpColumn;
        text += sameLine ? line + std::string(kHelpColumn - line.size(), ' ') : line + "\n";
        bool first = true;
        while (!help.empty()) {
            const std::size_t end = std::min(help.find('\n'), help.size());
            if (!(first && sameLine)) {
                text += std::string(kHelpColumn, ' ');
            }
            text += std::string(help.substr(0, end)) + "\n";
            help.remove_prefix(std::min(end + 1, help.size()));
            first = false;
        }
    }
    return text + R"(
The crop workbook SampleData.xls is read from the program's folder; else from
$XDG_DATA_HOME/tavik/ (normally ~/.local/share/tavik/, an edited copy of one's own); else
from the installed data folder (/usr/share/tavik/). --workbook FILE reads another.
)";
}

std::string usageOf(Command command) {
    std::string text;
    for (const Usage& usage : commandUsages()) {
        if (usage.command == command) {
            text += (text.empty() ? "usage: " : "\n       ") + synopsis(usage);
        }
    }
    return text;
}

namespace {

struct Refusal {
    std::string message;
    bool usage = false; // followed by the command's usage
};

std::string commandWord(Command command) {
    for (const Usage& usage : commandUsages()) {
        if (usage.command == command && !usage.name.empty()) {
            return std::string(usage.name);
        }
    }
    return {};
}

CommandRequest refusedWith(CommandRequest request, const Refusal& refusal) {
    const Command command = request.command;
    std::string text = "tavik " + commandWord(command) + ": " + refusal.message + "\n";
    // The crops command names its usage in the message; compare always shows its own.
    if (refusal.usage || command == Command::Compare) {
        text += usageOf(command) + "\n";
    }
    request.refusal = std::move(text);
    return request;
}

// "1200x700": the size of a chart image in pixels.
std::optional<QSize> imageSize(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral("^([0-9]{3,4})x([0-9]{3,4})$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    const QSize size(match.captured(1).toInt(), match.captured(2).toInt());
    if (!isChartImageSize(size)) {
        return std::nullopt;
    }
    return size;
}

// The options and files after the command word, each option at most once and only where
// the command takes it. Values are checked by the caller.
struct ReadOptions {
    std::vector<std::pair<Option, QString>> values;
    QStringList files;
    std::optional<QString> value(Option option) const {
        for (const auto& [given, text] : values) {
            if (given == option) {
                return text;
            }
        }
        return std::nullopt;
    }
};

std::optional<Refusal> readOptions(Command command, const QStringList& arguments,
                                   ReadOptions& read) {
    const std::vector<Option> taken = optionsOf(command);
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const OptionSpec* known = specNamed(argument);
        if (known != nullptr) {
            if (std::find(taken.begin(), taken.end(), known->option) == taken.end()) {
                return Refusal{"give one scenario file, and only the options below"};
            }
            if (i + 1 >= arguments.size() || arguments[i + 1].isEmpty()) {
                return Refusal{shownArgument(argument) + " needs a value", true};
            }
            if (read.value(known->option)) {
                return Refusal{std::string(known->name) + " is given more than once"};
            }
            read.values.emplace_back(known->option, arguments[++i]);
        } else if (argument.startsWith(QLatin1String("--"))) {
            return Refusal{"unknown argument \"" + shownArgument(argument) + "\"", true};
        } else {
            read.files << argument;
        }
    }
    return std::nullopt;
}

// "YYYY-MM-DD" exactly, a day of the calendar.
bool isDateText(const QString& text) {
    return text.size() == 10 && isIsoDate(text.toStdString());
}

// What plan and compare take, checked in the order a user best mends it: the files, where
// the outputs go, then the format and the image.
std::optional<Refusal> checkPlanOptions(const ReadOptions& read, CommandRequest& request) {
    const Command command = request.command;
    request.files = read.files;
    request.workbook = read.value(Option::Workbook).value_or(QString());
    request.output = read.value(Option::Output).value_or(QString());
    request.batch = read.value(Option::Batch).value_or(QString());
    request.outputFolder = read.value(Option::OutputDir).value_or(QString());
    if (read.files.isEmpty() && request.batch.isEmpty()) {
        return Refusal{"give a scenario file", true};
    }
    const bool many = read.files.size() > 1 || !request.batch.isEmpty();
    if (command == Command::Compare && many) {
        return Refusal{"give one scenario file, and only the options below"};
    }
    if (many && request.outputFolder.isEmpty()) {
        return Refusal{"several fields (or --batch) need --output-dir, the folder for their "
                       "outputs and the summary",
                       true};
    }
    if (!request.outputFolder.isEmpty() && !request.output.isEmpty()) {
        return Refusal{"--output names one file; with --output-dir each field has its own"};
    }
    request.today = read.value(Option::Today).value_or(QString());
    if (!request.today.isEmpty() && !isDateText(request.today)) {
        return Refusal{"--today must be a date written YYYY-MM-DD, not \"" +
                       shownArgument(request.today) + "\""};
    }
    if (const auto name = read.value(Option::Format)) {
        const std::vector<OutputFormat> formats = formatsOf(command);
        const auto format = outputFormatNamed(name->toStdString());
        if (!format || std::find(formats.begin(), formats.end(), *format) == formats.end()) {
            return Refusal{"--format must be " + alternatives(formats) + ", not \"" +
                           shownArgument(*name) + "\""};
        }
        request.format = *format;
    }
    const auto size = read.value(Option::Size);
    const auto chart = read.value(Option::Chart);
    if (!isChartImage(request.format) && (size || chart)) {
        return Refusal{std::string(size ? "--size" : "--chart") +
                       " is for a chart image (--format png or svg)"};
    }
    if (chart && *chart != QLatin1String("individual") && *chart != QLatin1String("cumulative")) {
        return Refusal{"--chart must be individual or cumulative, not \"" + shownArgument(*chart) +
                       "\""};
    }
    request.cumulative = chart == QStringLiteral("cumulative");
    if (size) {
        const auto pixels = imageSize(*size);
        if (!pixels) {
            return Refusal{"--size must be WIDTHxHEIGHT in pixels, each " +
                           std::to_string(kMinChartImageSide) + ".." +
                           std::to_string(kMaxChartImageSide) + ", not \"" + shownArgument(*size) +
                           "\""};
        }
        request.imageSize = *pixels;
    }
    return std::nullopt;
}

CommandRequest parseCrops(CommandRequest request, const QStringList& arguments) {
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        if (arguments[i] != QLatin1String("--workbook")) {
            return refusedWith(request, {"unknown argument \"" + shownArgument(arguments[i]) +
                                         "\" (" + usageOf(Command::Crops) + ")"});
        }
        if (i + 1 >= arguments.size() || arguments[i + 1].isEmpty()) {
            return refusedWith(request, {"--workbook needs a file name"});
        }
        if (!request.workbook.isEmpty()) {
            return refusedWith(request, {"--workbook is given more than once"});
        }
        request.workbook = arguments[++i];
    }
    return request;
}

CommandRequest parsePlanOrCompare(CommandRequest request, const QStringList& arguments) {
    ReadOptions read;
    std::optional<Refusal> refusal = readOptions(request.command, arguments, read);
    if (!refusal) {
        refusal = checkPlanOptions(read, request);
    }
    return refusal ? refusedWith(std::move(request), *refusal) : request;
}

// What season takes: one plan file (or --batch), and either what it shows or what it records.
std::optional<Refusal> checkSeasonOptions(const ReadOptions& read, CommandRequest& request) {
    request.files = read.files;
    request.workbook = read.value(Option::Workbook).value_or(QString());
    request.batch = read.value(Option::Batch).value_or(QString());
    request.today = read.value(Option::Today).value_or(QString());
    request.rain = read.value(Option::Rain).value_or(QString());
    request.irrigated = read.value(Option::Irrigated).value_or(QString());
    request.reading = read.value(Option::Reading).value_or(QString());
    request.importRain = read.value(Option::ImportRain).value_or(QString());
    const bool shows = read.value(Option::Today) || read.value(Option::Format);
    if (request.batch.isEmpty() ? read.files.size() != 1 : !read.files.isEmpty()) {
        return Refusal{request.batch.isEmpty() ? "give one plan file"
                                               : "give either a plan file or --batch FOLDER",
                       true};
    }
    if (request.records() && (shows || !request.batch.isEmpty())) {
        return Refusal{"recording (--rain, --irrigated, --reading, --import-rain) is for one "
                       "plan file and takes neither --today, --format nor --batch",
                       true};
    }
    if (!request.today.isEmpty() && !isDateText(request.today)) {
        return Refusal{"--today must be a date written YYYY-MM-DD, not \"" +
                       shownArgument(request.today) + "\""};
    }
    if (const auto name = read.value(Option::Format)) {
        std::vector<OutputFormat> formats = formatsOf(Command::Season);
        if (!request.batch.isEmpty()) {
            formats.pop_back(); // the adviser's list is text or csv
        }
        const auto format = outputFormatNamed(name->toStdString());
        if (!format || std::find(formats.begin(), formats.end(), *format) == formats.end()) {
            return Refusal{"--format must be " + alternatives(formats) +
                           (request.batch.isEmpty() ? "" : " with --batch") + ", not \"" +
                           shownArgument(*name) + "\""};
        }
        request.format = *format;
    }
    return std::nullopt;
}

CommandRequest parseSeason(CommandRequest request, const QStringList& arguments) {
    ReadOptions read;
    std::optional<Refusal> refusal = readOptions(request.command, arguments, read);
    if (!refusal) {
        refusal = checkSeasonOptions(read, request);
    }
    return refusal ? refusedWith(std::move(request), *refusal) : request;
}

// A plan file to open (from a file manager, say): a file that is there, or a name with a
// plan's extension (whose absence the wizard then reports).
bool isPlanFile(const QString& argument) {
    std::error_code error;
    return (!argument.isEmpty() && !argument.startsWith(QLatin1Char('-')) &&
            std::filesystem::is_regular_file(fileNameBytes(argument), error)) ||
           argument.endsWith(QLatin1String(".tavikplan")) ||
           argument.endsWith(QLatin1String(".json"));
}

} // namespace

CommandRequest parseCommandLine(const QStringList& arguments) {
    CommandRequest request;
    if (arguments.isEmpty()) {
        return request;
    }
    const QString& first = arguments.front();
    const QStringList rest = arguments.mid(1);
    if (first == QLatin1String("season")) {
        request.command = Command::Season;
        return parseSeason(std::move(request), rest);
    }
    for (const Command command : {Command::Crops, Command::Plan, Command::Compare}) {
        if (first == QString::fromStdString(commandWord(command))) {
            request.command = command;
            return command == Command::Crops ? parseCrops(std::move(request), rest)
                                             : parsePlanOrCompare(std::move(request), rest);
        }
    }
    if (first == QLatin1String("workbook")) {
        request.command = Command::Workbook;
        if (rest.size() != 1) {
            request.refusal = "tavik workbook: give exactly one file\n" + helpText();
        }
        request.files = rest;
        return request;
    }
    if (rest.isEmpty() && (first == QLatin1String("--help") || first == QLatin1String("-h"))) {
        request.command = Command::Help;
        return request;
    }
    if (rest.isEmpty() && first == QLatin1String("--version")) {
        request.command = Command::Version;
        return request;
    }
    // Anything else than a plan file, or --no-splash, alone is refused.
    if ((first != QLatin1String("--no-splash") && !isPlanFile(first)) || !rest.isEmpty()) {
        request.refusal = "tavik: unknown command \"" + shownArgument(first) + "\"\n" + helpText();
        return request;
    }
    request.splash = false;
    if (first != QLatin1String("--no-splash")) {
        request.planFile = first;
    }
    return request;
}

bool needsDrawing(const CommandRequest& request) {
    return !request.refused() &&
           (request.command == Command::Wizard ||
            (request.command == Command::Plan && isDrawnFormat(request.format)));
}

CommandRequest parseCommandLine(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments << fileNameFromBytes(argv[i]);
    }
    return parseCommandLine(arguments);
}

} // namespace tavik
