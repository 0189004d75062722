#pragma once

// What the screenshot programs and the appearance tests of both programs share: a dark desktop
// palette (as a dark theme gives one), the contrast of two colours, and the options of the
// screenshot programs.

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QColor>
#include <QDir>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QString>
#include <QStringList>
#include <QSvgRenderer>
#include <QTextEdit>
#include <QToolButton>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <iostream>

namespace appearance {

// The palette of a dark desktop theme: light text on dark windows, fields and buttons.
inline QPalette darkPalette() {
    QPalette palette;
    const QColor window(45, 45, 48), base(30, 30, 32), text(230, 230, 230);
    const QColor button(60, 60, 64), highlight(42, 130, 218);
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Window, window);
        palette.setColor(group, QPalette::WindowText, text);
        palette.setColor(group, QPalette::Base, base);
        palette.setColor(group, QPalette::AlternateBase, window);
        palette.setColor(group, QPalette::ToolTipBase, base);
        palette.setColor(group, QPalette::ToolTipText, text);
        palette.setColor(group, QPalette::PlaceholderText, QColor(140, 140, 140));
        palette.setColor(group, QPalette::Text, text);
        palette.setColor(group, QPalette::Button, button);
        palette.setColor(group, QPalette::ButtonText, text);
        palette.setColor(group, QPalette::BrightText, Qt::red);
        palette.setColor(group, QPalette::Light, QColor(90, 90, 96));
        palette.setColor(group, QPalette::Midlight, QColor(75, 75, 80));
        palette.setColor(group, QPalette::Mid, QColor(50, 50, 54));
        palette.setColor(group, QPalette::Dark, QColor(20, 20, 22));
        palette.setColor(group, QPalette::Shadow, Qt::black);
        palette.setColor(group, QPalette::Highlight, highlight);
        palette.setColor(group, QPalette::HighlightedText, Qt::white);
        palette.setColor(group, QPalette::Link, QColor(90, 160, 240));
    }
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(120, 120, 120));
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(120, 120, 120));
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(120, 120, 120));
    palette.setColor(QPalette::Disabled, QPalette::Window, window);
    palette.setColor(QPalette::Disabled, QPalette::Base, window);
    palette.setColor(QPalette::Disabled, QPalette::Button, button);
    return palette;
}

// The contrast ratio of two colours as the web's accessibility guidelines define it: 1 for
// the same colour, 21 for black on white; 4.5 is the least for body text.
inline double contrast(const QColor& a, const QColor& b) {
    const auto luminance = [](const QColor& c) {
        const auto channel = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) +
               0.0722 * channel(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The texts of a window that do not stand out from what they are drawn on, by the palette
// of each control: body text needs a contrast of 4.5; a caption in the designed red (on a
// light face) 3, the least for bold captions; disabled controls are left out. Each entry
// names the control and its colours.
inline QStringList unreadableTexts(QWidget& window) {
    QStringList unreadable;
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        // Disabled controls are greyed out on purpose; they are not read.
        if (!widget->isVisibleTo(&window) || !widget->isEnabled()) {
            continue;
        }
        QPalette::ColorRole text = QPalette::WindowText, ground = QPalette::Window;
        if (qobject_cast<QLineEdit*>(widget) || qobject_cast<QTextEdit*>(widget) ||
            qobject_cast<QAbstractSpinBox*>(widget)) {
            text = QPalette::Text;
            ground = QPalette::Base;
        } else if (qobject_cast<QPushButton*>(widget) || qobject_cast<QToolButton*>(widget)) {
            text = QPalette::ButtonText;
            ground = QPalette::Button;
        } else if (!qobject_cast<QLabel*>(widget) && !qobject_cast<QCheckBox*>(widget) &&
                   !qobject_cast<QRadioButton*>(widget) && !qobject_cast<QGroupBox*>(widget)) {
            continue;
        }
        const QColor foreground = widget->palette().color(text);
        const QColor background = widget->palette().color(ground);
        const double least = foreground == QColor(255, 0, 0) ? 3.0 : 4.5;
        const double ratio = contrast(foreground, background);
        if (ratio < least) {
            unreadable.append(QStringLiteral("%1 %2 on %3 (%4)")
                                  .arg(widget->objectName(), foreground.name(), background.name())
                                  .arg(ratio, 0, 'f', 1));
        }
    }
    return unreadable;
}

// A drawing rendered into a transparent image of the given size.
inline QImage renderedDrawing(const QString& drawing, QSize size) {
    QImage rendered(size, QImage::Format_ARGB32);
    rendered.fill(Qt::transparent);
    QPainter painter(&rendered);
    QSvgRenderer(drawing).render(&painter);
    return rendered;
}

// How close a picture shown on a high-density screen is to its drawing rendered at the shown
// resolution, and to its bitmap scaled up to it: the mean difference per colour channel (0 to
// 255) over the pixels that both cover fully. Sharp pictures are near the drawing.
struct Closeness {
    double toDrawing = 0;
    double toBitmap = 0;
    long pixels = 0;
};

inline Closeness closeness(const QImage& shownImage, const QString& drawing,
                           const QString& bitmap) {
    const QImage shown = shownImage.convertToFormat(QImage::Format_ARGB32);
    const QImage rendered = renderedDrawing(drawing, shown.size());
    const QImage scaled = QImage(bitmap)
                              .scaled(shown.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                              .convertToFormat(QImage::Format_ARGB32);
    Closeness result;
    double toDrawing = 0, toBitmap = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            const QRgb a = rendered.pixel(x, y), b = scaled.pixel(x, y), s = shown.pixel(x, y);
            if (qAlpha(a) < 255 || qAlpha(b) < 255) {
                continue;
            }
            const auto distance = [s](QRgb c) {
                return std::abs(qRed(c) - qRed(s)) + std::abs(qGreen(c) - qGreen(s)) +
                       std::abs(qBlue(c) - qBlue(s));
            };
            toDrawing += distance(a);
            toBitmap += distance(b);
            ++result.pixels;
        }
    }
    if (result.pixels > 0) {
        result.toDrawing = toDrawing / (3.0 * static_cast<double>(result.pixels));
        result.toBitmap = toBitmap / (3.0 * static_cast<double>(result.pixels));
    }
    return result;
}

// How far a drawing rendered by the toolkit at its bitmap's size is from that bitmap (rendered
// from the same drawing by another renderer): the mean difference per channel, alpha included,
// over every pixel. A drawing that uses what the toolkit's renderer leaves out (patterns,
// clipping) comes out far from its bitmap; the toolkit's warnings about it are in `warnings`.
struct RenderedAsBitmap {
    double difference = 0;
    QStringList warnings;
};

inline QStringList& svgWarnings() {
    static QStringList warnings;
    return warnings;
}

inline RenderedAsBitmap renderedAsBitmap(const QString& drawing, const QString& bitmap) {
    const QImage expected = QImage(bitmap).convertToFormat(QImage::Format_ARGB32);
    svgWarnings().clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext& context, const QString& text) {
            if (context.category != nullptr &&
                QLatin1String(context.category) == QLatin1String("qt.svg")) {
                svgWarnings().append(text);
            }
        });
    const QImage rendered = renderedDrawing(drawing, expected.size());
    qInstallMessageHandler(previous);
    RenderedAsBitmap result;
    result.warnings = svgWarnings();
    double sum = 0;
    for (int y = 0; y < expected.height(); ++y) {
        for (int x = 0; x < expected.width(); ++x) {
            const QRgb a = expected.pixel(x, y), b = rendered.pixel(x, y);
            sum += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                   std::abs(qBlue(a) - qBlue(b)) + std::abs(qAlpha(a) - qAlpha(b));
        }
    }
    const double pixels = static_cast<double>(expected.width()) * expected.height();
    result.difference = pixels > 0 ? sum / (4.0 * pixels) : 255.0;
    return result;
}

// The screenshot programs' command line: [--dark] [--suffix S] [--only a,b] FOLDER [PDF].
// --dark draws under the dark palette; --suffix is added to every picture's name; --only
// keeps the named pictures (names without ".png"). Pictures at a device pixel ratio of 2 come
// from QT_SCALE_FACTOR=2 in the environment.
struct ScreenshotOptions {
    bool dark = false;
    QString suffix;
    QStringList only;
    QString folder = QStringLiteral(".");
    QString pdf;

    static ScreenshotOptions parse(const QStringList& arguments) {
        ScreenshotOptions options;
        QStringList positional;
        for (qsizetype i = 1; i < arguments.size(); ++i) {
            const QString& argument = arguments[i];
            if (argument == QLatin1String("--dark")) {
                options.dark = true;
            } else if (argument == QLatin1String("--suffix") && i + 1 < arguments.size()) {
                options.suffix = arguments[++i];
            } else if (argument == QLatin1String("--only") && i + 1 < arguments.size()) {
                options.only = arguments[++i].split(QLatin1Char(','), Qt::SkipEmptyParts);
            } else {
                positional.append(argument);
            }
        }
        if (!positional.isEmpty()) {
            options.folder = positional[0];
        }
        if (positional.size() > 1) {
            options.pdf = positional[1];
        }
        return options;
    }

    void apply() const {
        if (dark) {
            QApplication::setPalette(darkPalette());
        }
        QDir().mkpath(folder);
    }

    // Shows the window and saves its picture as NAME + suffix + ".png", unless --only leaves
    // it out; false when it cannot be written.
    bool save(QWidget& window, const QString& name) const {
        window.show();
        QApplication::processEvents();
        if (!only.isEmpty() && !only.contains(name)) {
            return true;
        }
        const QString path = QDir(folder).filePath(name + suffix + QStringLiteral(".png"));
        if (!window.grab().save(path)) {
            std::cerr << "cannot write " << path.toStdString() << '\n';
            return false;
        }
        std::cout << path.toStdString() << '\n';
        return true;
    }
};

} // namespace appearance
