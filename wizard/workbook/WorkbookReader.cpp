#include "WorkbookReader.h"

#include "UsedRangeCsv.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <algorithm>
#include <sys/resource.h>

namespace tavik {

namespace {

WorkbookReadResult failure(std::string problem) {
    WorkbookReadResult result;
    result.problem = std::move(problem);
    return result;
}

// The reader's own message ("tavik workbook: "PATH": PROBLEM") without its prefix.
std::string readerMessage(const QByteArray& standardError) {
    const QString text = QString::fromUtf8(standardError).trimmed();
    const QString prefix = QStringLiteral("tavik workbook: ");
    if (!text.startsWith(prefix) || text.contains(QLatin1Char('\n'))) {
        return {};
    }
    const qsizetype colon = text.lastIndexOf(QStringLiteral("\": "));
    return (colon >= 0 ? text.mid(colon + 3) : text.mid(prefix.size())).toStdString();
}

std::string seconds(std::chrono::milliseconds duration) {
    const auto tenths = (duration.count() + 50) / 100;
    std::string text = std::to_string(tenths / 10);
    if (tenths % 10 != 0) {
        text += "." + std::to_string(tenths % 10);
    }
    return text;
}

} // namespace

WorkbookReadResult readWorkbook(const QString& path, const WorkbookReaderOptions& options) {
    const QFileInfo file(path);
    if (!file.exists()) {
        return failure("the file does not exist");
    }
    if (file.isDir()) {
        return failure("it is a folder, not a file");
    }
    if (!file.isReadable()) {
        return failure("the file cannot be opened for reading (no permission)");
    }
    if (file.size() == 0) {
        return failure("the file is empty");
    }

    QProcess reader;
    reader.setProgram(options.readerProgram);
    reader.setArguments({QStringLiteral("workbook"), file.absoluteFilePath()});
    reader.setStandardInputFile(QProcess::nullDevice());
    reader.setChildProcessModifier([] {
        // A crash of the parser on a damaged file should not leave a core dump behind.
        const rlimit noCore{0, 0};
        setrlimit(RLIMIT_CORE, &noCore);
    });
    const QDeadlineTimer deadline(options.timeLimit);
    reader.start();
    if (!reader.waitForStarted(static_cast<int>(options.timeLimit.count()))) {
        return failure("the workbook reader (" + options.readerProgram.toStdString() +
                       ") could not be started: " + reader.errorString().toStdString());
    }

    QByteArray output;
    while (reader.state() != QProcess::NotRunning) {
        if (deadline.hasExpired()) {
            reader.kill();
            reader.waitForFinished(-1);
            return failure("reading it took longer than " + seconds(options.timeLimit) +
                           " seconds; the file may be damaged");
        }
        reader.waitForReadyRead(static_cast<int>(std::min<qint64>(deadline.remainingTime(), 200)));
        output += reader.readAllStandardOutput();
        if (output.size() > options.outputLimit) {
            reader.kill();
            reader.waitForFinished(-1);
            return failure("its first sheet is far larger than a crop table");
        }
    }
    output += reader.readAllStandardOutput();
    const QByteArray errors = reader.readAllStandardError();

    if (reader.exitStatus() == QProcess::CrashExit) {
        return failure("the file is damaged (reading it stopped the reader)");
    }
    if (reader.exitCode() == 3) {
        std::string problem = readerMessage(errors);
        return failure(problem.empty() ? "the file is damaged" : problem);
    }
    if (reader.exitCode() != 0) {
        return failure("the file is damaged (the reader ended with status " +
                       std::to_string(reader.exitCode()) + ")");
    }
    std::string parseError;
    auto sheet = parseUsedRangeCsv(std::string_view(output.constData(), output.size()), parseError);
    if (!sheet) {
        return failure("the reader's output could not be understood (" + parseError + ")");
    }
    WorkbookReadResult result;
    result.sheet = std::move(sheet);
    return result;
}

std::string workbookErrorMessage(const QString& path, const std::string& problem) {
    return "The crop workbook \"" + path.toStdString() + "\" cannot be read: " + problem + ".";
}

} // namespace tavik
