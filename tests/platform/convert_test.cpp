#include "platform/convert.h"
#include "support/comma_locale.h"

#include <gtest/gtest.h>

using namespace tarnwick::platform;

TEST(ConvertTest, IntegerTextsAccepted) {
    struct Case { const char* text; int64_t value; };
    const Case cases[] = {{"12", 12}, {" 12", 12}, {"$1F", 31}, {"0x1f", 31}, {"0X1F", 31},
                          {"-7", -7}, {"+5", 5}, {"-$10", -16}, {"2147483647", 2147483647},
                          {"-2147483648", -2147483648LL}};
    for (const auto& c : cases) {
        EXPECT_EQ(StrToInt(c.text), c.value) << c.text;
        EXPECT_EQ(StrToInt64(c.text), c.value) << c.text;
    }
    EXPECT_EQ(StrToInt64("9223372036854775807"), INT64_MAX);
    EXPECT_EQ(StrToInt64("-9223372036854775808"), INT64_MIN);
}

TEST(ConvertTest, IntegerTextsRefusedWithExactMessage) {
    for (const char* text : {"12a", "", "1.5", " ", "-", "$", "0x", "12 ", "2147483648", "1e3"}) {
        try {
            StrToInt(text);
            ADD_FAILURE() << "accepted '" << text << "'";
        } catch (const EConvertError& e) {
            EXPECT_EQ(std::string(e.what()), "'" + std::string(text) + "' is not a valid integer value");
        }
    }
    EXPECT_THROW(StrToInt64("9223372036854775808"), EConvertError);
}

TEST(ConvertTest, FloatingPointTexts) {
    EXPECT_DOUBLE_EQ(StrToFloat("1.5"), 1.5);
    EXPECT_DOUBLE_EQ(StrToFloat(" -2.25 "), -2.25);
    EXPECT_DOUBLE_EQ(StrToFloat("12"), 12.0);
    EXPECT_DOUBLE_EQ(StrToFloat("1e3"), 1000.0);
    EXPECT_DOUBLE_EQ(StrToFloat(".5"), 0.5);
    for (const char* text : {"abc", "", "1.5x", "0x10", "inf", "nan", "1e", "."}) {
        try {
            StrToFloat(text);
            ADD_FAILURE() << "accepted '" << text << "'";
        } catch (const EConvertError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "'" + std::string(text) + "' is not a valid floating point value");
        }
    }
}

TEST(ConvertTest, TrimRemovesBlanksAndControlCharacters) {
    EXPECT_EQ(Trim(" \t\r\nabc d\r\n"), "abc d");
    EXPECT_EQ(Trim("\x01\x1f"), "");
    EXPECT_EQ(Trim("x"), "x");
}

TEST(ConvertTest, DecimalTextsReadAlikeUnderACommaDecimalLocale) {
    tarnwick::test::ScopedCommaNumbers commaNumbers;
    EXPECT_DOUBLE_EQ(StrToFloat("29.97"), 29.97);
    EXPECT_THROW(StrToFloat("29,97"), EConvertError);
    char* end = nullptr;
    const char text[] = "0.5:1";
    EXPECT_DOUBLE_EQ(CStrToD(text, &end), 0.5);
    EXPECT_EQ(end, text + 3);
}
