#include "Programs.h"

#include "FileNames.h"

#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace tavik {

QString runningProgramFolder() {
    const QString program = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    return program.isEmpty() ? QString() : QFileInfo(program).path();
}

QString helperProgram(const QString& ownFolder, const char* name) {
    if (ownFolder.isEmpty()) {
        return QString::fromLatin1(name); // found nowhere: replaceProcess refuses it
    }
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
    // Never a program of the current folder: without its own folder (no /proc/self/exe) the
    // program cannot know where its helpers lie.
    if (!QFileInfo(program).isAbsolute()) {
        return "the folder of the running program is unknown";
    }
    const std::string path = fileNameBytes(program);
    ::execv(path.c_str(), arguments);
    return std::strerror(errno);
}

} // namespace tavik
