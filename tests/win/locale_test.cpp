// The Wine test bed must run with the Japanese ANSI code page, or every
// Shift-JIS expectation of the Win32 tests would pass or fail by accident.
#include <windows.h>

#include <gtest/gtest.h>

TEST(Locale, AnsiCodePageIs932)
{
    EXPECT_EQ(GetACP(), 932u);
}
