#pragma once

#include <QString>
#include <QStringList>
#include <string>
#include <vector>

namespace tavikcalc::test {

// The report's lines (split at CR LF).
std::vector<std::string> lines(const std::string& text);

// The golden cases: one folder per case under tests/calculator/golden, each with the
// command's arguments (`arguments`, one line) and the report it writes (`expected.txt`).
// A folder without its arguments is a test failure, not a case left out.
struct GoldenCase {
    std::string name;
    std::vector<std::string> arguments;
    std::string expectedPath;
};
std::vector<GoldenCase> goldenCases();
std::vector<GoldenCase> goldenCases(const QString& goldenFolder);
std::string readFile(const std::string& path);

struct ProcessResult {
    int exitCode = -1;
    bool crashed = false;
    std::string out;
    std::string err;
};
ProcessResult runTavikcalc(const QStringList& arguments);

} // namespace tavikcalc::test
