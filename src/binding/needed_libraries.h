#pragma once
// The libraries a shared library asks the dynamic linker for: the DT_NEEDED entries of its ELF
// dynamic section, read from the file without loading it.

#include <string>
#include <vector>

namespace tarnwick::binding {

// The needed names in the file's order; empty when the file cannot be read or is not an ELF
// object of this process's class and byte order, or names nothing. Never trusts the file:
// every offset and size is checked against what was read.
std::vector<std::string> NeededLibraries(const std::string& path);

} // namespace tarnwick::binding
