#include "GrowingPlaces.h"

#include <QEvent>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace tavik {

GrowingPlaces::GrowingPlaces(QWidget& client)
    : QObject(&client), client_(client), designed_(client.size()) {
    client.setMinimumSize(designed_);
    client.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    client.installEventFilter(this);
}

void GrowingPlaces::follow(QWidget* control, Shares shares) {
    places_.push_back({control, control->geometry(), shares});
    // A control deleted by its screen is no longer placed.
    connect(control, &QObject::destroyed, this, [this, control] {
        std::erase_if(places_, [control](const Place& place) { return place.control == control; });
    });
    apply();
}

void GrowingPlaces::apply() {
    const int wider = std::max(0, client_.width() - designed_.width());
    const int taller = std::max(0, client_.height() - designed_.height());
    const auto part = [](int growth, double share) {
        return static_cast<int>(std::lround(growth * share));
    };
    for (const Place& place : places_) {
        // Each edge moves by its share, rounded: controls that meet keep meeting.
        const QRect& d = place.designed;
        const Shares& share = place.shares;
        const int left = d.left() + part(wider, share.left);
        const int top = d.top() + part(taller, share.top);
        const int right = d.left() + d.width() + part(wider, share.left + share.width);
        const int bottom = d.top() + d.height() + part(taller, share.top + share.height);
        place.control->setGeometry(left, top, right - left, bottom - top);
    }
}

bool GrowingPlaces::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &client_ && event->type() == QEvent::Resize) {
        apply();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tavik
