#pragma once

#include "OutputFormat.h"

#include <QSize>
#include <QStringList>
#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace tavik {

// What `tavik` is asked to do.
enum class Command { Wizard, Crops, Plan, Compare, Workbook, Help, Version, Season };

// The options that take a value.
enum class Option {
    Workbook,
    Format,
    Size,
    Chart,
    Output,
    Batch,
    OutputDir,
    Today,
    Rain,
    Irrigated,
    Reading,
    ImportRain
};

struct OptionSpec {
    Option option;
    std::string_view name;  // "--format"
    std::string_view value; // what its value is, as the synopsis shows it ("FILE")
};

// One way of calling a command: one line of the synopsis, of --help and of the manual page.
// The options a command takes are those of its lines; a required one is shown bare, the
// others in brackets.
struct Usage {
    Command command;
    std::string_view name;     // the command word ("plan"); none for the wizard's own lines
    std::string_view operands; // what follows it ("SCENARIO.json", "[--no-splash]")
    std::vector<Option> options;
    std::vector<Option> required;
    std::string_view help; // what the line does, for --help (lines broken by "\n")
};

const std::vector<OptionSpec>& commandOptions();
const std::vector<Usage>& commandUsages();

// The formats a command writes: every one for plan, the text ones for compare.
std::vector<OutputFormat> formatsOf(Command command);

// A synopsis line as plain text: "tavik crops [--workbook FILE]".
std::string synopsis(const Usage& usage);

// The text of --help: every line of the synopsis with what it does, and where the workbook is
// found.
std::string helpText();

// "usage: " and the synopsis lines of a command, one under the other.
std::string usageOf(Command command);

inline constexpr QSize kDefaultChartImageSize{1200, 700};
inline constexpr int kMinChartImageSide = 100;
inline constexpr int kMaxChartImageSide = 4000;
// A chart image is kMinChartImageSide pixels wide and high at least, and at most
// kMaxChartImageSide.
inline bool isChartImageSize(QSize size) {
    return std::min(size.width(), size.height()) >= kMinChartImageSide &&
           std::max(size.width(), size.height()) <= kMaxChartImageSide;
}

// A command line, read. When it is refused, `refusal` holds the whole message for standard
// error (ending in a line feed); the exit status is then kExitBadInput.
struct CommandRequest {
    Command command = Command::Wizard;
    std::string refusal;

    // The wizard: with the splash screen, or opening a plan file.
    bool splash = true;
    QString planFile;

    // The scenario files of plan and compare; the file of workbook.
    QStringList files;
    QString workbook; // --workbook; empty for the one the program finds
    OutputFormat format = OutputFormat::Text;
    QString output;       // --output; empty for standard output
    QString batch;        // --batch
    QString outputFolder; // --output-dir
    QSize imageSize = kDefaultChartImageSize;
    bool cumulative = false; // --chart cumulative

    // The season: the day it is shown as of (--today, YYYY-MM-DD; empty for the system's
    // date), and what is to be recorded (the options' values as given, empty when not).
    QString today;
    QString rain;       // --rain DATE=MM
    QString irrigated;  // --irrigated DATE=MM
    QString reading;    // --reading DATE=W1,W2,...
    QString importRain; // --import-rain FILE.csv
    bool records() const {
        return !rain.isEmpty() || !irrigated.isEmpty() || !reading.isEmpty() ||
               !importRain.isEmpty();
    }

    bool refused() const { return !refusal.empty(); }
    // Several fields into a folder of outputs.
    bool isBatch() const { return !outputFolder.isEmpty(); }
};

// Reads the arguments that follow the program's name.
CommandRequest parseCommandLine(const QStringList& arguments);
// The same for a program's own arguments (argv[1] on), each taken by its exact bytes: a file
// name that is not UTF-8 text is still that file.
CommandRequest parseCommandLine(int argc, char* argv[]);

// Whether a request needs the toolkit's painting: the wizard's screens, or a drawn output.
bool needsDrawing(const CommandRequest& request);

} // namespace tavik
