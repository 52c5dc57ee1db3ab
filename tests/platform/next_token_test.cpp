#include "platform/next_token.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using tarnwick::platform::NextToken;

namespace {

TEST(NextTokenTest, SplitsAtTheFirstSeparator) {
    struct Case {
        std::string source, separator;
        bool remove;
        std::string token, rest;
    };
    const Case cases[] = {
        {"vcodec=mpeg4", "=", true, "vcodec", "mpeg4"},
        {"vcodec=mpeg4", "=", false, "vcodec", "vcodec=mpeg4"},
        {"a::b::c", "::", true, "a", "b::c"},
        {"=value", "=", true, "", "value"},
        {"name=", "=", true, "name", ""},
        {"no separator", ",", true, "no separator", ""},
        {"no separator", ",", false, "no separator", "no separator"},
        {"", ",", true, "", ""},
        {"abc", "", true, "abc", ""}, // an empty separator never matches
    };
    for (const Case& c : cases) {
        std::string source = c.source;
        std::string token = "stale";
        NextToken(source, c.separator, c.remove, token);
        EXPECT_EQ(token, c.token) << c.source << " / " << c.separator;
        EXPECT_EQ(source, c.rest) << c.source << " / " << c.separator;
    }
}

TEST(NextTokenTest, RepeatedRemovalEndsWithAnEmptySource) {
    std::string source = "a,b,,c";
    std::vector<std::string> tokens;
    std::string token;
    while (!source.empty()) {
        NextToken(source, ",", true, token);
        tokens.push_back(token);
    }
    EXPECT_EQ(tokens, (std::vector<std::string>{"a", "b", "", "c"}));
}

} // namespace
