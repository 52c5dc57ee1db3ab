#include "platform/ini_store.h"

#include "platform/atomic_file.h"
#include "platform/convert.h"

#include <algorithm>
#include <mutex>
#include <optional>
#include <vector>

namespace tarnwick::platform {
namespace {

std::mutex& WriteLock() {
    static std::mutex lock;
    return lock;
}

bool SameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

std::string_view TrimBlanks(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

std::vector<std::string_view> SplitLines(std::string_view content) {
    std::vector<std::string_view> lines;
    while (!content.empty()) {
        const size_t end = content.find('\n');
        lines.push_back(content.substr(0, end));
        if (end == std::string_view::npos) break;
        content.remove_prefix(end + 1);
    }
    return lines;
}

// The section name of a "[name]" line, or nothing for other lines.
std::optional<std::string_view> SectionName(std::string_view line) {
    line = TrimBlanks(line);
    if (line.empty() || line.front() != '[') return std::nullopt;
    const size_t close = line.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    return TrimBlanks(line.substr(1, close - 1));
}

struct KeyLine {
    std::string_view key;
    std::string_view value;
};

std::optional<KeyLine> ParseKeyLine(std::string_view line) {
    const std::string_view trimmed = TrimBlanks(line);
    if (trimmed.empty() || trimmed.front() == ';') return std::nullopt;
    const size_t equals = trimmed.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    return KeyLine{TrimBlanks(trimmed.substr(0, equals)), TrimBlanks(trimmed.substr(equals + 1))};
}

// Where a key stands in the file's lines.
struct Location {
    std::optional<size_t> sectionLine; // the "[section]" line
    size_t sectionEnd = 0;             // one past the section's last non-blank line
    std::optional<size_t> keyLine;
};

Location Find(const std::vector<std::string_view>& lines, std::string_view section,
              std::string_view key) {
    Location where;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (!where.sectionLine) {
            const auto name = SectionName(lines[i]);
            if (name && SameName(*name, section)) {
                where.sectionLine = i;
                where.sectionEnd = i + 1;
            }
            continue;
        }
        if (SectionName(lines[i])) break;
        if (!TrimBlanks(lines[i]).empty()) where.sectionEnd = i + 1;
        const auto entry = ParseKeyLine(lines[i]);
        if (entry && SameName(entry->key, key)) {
            where.keyLine = i;
            break;
        }
    }
    return where;
}

} // namespace

std::string IniStore::ReadString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) const {
    std::string content;
    if (!ReadFileContents(path_, content)) return std::string(defaultValue);
    const auto lines = SplitLines(content);
    const Location where = Find(lines, section, key);
    if (!where.keyLine) return std::string(defaultValue);
    return std::string(ParseKeyLine(lines[*where.keyLine])->value);
}

int32_t IniStore::ReadInteger(std::string_view section, std::string_view key,
                              int32_t defaultValue) const {
    const std::string text = ReadString(section, key, "");
    try {
        return StrToInt(text);
    } catch (const EConvertError&) {
        return defaultValue;
    }
}

bool IniStore::WriteString(std::string_view section, std::string_view key,
                           std::string_view value) const {
    std::string safeValue(TrimBlanks(value));
    std::replace_if(
        safeValue.begin(), safeValue.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');

    std::lock_guard<std::mutex> guard(WriteLock());
    std::string content;
    ReadFileContents(path_, content); // a missing file is written from scratch
    const auto lines = SplitLines(content);
    const Location where = Find(lines, section, key);

    std::string out;
    out.reserve(content.size() + key.size() + safeValue.size() + section.size() + 8);
    auto append = [&out](std::string_view line) {
        out.append(line);
        out.push_back('\n');
    };
    const std::string entry = std::string(key) + "=" + safeValue;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (where.keyLine && i == *where.keyLine) {
            // Keep the key's spelling as the file has it.
            append(std::string(ParseKeyLine(lines[i])->key) + "=" + safeValue);
            continue;
        }
        if (!where.keyLine && where.sectionLine && i == where.sectionEnd) append(entry);
        append(lines[i]);
    }
    if (!where.keyLine && where.sectionLine && where.sectionEnd == lines.size()) append(entry);
    if (!where.sectionLine) {
        if (!out.empty()) append("");
        std::string header(1, '[');
        header.append(section).push_back(']');
        append(header);
        append(entry);
    }
    return ReplaceFileContents(path_, out);
}

bool IniStore::WriteInteger(std::string_view section, std::string_view key, int32_t value) const {
    return WriteString(section, key, std::to_string(value));
}

} // namespace tarnwick::platform
