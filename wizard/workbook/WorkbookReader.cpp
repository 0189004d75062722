#include "WorkbookReader.h"

#include "SheetAnswer.h"
#include "SheetRead.h"
#include "state/NumberText.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <algorithm>
#include <csignal>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace tavik {

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

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

// What keeps a file from being read as a workbook before any reader is started.
std::optional<std::string> fileProblem(const QFileInfo& file) {
    if (!file.exists()) {
        return "the file does not exist";
    }
    if (file.isDir()) {
        return "it is a folder, not a file";
    }
    if (!file.isReadable()) {
        return "the file cannot be opened for reading (no permission)";
    }
    if (!file.isFile()) {
        return "it is not a regular file";
    }
    if (file.size() == 0) {
        return "the file is empty";
    }
    constexpr auto kMaxWorkbookBytes = static_cast<qint64>(kMaxWorkbookFileBytes);
    if (file.size() > kMaxWorkbookBytes) {
        return "the file holds " + std::to_string(file.size() / (1024 * 1024)) +
               " MiB, far more than a crop table workbook (at most " +
               std::to_string(kMaxWorkbookBytes / (1024 * 1024)) + " MiB are read)";
    }
    return std::nullopt;
}

// The reader's process leaves no core dump, takes at most its memory, and ends with the
// caller.
void limitReader(QProcess& reader, qint64 memoryLimit) {
    const auto limit = static_cast<rlim_t>(memoryLimit);
    const pid_t parent = getpid();
    reader.setChildProcessModifier([limit, parent] {
        // A crash of the parser on a damaged file should not leave a core dump behind.
        const rlimit noCore{0, 0};
        setrlimit(RLIMIT_CORE, &noCore);
        if (!kSanitized && limit > 0) {
            const rlimit data{limit, limit};
            setrlimit(RLIMIT_DATA, &data);
        }
        // The reader does not outlive the program that waits for it.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent) {
            _exit(1); // the caller ended before the reader was started
        }
    });
}

// The reader's standard output until it ends, within the time and size limits; or why it
// was stopped.
std::optional<std::string> readOutput(QProcess& reader, const WorkbookReaderOptions& options,
                                      const QDeadlineTimer& deadline, QByteArray& output) {
    while (reader.state() != QProcess::NotRunning) {
        if (deadline.hasExpired()) {
            reader.kill();
            reader.waitForFinished(-1);
            return "reading it took longer than " + seconds(options.timeLimit) +
                   " seconds; the file may be damaged";
        }
        reader.waitForReadyRead(static_cast<int>(std::min<qint64>(deadline.remainingTime(), 200)));
        output += reader.readAllStandardOutput();
        if (output.size() > options.outputLimit) {
            reader.kill();
            reader.waitForFinished(-1);
            return "its first sheet is far larger than a crop table (more than " +
                   std::to_string(options.outputLimit / (1024 * 1024)) + " MiB of cells)";
        }
    }
    output += reader.readAllStandardOutput();
    return std::nullopt;
}

// The sheet the reader wrote, or what its exit says of the file.
WorkbookReadResult readerResult(QProcess& reader, const QByteArray& output) {
    if (reader.exitStatus() == QProcess::CrashExit) {
        return failure("the file is damaged (reading it stopped the reader)");
    }
    if (reader.exitCode() == kExitWorkbookProblem) {
        std::string problem = readerMessage(reader.readAllStandardError());
        return failure(problem.empty() ? "the file is damaged" : problem);
    }
    if (reader.exitCode() != 0) {
        return failure("the file is damaged (the reader ended with status " +
                       std::to_string(reader.exitCode()) + ")");
    }
    std::string parseError;
    auto sheet = parseSheetAnswer(std::string_view(output.constData(), output.size()), parseError);
    if (!sheet) {
        return failure("the reader's output could not be understood (" + parseError + ")");
    }
    WorkbookReadResult result;
    result.sheet = std::move(sheet);
    return result;
}

} // namespace

WorkbookReadResult readWorkbook(const QString& path, const WorkbookReaderOptions& options) {
    const QFileInfo file(path);
    if (auto problem = fileProblem(file)) {
        return failure(std::move(*problem));
    }
    QProcess reader;
    reader.setProgram(options.readerProgram);
    reader.setArguments({file.absoluteFilePath()});
    reader.setStandardInputFile(QProcess::nullDevice());
    limitReader(reader, options.memoryLimit);
    const QDeadlineTimer deadline(options.timeLimit);
    reader.start();
    if (!reader.waitForStarted(static_cast<int>(options.timeLimit.count()))) {
        return failure("the workbook reader (" + options.readerProgram.toStdString() +
                       ") could not be started: " + reader.errorString().toStdString());
    }
    QByteArray output;
    if (auto stopped = readOutput(reader, options, deadline, output)) {
        return failure(std::move(*stopped));
    }
    return readerResult(reader, output);
}

std::string workbookErrorMessage(const QString& path, const std::string& problem) {
    return "The crop workbook \"" + printableText(path.toStdString()) +
           "\" cannot be read: " + printableText(problem) + ".";
}

} // namespace tavik
