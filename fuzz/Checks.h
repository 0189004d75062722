#pragma once

// What every fuzz target may assert about its outputs. A broken promise prints what was
// broken and traps, which libFuzzer (and the seed runner) report as a crash.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string_view>

namespace tavik::fuzz {

inline void require(bool holds, const char* what, std::string_view detail = "") {
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::fwrite(detail.data(), 1, detail.size(), stderr);
        std::fputc('\n', stderr);
        std::fflush(stderr);
        __builtin_trap();
    }
}

// Reads the choices a target takes from its input: one byte at a time, 0 once used up.
class Choices {
public:
    Choices(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    std::int16_t int16() {
        const auto low = byte();
        return static_cast<std::int16_t>(static_cast<std::uint16_t>((byte() << 8U) | low));
    }
    std::string_view rest() const {
        return {reinterpret_cast<const char*>(data_) + at_, size_ - (at_ < size_ ? at_ : size_)};
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

// Line breaks as the report writers count them: CR LF is one, so is a lone CR or LF.
inline std::size_t lineBreaks(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
        }
        count += text[i] == '\r' || text[i] == '\n' ? 1 : 0;
    }
    return count;
}

// An RTF document as the writer promises it: 7-bit ASCII, one group holding everything
// (only CR LF after it), braces balanced once the escaped ones \{ \} are set aside, and
// one \par per line break of the text.
inline void requireSoundRtf(std::string_view rtf, std::size_t textLineBreaks) {
    const auto isLetter = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    };
    const auto isDigit = [](char c) {
        return c >= '0' && c <= '9';
    };
    require(rtf.substr(0, 6) == "{\\rtf1", "the RTF document begins with {\\rtf1");
    long depth = 0;
    std::size_t pars = 0;
    std::size_t end = rtf.size();
    for (std::size_t i = 0; i < rtf.size();) {
        const char c = rtf[i];
        require(static_cast<unsigned char>(c) < 0x80, "the RTF document is 7-bit ASCII");
        if (c == '\\') {
            require(i + 1 < rtf.size(), "no RTF control word is cut off at the end");
            std::size_t j = i + 1;
            if (isLetter(rtf[j])) {
                while (j < rtf.size() && isLetter(rtf[j])) {
                    ++j;
                }
                pars += rtf.substr(i + 1, j - i - 1) == "par" ? 1 : 0;
                if (j < rtf.size() && rtf[j] == '-') {
                    ++j;
                }
                while (j < rtf.size() && isDigit(rtf[j])) {
                    ++j;
                }
            } else if (rtf[j] == '\'') {
                j += 3; // \'hh
                require(j <= rtf.size(), "an RTF \\'hh escape has both digits");
            } else {
                ++j; // \\ \{ \} and the other control symbols
            }
            i = j;
            continue;
        }
        if (c == '{') {
            ++depth;
        } else if (c == '}') {
            --depth;
            require(depth >= 0, "no RTF group closes that was not opened");
            if (depth == 0) {
                end = i + 1;
                break;
            }
        }
        ++i;
    }
    require(depth == 0, "every RTF group is closed");
    require(rtf.substr(end) == "\r\n", "only CR LF follows the RTF document's group");
    require(pars == textLineBreaks, "the RTF document has one \\par per line break");
}

} // namespace tavik::fuzz
