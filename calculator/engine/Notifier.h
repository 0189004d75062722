#pragma once

#include <string>

namespace tavikcalc {

// How the calculator tells the user something without knowing about message boxes: the
// dialog shows a plain message box (OK button only), the headless command writes standard
// error, the tests record it.
class Notifier {
public:
    virtual ~Notifier() = default;
    virtual void message(const std::string& text) = 0;
};

} // namespace tavikcalc
