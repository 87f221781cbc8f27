// The program's code page 932 table against the system's: every single byte
// and every lead/trail pair decodes as MultiByteToWideChar decodes it, and
// every character of the Basic Multilingual Plane encodes as
// WideCharToMultiByte without best fit encodes it, or not at all where the
// system's form does not read back as the same character.
#include <windows.h>

#include <gtest/gtest.h>

#include "text/cp932.h"
#include "text/text.h"

namespace {

TEST(Cp932Table, DecodesAsTheSystemDoes)
{
    int checked = 0;
    for (int b = 1; b < 256; b++) {
        if (Text_IsMbcsLeadByte(static_cast<unsigned char>(b)))
            continue;
        char c = static_cast<char>(b);
        WCHAR w[2] = {0, 0};
        ASSERT_EQ(MultiByteToWideChar(932, 0, &c, 1, w, 2), 1);
        size_t used;
        EXPECT_EQ(Cp932_DecodeChar(&c, 1, &used), w[0]) << std::hex << b;
        checked++;
    }
    for (int lead = 0x81; lead <= 0xFC; lead++) {
        if (!Text_IsMbcsLeadByte(static_cast<unsigned char>(lead)))
            continue;
        for (int trail = 0x40; trail <= 0xFC; trail++) {
            if (trail == 0x7F)
                continue;
            char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            WCHAR w[2] = {0, 0};
            ASSERT_EQ(MultiByteToWideChar(932, 0, pair, 2, w, 2), 1) << std::hex << lead << " " << trail;
            size_t used;
            EXPECT_EQ(Cp932_DecodeChar(pair, 2, &used), w[0]) << std::hex << lead << " " << trail;
            checked++;
        }
    }
    EXPECT_GT(checked, 11000);
}

TEST(Cp932Table, EncodesAsTheSystemDoes)
{
    int characters = 0;
    for (UINT cp = 1; cp <= 0xFFFF; cp++) {
        if (cp >= 0xD800 && cp <= 0xDFFF)
            continue;
        WCHAR w = static_cast<WCHAR>(cp);
        char bytes[4] = {0, 0, 0, 0};
        BOOL usedDefault = FALSE;
        int n = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, &w, 1, bytes, 4, nullptr, &usedDefault);
        WCHAR back = 0;
        bool survives = !usedDefault && n > 0 && MultiByteToWideChar(932, 0, bytes, n, &back, 1) == 1 && back == w;
        char ours[2];
        size_t k = Cp932_EncodeChar(cp, ours);
        if (!survives) {
            EXPECT_EQ(k, 0u) << std::hex << cp;
            continue;
        }
        characters++;
        ASSERT_EQ(k, static_cast<size_t>(n)) << std::hex << cp;
        EXPECT_EQ(memcmp(ours, bytes, k), 0) << std::hex << cp;
    }
    EXPECT_GT(characters, 9000);
}

}  // namespace
