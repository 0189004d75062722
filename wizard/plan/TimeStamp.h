#pragma once

#include "Plan.h"

namespace tavik {

// Now, in the system's short date format and its time format. SOURCE_DATE_EPOCH (seconds
// since 1970, UTC), when set, stands for now, so that outputs can be reproduced.
TimeStamp currentTimeStamp();
// Now in UTC, as calendars write it ("20261208T225100Z"); SOURCE_DATE_EPOCH as above.
std::string currentUtcStamp();

} // namespace tavik
