#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/mount.h>
#include <unistd.h>

namespace tavik::test {

QString sourcePath(const QString& relative) {
    return QDir(QStringLiteral(TAVIK_SOURCE_DIR)).filePath(relative);
}

QString tavikExecutable() {
    return QStringLiteral(TAVIK_EXECUTABLE);
}

QString workbookReader() {
    return QStringLiteral(TAVIK_WORKBOOK_READER);
}

const CropTable& shippedCrops() {
    static const CropTable crops = [] {
        CropTable table;
        table.load(sheetFromCsv(shippedCropCsv()));
        return table;
    }();
    return crops;
}

CsvRows shippedCropCsv() {
    const QByteArray bytes = readFile(sourcePath(QStringLiteral("wizard/resources/crops.csv")));
    CsvRows rows;
    std::istringstream lines(bytes.toStdString());
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        std::vector<std::string> fields;
        std::istringstream split(line);
        std::string field;
        while (std::getline(split, field, ',')) {
            fields.push_back(field);
        }
        if (!line.empty() && line.back() == ',') {
            fields.emplace_back();
        }
        rows.push_back(fields);
    }
    return rows;
}

PlanResult plannedScenario(const QString& scenarioFile, const TimeStamp& stamp) {
    const ScenarioParse parse = parseScenario(readFile(scenarioFile).toStdString());
    EXPECT_TRUE(parse.scenario) << parse.problem;
    if (!parse.scenario) {
        return {};
    }
    PlanOutcome outcome = runPlan(shippedCrops(), *parse.scenario, stamp);
    EXPECT_TRUE(outcome.result) << outcome.problem;
    return outcome.result ? std::move(*outcome.result) : PlanResult{};
}

std::string joinCsv(const CsvRows& rows) {
    std::string text;
    for (const auto& row : rows) {
        for (std::size_t c = 0; c < row.size(); ++c) {
            text += (c > 0 ? "," : "") + row[c];
        }
        text += '\n';
    }
    return text;
}

QString makeWorkbook(const QTemporaryDir& dir, const QString& name, const CsvRows& rows) {
    const QString csv =
        writeFile(dir, name + QStringLiteral(".csv"), QByteArray::fromStdString(joinCsv(rows)));
    const QString xls = dir.filePath(name + QStringLiteral(".xls"));
    const ProcessResult made =
        runProcess(QStringLiteral("/usr/bin/python3"),
                   {sourcePath(QStringLiteral("scripts/make-workbook")), csv, xls});
    EXPECT_EQ(made.exitCode, 0) << made.err;
    return xls;
}

SheetCells sheetFromCsv(const CsvRows& rows) {
    SheetCells sheet;
    for (const auto& row : rows) {
        std::vector<Cell> cells;
        for (const auto& field : row) {
            if (field.empty()) {
                cells.emplace_back(std::monostate{});
            } else if (field.front() == '\'') {
                cells.emplace_back(field.substr(1));
            } else {
                char* end = nullptr;
                const double value = std::strtod(field.c_str(), &end);
                if (end == field.c_str() + field.size() && std::isfinite(value)) {
                    cells.emplace_back(value);
                } else {
                    cells.emplace_back(field);
                }
            }
        }
        sheet.rows.push_back(cells);
    }
    return sheet;
}

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(bytes);
    return path;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

ProcessResult runProcess(const QString& program, const QStringList& arguments, int timeoutMs) {
    QProcess process;
    process.start(program, arguments);
    ProcessResult result;
    if (!process.waitForStarted(timeoutMs) || !process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        ADD_FAILURE() << program.toStdString() << " did not finish";
        return result;
    }
    result.crashed = process.exitStatus() == QProcess::CrashExit;
    result.exitCode = process.exitCode();
    result.out = process.readAllStandardOutput().toStdString();
    result.err = process.readAllStandardError().toStdString();
    return result;
}

ProcessResult runProcessTo(const QString& program, const QStringList& arguments,
                           const QString& standardOutput) {
    QProcess process;
    process.setStandardOutputFile(standardOutput);
    process.start(program, arguments);
    ProcessResult result;
    if (!process.waitForStarted() || !process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        ADD_FAILURE() << program.toStdString() << " did not finish";
        return result;
    }
    result.crashed = process.exitStatus() == QProcess::CrashExit;
    result.exitCode = process.exitCode();
    result.err = process.readAllStandardError().toStdString();
    return result;
}

FullFolder::FullFolder() {
    if (::geteuid() != 0) {
        reason_ = QStringLiteral("mounting a full tmpfs needs root");
        return;
    }
    const QByteArray path = dir_.path().toLocal8Bit();
    if (::mount("tmpfs", path.constData(), "tmpfs", 0, "size=256k") != 0) {
        reason_ = QStringLiteral("tmpfs cannot be mounted here: ") +
                  QString::fromLocal8Bit(std::strerror(errno));
        return;
    }
    mounted_ = true;
}

FullFolder::~FullFolder() {
    if (mounted_) {
        ::umount2(dir_.path().toLocal8Bit().constData(), MNT_DETACH);
    }
}

void FullFolder::keep(const QString& name, const QByteArray& bytes) {
    writeFile(dir_, name, bytes);
}

void FullFolder::fill() {
    QFile filler(dir_.filePath(QStringLiteral("filler")));
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size()) {
    }
    // Small writes still find room in a partly used block; fill that too.
    while (filler.write("x", 1) == 1) {
    }
}

std::vector<GoldenCase> goldenCases(const QString& examplesFolder, const QString& goldenFolder) {
    std::vector<GoldenCase> cases;
    const QDir examples(examplesFolder);
    const QDir golden(goldenFolder);
    for (const QString& name : examples.entryList({QStringLiteral("*.json")}, QDir::Files)) {
        cases.push_back({examples.filePath(name), golden.filePath(QFileInfo(name).baseName())});
    }
    // A folder holds its own scenario unless it is the expected output of an example's.
    for (const QString& name : golden.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString scenario = golden.filePath(name + QStringLiteral("/scenario.json"));
        if (QFileInfo::exists(scenario)) {
            cases.push_back({scenario, golden.filePath(name)});
        } else if (!QFileInfo::exists(examples.filePath(name + QStringLiteral(".json")))) {
            ADD_FAILURE() << "golden folder " << golden.filePath(name).toStdString()
                          << " has no scenario.json, and no example is named after it";
        }
    }
    return cases;
}

std::vector<GoldenCase> goldenCases() {
    return goldenCases(sourcePath(QStringLiteral("examples")),
                       sourcePath(QStringLiteral("tests/wizard/golden")));
}

} // namespace tavik::test
