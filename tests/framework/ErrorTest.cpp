// The message text the user sees from every thrown error.

#include <gtest/gtest.h>

#include <string>

#include "framework/Error.h"

namespace {

TEST(Error, FormatsPrintfStyle)
{
    const CError error("Can't Open File <%s>, Error Code 0x%x (%i)", "/tmp/a b.cvx", 0x2au, -3);
    EXPECT_STREQ(error.what(), "Can't Open File </tmp/a b.cvx>, Error Code 0x2a (-3)");
    EXPECT_EQ(error.Message(), error.what());
}

TEST(Error, LongMessagesAreKeptWhole)
{
    const std::string path(5000, 'p');
    const CError error("<%s>", path.c_str());
    EXPECT_EQ(error.Message(), "<" + path + ">");
}

TEST(Error, FromTextKeepsPercentSigns)
{
    const CError error = CError::FromText("100% of <%s> %d");
    EXPECT_STREQ(error.what(), "100% of <%s> %d");
    EXPECT_STREQ(CError::FromText("").what(), "");
}

} // namespace
