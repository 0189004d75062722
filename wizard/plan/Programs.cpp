#include "Programs.h"

#include "FileNames.h"

#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace tavik {

QString runningProgramFolder() {
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()).path();
}

QString helperProgram(const QString& ownFolder, const char* name) {
    const QString beside = QDir(ownFolder).filePath(QString::fromLatin1(name));
    if (QFileInfo(beside).isFile()) {
        return beside;
    }
    return QDir::cleanPath(ownFolder + QStringLiteral("/" TAVIK_HELPERS_FROM_PROGRAM "/") +
                           QString::fromLatin1(name));
}

QString mainProgramFolder(const QString& helperFolder) {
    if (QFileInfo(QDir(helperFolder).filePath(QStringLiteral("tavik"))).isFile()) {
        return helperFolder;
    }
    return QDir::cleanPath(helperFolder + QStringLiteral("/" TAVIK_PROGRAM_FROM_HELPERS));
}

std::string replaceProcess(const QString& program, char* const arguments[]) {
    const std::string path = fileNameBytes(program);
    ::execv(path.c_str(), arguments);
    return std::strerror(errno);
}

} // namespace tavik
