#include "CommandLine.h"

#include "TextNumbers.h"

namespace tavikcalc {

void CTavipCommandLineInfo::parse(const QStringList& arguments) {
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString param = arguments[i];
        const bool flag = param.startsWith(QLatin1Char('/')) || param.startsWith(QLatin1Char('-'));
        if (flag) {
            param.remove(0, 1);
        }
        ParseParam(param, flag, i + 1 == arguments.size());
    }
}

void CTavipCommandLineInfo::ParseParam(const QString& param, bool /*flag*/, bool /*last*/) {
    if (param.compare(QLatin1String("WISH"), Qt::CaseInsensitive) == 0) {
        showSplash = 0;
    }
    if (param.startsWith(QLatin1Char('A'))) {
        area = textAsNumber(param.mid(1));
    }
}

} // namespace tavikcalc
