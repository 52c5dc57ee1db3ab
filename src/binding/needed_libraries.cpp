#include "binding/needed_libraries.h"

#include <elf.h>
#include <fcntl.h>
#include <link.h>
#include <unistd.h>

#include <cstring>
#include <optional>

namespace tarnwick::binding {
namespace {

// Bounds no real library comes near; a file past them is not read further.
constexpr size_t MaxProgramHeaders = 4096;
constexpr size_t MaxDynamicBytes = size_t{1} << 20;
constexpr size_t MaxStringTableBytes = size_t{16} << 20;

class FileReader {
public:
    explicit FileReader(const std::string& path) : fd_(open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
    ~FileReader() {
        if (fd_ >= 0) close(fd_);
    }
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    // Exactly `size` bytes from `offset`, or false.
    bool Read(uint64_t offset, void* buffer, size_t size) const {
        if (fd_ < 0) return false;
        auto* bytes = static_cast<char*>(buffer);
        while (size > 0) {
            const ssize_t got = pread(fd_, bytes, size, static_cast<off_t>(offset));
            if (got <= 0) return false;
            bytes += got;
            offset += static_cast<uint64_t>(got);
            size -= static_cast<size_t>(got);
        }
        return true;
    }

private:
    int fd_;
};

bool IsNativeElf(const ElfW(Ehdr) & header) {
    constexpr unsigned char nativeClass = sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32;
    constexpr unsigned char nativeData =
        __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__ ? ELFDATA2LSB : ELFDATA2MSB;
    return std::memcmp(header.e_ident, ELFMAG, SELFMAG) == 0 &&
           header.e_ident[EI_CLASS] == nativeClass && header.e_ident[EI_DATA] == nativeData &&
           header.e_phentsize == sizeof(ElfW(Phdr)) && header.e_phnum <= MaxProgramHeaders;
}

// The file offset of a virtual address inside a loaded segment's file contents.
std::optional<uint64_t> FileOffset(const std::vector<ElfW(Phdr)>& segments, uint64_t address) {
    for (const ElfW(Phdr) & segment : segments)
        if (segment.p_type == PT_LOAD && address >= segment.p_vaddr &&
            address - segment.p_vaddr < segment.p_filesz)
            return segment.p_offset + (address - segment.p_vaddr);
    return std::nullopt;
}

} // namespace

std::vector<std::string> NeededLibraries(const std::string& path) {
    const FileReader file(path);
    ElfW(Ehdr) header{};
    if (!file.Read(0, &header, sizeof header) || !IsNativeElf(header)) return {};
    std::vector<ElfW(Phdr)> segments(header.e_phnum);
    if (!file.Read(header.e_phoff, segments.data(), segments.size() * sizeof(ElfW(Phdr))))
        return {};

    std::vector<ElfW(Dyn)> dynamic;
    for (const ElfW(Phdr) & segment : segments) {
        if (segment.p_type != PT_DYNAMIC || segment.p_filesz > MaxDynamicBytes) continue;
        dynamic.resize(segment.p_filesz / sizeof(ElfW(Dyn)));
        if (!file.Read(segment.p_offset, dynamic.data(), dynamic.size() * sizeof(ElfW(Dyn))))
            return {};
        break;
    }
    uint64_t stringTable = 0, stringTableSize = 0;
    std::vector<uint64_t> neededOffsets;
    for (const ElfW(Dyn) & entry : dynamic) {
        if (entry.d_tag == DT_NULL) break;
        if (entry.d_tag == DT_NEEDED) neededOffsets.push_back(entry.d_un.d_val);
        if (entry.d_tag == DT_STRTAB) stringTable = entry.d_un.d_ptr;
        if (entry.d_tag == DT_STRSZ) stringTableSize = entry.d_un.d_val;
    }
    const std::optional<uint64_t> tableOffset = FileOffset(segments, stringTable);
    if (neededOffsets.empty() || !tableOffset || stringTableSize > MaxStringTableBytes) return {};
    std::string strings(stringTableSize, '\0');
    if (!file.Read(*tableOffset, strings.data(), strings.size())) return {};

    std::vector<std::string> names;
    for (const uint64_t offset : neededOffsets) {
        if (offset >= strings.size()) continue;
        const size_t end = strings.find('\0', offset);
        if (end != std::string::npos && end > offset)
            names.push_back(strings.substr(offset, end - offset));
    }
    return names;
}

} // namespace tarnwick::binding
