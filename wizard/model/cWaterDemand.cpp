#include "cWaterDemand.h"

#include <stdexcept>
#include <string>

namespace tavik {

double cWaterDemand::read(const std::vector<double>& values, std::int16_t day) const {
    if (day < 0 || static_cast<std::size_t>(day) >= values.size()) {
        throw std::out_of_range("subscript out of range: day " + std::to_string(day));
    }
    return values[static_cast<std::size_t>(day)];
}

void cWaterDemand::write(std::vector<double>& values, std::int16_t day, double value) const {
    values.resize(count_ < 0 ? 0 : static_cast<std::size_t>(count_) + 1, 0.0);
    if (day < 0 || static_cast<std::size_t>(day) >= values.size()) {
        throw std::out_of_range("subscript out of range: day " + std::to_string(day));
    }
    values[static_cast<std::size_t>(day)] = value;
}

} // namespace tavik
