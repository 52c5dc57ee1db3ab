#pragma once
// Settings files in the private-profile layout: "[section]" lines, each followed by
// "key=value" lines. Section and key names compare without regard to ASCII case, blanks
// around names and values are ignored, and lines starting with ";" are comments.
//
// Nothing is cached: every call opens the file by path, so a value written is seen by the
// next read from anywhere in the process. A write replaces the file atomically (temporary
// file, then rename), so a crash during a write leaves the previous file intact. Writes from
// several threads of one process are serialised; reads may run at any time.

#include <cstdint>
#include <string>
#include <string_view>

namespace tarnwick::platform {

class IniStore {
public:
    explicit IniStore(std::string path) : path_(std::move(path)) {}

    const std::string& Path() const { return path_; }

    // The value of the first matching key of the first matching section, or the default
    // when the file, the section or the key is missing.
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    // The value read as an integer (decimal, or hexadecimal after "$" or "0x"); the default
    // when it is missing or is not a whole number that fits.
    int32_t ReadInteger(std::string_view section, std::string_view key,
                        int32_t defaultValue) const;

    // Sets the key, creating the file, the section and the key as needed; other lines keep
    // their text and order. Line breaks in the value become blanks, so a value cannot add
    // lines of its own. Returns false when the file could not be replaced (for example its
    // folder is missing or read-only); the old file is then unchanged.
    bool WriteString(std::string_view section, std::string_view key, std::string_view value) const;
    bool WriteInteger(std::string_view section, std::string_view key, int32_t value) const;

private:
    std::string path_;
};

} // namespace tarnwick::platform
