#include "OutputFile.h"

#include "FileNames.h"

#include <QFileInfo>
#include <QSaveFile>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <ostream>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace tavik {

std::optional<std::string> replaceFileContents(const QString& path, std::string_view bytes,
                                               Durability durability) {
    // A name whose bytes are not UTF-8 text cannot be given to the file writer as it is.
    if (hasUndecodableBytes(path)) {
        return std::string("its name is not UTF-8 text; give it another name");
    }
    // One look at the target (a new file is the common case: nothing more to ask of it).
    if (const QFileInfo target(path); target.exists()) {
        if (target.isDir()) {
            return "it is a folder";
        }
        if (!target.isFile()) {
            return "it is not a regular file (a device, a pipe or a socket is never replaced)";
        }
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return file.errorString().toStdString();
    }
    const auto failed = [&file](std::string reason) {
        file.cancelWriting();
        return std::optional<std::string>(std::move(reason));
    };
    const auto size = static_cast<qint64>(bytes.size());
    if (file.write(bytes.data(), size) != size) {
        return failed(file.errorString().toStdString());
    }
    // A write that fails only when the buffer is flushed (a full disk) would otherwise go
    // unnoticed by the commit, which then puts a short file in the place of the old one.
    if (!file.flush() || file.error() != QFileDevice::NoError) {
        return failed(file.errorString().toStdString());
    }
    if (durability == Durability::Synced && ::fsync(file.handle()) != 0) {
        return failed(std::strerror(errno));
    }
    if (!file.commit()) {
        return file.errorString().toStdString();
    }
    return std::nullopt;
}

namespace {

std::string errnoText() {
    return std::strerror(errno);
}

// What the entry of a name is, when it is one that is never replaced.
std::optional<std::string> refusedEntry(const std::string& path) {
    struct stat entry {};
    if (::lstat(path.c_str(), &entry) != 0) {
        return std::nullopt; // nothing there (or nothing to be learnt: the write will say)
    }
    if (S_ISDIR(entry.st_mode)) {
        return "it is a folder";
    }
    if (!S_ISREG(entry.st_mode) && !S_ISLNK(entry.st_mode)) {
        return "it is not a regular file (a device, a pipe or a socket is never replaced)";
    }
    return std::nullopt;
}

// A name for a new file beside the target, unlikely to be taken; open() makes sure.
std::string temporaryName(const std::string& target) {
    static std::atomic<unsigned> counter{0};
    thread_local std::mt19937 random{std::random_device{}()};
    return target + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + "-" +
           std::to_string(random() % 1000000);
}

} // namespace

FileInFolder::FileInFolder(QString path) : target_(fileNameBytes(path)) {}

FileInFolder::~FileInFolder() {
    discard();
}

void FileInFolder::discard() {
    if (handle_ >= 0) {
        ::close(handle_);
        handle_ = -1;
    }
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
    }
}

std::optional<std::string> FileInFolder::open() {
    if (auto refused = refusedEntry(target_)) {
        return refused;
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = temporaryName(target_);
        handle_ = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (handle_ >= 0) {
            temporary_ = name;
            return std::nullopt;
        }
        if (errno != EEXIST) {
            return errnoText();
        }
    }
    return std::string("no new file could be made beside it");
}

std::optional<std::string> FileInFolder::flushBuffer() {
    std::string_view rest = buffer_;
    while (!rest.empty()) {
        const ssize_t written = ::write(handle_, rest.data(), rest.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errnoText();
        }
        rest.remove_prefix(static_cast<std::size_t>(written));
    }
    buffer_.clear();
    return std::nullopt;
}

std::optional<std::string> FileInFolder::write(std::string_view bytes) {
    if (handle_ < 0) {
        return std::string("the file is not open");
    }
    buffer_.append(bytes);
    constexpr std::size_t kBuffered = 64 * 1024;
    return buffer_.size() >= kBuffered ? flushBuffer() : std::nullopt;
}

std::optional<std::string> FileInFolder::commit(Durability durability) {
    if (handle_ < 0) {
        return std::string("the file is not open");
    }
    const auto failed = [this](std::string reason) {
        discard();
        return std::optional<std::string>(std::move(reason));
    };
    if (auto problem = flushBuffer()) {
        return failed(*problem);
    }
    if (durability == Durability::Synced && ::fsync(handle_) != 0) {
        return failed(errnoText());
    }
    // close() is where some file systems (network ones) report a failed write.
    const int closed = ::close(handle_);
    handle_ = -1;
    if (closed != 0) {
        return failed(errnoText());
    }
    if (auto refused = refusedEntry(target_)) {
        return failed(*refused);
    }
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
        return failed(errnoText());
    }
    temporary_.clear();
    return std::nullopt;
}

std::optional<std::string> replaceFileInFolder(const QString& path, std::string_view bytes,
                                               Durability durability) {
    FileInFolder file(path);
    if (auto problem = file.open()) {
        return problem;
    }
    if (auto problem = file.write(bytes)) {
        return problem;
    }
    return file.commit(durability);
}

std::optional<std::string> syncFolderToDisk(const QString& folder) {
    const int handle = ::open(fileNameBytes(folder).c_str(), O_RDONLY | O_DIRECTORY);
    if (handle < 0) {
        return std::string(std::strerror(errno));
    }
    const int synced = ::syncfs(handle);
    const int error = errno;
    ::close(handle);
    if (synced != 0) {
        return std::string(std::strerror(error));
    }
    return std::nullopt;
}

std::optional<std::string> writeToStream(std::ostream& out, std::string_view bytes) {
    errno = 0;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (out) {
        return std::nullopt;
    }
    return errno != 0 ? std::string(std::strerror(errno)) : std::string("the write failed");
}

} // namespace tavik
