#pragma once

#include "model/Notifier.h"
#include "plan/Plan.h"
#include "state/Cell.h"
#include "state/CropTable.h"

#include <QString>
#include <QTemporaryDir>
#include <string>
#include <vector>

namespace tavik::test {

// Paths of the source tree and of the built program.
QString sourcePath(const QString& relative);
QString tavikExecutable();
// The workbook reader, tavik-workbook.
QString workbookReader();

// The shipped crop table source (wizard/resources/crops.csv), as lines of fields.
using CsvRows = std::vector<std::vector<std::string>>;
CsvRows shippedCropCsv();
// The crop table loaded from that source once, for the tests that plan with the shipped crops.
const CropTable& shippedCrops();
std::string joinCsv(const CsvRows& rows);

// The plan of a scenario file with the shipped crops; a scenario that does not parse or plan
// fails the test and gives an empty plan.
PlanResult plannedScenario(const QString& scenarioFile, const TimeStamp& stamp);

// Writes an .xls workbook from CSV rows with scripts/make-workbook (numbers become numbers,
// a leading apostrophe forces a text) and returns its path inside `dir`.
QString makeWorkbook(const QTemporaryDir& dir, const QString& name, const CsvRows& rows);

// The sheet cells that CSV rows stand for, by the make-workbook rules.
SheetCells sheetFromCsv(const CsvRows& rows);

// Writes bytes to a file in `dir` and returns its path.
QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes);
QByteArray readFile(const QString& path);

struct Recorded {
    Notifier::Icon icon;
    std::string title;
    std::string text;
    std::string details;
};

// Remembers every message instead of showing it.
class RecordingNotifier : public Notifier {
public:
    void notify(Icon icon, const std::string& title, const std::string& text) override {
        shown.push_back({icon, title, text, {}});
    }
    void notifyWithDetails(Icon icon, const std::string& title, const std::string& text,
                           const std::string& details) override {
        shown.push_back({icon, title, text, details});
    }
    std::vector<Recorded> shown;
};

// Every golden scenario: the examples shipped with the program and the edge cases of
// tests/wizard/golden. A golden folder with neither its own scenario.json nor an example of
// its name is a test failure, not a case left out.
struct GoldenCase {
    QString scenario;
    QString expected; // folder of expected.txt, expected.rtf and expected.json
};
std::vector<GoldenCase> goldenCases();
std::vector<GoldenCase> goldenCases(const QString& examplesFolder, const QString& goldenFolder);

struct ProcessResult {
    int exitCode = -1;
    bool crashed = false;
    std::string out;
    std::string err;
};
ProcessResult runProcess(const QString& program, const QStringList& arguments,
                         int timeoutMs = 30000);
// The same, with standard output going to a file (such as /dev/full) instead of a pipe.
ProcessResult runProcessTo(const QString& program, const QStringList& arguments,
                           const QString& standardOutput);

// A folder on a file system that is full: a small tmpfs, mounted for the test and filled.
// Mounting needs root; without it, reason() says why the test cannot run.
class FullFolder {
public:
    FullFolder();
    ~FullFolder();
    FullFolder(const FullFolder&) = delete;
    FullFolder& operator=(const FullFolder&) = delete;
    bool ready() const { return reason_.isEmpty(); }
    const QString& reason() const { return reason_; }
    QString filePath(const QString& name) const { return dir_.filePath(name); }
    // Writes a file there before the disk is filled (the "previous" file of a test).
    void keep(const QString& name, const QByteArray& bytes);
    void fill();

private:
    QTemporaryDir dir_;
    bool mounted_ = false;
    QString reason_;
};

} // namespace tavik::test
