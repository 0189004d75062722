#include "FilePlaces.h"

#include "Dialogs.h"
#include "PlanFiles.h"
#include "Wizard.h"
#include "state/CropTable.h"
#include "state/WizardState.h"

#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QStandardPaths>

namespace tavik {

namespace {

// Longest base name offered, in characters: a crop's name from a workbook can be anything.
constexpr qsizetype kMaxNameLength = 64;

// A field's or a crop's name as part of a file name: no folder separators, no characters that other
// systems' file names refuse, no control characters, not hidden, not too long.
QString fileNamePart(const QString& name) {
    QString part;
    for (const QChar c : name) {
        const bool refused = c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
                             c == QChar::ParagraphSeparator ||
                             QStringLiteral("/\\:*?\"<>|").contains(c);
        part += refused ? QLatin1Char('_') : c;
    }
    part = part.simplified();
    while (part.startsWith(QLatin1Char('.'))) {
        part.remove(0, 1);
    }
    if (part.size() > kMaxNameLength) {
        part.truncate(kMaxNameLength);
        if (part.back().isHighSurrogate()) {
            part.chop(1);
        }
    }
    return part.trimmed();
}

} // namespace

FilePlaces::FilePlaces(Wizard& wizard) : wizard_(wizard) {}

QString FilePlaces::folder() const {
    // The first of them that is a folder still (a plan's folder may have gone since).
    const QString& plan = wizard_.plans().path();
    for (const QString& folder :
         {plan.isEmpty() ? QString() : QFileInfo(plan).absolutePath(), lastFolder_,
          QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)}) {
        if (!folder.isEmpty() && QFileInfo(folder).isDir()) {
            return folder;
        }
    }
    return QDir::homePath();
}

QString FilePlaces::name(const QString& suffix) const {
    QString base;
    if (const auto& field = wizard_.plans().field(); field && field->name) {
        base = fileNamePart(QString::fromStdString(*field->name));
    }
    if (const QString& plan = wizard_.plans().path(); base.isEmpty() && !plan.isEmpty()) {
        base = QFileInfo(plan).completeBaseName();
    }
    if (const mType& state = wizard_.state(); base.isEmpty() && state.CropRow != 0) {
        base = fileNamePart(
            QString::fromStdString(state.CropData.text(state.CropRow, CropColumn::Name)));
    }
    if (base.isEmpty()) {
        return {};
    }
    return suffix.isEmpty() ? base : base + QLatin1Char('.') + suffix;
}

QString FilePlaces::suggested(const QString& suffix) const {
    const QString file = name(suffix);
    return file.isEmpty() ? folder() : QDir(folder()).filePath(file);
}

void FilePlaces::remember(const QString& path) {
    if (!path.isEmpty()) {
        lastFolder_ = QFileInfo(path).absolutePath();
    }
}

std::optional<QString> FilePlaces::chooseSaveFile(QWidget* parent, const QString& filters,
                                                  const QString& defaultSuffix) {
    auto path =
        wizard_.dialogs().chooseSaveFile(parent, filters, defaultSuffix, suggested(defaultSuffix));
    if (path) {
        remember(*path);
    }
    return path;
}

std::optional<QString> FilePlaces::chooseOpenFile(QWidget* parent, const QString& filters) {
    // The plan's own file is offered; without one, the folder alone.
    const QString& plan = wizard_.plans().path();
    auto path = wizard_.dialogs().chooseOpenFile(parent, filters, plan.isEmpty() ? folder() : plan);
    if (path) {
        remember(*path);
    }
    return path;
}

bool FilePlaces::choosePrinter(QPrinter& printer, QWidget* parent) {
    if (!wizard_.dialogs().choosePrinter(printer, parent, suggested(QStringLiteral("pdf")))) {
        return false;
    }
    remember(printer.outputFileName());
    return true;
}

} // namespace tavik
