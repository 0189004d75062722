#pragma once

// The window-manager tests of both programs run on a virtual X display (Xvfb) with openbox,
// which frames, places, stacks and focuses windows as a desktop does; the offscreen platform
// does none of that. Each is a program of one source file whose main() is desktop::runTests:
// the desktop starts before the application object exists, and when it cannot, every test
// skips with the reason (GTEST_SKIP_WITHOUT_DESKTOP() in its set-up).

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QSize>
#include <QTest>
#include <clocale>
#include <gtest/gtest.h>

namespace desktop {

// Why there is no desktop to run on; empty when there is one.
inline QString& missing() {
    static QString reason;
    return reason;
}

#define GTEST_SKIP_WITHOUT_DESKTOP()                                                               \
    if (!desktop::missing().isEmpty()) {                                                           \
        GTEST_SKIP() << desktop::missing().toStdString();                                          \
    }

// What a program (xprop, xwininfo, xdotool) printed; nothing when it did not end within 10 s.
inline QString output(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Xvfb on a free display with a screen of the given size, and openbox on it.
class Desktop {
public:
    // Why it cannot be started, if it cannot.
    QString start(const QSize& screen) {
        const QString size = QStringLiteral("%1x%2x24").arg(screen.width()).arg(screen.height());
        xvfb_.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"),
                                             QStringLiteral("-screen"), QStringLiteral("0"), size,
                                             QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        QByteArray number; // the display's, on a line of its own once it is ready
        while (!number.contains('\n') && xvfb_.waitForReadyRead(20000)) {
            number += xvfb_.readAllStandardOutput();
        }
        if (number.trimmed().isEmpty()) {
            return QStringLiteral("Xvfb cannot be started");
        }
        qputenv("DISPLAY", ":" + number.trimmed());
        openbox_.start(QStringLiteral("openbox"), {});
        // Ready when it has set up the desktop's available area on the root window.
        for (int i = 0; i < 400 && openbox_.waitForStarted(5000); ++i) {
            if (output(QStringLiteral("xprop"),
                       {QStringLiteral("-root"), QStringLiteral("_NET_WORKAREA")})
                    .contains(QLatin1Char('='))) {
                return {};
            }
            QTest::qSleep(50);
        }
        return QStringLiteral("openbox cannot be started on the display");
    }
    ~Desktop() {
        for (QProcess* process : {&openbox_, &xvfb_}) {
            process->terminate();
            if (!process->waitForFinished(3000)) {
                process->kill();
                process->waitForFinished();
            }
        }
    }

private:
    QProcess xvfb_;
    QProcess openbox_;
};

// Every test on a desktop with a screen of that size (listing them needs none).
inline int runTests(int argc, char** argv, const QSize& screen) {
    testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString runtime = QDir::temp().filePath(QStringLiteral("tavik-tests-runtime"));
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
    }
    Desktop desktop;
    missing() = GTEST_FLAG_GET(list_tests) ? QStringLiteral("only listing") : desktop.start(screen);
    qputenv("QT_QPA_PLATFORM", missing().isEmpty() ? "xcb" : "offscreen");
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    return RUN_ALL_TESTS();
}

} // namespace desktop

// Under the leak checker: the desktop's system libraries that a program under a real X server
// loads (the accessibility bus, the keyboard map) keep allocations to the end; they are not
// ours to free. (The keyboard-map library also hands strings without a terminating zero to
// strndup, so these programs run without strict string checks.)
extern "C" const char* __lsan_default_suppressions();
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libdbus-1.so\nleak:libxkbcommon\nleak:libxcb\nleak:libfontconfig\n";
}
