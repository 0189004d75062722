#include "Json.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace tavik {

namespace {

void writeString(std::string& out, const std::string& text) {
    out += '"';
    for (const char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                std::array<char, 8> escaped{};
                std::snprintf(escaped.data(), escaped.size(), "\\u%04x", static_cast<unsigned>(c));
                out += escaped.data();
            } else {
                out += c;
            }
        }
    }
    out += '"';
}

void writeNumber(std::string& out, double value) {
    if (!std::isfinite(value)) {
        out += "null"; // JSON has no infinities
        return;
    }
    std::array<char, 32> buffer{};
    const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    out.append(buffer.data(), ec == std::errc{} ? end : buffer.data());
}

} // namespace

std::string Json::dump() const {
    std::string out;
    write(out, 0);
    out += '\n';
    return out;
}

void Json::write(std::string& out, int indent) const {
    const std::string pad(static_cast<std::size_t>(indent + 2), ' ');
    const std::string closePad(static_cast<std::size_t>(indent), ' ');
    if (std::holds_alternative<std::nullptr_t>(value_)) {
        out += "null";
    } else if (const auto* b = std::get_if<bool>(&value_)) {
        out += *b ? "true" : "false";
    } else if (const auto* d = std::get_if<double>(&value_)) {
        writeNumber(out, *d);
    } else if (const auto* s = std::get_if<std::string>(&value_)) {
        writeString(out, *s);
    } else if (const auto* a = std::get_if<Array>(&value_)) {
        bool flat = true;
        for (const Json& item : *a) {
            flat = flat && !std::holds_alternative<Array>(item.value_) &&
                   !std::holds_alternative<Object>(item.value_);
        }
        if (a->empty()) {
            out += "[]";
            return;
        }
        out += flat ? "[" : "[\n";
        for (std::size_t i = 0; i < a->size(); ++i) {
            if (!flat) {
                out += pad;
            }
            (*a)[i].write(out, indent + 2);
            if (i + 1 < a->size()) {
                out += flat ? ", " : ",\n";
            }
        }
        out += flat ? "]" : "\n" + closePad + "]";
    } else if (const auto* o = std::get_if<Object>(&value_)) {
        if (o->empty()) {
            out += "{}";
            return;
        }
        out += "{\n";
        for (std::size_t i = 0; i < o->size(); ++i) {
            out += pad;
            writeString(out, (*o)[i].first);
            out += ": ";
            (*o)[i].second.write(out, indent + 2);
            out += i + 1 < o->size() ? ",\n" : "\n";
        }
        out += closePad + "}";
    }
}

} // namespace tavik
