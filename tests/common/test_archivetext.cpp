#include <gtest/gtest.h>
TEST(Placeholder, ToBeWritten) {}
