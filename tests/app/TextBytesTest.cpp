// Names from project files are bytes: which of them are UTF-8, and the
// escaped form that keeps the others exactly.

#include <gtest/gtest.h>

#include "app/TextBytes.h"

TEST(TextBytes, OnlyWellFormedUtf8IsValid)
{
    EXPECT_TRUE(IsValidUtf8(""));
    EXPECT_TRUE(IsValidUtf8("KV RazuZuri 1"));
    EXPECT_TRUE(IsValidUtf8("Caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8E\xB9"));   // 2, 3 and 4 bytes
    EXPECT_FALSE(IsValidUtf8("\xFF"));
    EXPECT_FALSE(IsValidUtf8("\xC3"));               // cut short
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));           // overlong "/"
    EXPECT_FALSE(IsValidUtf8("\xE0\x80\xAF"));       // overlong, three bytes
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));       // a surrogate
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));   // above U+10FFFF
    EXPECT_FALSE(IsValidUtf8("a\x80z"));             // a lone continuation byte
}

TEST(TextBytes, TheEscapedFormIsAsciiAndKeepsEveryByte)
{
    EXPECT_EQ(EscapedBytes("Pad 1"), "Pad 1");
    EXPECT_EQ(EscapedBytes("a\\b"), "a\\\\b");
    EXPECT_EQ(EscapedBytes(std::string("\xFF\x00\x7F\n", 4)), "\\xFF\\x00\\x7F\\x0A");
}
