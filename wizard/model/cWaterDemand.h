#pragma once

#include <cstddef>
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
    std::vector<double> dailyDemands() const { return daily_.values(); }
    std::vector<double> cumulativeDemands() const { return cumulative_.values(); }

private:
    // One array of days 0..size-1. Its storage only grows; elements that a smaller Count
    // dropped read as 0 when a larger Count brings them back, as after a fresh resize.
    struct DayArray {
        std::vector<double> storage;
        std::size_t size = 0;
        std::vector<double> values() const {
            return {storage.begin(), storage.begin() + static_cast<std::ptrdiff_t>(size)};
        }
    };

    static double read(const DayArray& array, std::int16_t day) {
        if (day < 0 || static_cast<std::size_t>(day) >= array.size) {
            outOfRange(day);
        }
        return array.storage[static_cast<std::size_t>(day)];
    }
    void write(DayArray& array, std::int16_t day, double value) const {
        const std::size_t size = count_ < 0 ? 0 : static_cast<std::size_t>(count_) + 1;
        if (size > array.size) {
            if (array.storage.size() < size) {
                array.storage.resize(size);
            }
            for (std::size_t i = array.size; i < size; ++i) {
                array.storage[i] = 0.0;
            }
        }
        array.size = size;
        if (day < 0 || static_cast<std::size_t>(day) >= size) {
            outOfRange(day);
        }
        array.storage[static_cast<std::size_t>(day)] = value;
    }
    [[noreturn]] static void outOfRange(std::int16_t day);

    std::int16_t count_ = 0;
    DayArray daily_, cumulative_, application_;
};

} // namespace tavik
