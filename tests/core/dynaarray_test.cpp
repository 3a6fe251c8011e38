#include "core/dynaarray.h"
#include <gtest/gtest.h>
TEST(DynaArray, Builds) { int *cur = nullptr; TDynaList<int> a(&cur); a.Add(); EXPECT_EQ(cur, a.At(0)); }
