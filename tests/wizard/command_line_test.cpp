// The command line of tavik: one table of commands and options, from which the parse, the
// usage texts, --help and the manual page's synopsis follow; and the programs it runs.

#include "TestSupport.h"
#include "plan/CommandLine.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace tavik {
namespace {

// A value each option takes, for a command line built from the table.
QString goodValue(Command command, Option option) {
    switch (option) {
    case Option::Format:
        return command == Command::Plan ? QStringLiteral("png") : QStringLiteral("csv");
    case Option::Today:
        return QStringLiteral("2027-01-05");
    case Option::Size:
        return QStringLiteral("300x200");
    case Option::Chart:
        return QStringLiteral("cumulative");
    default:
        return QStringLiteral("some-name");
    }
}

// The command line a synopsis line describes, every option given once.
QStringList commandLineOf(const Usage& usage) {
    QStringList arguments;
    if (!usage.name.empty()) {
        arguments << QString::fromLatin1(usage.name.data(), qsizetype(usage.name.size()));
    }
    if (usage.operands.find("SCENARIO") != std::string_view::npos ||
        usage.operands.find("FIELD") != std::string_view::npos) {
        arguments << QStringLiteral("field.json");
    }
    for (const Option option : usage.options) {
        const OptionSpec& known = *std::find_if(
            commandOptions().begin(), commandOptions().end(),
            [option](const OptionSpec& candidate) { return candidate.option == option; });
        arguments << QString::fromLatin1(known.name.data(), qsizetype(known.name.size()))
                  << goodValue(usage.command, option);
    }
    return arguments;
}

// Every line of the synopsis reads back as its own command, with every option it shows; and
// any option given twice is refused by its name, whichever it is.
TEST(CommandLine, EverySynopsisLineParsesAndEveryRepeatedOptionIsRefused) {
    for (const Usage& usage : commandUsages()) {
        if (usage.options.empty()) {
            continue;
        }
        const QStringList arguments = commandLineOf(usage);
        SCOPED_TRACE(arguments.join(' ').toStdString());
        const CommandRequest request = parseCommandLine(arguments);
        EXPECT_FALSE(request.refused()) << request.refusal;
        EXPECT_EQ(request.command, usage.command);
        for (qsizetype i = 1; i < arguments.size(); ++i) {
            if (!arguments[i].startsWith(QLatin1String("--"))) {
                continue;
            }
            QStringList twice = arguments;
            twice << arguments[i] << arguments[i + 1];
            const std::string refusal = parseCommandLine(twice).refusal;
            EXPECT_NE(refusal.find(arguments[i].toStdString() + " is given more than once"),
                      std::string::npos)
                << refusal;
        }
    }
    const CommandRequest drawn = parseCommandLine(
        {"plan", "f.json", "--format", "svg", "--size", "400x300", "--chart", "cumulative"});
    EXPECT_EQ(drawn.format, OutputFormat::Svg);
    EXPECT_EQ(drawn.imageSize, QSize(400, 300));
    EXPECT_TRUE(drawn.cumulative);
    EXPECT_TRUE(needsDrawing(drawn));
    EXPECT_FALSE(needsDrawing(parseCommandLine({"plan", "f.json", "--format", "json"})));
    EXPECT_FALSE(needsDrawing(parseCommandLine({"plan", "f.json", "--format", "pdf", "x"})));
    EXPECT_TRUE(needsDrawing(parseCommandLine({"--no-splash"})));
}

// What the program says to a command line it refuses: status 2, nothing on standard output,
// the problem, and the usage of the command that was asked for (never another's).
TEST(CommandLine, RefusalsNameTheProblemAndTheCommandsOwnUsage) {
    QTemporaryDir dir;
    const QString field = test::writeFile(dir, QStringLiteral("f.json"), R"({"crop": "Wheat"})");
    const std::string planUsage = usageOf(Command::Plan);
    const std::string compareUsage = usageOf(Command::Compare);
    struct Case {
        QStringList arguments;
        std::string says;
    };
    const std::vector<Case> cases{
        {{"plan", field, "--format", "json", "--format", "csv"},
         "tavik plan: --format is given more than once\n"},
        {{"plan", field, "--output", "a", "--output", "b"},
         "tavik plan: --output is given more than once\n"},
        {{"plan", field, "--format"}, "tavik plan: --format needs a value\n" + planUsage + "\n"},
        {{"plan"}, "tavik plan: give a scenario file\n" + planUsage + "\n"},
        {{"plan", field, "--colour"}, "tavik plan: unknown argument \"--colour\"\n" + planUsage},
        {{"compare"}, "tavik compare: give a scenario file\n" + compareUsage + "\n"},
        {{"compare", field, field},
         "tavik compare: give one scenario file, and only the options below\n" + compareUsage},
        {{"compare", field, "--batch", "x"}, "only the options below\n" + compareUsage},
        {{"compare", field, "--format", "rtf"},
         "tavik compare: --format must be text, csv or json, not \"rtf\"\n" + compareUsage},
        {{"compare", field, "--output", "a", "--output", "b"},
         "tavik compare: --output is given more than once\n" + compareUsage},
        {{"crops", "--workbook", "a", "--workbook", "b"},
         "tavik crops: --workbook is given more than once\n"},
        {{"crops", "--bogus"},
         "tavik crops: unknown argument \"--bogus\" (usage: tavik crops [--workbook FILE])\n"},
        {{"workbook"}, "tavik workbook: give exactly one file\n" + helpText()},
        {{"nonsense"}, "tavik: unknown command \"nonsense\"\n" + helpText()},
        {{"--help", "x"}, "tavik: unknown command \"--help\"\n"},
    };
    for (const Case& c : cases) {
        const auto run = test::runProcess(test::tavikExecutable(), c.arguments);
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
        if (c.arguments.front() == QLatin1String("compare")) {
            EXPECT_EQ(run.err.find("tavik plan"), std::string::npos) << run.err;
        }
    }
}

// The manual page as man shows it (rendered by groff), --help and the table name the same
// ways of calling the program, line for line.
TEST(CommandLine, TheManualPageAndHelpShowTheTablesSynopsis) {
    QProcess groff;
    groff.start(QStringLiteral("groff"), {"-man", "-Tascii", "-P-cbou", "-rLL=250n",
                                          test::sourcePath(QStringLiteral("packaging/tavik.1"))});
    ASSERT_TRUE(groff.waitForFinished(30000)) << "groff (groff-base) is needed";
    const QStringList page = QString::fromUtf8(groff.readAllStandardOutput()).split('\n');
    const auto start = std::find(page.begin(), page.end(), QStringLiteral("SYNOPSIS"));
    const auto end = std::find(start, page.end(), QStringLiteral("DESCRIPTION"));
    ASSERT_NE(end, page.end());
    std::vector<std::string> manual;
    for (auto line = start + 1; line != end; ++line) {
        if (!line->trimmed().isEmpty()) {
            manual.push_back(line->simplified().toStdString());
        }
    }

    const auto help = test::runProcess(test::tavikExecutable(), {"--help"});
    ASSERT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out, helpText());
    // The help breaks a long line before a bracket, indenting what follows.
    QString unbroken = QString::fromStdString(help.out);
    unbroken.replace(QStringLiteral("\n    ["), QStringLiteral(" ["));
    std::vector<std::string> table;
    for (const Usage& usage : commandUsages()) {
        table.push_back(synopsis(usage));
        EXPECT_TRUE(unbroken.contains(QString::fromStdString("\n  " + table.back())))
            << table.back();
    }
    EXPECT_EQ(manual, table);
}

// A command that draws nothing loads no library of the toolkit's screens or painting, and
// the workbook reader no Qt at all: the dynamic linker lists every library it loads.
TEST(Programs, ACommandThatDrawsNothingLoadsNoGuiLibrary) {
    QTemporaryDir dir;
    const QString field = test::writeFile(dir, QStringLiteral("f.json"), R"({"crop": "Wheat"})");
    const auto loaded = [](const QString& program, const QStringList& arguments) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("LD_DEBUG"), QStringLiteral("files"));
        process.setProcessEnvironment(environment);
        process.start(program, arguments);
        process.waitForFinished(60000);
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        return QString::fromUtf8(process.readAllStandardError());
    };
    const QString workbook = test::sourcePath(QStringLiteral("wizard/resources/SampleData.xls"));
    for (const QStringList& arguments :
         {QStringList{"plan", field, "--format", "json"}, QStringList{"compare", field},
          QStringList{"crops"}, QStringList{"--help"}}) {
        const QString libraries = loaded(test::tavikExecutable(), arguments);
        SCOPED_TRACE(arguments.join(' ').toStdString());
        EXPECT_TRUE(libraries.contains(QStringLiteral("file=libQt6Core.so"))) << "no trace";
        EXPECT_FALSE(libraries.contains(QStringLiteral("libQt6Gui"))) << libraries.toStdString();
        EXPECT_FALSE(libraries.contains(QStringLiteral("libQt6Widgets")));
    }
    const QString reader = loaded(test::workbookReader(), {workbook});
    EXPECT_TRUE(reader.contains(QStringLiteral("file=libzip.so"))) << "no trace";
    EXPECT_FALSE(reader.contains(QStringLiteral("libQt6Gui"))) << reader.toStdString();
    EXPECT_FALSE(reader.contains(QStringLiteral("libQt6Widgets")));
}

// Without its helpers beside it or in their installed folder, tavik says which program is
// missing: status 3 for the workbook reader (as for an unreadable workbook), 127 for the
// wizard's program.
TEST(Programs, AMissingHelperIsNamed) {
    QTemporaryDir dir;
    const QString alone = dir.filePath(QStringLiteral("tavik"));
    ASSERT_TRUE(QFile::copy(test::tavikExecutable(), alone));
    ASSERT_TRUE(QFile::copy(test::sourcePath(QStringLiteral("wizard/resources/SampleData.xls")),
                            dir.filePath(QStringLiteral("SampleData.xls"))));
    const QString field = test::writeFile(dir, QStringLiteral("f.json"), R"({"crop": "Wheat"})");
    const auto plan = test::runProcess(alone, {"plan", field});
    EXPECT_EQ(plan.exitCode, 3);
    EXPECT_NE(plan.err.find("tavik-workbook"), std::string::npos) << plan.err;
    // A pipe given as the workbook is refused, not waited on.
    const QString pipe = dir.filePath(QStringLiteral("pipe.xls"));
    ASSERT_EQ(::mkfifo(pipe.toLocal8Bit().constData(), 0600), 0);
    const auto piped = test::runProcess(test::tavikExecutable(), {"workbook", pipe}, 10000);
    EXPECT_EQ(piped.exitCode, 3);
    EXPECT_NE(piped.err.find("it is not a regular file"), std::string::npos) << piped.err;
    const auto workbook = test::runProcess(alone, {"workbook", field});
    EXPECT_EQ(workbook.exitCode, 3);
    EXPECT_NE(workbook.err.find("tavik-workbook\" cannot be started"), std::string::npos)
        << workbook.err;
    for (const QStringList& arguments :
         {QStringList{"--no-splash"}, QStringList{"plan", field, "--format", "pdf"}}) {
        const auto drawn = test::runProcess(alone, arguments);
        EXPECT_EQ(drawn.exitCode, 127);
        EXPECT_EQ(drawn.out, "");
        EXPECT_NE(drawn.err.find("tavik-gui\", cannot be started"), std::string::npos) << drawn.err;
    }
}

} // namespace
} // namespace tavik
