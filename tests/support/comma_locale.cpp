#include "support/comma_locale.h"

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace tarnwick::test {

namespace {

constexpr const char* LocaleName = "de_DE.UTF-8";

// The compiled locale, removed when the process ends (setlocale reads the files whenever it
// switches, so they stay until then).
class CompiledLocale {
public:
    CompiledLocale() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tarnwick-locale-XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a locale folder");
        folder_ = pattern;
        const std::string command =
            "localedef -i de_DE -f UTF-8 '" + folder_ + "/" + LocaleName + "' >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0)
            throw std::runtime_error("localedef cannot make " + std::string(LocaleName) +
                                     " (is the package \"locales\" installed?)");
    }
    ~CompiledLocale() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    const std::string& Folder() const { return folder_; }

private:
    std::string folder_;
};

} // namespace

std::string CommaDecimalLocale() {
    static const CompiledLocale compiled;
    setenv("LOCPATH", compiled.Folder().c_str(), 1);
    return LocaleName;
}

ScopedCommaNumbers::ScopedCommaNumbers() : previous_(std::setlocale(LC_NUMERIC, nullptr)) {
    const std::string name = CommaDecimalLocale();
    if (!std::setlocale(LC_NUMERIC, name.c_str()) || *std::localeconv()->decimal_point != ',')
        throw std::runtime_error("cannot switch the numbers to " + name);
}

ScopedCommaNumbers::~ScopedCommaNumbers() { std::setlocale(LC_NUMERIC, previous_.c_str()); }

} // namespace tarnwick::test
