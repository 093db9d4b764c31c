#include <gtest/gtest.h>
TEST(CliPlaceholder, Builds) { EXPECT_EQ(1, 1); }
