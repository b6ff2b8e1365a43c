// The main of every test program on Linux. Death tests run in the
// thread-safe style: the child re-executes the program and runs only the
// death test, instead of being forked from a parent whose GL context has
// started Mesa's rasteriser threads. A forked child holds copies of the
// parent's locks but not its threads, and its exit handlers can wait
// forever on threads that exist only in the parent. A --gtest_death_test_style
// on the command line still wins.
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
