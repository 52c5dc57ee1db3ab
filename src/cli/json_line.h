#pragma once
// One JSON object written as one line, for the machine-readable event stream.

#include <cstdint>
#include <string>
#include <string_view>

namespace tarnwick::cli {

class JsonLine {
public:
    JsonLine& Add(std::string_view key, std::string_view value);
    JsonLine& Add(std::string_view key, const char* value) { return Add(key, std::string_view(value)); }
    JsonLine& Add(std::string_view key, int64_t value);
    JsonLine& Add(std::string_view key, int value) { return Add(key, static_cast<int64_t>(value)); }
    JsonLine& Add(std::string_view key, double value);
    JsonLine& Add(std::string_view key, bool value);
    // The finished object, without a line feed.
    std::string Text() const { return body_.empty() ? "{}" : "{" + body_ + "}"; }

private:
    void Key(std::string_view key);
    std::string body_;
};

// The text as a JSON string literal, quotes included; invalid UTF-8 bytes become U+FFFD.
std::string JsonString(std::string_view text);

} // namespace tarnwick::cli
