#pragma once
// Splitting a text at a separator, as option and filter texts are split.

#include <string>

namespace tarnwick::platform {

// token = the text of source before the first occurrence of separator. With remove, the token
// and the separator are cut from source. Without an occurrence (an empty separator never
// occurs) the token is all of source and, with remove, source becomes empty, so a loop that
// takes tokens until source is empty always ends.
void NextToken(std::string& source, const std::string& separator, bool remove, std::string& token);

} // namespace tarnwick::platform
