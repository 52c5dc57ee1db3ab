#pragma once
// Collects what the libraries log while an object lives (one per test).

#include <string>
#include <vector>

namespace tarnwick::test {

class LibraryLogCapture {
public:
    LibraryLogCapture();
    ~LibraryLogCapture();
    std::vector<std::string> Lines() const;
};

} // namespace tarnwick::test
