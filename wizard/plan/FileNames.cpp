#include "FileNames.h"

#include "state/NumberText.h"

#include <QByteArrayView>
#include <QStringView>

namespace tavik {

namespace {

constexpr char16_t kFirstEscape = 0xDC80; // stands for byte 0x80
constexpr char16_t kLastEscape = 0xDCFF;  // byte 0xFF

bool isEscapedByte(QStringView name, qsizetype i) {
    const char16_t unit = name[i].unicode();
    return unit >= kFirstEscape && unit <= kLastEscape &&
           (i == 0 || !name[i - 1].isHighSurrogate());
}

} // namespace

QString fileNameFromBytes(std::string_view bytes) {
    const QByteArrayView all(bytes.data(), static_cast<qsizetype>(bytes.size()));
    if (all.isValidUtf8()) {
        return QString::fromUtf8(all);
    }
    QString name;
    std::size_t at = 0;
    while (at < bytes.size()) {
        // The shortest prefix that is one whole UTF-8 character, if any.
        std::size_t length = 0;
        for (std::size_t n = 1; n <= 4 && at + n <= bytes.size() && length == 0; ++n) {
            if (QByteArrayView(bytes.data() + at, static_cast<qsizetype>(n)).isValidUtf8()) {
                length = n;
            }
        }
        if (length == 0) {
            name += QChar(static_cast<char16_t>(0xDC00 + static_cast<unsigned char>(bytes[at])));
            ++at;
        } else {
            name += QString::fromUtf8(bytes.data() + at, static_cast<qsizetype>(length));
            at += length;
        }
    }
    return name;
}

std::string fileNameBytes(const QString& name) {
    std::string bytes;
    qsizetype run = 0; // where the text not yet converted starts
    const auto flush = [&](qsizetype end) {
        if (end > run) {
            bytes += QStringView(name).mid(run, end - run).toUtf8().toStdString();
        }
    };
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (isEscapedByte(name, i)) {
            flush(i);
            bytes += static_cast<char>(name[i].unicode() - 0xDC00);
            run = i + 1;
        }
    }
    flush(name.size());
    return bytes;
}

bool hasUndecodableBytes(const QString& name) {
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (isEscapedByte(name, i)) {
            return true;
        }
    }
    return false;
}

std::string shownPath(const QString& path) {
    return printableTail(fileNameBytes(path), kMaxShownPathLength);
}

} // namespace tavik
