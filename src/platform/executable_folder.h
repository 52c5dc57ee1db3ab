#pragma once

#include <string>

namespace tarnwick::platform {

// The folder of the running program, ending with "/"; empty when it cannot be found.
std::string ExecutableFolder();

} // namespace tarnwick::platform
