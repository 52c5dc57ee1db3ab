#include "cli/json_line.h"

#include <cmath>
#include <cstdio>

namespace tarnwick::cli {
namespace {

// Length of the valid UTF-8 sequence starting at text[i], or 0 when it is not one.
size_t Utf8Length(std::string_view text, size_t i) {
    const auto c = static_cast<unsigned char>(text[i]);
    size_t length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (length == 0 || i + length > text.size()) return 0;
    for (size_t k = 1; k < length; ++k)
        if ((static_cast<unsigned char>(text[i + k]) >> 6) != 2) return 0;
    return length;
}

} // namespace

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    for (size_t i = 0; i < text.size();) {
        const char c = text[i];
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (u < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
            out += escaped;
        } else if (u >= 0x80) {
            const size_t length = Utf8Length(text, i);
            if (length == 0) {
                out += "\\ufffd";
                ++i;
                continue;
            }
            out.append(text.substr(i, length));
            i += length;
            continue;
        } else {
            out += c;
        }
        ++i;
    }
    return out + "\"";
}

void JsonLine::Key(std::string_view key) {
    if (!body_.empty()) body_ += ',';
    body_ += JsonString(key);
    body_ += ':';
}

JsonLine& JsonLine::Add(std::string_view key, std::string_view value) {
    Key(key);
    body_ += JsonString(value);
    return *this;
}

JsonLine& JsonLine::Add(std::string_view key, int64_t value) {
    Key(key);
    body_ += std::to_string(value);
    return *this;
}

JsonLine& JsonLine::Add(std::string_view key, double value) {
    Key(key);
    if (!std::isfinite(value)) {
        body_ += "null";
        return *this;
    }
    char number[32];
    std::snprintf(number, sizeof number, "%.6g", value);
    body_ += number;
    return *this;
}

JsonLine& JsonLine::Add(std::string_view key, bool value) {
    Key(key);
    body_ += value ? "true" : "false";
    return *this;
}

} // namespace tarnwick::cli
