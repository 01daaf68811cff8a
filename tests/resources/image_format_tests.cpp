// The images compiled into the program, read from the tree: the formats the window loads them
// in (LoadIconA, LoadBitmapA) and a glance at what they show, so that a regenerated image
// that came out blank or in another format is caught before it reaches the resource script.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

Bytes readResource(const char* name) {
    std::ifstream in(std::string(TARVO_RESOURCES_DIR) + "/" + name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Little-endian fields; a read past the end gives 0, so a short file fails the checks
// instead of reading out of bounds.
uint32_t field(const Bytes& data, size_t at, size_t width) {
    if (at > data.size() || width > data.size() - at) {
        return 0;
    }
    uint32_t value = 0;
    for (size_t i = width; i > 0; --i) {
        value = (value << 8) | data[at + i - 1];
    }
    return value;
}
uint32_t u8(const Bytes& data, size_t at) {
    return field(data, at, 1);
}
uint32_t u16(const Bytes& data, size_t at) {
    return field(data, at, 2);
}
uint32_t u32(const Bytes& data, size_t at) {
    return field(data, at, 4);
}
int32_t i32(const Bytes& data, size_t at) {
    const uint32_t bits = u32(data, at);
    int32_t value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

struct Rgb {
    uint32_t r, g, b;
};

// A BITMAPINFOHEADER and where its pixels are.
struct DibHeader {
    uint32_t headerSize;
    int32_t width, height;
    uint32_t planes, bitsPerPixel, compression, coloursUsed;
    size_t paletteAt; // first RGBQUAD, just after the header
    size_t rowBytes;  // rows are padded to 4 bytes
};

DibHeader readDibHeader(const Bytes& data, size_t at) {
    DibHeader h{};
    h.headerSize = u32(data, at);
    h.width = i32(data, at + 4);
    h.height = i32(data, at + 8);
    h.planes = u16(data, at + 12);
    h.bitsPerPixel = u16(data, at + 14);
    h.compression = u32(data, at + 16);
    h.coloursUsed = u32(data, at + 32);
    h.paletteAt = at + h.headerSize;
    if (h.width > 0) {
        h.rowBytes = (static_cast<size_t>(h.width) * h.bitsPerPixel + 31) / 32 * 4;
    }
    return h;
}

// A .bmp file: BITMAPFILEHEADER, then the DIB.
struct BitmapFile {
    Bytes data;
    DibHeader dib;
    size_t pixelsAt;
};

BitmapFile readBitmap(const char* name) {
    BitmapFile bmp{readResource(name), {}, 0};
    bmp.dib = readDibHeader(bmp.data, 14);
    bmp.pixelsAt = u32(bmp.data, 10);
    return bmp;
}

// Colour at (x, y), y counted from the top; rows are stored bottom-up.
Rgb pixelAt(const BitmapFile& bmp, int x, int y) {
    const size_t row =
        bmp.pixelsAt + static_cast<size_t>(bmp.dib.height - 1 - y) * bmp.dib.rowBytes;
    if (bmp.dib.bitsPerPixel == 24) {
        const size_t at = row + static_cast<size_t>(x) * 3;
        return {u8(bmp.data, at + 2), u8(bmp.data, at + 1), u8(bmp.data, at)};
    }
    const size_t entry = bmp.dib.paletteAt + u8(bmp.data, row + static_cast<size_t>(x)) * 4;
    return {u8(bmp.data, entry + 2), u8(bmp.data, entry + 1), u8(bmp.data, entry)};
}

bool isWhite(Rgb c) {
    return c.r == 255 && c.g == 255 && c.b == 255;
}

// Checks shared by both bitmaps: an uncompressed DIB with the classic 40-byte header whose
// pixels fit in the file.
void expectPlainBitmap(const BitmapFile& bmp, int width, int height, uint32_t bitsPerPixel) {
    ASSERT_GE(bmp.data.size(), 54u) << "missing or truncated file";
    EXPECT_EQ(u8(bmp.data, 0), 'B');
    EXPECT_EQ(u8(bmp.data, 1), 'M');
    EXPECT_EQ(u32(bmp.data, 2), bmp.data.size()) << "file size field";
    EXPECT_EQ(bmp.dib.headerSize, 40u) << "BITMAPINFOHEADER";
    EXPECT_EQ(bmp.dib.width, width);
    EXPECT_EQ(bmp.dib.height, height) << "bottom-up rows";
    EXPECT_EQ(bmp.dib.planes, 1u);
    EXPECT_EQ(bmp.dib.bitsPerPixel, bitsPerPixel);
    EXPECT_EQ(bmp.dib.compression, 0u) << "BI_RGB";
    EXPECT_LE(bmp.pixelsAt + bmp.dib.rowBytes * static_cast<size_t>(height), bmp.data.size());
}

TEST(BackgroundImage, IsA317By455TrueColourBitmap) {
    const BitmapFile bmp = readBitmap("background.bmp");
    expectPlainBitmap(bmp, 317, 455, 24);
    EXPECT_EQ(bmp.pixelsAt, 54u) << "no palette";
}

TEST(BackgroundImage, ShowsPaleGreenDiceOnAWhiteTableWhereTheLabelsStart) {
    const BitmapFile bmp = readBitmap("background.bmp");
    ASSERT_EQ(bmp.dib.bitsPerPixel, 24u);
    ASSERT_GE(bmp.data.size(), bmp.pixelsAt + bmp.dib.rowBytes * 455);
    // The first labels and the last ones are written straight onto the white table.
    EXPECT_TRUE(isWhite(pixelAt(bmp, 0, 0)));
    EXPECT_TRUE(isWhite(pixelAt(bmp, 5, 12)));   // "Name:"
    EXPECT_TRUE(isWhite(pixelAt(bmp, 10, 440))); // below the last line of text
    int green = 0;
    for (int y = 0; y < 455; ++y) {
        for (int x = 0; x < 317; ++x) {
            const Rgb c = pixelAt(bmp, x, y);
            green += c.g > c.r + 12 && c.g > c.b + 12;
        }
    }
    EXPECT_GT(green, 317 * 455 / 40) << "hardly any green: the dice are missing";
}

TEST(RollButtonImage, IsA78By16BitmapWithA256ColourPalette) {
    const BitmapFile bmp = readBitmap("roll_button.bmp");
    expectPlainBitmap(bmp, 78, 16, 8);
    // 0 would also mean a full palette of 1 << 8 entries.
    EXPECT_TRUE(bmp.dib.coloursUsed == 256 || bmp.dib.coloursUsed == 0) << bmp.dib.coloursUsed;
    EXPECT_EQ(bmp.pixelsAt, 14u + 40u + 256u * 4u) << "256 RGBQUADs before the pixels";
}

TEST(RollButtonImage, ShowsAWhiteDieAndABlackCaptionOnLightGrey) {
    const BitmapFile bmp = readBitmap("roll_button.bmp");
    ASSERT_EQ(bmp.dib.bitsPerPixel, 8u);
    ASSERT_GE(bmp.data.size(), 1078u + 80u * 16u);
    const Rgb corner = pixelAt(bmp, 77, 0);
    EXPECT_GE(corner.r, 180u);
    EXPECT_LT(corner.r, 245u) << "light grey, not white";
    int whiteInDie = 0;
    int blackInCaption = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 78; ++x) {
            const Rgb c = pixelAt(bmp, x, y);
            if (x < 16) {
                whiteInDie += isWhite(c);
            } else {
                blackInCaption += c.r < 60 && c.g < 60 && c.b < 60;
            }
        }
    }
    EXPECT_GT(whiteInDie, 60);
    EXPECT_GT(blackInCaption, 60);
}

// The icon file: an ICONDIR, one 16-byte entry per image, each image a DIB of twice its
// height (colour rows, then the 1-bit transparency mask).
struct IconImage {
    uint32_t width, height, colourCount, bitCount, bytes, offset;
};

std::vector<IconImage> iconImages(const Bytes& data) {
    std::vector<IconImage> images;
    const uint32_t count = u16(data, 4);
    for (uint32_t i = 0; i < count; ++i) {
        const size_t entry = 6 + 16 * static_cast<size_t>(i);
        images.push_back({u8(data, entry), u8(data, entry + 1), u8(data, entry + 2),
                          u16(data, entry + 6), u32(data, entry + 8), u32(data, entry + 12)});
    }
    return images;
}

// The images in file order: 16, 32, 48 and 256 pixels (256 is stored as 0); the 32 x 32 one,
// which the window loads, is second.
TEST(AppIcon, Holds16To256PixelImagesWithThe32By32OneAt4BitsWithA16ColourPalette) {
    const Bytes data = readResource("app.ico");
    ASSERT_GE(data.size(), 22u) << "missing or truncated file";
    EXPECT_EQ(u16(data, 0), 0u);
    EXPECT_EQ(u16(data, 2), 1u) << "icon, not cursor";
    const std::vector<IconImage> images = iconImages(data);
    ASSERT_EQ(images.size(), 4u);
    for (size_t i : {0u, 2u, 3u}) {
        const uint32_t size = images[i].width == 0 ? 256 : images[i].width;
        EXPECT_EQ(size, i == 0 ? 16u : i == 2 ? 48u : 256u);
        EXPECT_EQ(images[i].height, images[i].width);
        EXPECT_EQ(images[i].bitCount, 32u) << "alpha channel";
        EXPECT_LE(static_cast<size_t>(images[i].offset) + images[i].bytes, data.size());
    }
    // Windows reads a 256-pixel image as PNG.
    EXPECT_EQ(u32(data, images[3].offset), 0x474E5089u) << "PNG signature";
    const IconImage& icon = images[1];
    EXPECT_EQ(icon.width, 32u);
    EXPECT_EQ(icon.height, 32u);
    EXPECT_EQ(icon.colourCount, 16u);
    EXPECT_EQ(icon.bitCount, 4u);
    // Header, 16 RGBQUADs, 4-bit colour rows of 16 bytes, mask rows of 4 bytes.
    EXPECT_EQ(icon.bytes, 40u + 16u * 4u + 32u * 16u + 32u * 4u);
    ASSERT_LE(static_cast<size_t>(icon.offset) + icon.bytes, data.size());

    const DibHeader dib = readDibHeader(data, icon.offset);
    EXPECT_EQ(dib.headerSize, 40u) << "BITMAPINFOHEADER";
    EXPECT_EQ(dib.width, 32);
    EXPECT_EQ(dib.height, 64) << "colour rows and mask rows";
    EXPECT_EQ(dib.planes, 1u);
    EXPECT_EQ(dib.bitsPerPixel, 4u);
    EXPECT_EQ(dib.compression, 0u);
    EXPECT_TRUE(dib.coloursUsed == 16 || dib.coloursUsed == 0) << dib.coloursUsed;
}

TEST(AppIcon, IsAWhiteDieWithDarkRedPipsOnATransparentGround) {
    const Bytes data = readResource("app.ico");
    const std::vector<IconImage> images = iconImages(data);
    ASSERT_EQ(images.size(), 4u);
    ASSERT_EQ(images[1].bytes, 744u);
    ASSERT_LE(static_cast<size_t>(images[1].offset) + 744u, data.size());
    const size_t palette = images[1].offset + 40;
    const size_t mask = palette + 16 * 4 + 32 * 16;
    bool white = false;
    bool darkRed = false;
    for (size_t i = 0; i < 16; ++i) {
        const Rgb c{u8(data, palette + i * 4 + 2), u8(data, palette + i * 4 + 1),
                    u8(data, palette + i * 4)};
        white = white || isWhite(c);
        darkRed = darkRed || (c.r >= 100 && c.r <= 200 && c.g < 40 && c.b < 40);
    }
    EXPECT_TRUE(white);
    EXPECT_TRUE(darkRed);
    // Mask bit set = transparent. Rows are bottom-up: the last row is the top of the icon.
    const auto transparent = [&](int x, int y) {
        const uint32_t bits = u8(data, mask + static_cast<size_t>(31 - y) * 4 + x / 8);
        return ((bits >> (7 - x % 8)) & 1) != 0;
    };
    EXPECT_TRUE(transparent(0, 0));
    EXPECT_TRUE(transparent(31, 31));
    EXPECT_FALSE(transparent(16, 16));
}

} // namespace
