#include "CalcTestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace tavikcalc::test {

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find("\r\n", start);
        result.push_back(text.substr(start, end - start));
        if (end == std::string::npos) {
            return result;
        }
        start = end + 2;
    }
}

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    EXPECT_TRUE(file) << path;
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

std::vector<GoldenCase> goldenCases(const QString& goldenFolder) {
    std::vector<GoldenCase> cases;
    const QDir golden(goldenFolder);
    for (const QString& name : golden.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString folder = golden.filePath(name);
        const QString arguments = folder + QStringLiteral("/arguments");
        if (!QFileInfo::exists(arguments)) {
            ADD_FAILURE() << "golden folder " << folder.toStdString() << " has no arguments file";
            continue;
        }
        std::istringstream words(readFile(arguments.toStdString()));
        GoldenCase c{
            name.toStdString(), {}, (folder + QStringLiteral("/expected.txt")).toStdString()};
        for (std::string word; words >> word;) {
            c.arguments.push_back(word);
        }
        cases.push_back(c);
    }
    return cases;
}

std::vector<GoldenCase> goldenCases() {
    return goldenCases(QStringLiteral(TAVIKCALC_GOLDEN_DIR));
}

ProcessResult runTavikcalc(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral(TAVIKCALC_EXECUTABLE), arguments);
    ProcessResult result;
    if (!process.waitForStarted(30000) || !process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        ADD_FAILURE() << "tavikcalc did not finish";
        return result;
    }
    result.crashed = process.exitStatus() == QProcess::CrashExit;
    result.exitCode = process.exitCode();
    result.out = process.readAllStandardOutput().toStdString();
    result.err = process.readAllStandardError().toStdString();
    return result;
}

} // namespace tavikcalc::test
