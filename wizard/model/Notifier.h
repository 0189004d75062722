#pragma once

#include <string>

namespace tavik {

// How a model or the start-up code tells the user something without knowing about
// message boxes: the screens connect this to a modal message box, the tests record it.
class Notifier {
public:
    enum class Icon { None, Information, Warning, Critical };

    virtual ~Notifier() = default;
    virtual void notify(Icon icon, const std::string& title, const std::string& text) = 0;
    // A message with a longer account behind it (a message box's details, which the user
    // opens when wanted); by default the account follows the text.
    virtual void notifyWithDetails(Icon icon, const std::string& title, const std::string& text,
                                   const std::string& details) {
        notify(icon, title, details.empty() ? text : text + "\n\n" + details);
    }
};

} // namespace tavik
