// Pictures decoded by the system's imaging component (Wine's under CI).
#include "win32/picture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

namespace qm::win32 {
namespace {

// 3 x 2 RGB: red, green, blue over (1, 2, 3), white, (128, 64, 32).
constexpr unsigned char kPng[] = {
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52, 0x00,
    0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x02, 0x08, 0x02, 0x00, 0x00, 0x00, 0x12, 0x16, 0xf1, 0x4d, 0x00,
    0x00, 0x00, 0x18, 0x49, 0x44, 0x41, 0x54, 0x78, 0xda, 0x63, 0xf8, 0xcf, 0xc0, 0xc0, 0x00, 0xc1, 0x8c,
    0x4c, 0xcc, 0xff, 0xff, 0xff, 0x6f, 0x70, 0x50, 0x00, 0x00, 0x3e, 0x26, 0x06, 0xe1, 0x7c, 0x45, 0x13,
    0xe7, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82};

TEST(Picture, IsA24BitBottomUpDibWithEveryPixelAsStored) {
    UniqueGdi bitmap = DecodePicture(kPng, sizeof kPng);
    ASSERT_TRUE(bitmap);
    DIBSECTION dib{};
    ASSERT_EQ(GetObjectW(bitmap.get(), sizeof dib, &dib), static_cast<int>(sizeof dib));
    EXPECT_EQ(dib.dsBmih.biWidth, 3);
    EXPECT_EQ(dib.dsBmih.biHeight, 2);  // positive: bottom-up, as LoadImage makes a BMP
    EXPECT_EQ(dib.dsBmih.biBitCount, 24);
    // Blue, green, red per pixel; rows of 9 bytes padded to 12; the bottom row first.
    const unsigned char bottom[] = {3, 2, 1, 255, 255, 255, 32, 64, 128};
    const unsigned char top[] = {0, 0, 255, 0, 255, 0, 255, 0, 0};
    const auto* bits = static_cast<const unsigned char*>(dib.dsBm.bmBits);
    EXPECT_EQ(std::memcmp(bits, bottom, sizeof bottom), 0);
    EXPECT_EQ(std::memcmp(bits + 12, top, sizeof top), 0);
}

TEST(Picture, BytesThatAreNoWholePictureGiveNone) {
    EXPECT_FALSE(DecodePicture(kPng, 40));  // cut off in the pixel data
    EXPECT_FALSE(DecodePicture("not a picture", 13));
}

TEST(Picture, APngWrittenBandByBandReadsBackAsItsRows) {
    // 600 x 2000: the encoder asks for more than one band of rows.
    const std::wstring path = L"encoded-test.png";
    UINT asked = 0, bands = 0;
    const std::string failure = EncodePng(path, 600, 2000, [&](UINT first, UINT count, BYTE* out, UINT stride) {
        EXPECT_EQ(first, asked);
        asked += count, ++bands;
        for (UINT y = 0; y < count; ++y)
            for (UINT x = 0; x < 600; ++x) {
                BYTE* px = out + y * stride + x * 3;
                px[0] = static_cast<BYTE>(x), px[1] = static_cast<BYTE>(first + y), px[2] = 200;
            }
    });
    ASSERT_EQ(failure, "");
    EXPECT_EQ(asked, 2000u);
    EXPECT_GT(bands, 1u);
    std::ifstream file("encoded-test.png", std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    file.close();
    DeleteFileW(path.c_str());
    UniqueGdi bitmap = DecodePicture(bytes.data(), bytes.size());
    ASSERT_TRUE(bitmap);
    DIBSECTION dib{};
    ASSERT_EQ(GetObjectW(bitmap.get(), sizeof dib, &dib), static_cast<int>(sizeof dib));
    ASSERT_EQ(dib.dsBmih.biWidth, 600);
    ASSERT_EQ(dib.dsBmih.biHeight, 2000);
    // Row 1500 from the top lies 499 rows up from the bottom; rows of 1,800 bytes.
    const auto* px = static_cast<const unsigned char*>(dib.dsBm.bmBits) + 499 * 1800 + 10 * 3;
    EXPECT_EQ(px[0], 10);
    EXPECT_EQ(px[1], 1500 % 256);
    EXPECT_EQ(px[2], 200);
    // A file that cannot be made: said, and nothing left behind.
    EXPECT_NE(EncodePng(L"no-such-folder\\x.png", 2, 2, [](UINT, UINT, BYTE*, UINT) {}), "");
}

}  // namespace
}  // namespace qm::win32
