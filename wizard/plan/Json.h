#pragma once

#include <memory>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace tavik {

// A JSON value that keeps the order of its object members, written with numbers as the
// shortest decimal that reads back to the exact double held.
class Json {
public:
    using Array = std::vector<Json>;
    using Object = std::vector<std::pair<std::string, Json>>;

    Json() = default; // null
    Json(std::nullptr_t) {}
    Json(bool value) : value_(value) {}
    Json(double value) : value_(value) {}
    Json(float value) : value_(static_cast<double>(value)) {} // widened exactly
    Json(int value) : value_(static_cast<double>(value)) {}
    Json(long value) : value_(static_cast<double>(value)) {}
    Json(const char* value) : value_(std::string(value)) {}
    Json(std::string value) : value_(std::move(value)) {}
    Json(Array value) : value_(std::move(value)) {}
    Json(Object value) : value_(std::move(value)) {}

    template <typename T>
    static Json array(const std::vector<T>& values) {
        Array a;
        a.reserve(values.size());
        for (const auto& v : values) {
            a.emplace_back(v);
        }
        return Json(std::move(a));
    }

    // Pretty-printed with two-space indents; arrays of numbers, texts and nulls on one line.
    std::string dump() const;

private:
    void write(std::string& out, int indent) const;
    std::variant<std::nullptr_t, bool, double, std::string, Array, Object> value_{nullptr};
};

} // namespace tavik
