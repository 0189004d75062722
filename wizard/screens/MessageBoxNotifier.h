#pragma once

#include "model/Notifier.h"

class QWidget;

namespace tavik {

// Shows a notification as a modal message box with its icon and title.
class MessageBoxNotifier : public Notifier {
public:
    explicit MessageBoxNotifier(QWidget* parent = nullptr) : parent_(parent) {}
    void notify(Icon icon, const std::string& title, const std::string& text) override;
    void notifyWithDetails(Icon icon, const std::string& title, const std::string& text,
                           const std::string& details) override;

private:
    QWidget* parent_;
};

} // namespace tavik
