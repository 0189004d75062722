// `tavikcalc --report …`: the golden reports, the dialog's defaults, refusals, and the built
// program's output and exit status.

#include "CalcTestSupport.h"
#include "report/HeadlessReport.h"

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <sstream>

namespace tavikcalc {
namespace {

using test::lines;

struct Command {
    int status = -1;
    std::string out;
    std::string err;
};

Command run(const std::vector<std::string>& arguments) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = runReportCommand(arguments, out, err);
    return {status, out.str(), err.str()};
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// With TAVIK_UPDATE_GOLDEN set the expected reports are written instead of compared.
TEST(HeadlessGolden, ReportsMatchTheirExpectedFiles) {
    const auto cases = test::goldenCases();
    ASSERT_GE(cases.size(), 8U);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Command r = run(c.arguments);
        ASSERT_EQ(r.status, kExitOk) << r.err;
        EXPECT_EQ(r.err, "");
        ASSERT_GE(r.out.size(), 2U);
        EXPECT_EQ(r.out.substr(r.out.size() - 2), "\r\n");
        const std::string report = r.out.substr(0, r.out.size() - 2);
        if (QProcessEnvironment::systemEnvironment().contains(
                QStringLiteral("TAVIK_UPDATE_GOLDEN"))) {
            std::ofstream(c.expectedPath, std::ios::binary | std::ios::trunc) << report;
            continue;
        }
        EXPECT_EQ(report, test::readFile(c.expectedPath));
    }
}

// A golden folder without its arguments is a failure naming it, not a case quietly dropped.
TEST(HeadlessGolden, AFolderWithoutItsArgumentsFails) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QDir root(dir.path());
    ASSERT_TRUE(root.mkpath(QStringLiteral("complete")) && root.mkpath(QStringLiteral("bare")));
    std::ofstream(root.filePath(QStringLiteral("complete/arguments")).toStdString())
        << "--report overhead\n--crop 3\n";
    std::ofstream(root.filePath(QStringLiteral("bare/expected.txt")).toStdString()) << "report";

    testing::TestPartResultArray failures;
    std::vector<test::GoldenCase> cases;
    {
        testing::ScopedFakeTestPartResultReporter reporter(
            testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &failures);
        cases = test::goldenCases(dir.path());
    }
    ASSERT_EQ(failures.size(), 1);
    EXPECT_NE(std::string(failures.GetTestPartResult(0).message()).find("bare has no arguments"),
              std::string::npos)
        << failures.GetTestPartResult(0).message();
    ASSERT_EQ(cases.size(), 1U);
    EXPECT_EQ(cases[0].arguments,
              (std::vector<std::string>{"--report", "overhead", "--crop", "3"}));
}

TEST(HeadlessReport, DefaultsAreTheDialogs) {
    // Guideline yield 6000, reserve 25, cycle 7, no PAWC, depth mode.
    const Command overhead = run({"--report", "overhead", "--crop", "1"});
    ASSERT_EQ(overhead.status, kExitOk) << overhead.err;
    const auto all = lines(overhead.out);
    EXPECT_EQ(all[2], "  (IRR, mm) per cycle for");
    EXPECT_TRUE(contains(overhead.out, "\r\n ¦  17      ¦"));
    EXPECT_TRUE(contains(overhead.out, "\r\nReserved rain storage capacity = 25.0 mm.\r\n"));
    EXPECT_TRUE(contains(overhead.out, "\r\nProfile available water capacity during peak "
                                       "consumption = 0.0 mm.\r\n"));
    // The crop's own lag (40 days for Wheat 170), periods of 12 hours.
    const Command flood = run({"--report", "flood", "--crop", "1", "--area", "1", "--flow", "150"});
    ASSERT_EQ(flood.status, kExitOk) << flood.err;
    EXPECT_TRUE(contains(flood.out, " 6000 kg/ha with an application efficiency of 70%"));
    EXPECT_TRUE(contains(flood.out, "\r\n ¦          40         ¦          40        ¦\r\n"));
    EXPECT_TRUE(contains(flood.out, "You need 4.4 irrigation periods of 12 hours each"));
}

TEST(HeadlessReport, SoilAndDepthGiveThePawcAsTheSoilDialogShowsIt) {
    const auto pawcLine = [](const std::vector<std::string>& arguments) {
        const Command r = run(arguments);
        EXPECT_EQ(r.status, kExitOk) << r.err;
        const auto all = lines(r.out);
        return all[all.size() - 8];
    };
    EXPECT_EQ(
        pawcLine({"--report", "overhead", "--crop", "0", "--soil", "sand", "--depth", "1000"}),
        "Profile available water capacity during peak consumption = 57.6 mm.");
    EXPECT_EQ(pawcLine({"--report", "overhead", "--crop", "9", "--yield", "4000", "--soil",
                        "sandy-loam"}), // depth 1000 mm, as the dialog opens
              "Profile available water capacity during peak consumption = 51.5 mm.");
    EXPECT_EQ(pawcLine({"--report", "overhead", "--crop", "3", "--soil", "sandy-loam", "--depth",
                        "1234"}),
              "Profile available water capacity during peak consumption = 81.3 mm.");
    EXPECT_EQ(pawcLine({"--report", "overhead", "--crop", "0", "--soil", "sand", "--depth", "491"}),
              "Profile available water capacity during peak consumption = 0.1 mm.");
}

TEST(HeadlessReport, YieldAboveTheMaximumIsClampedWithTheDialogsMessage) {
    const Command r = run({"--report", "flood", "--crop", "0", "--yield", "12000", "--area", "1",
                           "--flow", "150", "--soil", "sand"});
    ASSERT_EQ(r.status, kExitOk);
    EXPECT_EQ(r.err, "Maximum yield for this particular type of crop is 10000\n"
                     "Yield will be set to the maximum yield\n");
    EXPECT_TRUE(contains(r.out, " 10000 kg/ha with an application efficiency"));
    // The soil dialog sees the clamped yield: 100 + 0 − 800 × 0.113.
    EXPECT_TRUE(contains(r.out, "The profile available water capacity = 9.6 mm"));
}

struct Refusal {
    const char* name;
    std::vector<std::string> arguments;
    const char* wording;
};

void PrintTo(const Refusal& r, std::ostream* os) {
    *os << r.name;
}

class RefusedRequest : public testing::TestWithParam<Refusal> {};

TEST_P(RefusedRequest, NamesTheOptionAndWritesNoReport) {
    const Command r = run(GetParam().arguments);
    EXPECT_EQ(r.status, kExitBadInput);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(contains(r.err, GetParam().wording)) << r.err;
}

std::vector<std::string> args(std::initializer_list<std::string> extra) {
    std::vector<std::string> all = {"--report", "overhead", "--crop", "0"};
    all.insert(all.end(), extra);
    return all;
}

std::vector<std::string> floodArgs(std::initializer_list<std::string> extra) {
    std::vector<std::string> all = {"--report", "flood", "--crop", "0", "--area", "1"};
    all.insert(all.end(), extra);
    return all;
}

INSTANTIATE_TEST_SUITE_P(
    BadInput, RefusedRequest,
    testing::Values(
        Refusal{"noCrop", {"--report", "overhead"}, "--crop is missing"},
        Refusal{"cropOutside",
                {"--report", "overhead", "--crop", "10"},
                "--crop 10: Unable to initialize data"},
        Refusal{"cropNegative", {"--report", "overhead", "--crop", "-1"}, "--crop -1"},
        Refusal{"cropText", {"--report", "overhead", "--crop", "wheat"}, "--crop must be"},
        Refusal{"method", {"--report", "drip", "--crop", "0"}, "--report must be"},
        Refusal{"noMethod", {"--crop", "0", "--report"}, "--report needs a value"},
        Refusal{"cycle0", args({"--cycle", "0"}), "--cycle must be"},
        Refusal{"cycle29", args({"--cycle", "29"}), "--cycle must be"},
        Refusal{"cycleFraction", args({"--cycle", "7.5"}), "--cycle must be"},
        Refusal{"lag0", floodArgs({"--lag", "0"}), "--lag must be"},
        Refusal{"lagNegative", floodArgs({"--lag", "-2"}), "--lag must be"},
        Refusal{"floodWithoutArea", {"--report", "flood", "--crop", "0"}, "--area greater than 0"},
        Refusal{"floodArea0", {"--report", "flood", "--crop", "0", "--area", "0"}, "--area"},
        Refusal{"floodFlowOverflows", floodArgs({"--flow", "1e308"}), "stream flow"},
        Refusal{"floodWithoutFlow", floodArgs({}), "a flood report needs --flow greater than 0"},
        Refusal{"flowNegative", args({"--flow", "-150"}), "--flow must be a stream flow from 0"},
        Refusal{"pawcNegative", args({"--pawc", "-0.5"}), "--pawc must be a water capacity"},
        Refusal{"pawcHuge", args({"--pawc", "1e308"}), "from 0 to 1000 mm, not \"1e308\""},
        Refusal{"reserveNegative", args({"--reserve", "-25"}), "--reserve must be"},
        Refusal{"areaHuge", args({"--area", "1e308"}), "--area must be from 0 to 10000 ha"},
        // Wheat 150 at 6000 kg/ha on sand holds water from 491 mm on.
        Refusal{"sand300", args({"--soil", "sand", "--depth", "300"}),
                "--soil and --depth: Sand 300 mm deep is too shallow for Wheat (growing season "
                "150 days): the plant available water capacity comes out at -21.5 mm. Give a "
                "greater --depth or another --soil."},
        Refusal{"sand490", args({"--soil", "sand", "--depth", "490"}), "comes out at 0.0 mm"},
        Refusal{"areaNegative", args({"--area", "-3"}), "--area must be"},
        Refusal{"yieldNegative", args({"--yield", "-1"}), "--yield must be"},
        Refusal{"yieldText", args({"--yield", "lots"}), "--yield must be a number"},
        Refusal{"pawcTrailing", args({"--pawc", "80mm"}), "--pawc must be a number"},
        Refusal{"pawcInfinite", args({"--pawc", "inf"}), "--pawc must be a number"},
        Refusal{"reserveNan", args({"--reserve", "nan"}), "--reserve must be a number"},
        Refusal{"flowHuge", args({"--flow", "1e999"}), "--flow must be a number"},
        Refusal{"pawcAndSoil", args({"--pawc", "80", "--soil", "clay"}), "either --pawc"},
        Refusal{"soil", args({"--soil", "loam"}), "--soil must be"},
        Refusal{"depthAbove", args({"--depth", "2001"}), "--depth must be"},
        Refusal{"hours", args({"--hours", "8"}), "--hours must be 12 or 24"},
        Refusal{"twice", args({"--cycle", "7", "--cycle", "8"}), "--cycle is given twice"},
        Refusal{"unknown", args({"--colour", "red"}), "unknown argument \"--colour\""},
        Refusal{"stray", args({"7"}), "unknown argument \"7\""}));

// The built program: exactly the report and one CR LF on standard output.
TEST(TavikcalcProgram, WritesTheReportAndOneLineEnd) {
    const auto cases = test::goldenCases();
    ASSERT_FALSE(cases.empty());
    const auto& c = cases.front();
    QStringList arguments;
    for (const auto& a : c.arguments) {
        arguments << QString::fromStdString(a);
    }
    const auto r = test::runTavikcalc(arguments);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, test::readFile(c.expectedPath) + "\r\n");
}

TEST(TavikcalcProgram, ClampsTheYieldWithAMessageAndSucceeds) {
    const auto r = test::runTavikcalc(
        {"--report", "overhead", "--crop", "7", "--yield", "70000", "--pawc", "60"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, "Maximum yield for this particular type of crop is 65000\n"
                     "Yield will be set to the maximum yield\n");
    EXPECT_EQ(r.out.substr(0, 21), "Processed by TAVIK.\r\n");
}

TEST(TavikcalcProgram, RefusesBadInputWithStatusTwo) {
    for (const QStringList& arguments :
         {QStringList{"--report", "overhead", "--crop", "0", "--cycle", "0"},
          QStringList{"--report", "flood", "--crop", "0", "--area", "1", "--flow", "1e308"},
          QStringList{"--report", "overhead", "--crop", "0", "--soil", "sand", "--depth", "300"}}) {
        const auto r = test::runTavikcalc(arguments);
        EXPECT_FALSE(r.crashed);
        EXPECT_EQ(r.exitCode, 2) << arguments.join(' ').toStdString();
        EXPECT_EQ(r.out, "");
        EXPECT_TRUE(contains(r.err, "tavikcalc: ")) << r.err;
    }
}

TEST(TavikcalcProgram, HelpListsTheDialogsSwitchesAndTheReportOptions) {
    const auto r = test::runTavikcalc({"--help"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(contains(r.out, "usage: tavikcalc [/wish] [A<area>]")) << r.out;
    EXPECT_TRUE(contains(r.out, "usage: tavikcalc --report overhead|flood")) << r.out;
    // The manual page names every option the help does ("\-" for a hyphen).
    QString manual = QString::fromStdString(
        test::readFile(TAVIKCALC_GOLDEN_DIR "/../../../packaging/tavikcalc.1"));
    manual.replace(QStringLiteral("\\-"), QStringLiteral("-"));
    for (const char* option :
         {"/wish", "--report", "--crop", "--yield", "--pawc", "--soil", "--depth", "--reserve",
          "--cycle", "--area", "--lag", "--flow", "--hours", "--version"}) {
        EXPECT_TRUE(manual.contains(QString::fromLatin1(option))) << option;
    }
    EXPECT_TRUE(contains(r.out, "--version")) << r.out;
    const auto version = test::runTavikcalc({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(contains(version.out, "tavikcalc ")) << version.out;
}

// The manual page's synopsis of the report, as groff sets it, is the usage's.
TEST(TavikcalcProgram, ManualPageSynopsisIsTheUsages) {
    QProcess groff;
    groff.start(QStringLiteral("groff"),
                {QStringLiteral("-man"), QStringLiteral("-Tascii"), QStringLiteral("-P-cbou"),
                 QStringLiteral("-rLL=500n"),
                 QStringLiteral(TAVIKCALC_GOLDEN_DIR "/../../../packaging/tavikcalc.1")});
    ASSERT_TRUE(groff.waitForFinished(30000));
    ASSERT_EQ(groff.exitCode(), 0) << groff.readAllStandardError().toStdString();
    const QString manual = QString::fromUtf8(groff.readAllStandardOutput());
    QString synopsis;
    for (const QString& line : manual.split(QLatin1Char('\n'))) {
        if (line.trimmed().startsWith(QStringLiteral("tavikcalc --report"))) {
            synopsis = line.simplified();
        }
    }
    const QString usage = QString::fromStdString(reportSynopsis()).simplified();
    EXPECT_EQ("usage: " + synopsis.toStdString(), usage.toStdString()) << manual.toStdString();
}

// Without a display the dialog cannot open: one line names both ways out, and no abort.
TEST(TavikcalcProgram, WithoutADisplayOrReportSaysBothWaysOut) {
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        environment.remove(QLatin1String(name));
    }
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(TAVIKCALC_EXECUTABLE), QStringList{});
    ASSERT_TRUE(program.waitForFinished(30000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 2);
    const QString err = QString::fromUtf8(program.readAllStandardError());
    EXPECT_EQ(err.count(QLatin1Char('\n')), 1) << err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("desktop")) && err.contains(QStringLiteral("--report")))
        << err.toStdString();
}

TEST(TavikcalcProgram, AReportThatCannotBeWrittenIsNoSuccess) {
    QProcess program;
    program.setStandardOutputFile(QStringLiteral("/dev/full"));
    program.start(QStringLiteral(TAVIKCALC_EXECUTABLE),
                  {QStringLiteral("--report"), QStringLiteral("overhead"), QStringLiteral("--crop"),
                   QStringLiteral("0")});
    ASSERT_TRUE(program.waitForFinished(30000));
    EXPECT_EQ(program.exitCode(), 2);
    EXPECT_TRUE(program.readAllStandardError().contains("No space left on device"));
}

// Without --report the program is the dialog, which stays up until the user closes it.
TEST(TavikcalcProgram, WithoutReportOpensTheDialog) {
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(TAVIKCALC_EXECUTABLE),
                  {QStringLiteral("/wish"), QStringLiteral("A3")});
    ASSERT_TRUE(program.waitForStarted(30000));
    EXPECT_FALSE(program.waitForFinished(1500)) << program.readAllStandardError().toStdString();
    EXPECT_EQ(program.state(), QProcess::Running);
    program.kill();
    program.waitForFinished(30000);
    EXPECT_EQ(program.readAllStandardOutput(), QByteArray());
}

} // namespace
} // namespace tavikcalc
