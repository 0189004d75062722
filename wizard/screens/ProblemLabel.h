#pragma once

#include <QEvent>
#include <QLabel>
#include <QPalette>

namespace tavik {

// A label beside a field that tells what is wrong with it in red, or shows ordinary text. The
// red follows the desktop's colours: dark on a light window, light on a dark one.
class ProblemLabel : public QLabel {
public:
    explicit ProblemLabel(QWidget* parent) : QLabel(parent) { follow(); }

    void setProblem(bool problem) {
        problem_ = problem;
        follow();
    }

protected:
    void changeEvent(QEvent* event) override {
        QLabel::changeEvent(event);
        if (event->type() == QEvent::PaletteChange) {
            follow();
        }
    }

private:
    void follow() {
        const QPalette around = parentWidget() != nullptr ? parentWidget()->palette() : palette();
        QColor wanted = around.color(QPalette::WindowText);
        if (problem_) {
            wanted = around.color(QPalette::Window).lightness() < 128 ? QColor(255, 138, 128)
                                                                      : QColor(164, 38, 44);
        }
        if (palette().color(QPalette::WindowText) != wanted) {
            QPalette own = palette();
            own.setColor(QPalette::WindowText, wanted);
            setPalette(own); // a change of WindowText alone: follow() then finds it as wanted
        }
    }

    bool problem_ = false;
};

} // namespace tavik
