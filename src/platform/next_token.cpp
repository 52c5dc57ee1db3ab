#include "platform/next_token.h"

namespace tarnwick::platform {

void NextToken(std::string& source, const std::string& separator, bool remove, std::string& token) {
    const size_t at = separator.empty() ? std::string::npos : source.find(separator);
    if (at == std::string::npos) {
        token = source;
        if (remove) source.clear();
        return;
    }
    token = source.substr(0, at);
    if (remove) source.erase(0, at + separator.size());
}

} // namespace tarnwick::platform
