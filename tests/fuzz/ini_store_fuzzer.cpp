// Arbitrary bytes as a settings file: reading must not fail, and a value written must read
// back unchanged while every other section's values stay as they were.
#include "platform/ini_store.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

using tarnwick::platform::IniStore;

namespace {

std::string FilePath() {
    static const std::string path = "/tmp/tarnwick-fuzz-ini-" + std::to_string(getpid()) + ".ini";
    return path;
}

// A name or value made of the input's bytes, kept to what a user could type on one line.
std::string Printable(const uint8_t* data, size_t size) {
    std::string text;
    for (size_t i = 0; i < size; ++i) {
        const char c = static_cast<char>(data[i]);
        if (c > ' ' && c != '[' && c != ']' && c != '=' && c != ';' && c < 127) text += c;
    }
    return text.empty() ? "k" : text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = FilePath();
    {
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    const IniStore store(path);
    const size_t cut = size / 3;
    const std::string section = Printable(data, cut);
    const std::string key = Printable(data + cut, cut);
    const std::string value = Printable(data + 2 * cut, size - 2 * cut);

    store.ReadString(section, key, "default");
    store.ReadInteger(section, key, 7);
    const std::string otherBefore = store.ReadString("settings", "other", "-");

    if (store.WriteString(section, key, value)) {
        if (store.ReadString(section, key, "") != value) __builtin_trap();
        if (section != "settings" || key != "other") {
            // Keys compare without regard to case, so only a different name is independent.
            std::string lowerSection = section, lowerKey = key;
            for (auto& c : lowerSection) c = static_cast<char>(std::tolower(c));
            for (auto& c : lowerKey) c = static_cast<char>(std::tolower(c));
            if ((lowerSection != "settings" || lowerKey != "other") &&
                store.ReadString("settings", "other", "-") != otherBefore)
                __builtin_trap();
        }
    }
    std::remove(path.c_str());
    return 0;
}
