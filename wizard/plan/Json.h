#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace tavik {

// JSON written as it goes, straight onto the end of a text: objects keep their members in the
// order written; numbers are the shortest decimal that reads back to the exact double held
// (a float is widened exactly first); two-space indents, every member and every element of a
// list of objects or lists on a line of its own, a list of numbers, texts and nulls on one
// line.
class JsonWriter {
public:
    explicit JsonWriter(std::string& out) : out_(out) {}

    void beginObject();
    void endObject();
    // A list of objects or lists (Nested) or of numbers, texts and nulls (Flat).
    enum class Layout { Nested, Flat };
    void beginArray(Layout layout);
    void endArray();
    // The key of the next member of the object being written.
    void key(std::string_view name);

    void null();
    void value(bool value);
    void value(double value);
    void value(float value) { this->value(static_cast<double>(value)); }
    void value(int value) { this->value(static_cast<double>(value)); }
    void value(long value) { this->value(static_cast<double>(value)); }
    void value(std::string_view text);
    void value(const char* text) { value(std::string_view(text)); }
    void value(const std::string& text) { value(std::string_view(text)); }

    // A member holding a value, and a member holding a flat list of values.
    template <typename T>
    void member(std::string_view name, const T& v) {
        key(name);
        value(v);
    }
    template <typename T>
    void flatArray(std::string_view name, const std::vector<T>& values) {
        key(name);
        beginArray(Layout::Flat);
        for (const T& v : values) {
            value(v);
        }
        endArray();
    }

    // The line feed that ends a document.
    void end() { out_ += '\n'; }

private:
    void beginItem(); // the separator and indent before an element of a list
    void close(char bracket);
    void quoted(std::string_view text); // in double quotes, escaped
    struct Level {
        bool object = false;
        bool flat = false;
        bool empty = true;
    };
    // The texts of numbers written lately: a plan repeats many of its figures (its amounts
    // in the chart, its demands), and finding a number's shortest text is the costly part of
    // writing it.
    struct WrittenNumber {
        std::uint64_t bits = 0;
        std::uint8_t length = 0; // none yet
        std::array<char, 24> text{};
    };
    std::array<WrittenNumber, 128> written_{};
    std::string& out_;
    std::vector<Level> levels_;
    bool afterKey_ = false;
};

// A member whose value may be missing: null then.
template <typename T>
void optionalMember(JsonWriter& out, std::string_view name, const std::optional<T>& value) {
    out.key(name);
    if (value) {
        out.value(*value);
    } else {
        out.null();
    }
}

// A JSON value that keeps the order of its object members, written as JsonWriter writes.
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
    void write(JsonWriter& out) const;
    std::variant<std::nullptr_t, bool, double, std::string, Array, Object> value_{nullptr};
};

} // namespace tavik
