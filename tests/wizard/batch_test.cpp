// Many fields in one run: a folder of the golden scenarios and some that are refused gives
// each field the output `tavik plan` gives it alone and a summary a CSV reader reads; and the
// cycle comparison's rows are what `tavik plan` gives at each cycle.

#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace tavik {
namespace {

// The rows of a CSV file as Python's csv module reads them.
QJsonArray csvRows(const QString& path) {
    const auto run = test::runProcess(
        QStringLiteral("/usr/bin/python3"),
        {QStringLiteral("-c"),
         QStringLiteral("import csv, json, sys\n"
                        "print(json.dumps(list(csv.reader(open(sys.argv[1], newline='')))))"),
         path});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).array();
}

std::string withoutStamp(const std::string& report) {
    return report.substr(0, report.rfind("\r\n\r\n"));
}

TEST(Batch, EveryFieldGetsItsOwnOutputAndALineInTheSummaryThoughSomeAreRefused) {
    QTemporaryDir in;
    QTemporaryDir out;
    std::map<QString, test::GoldenCase> golden; // by the name of its copy
    for (const test::GoldenCase& c : test::goldenCases()) {
        const QString name = QFileInfo(c.expected).fileName() + QStringLiteral(".json");
        ASSERT_TRUE(QFile::copy(c.scenario, in.filePath(name)));
        golden[name] = c;
    }
    // Refused fields: an unknown crop, a file that is no JSON; and a plan named "summary".
    test::writeFile(in, QStringLiteral("a-unknown-crop.json"), R"({"crop": "Teff"})");
    test::writeFile(in, QStringLiteral("b-broken.tavikplan"), R"({"crop": "Maize", )");
    test::writeFile(in, QStringLiteral("summary.tavikplan"), R"({"crop": "Wheat"})");
    // A name that a spreadsheet would take for a formula.
    test::writeFile(in, QStringLiteral("=HYPERLINK(\"x;y\").json"), R"({"crop": "Peas"})");
    test::writeFile(in, QStringLiteral("notes.txt"), "not a scenario");

    const QString output = out.filePath(QStringLiteral("fields"));
    const auto run = test::runProcess(test::tavikExecutable(),
                                      {"plan", "--batch", in.path(), "--output-dir", output});
    EXPECT_EQ(run.exitCode, 1) << "some fields were refused";
    EXPECT_NE(run.err.find("2 of "), std::string::npos) << run.err;

    const QJsonArray rows = csvRows(QDir(output).filePath(QStringLiteral("summary.csv")));
    ASSERT_EQ(rows.size(), static_cast<qsizetype>(golden.size()) + 5);
    EXPECT_EQ(rows[0].toArray()[9].toString(), QStringLiteral("error"));
    EXPECT_EQ(rows[0].toArray().last().toString(), QStringLiteral("output"));
    QStringList files;
    for (qsizetype r = 1; r < rows.size(); ++r) {
        const QJsonArray row = rows[r].toArray();
        ASSERT_EQ(row.size(), 11);
        const QString file = row[0].toString();
        files << file;
        SCOPED_TRACE(file.toStdString());
        if (file == QStringLiteral("a-unknown-crop.json")) {
            EXPECT_TRUE(row[9].toString().contains(QStringLiteral("\"Teff\"")));
            EXPECT_TRUE(row[1].toString().isEmpty());
            EXPECT_TRUE(row[10].toString().isEmpty()) << "a refused field has no output";
            continue;
        }
        if (file == QStringLiteral("b-broken.tavikplan")) {
            EXPECT_TRUE(row[9].toString().contains(QStringLiteral("JSON")));
            continue;
        }
        EXPECT_TRUE(row[9].toString().isEmpty()) << row[9].toString().toStdString();
        if (file.startsWith(QLatin1Char('\''))) { // kept as text, its output's name too
            EXPECT_EQ(file, QStringLiteral("'=HYPERLINK(\"x;y\").json"));
            EXPECT_EQ(row[10].toString(), QStringLiteral("'=HYPERLINK(\"x;y\").txt"));
            continue;
        }
        if (file == QStringLiteral("summary.tavikplan")) {
            EXPECT_EQ(row[10].toString(), QStringLiteral("summary.txt"));
            EXPECT_TRUE(QFileInfo::exists(QDir(output).filePath(QStringLiteral("summary.txt"))));
            continue;
        }
        // The field's output, named in its line, is the one `tavik plan` writes for it alone...
        const test::GoldenCase& c = golden.at(file);
        const QString expected = c.expected + QStringLiteral("/expected.txt");
        const QString written = QDir(output).filePath(row[10].toString());
        EXPECT_EQ(row[10].toString(), QFileInfo(file).completeBaseName() + QStringLiteral(".txt"));
        EXPECT_EQ(withoutStamp(test::readFile(written).toStdString()),
                  withoutStamp(test::readFile(expected).toStdString()));
        // ... and its line the figures of its plan, water to 0.1 mm.
        const QJsonObject figures =
            QJsonDocument::fromJson(test::readFile(c.expected + QStringLiteral("/expected.json")))
                .object();
        const QJsonObject schedule = figures[QStringLiteral("schedule")].toObject();
        EXPECT_EQ(row[1].toString(),
                  figures[QStringLiteral("crop")][QStringLiteral("name")].toString());
        EXPECT_EQ(row[4].toString().toInt(), schedule[QStringLiteral("cycle")].toInt());
        EXPECT_EQ(row[5].toString().toInt(),
                  schedule[QStringLiteral("irrigations")].toArray().size());
        const auto oneDecimal = [](double mm) {
            return QString::number(mm, 'f', 1);
        };
        EXPECT_EQ(
            row[3].toString(),
            oneDecimal(figures[QStringLiteral("soil")][QStringLiteral("profilePAWC")].toDouble()));
        EXPECT_EQ(row[7].toString(), oneDecimal(schedule[QStringLiteral("peakRate")].toDouble()));
    }
    // In the order of the folder's names, which is the order of the outputs.
    QStringList sorted = files;
    sorted.sort();
    EXPECT_EQ(files, sorted);
    EXPECT_FALSE(files.contains(QStringLiteral("notes.txt")));

    // A field's table never takes the summary's place.
    const QString tables = out.filePath(QStringLiteral("tables"));
    const auto csv =
        test::runProcess(test::tavikExecutable(), {"plan", in.filePath("summary.tavikplan"),
                                                   "--format", "csv", "--output-dir", tables});
    ASSERT_EQ(csv.exitCode, 0) << csv.err;
    EXPECT_TRUE(QFileInfo::exists(QDir(tables).filePath(QStringLiteral("summary-2.csv"))));
    EXPECT_EQ(csvRows(QDir(tables).filePath(QStringLiteral("summary.csv"))).size(), 2);

    // Several fields need a folder for their outputs; one output file cannot hold them.
    const QString one = golden.begin()->second.scenario;
    for (const QStringList& refused :
         {QStringList{"plan", one, one}, QStringList{"plan", "--batch", in.path()},
          QStringList{"plan", one, one, "--output-dir", output, "--output", "x.txt"},
          QStringList{"plan", "--batch", out.filePath("none"), "--output-dir", output}}) {
        const auto bad = test::runProcess(test::tavikExecutable(), refused);
        EXPECT_EQ(bad.exitCode, 2) << refused.join(' ').toStdString() << "\n" << bad.err;
    }
}

test::ProcessResult plan(const QStringList& arguments) {
    return test::runProcess(test::tavikExecutable(), QStringList{"plan"} + arguments);
}

// The entries of a folder and what each holds (a link: where it points).
std::map<QString, QByteArray> folderContents(const QString& path) {
    std::map<QString, QByteArray> contents;
    for (const QFileInfo& entry : QDir(path).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot |
                                                           QDir::System | QDir::Hidden)) {
        contents[entry.fileName()] = entry.isSymLink() ? "-> " + entry.symLinkTarget().toUtf8()
                                                       : test::readFile(entry.filePath());
    }
    return contents;
}

// However the output folder is spelt, an output never takes the place of one of the batch's
// own scenarios: the batch is refused before anything is written, or the numbering of its
// names passes over the scenarios' names.
TEST(Batch, NeverWritesOverItsOwnScenarios) {
    QTemporaryDir dir;
    const QDir in(dir.filePath(QStringLiteral("in")));
    ASSERT_TRUE(QDir().mkpath(in.path()) && QDir().mkpath(dir.filePath(QStringLiteral("out"))));
    test::writeFile(dir, QStringLiteral("in/a.json"), R"({"crop": "Wheat"})");
    test::writeFile(dir, QStringLiteral("in/a.tavikplan"), R"({"crop": "Maize"})");
    test::writeFile(dir, QStringLiteral("in/a-2.json"), R"({"crop": "Barley"})");
    ASSERT_TRUE(QFile::link(in.path(), dir.filePath(QStringLiteral("link"))));
    const auto before = folderContents(in.path());
    for (const QString& out :
         {in.path(), in.path() + QStringLiteral("/./"), dir.filePath(QStringLiteral("link")),
          dir.filePath(QStringLiteral("in/../link"))}) {
        SCOPED_TRACE(out.toStdString());
        const auto run = plan({"--batch", in.path(), "--output-dir", out, "--format", "json"});
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_NE(run.err.find("a-2.json\" would replace the scenario \"" +
                               in.filePath(QStringLiteral("a-2.json")).toStdString() + "\""),
                  std::string::npos)
            << run.err;
        EXPECT_EQ(folderContents(in.path()), before) << "nothing is written";
    }
    // A name taken by a scenario (here through a link to it) is passed over: x-2.txt is y.json.
    const QString y = test::writeFile(dir, QStringLiteral("y.json"), R"({"crop": "Peas"})");
    ASSERT_TRUE(QFile::link(y, dir.filePath(QStringLiteral("out/x-2.txt"))));
    const auto numbered =
        plan({test::writeFile(dir, QStringLiteral("x.json"), R"({"crop": "Wheat"})"),
              test::writeFile(dir, QStringLiteral("in/x.json"), R"({"crop": "Maize"})"), y,
              "--output-dir", dir.filePath(QStringLiteral("out"))});
    EXPECT_EQ(numbered.exitCode, 0) << numbered.err;
    QStringList outputs;
    for (const QJsonValue row : csvRows(dir.filePath(QStringLiteral("out/summary.csv")))) {
        outputs << row.toArray().last().toString();
    }
    EXPECT_EQ(outputs, QStringList({"output", "x.txt", "x-3.txt", "y.txt"}));
    EXPECT_EQ(test::readFile(y), R"({"crop": "Peas"})");
}

// Outputs and the summary replace a link of their name in the output folder, never what it
// points to; and the summary of an earlier run is gone before the first output of the next
// is written, so that a folder with a summary is a batch that ran to its end, even when the
// run is killed.
TEST(Batch, OutputsNeverFollowLinksAndAnEarlierSummaryGoesFirst) {
    QTemporaryDir dir;
    const QDir in(dir.filePath(QStringLiteral("in")));
    const QDir out(dir.filePath(QStringLiteral("out")));
    ASSERT_TRUE(QDir().mkpath(in.path()) && QDir().mkpath(out.path()));
    test::writeFile(dir, QStringLiteral("in/a.json"), R"({"crop": "Wheat"})");
    const QString kept = test::writeFile(dir, QStringLiteral("kept.txt"), "not an output");
    ASSERT_TRUE(QFile::link(kept, out.filePath(QStringLiteral("a.txt"))));
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("elsewhere.csv")),
                            out.filePath(QStringLiteral("summary.csv"))));
    const auto run = plan({"--batch", in.path(), "--output-dir", out.path()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(test::readFile(kept), "not an output");
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("elsewhere.csv"))));
    const auto written = folderContents(out.path());
    EXPECT_FALSE(written.at("a.txt").startsWith("-> ") ||
                 written.at("summary.csv").startsWith("-> "));
    EXPECT_EQ(csvRows(out.filePath(QStringLiteral("summary.csv"))).size(), 2);

    // Many fields, killed as soon as the first output is there.
    constexpr int kFields = 400;
    for (int i = 0; i < kFields; ++i) {
        test::writeFile(dir, QStringLiteral("in/f%1.json").arg(i, 3, 10, QLatin1Char('0')),
                        R"({"crop": "Maize", "cycle": 3})");
    }
    test::writeFile(dir, QStringLiteral("out/summary.csv"), "an earlier run's summary");
    QProcess killed;
    killed.start(test::tavikExecutable(),
                 {"plan", "--batch", in.path(), "--output-dir", out.path(), "--format", "json"});
    while (killed.waitForStarted() && killed.state() == QProcess::Running &&
           !QFileInfo::exists(out.filePath(QStringLiteral("f000.json")))) {
        QThread::usleep(200);
    }
    killed.kill();
    killed.waitForFinished();
    ASSERT_TRUE(QFileInfo::exists(out.filePath(QStringLiteral("f000.json"))));
    if (QFileInfo::exists(out.filePath(QStringLiteral("summary.csv")))) { // faster than the kill
        EXPECT_EQ(csvRows(out.filePath(QStringLiteral("summary.csv"))).size(), kFields + 2);
    }
}

// Each row of the comparison is the schedule `tavik plan` gives at that cycle.
TEST(Compare, EachCycleIsThePlanAtThatCycle) {
    QTemporaryDir dir;
    const QString scenario =
        test::sourcePath(QStringLiteral("tests/wizard/golden/beyond-capacity/scenario.json"));
    const auto compared =
        test::runProcess(test::tavikExecutable(), {"compare", scenario, "--format", "json"});
    ASSERT_EQ(compared.exitCode, 0) << compared.err;
    const QJsonObject comparison =
        QJsonDocument::fromJson(QByteArray::fromStdString(compared.out)).object();
    const QJsonArray cycles = comparison[QStringLiteral("cycles")].toArray();
    ASSERT_EQ(cycles.size(), 9);
    QJsonObject fields = QJsonDocument::fromJson(test::readFile(scenario)).object();
    int beyondSomewhere = 0;
    for (qsizetype i = 0; i < cycles.size(); ++i) {
        const QJsonObject row = cycles[i].toObject();
        const int cycle = static_cast<int>(i) + 2;
        SCOPED_TRACE(cycle);
        EXPECT_EQ(row[QStringLiteral("cycle")].toInt(), cycle);
        fields.insert(QStringLiteral("cycle"), cycle);
        const QString atCycle =
            test::writeFile(dir, QStringLiteral("at.json"), QJsonDocument(fields).toJson());
        const auto planned =
            test::runProcess(test::tavikExecutable(), {"plan", atCycle, "--format", "json"});
        ASSERT_EQ(planned.exitCode, 0) << planned.err;
        const QJsonObject schedule = QJsonDocument::fromJson(QByteArray::fromStdString(planned.out))
                                         .object()[QStringLiteral("schedule")]
                                         .toObject();
        const QJsonArray irrigations = schedule[QStringLiteral("irrigations")].toArray();
        double total = 0;
        double largest = 0;
        int beyond = 0;
        int split = 0;
        for (const QJsonValue& value : irrigations) {
            const QJsonObject day = value.toObject();
            total += day[QStringLiteral("amount")].toDouble();
            largest = std::max(largest, day[QStringLiteral("amount")].toDouble());
            beyond += day[QStringLiteral("beyondCapacity")].toBool() ? 1 : 0;
            split += day[QStringLiteral("passes")].toInt() > 1 ? 1 : 0;
        }
        EXPECT_EQ(row[QStringLiteral("irrigations")].toInt(), irrigations.size());
        EXPECT_DOUBLE_EQ(row[QStringLiteral("seasonTotal")].toDouble(), total);
        EXPECT_DOUBLE_EQ(row[QStringLiteral("largestApplication")].toDouble(), largest);
        EXPECT_DOUBLE_EQ(row[QStringLiteral("peakRate")].toDouble(),
                         schedule[QStringLiteral("peakRate")].toDouble());
        EXPECT_EQ(row[QStringLiteral("beyondCapacityDays")].toInt(), beyond);
        EXPECT_EQ(row[QStringLiteral("splitDays")].toInt(), split);
        EXPECT_EQ(row[QStringLiteral("lastIrrigationDay")].toInt(),
                  irrigations.last()[QStringLiteral("day")].toInt());
        beyondSomewhere += beyond;
    }
    EXPECT_GT(beyondSomewhere, 0) << "the case is chosen for its days beyond capacity";

    // The table for a terminal and the CSV hold the same nine cycles.
    const auto csv =
        test::runProcess(test::tavikExecutable(), {"compare", scenario, "--format", "csv",
                                                   "--output", dir.filePath("c.csv")});
    ASSERT_EQ(csv.exitCode, 0) << csv.err;
    EXPECT_EQ(csvRows(dir.filePath(QStringLiteral("c.csv"))).size(), 10);
    const auto text = test::runProcess(test::tavikExecutable(), {"compare", scenario});
    EXPECT_NE(text.out.find(" * "), std::string::npos) << text.out;
}

} // namespace
} // namespace tavik
