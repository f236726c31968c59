#include "intconv.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    const char* Text;
    bool Ok;
    std::int32_t Value;
};

TEST(StrToInt, Table)
{
    const Case cases[] = {
        {"10", true, 10},
        {"  \t10", true, 10},
        {"+7", true, 7},
        {"-3", true, -3},
        {"$10", true, 16},
        {"$ff", true, 255},
        {"-$10", true, -16},
        {"&17", true, 15},
        {"%101", true, 5},
        {"2147483647", true, 2147483647},
        {"-2147483648", true, INT32_MIN},
        {"$FFFFFFFF", true, -1},
        {"0", true, 0},
        {"2147483648", false, 0},
        {"-2147483649", false, 0},
        {"$100000000", false, 0},
        {"99999999999999999999", false, 0},
        {"10 ", false, 0},
        {"", false, 0},
        {"   ", false, 0},
        {"-", false, 0},
        {"$", false, 0},
        {"+-1", false, 0},
        {"&8", false, 0},
        {"%2", false, 0},
        {"12a", false, 0},
        {"a", false, 0},
        {"- 1", false, 0},
        {"1e3", false, 0},
    };
    for (const Case& c : cases) {
        std::int32_t value = 12345;
        EXPECT_EQ(StrToInt(c.Text, value), c.Ok) << c.Text;
        if (c.Ok)
            EXPECT_EQ(value, c.Value) << c.Text;
        else
            EXPECT_EQ(value, 12345) << c.Text;
    }
}

}  // namespace
