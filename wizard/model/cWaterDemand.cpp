#include "cWaterDemand.h"

#include <stdexcept>
#include <string>

namespace tavik {

void cWaterDemand::outOfRange(std::int16_t day) {
    throw std::out_of_range("subscript out of range: day " + std::to_string(day));
}

} // namespace tavik
