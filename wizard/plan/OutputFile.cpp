#include "OutputFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <ostream>
#include <unistd.h>

namespace tavik {

std::optional<std::string> replaceFileContents(const QString& path, std::string_view bytes,
                                               Durability durability) {
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

std::optional<std::string> syncFolderToDisk(const QString& folder) {
    const int handle = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
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
