#pragma once

#include <cstdint>
#include <vector>

namespace tavik {

// The day-by-day water figures of one season, in mm. Each indexed property keeps its own
// array: writing an element first resizes that array to days 0..Count (keeping what is
// there), then stores the value. Reading a day outside an array's current bounds, or of an
// array never written, throws std::out_of_range. Setting Count changes no array by itself.
class cWaterDemand {
public:
    std::int16_t Count() const { return count_; }
    void setCount(std::int16_t count) { count_ = count; }

    double DailyDemand(std::int16_t day) const { return read(daily_, day); }
    void setDailyDemand(std::int16_t day, double value) { write(daily_, day, value); }
    double CumulativeDemand(std::int16_t day) const { return read(cumulative_, day); }
    void setCumulativeDemand(std::int16_t day, double value) { write(cumulative_, day, value); }
    double ApplicationRate(std::int16_t day) const { return read(application_, day); }
    void setApplicationRate(std::int16_t day, double value) { write(application_, day, value); }

    // The arrays as they stand (index = day).
    const std::vector<double>& dailyDemands() const { return daily_; }
    const std::vector<double>& cumulativeDemands() const { return cumulative_; }

private:
    double read(const std::vector<double>& values, std::int16_t day) const;
    void write(std::vector<double>& values, std::int16_t day, double value) const;

    std::int16_t count_ = 0;
    std::vector<double> daily_, cumulative_, application_;
};

} // namespace tavik
