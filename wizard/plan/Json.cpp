#include "Json.h"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace tavik {

void JsonWriter::beginItem() {
    if (afterKey_) {
        afterKey_ = false; // a member's value follows its key on the key's line
        return;
    }
    if (levels_.empty()) {
        return;
    }
    Level& level = levels_.back();
    if (level.flat) {
        out_ += level.empty ? "" : ", ";
    } else {
        out_ += level.empty ? "\n" : ",\n";
        out_.append(2 * levels_.size(), ' ');
    }
    level.empty = false;
}

void JsonWriter::close(char bracket) {
    const Level level = levels_.back();
    levels_.pop_back();
    if (!level.flat && !level.empty) {
        out_ += '\n';
        out_.append(2 * levels_.size(), ' ');
    }
    out_ += bracket;
}

void JsonWriter::beginObject() {
    beginItem();
    out_ += '{';
    levels_.push_back(Level{true, false, true});
}

void JsonWriter::endObject() {
    close('}');
}

void JsonWriter::beginArray(Layout layout) {
    beginItem();
    out_ += '[';
    levels_.push_back(Level{false, layout == Layout::Flat, true});
}

void JsonWriter::endArray() {
    close(']');
}

void JsonWriter::key(std::string_view name) {
    beginItem();
    quoted(name);
    out_ += ": ";
    afterKey_ = true;
}

void JsonWriter::null() {
    beginItem();
    out_ += "null";
}

void JsonWriter::value(bool value) {
    beginItem();
    out_ += value ? "true" : "false";
}

void JsonWriter::value(double value) {
    beginItem();
    if (!std::isfinite(value)) {
        out_ += "null"; // JSON has no infinities
        return;
    }
    const auto bits = std::bit_cast<std::uint64_t>(value);
    WrittenNumber& slot = written_[(bits * 0x9E3779B97F4A7C15ULL) >> 57];
    if (slot.length == 0 || slot.bits != bits) {
        const auto [end, ec] =
            std::to_chars(slot.text.data(), slot.text.data() + slot.text.size(), value);
        slot.bits = bits;
        slot.length = ec == std::errc{} ? static_cast<std::uint8_t>(end - slot.text.data()) : 0;
    }
    out_.append(slot.text.data(), slot.length);
}

void JsonWriter::value(std::string_view text) {
    beginItem();
    quoted(text);
}

void JsonWriter::quoted(std::string_view text) {
    out_ += '"';
    // Runs of characters that need no escape are copied whole.
    const auto plain = [](char c) {
        return c != '"' && c != '\\' && static_cast<unsigned char>(c) >= 0x20;
    };
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = at;
        while (end < text.size() && plain(text[end])) {
            ++end;
        }
        out_.append(text.data() + at, end - at);
        if (end == text.size()) {
            break;
        }
        switch (const char c = text[end]) {
        case '"':
            out_ += "\\\"";
            break;
        case '\\':
            out_ += "\\\\";
            break;
        case '\n':
            out_ += "\\n";
            break;
        case '\r':
            out_ += "\\r";
            break;
        case '\t':
            out_ += "\\t";
            break;
        default: {
            std::array<char, 8> escaped{};
            std::snprintf(escaped.data(), escaped.size(), "\\u%04x", static_cast<unsigned>(c));
            out_ += escaped.data();
        }
        }
        at = end + 1;
    }
    out_ += '"';
}

std::string Json::dump() const {
    std::string out;
    JsonWriter writer(out);
    write(writer);
    writer.end();
    return out;
}

void Json::write(JsonWriter& out) const {
    if (std::holds_alternative<std::nullptr_t>(value_)) {
        out.null();
    } else if (const auto* b = std::get_if<bool>(&value_)) {
        out.value(*b);
    } else if (const auto* d = std::get_if<double>(&value_)) {
        out.value(*d);
    } else if (const auto* s = std::get_if<std::string>(&value_)) {
        out.value(std::string_view(*s));
    } else if (const auto* a = std::get_if<Array>(&value_)) {
        bool flat = true;
        for (const Json& item : *a) {
            flat = flat && !std::holds_alternative<Array>(item.value_) &&
                   !std::holds_alternative<Object>(item.value_);
        }
        out.beginArray(flat ? JsonWriter::Layout::Flat : JsonWriter::Layout::Nested);
        for (const Json& item : *a) {
            item.write(out);
        }
        out.endArray();
    } else if (const auto* o = std::get_if<Object>(&value_)) {
        out.beginObject();
        for (const auto& [name, item] : *o) {
            out.key(name);
            item.write(out);
        }
        out.endObject();
    }
}

} // namespace tavik
