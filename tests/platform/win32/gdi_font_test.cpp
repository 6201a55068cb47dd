#include "platform/win32/gdi_font.h"

#include "platform/os/files.h"
#include "platform/os/font_files.h"
#include "platform/window_recorder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

// A memory DC with a top-down 32-bit DIB and a font selected, as the glyph
// atlas is built.
class GdiSurface {
  public:
    GdiSurface(int width, int height, int fontHeight, const char* face, DWORD quality = ANTIALIASED_QUALITY)
        : width_(width) {
        dc_ = CreateCompatibleDC(nullptr);
        BITMAPINFO info{};
        info.bmiHeader = BITMAPINFOHEADER{40, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
        font_ = CreateFontA(fontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, quality, VARIABLE_PITCH, face);
        SetMapMode(dc_, MM_TEXT);
        SelectObject(dc_, bitmap_);
        SelectObject(dc_, font_);
        SetTextColor(dc_, RGB(255, 255, 255));
        SetBkColor(dc_, RGB(0, 0, 0));
        SetTextAlign(dc_, TA_LEFT | TA_TOP);
    }
    ~GdiSurface() {
        DeleteObject(bitmap_);
        DeleteDC(dc_);
        DeleteObject(font_);
    }

    SIZE Extent(const std::string& text) const {
        SIZE size{-1, -1};
        EXPECT_TRUE(GetTextExtentPoint32A(dc_, text.c_str(), static_cast<int>(text.size()), &size));
        return size;
    }
    uint32_t Pixel(int x, int y) const { return static_cast<const uint32_t*>(bits_)[y * width_ + x]; }
    // Lit pixels inside [left, right) x [top, bottom).
    int Lit(int left, int top, int right, int bottom) const {
        int lit = 0;
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x) {
                lit += (Pixel(x, y) & 0xFF) != 0;
            }
        }
        return lit;
    }

    HDC dc_;
    HBITMAP bitmap_;
    HFONT font_;
    void* bits_ = nullptr;
    int width_;
};

} // namespace

TEST(GdiFont, VerdanaResolvesAndMeasuresLikeAVerdanaSizedSans) {
    GdiSurface surface(64, 64, -16, "Verdana");
    ASSERT_NE(surface.font_, nullptr);
    const SIZE a = surface.Extent("A");
    EXPECT_GE(a.cx, 9);
    EXPECT_LE(a.cx, 13);
    EXPECT_GE(a.cy, 17);
    EXPECT_LE(a.cy, 22);
    EXPECT_EQ(surface.Extent("AA").cx, 2 * a.cx) << "advances add up, no kerning";
    EXPECT_EQ(surface.Extent("").cx, 0);
    EXPECT_EQ(surface.Extent("").cy, a.cy);
    EXPECT_GT(surface.Extent("W").cx, surface.Extent("i").cx);
}

TEST(GdiFont, ExtentGrowsWithTheEmHeight) {
    int previousWidth = 0, previousHeight = 0;
    for (int size : {7, 11, 12, 16, 18, 20, 30, 50}) {
        GdiSurface surface(8, 8, static_cast<int>(size * -1.4f), "Verdana");
        const SIZE a = surface.Extent("A");
        EXPECT_GT(a.cx, 0) << size;
        EXPECT_GE(a.cx, previousWidth) << size;
        EXPECT_GT(a.cy, previousHeight) << size;
        previousWidth = a.cx;
        previousHeight = a.cy;
    }
    GdiSurface cell(8, 8, 20, "Verdana");
    EXPECT_EQ(cell.Extent("A").cy, 20) << "a positive height is the cell height";
}

TEST(GdiFont, GlyphsDrawGreyInsideTheirCellOnTheBaseline) {
    GdiSurface surface(64, 40, -16, "Verdana");
    const SIZE a = surface.Extent("A");
    ASSERT_TRUE(ExtTextOutA(surface.dc_, 10, 5, ETO_OPAQUE, nullptr, "A", 1, nullptr));
    EXPECT_GT(surface.Lit(10, 5, 10 + a.cx, 5 + a.cy), 20);
    EXPECT_EQ(surface.Lit(0, 0, 64, 5), 0) << "nothing above the cell";
    EXPECT_EQ(surface.Lit(10 + a.cx + 1, 0, 64, 40), 0) << "nothing right of the cell";
    bool grey = false;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 64; ++x) {
            const uint32_t p = surface.Pixel(x, y);
            EXPECT_EQ(p & 0xFF, (p >> 8) & 0xFF);
            EXPECT_EQ(p & 0xFF, (p >> 16) & 0xFF);
            grey = grey || ((p & 0xFF) > 0 && (p & 0xFF) < 255);
        }
    }
    EXPECT_TRUE(grey) << "anti-aliased edges";
    // An 'A' sits on the baseline: its lowest lit row is the last one above the descent.
    int lowest = -1;
    for (int y = 0; y < 40; ++y) {
        if (surface.Lit(0, y, 64, y + 1) > 0) {
            lowest = y;
        }
    }
    EXPECT_GT(lowest, 5 + a.cy / 2);
    EXPECT_LT(lowest, 5 + a.cy - 1);
}

TEST(GdiFont, OpaqueFillsTheCellAndClippingStaysInTheBitmap) {
    GdiSurface surface(32, 32, -16, "Verdana");
    SetBkColor(surface.dc_, RGB(0, 0, 40));
    ASSERT_TRUE(ExtTextOutA(surface.dc_, 0, 0, ETO_OPAQUE, nullptr, " ", 1, nullptr));
    EXPECT_EQ(surface.Pixel(0, 0), 0x00000028u);
    EXPECT_EQ(surface.Pixel(31, 31), 0u);
    EXPECT_TRUE(ExtTextOutA(surface.dc_, 28, 25, ETO_OPAQUE, nullptr, "WWW", 3, nullptr));
    EXPECT_TRUE(ExtTextOutA(surface.dc_, -2000000000, 2000000000, ETO_OPAQUE, nullptr, "AB", 2, nullptr));
    EXPECT_TRUE(ExtTextOutA(surface.dc_, 2147483600, -5, ETO_OPAQUE, nullptr, "AAAAAAAAAAAA", 12, nullptr));
    const RECT clip{0, 0, 4, 4};
    SetBkColor(surface.dc_, RGB(0, 0, 0));
    ExtTextOutA(surface.dc_, 0, 0, ETO_OPAQUE, nullptr, "MMM", 3, nullptr);
    ASSERT_TRUE(ExtTextOutA(surface.dc_, 0, 0, ETO_CLIPPED, &clip, "MMM", 3, nullptr));
    const char high[] = {'\xE9', '\xFF', '\x01'};
    EXPECT_TRUE(ExtTextOutA(surface.dc_, 0, 0, 0, nullptr, high, 3, nullptr))
        << "bytes above 127 and controls";
}

// The system's own face of a family when it has one, else the face shipped
// in dat/fonts, not the stand-in the system would offer.
TEST(GdiFont, AFamilyTheSystemLacksIsDrawnWithTheShippedFace) {
    platform::FontFile file;
    ASSERT_TRUE(platform::FindInstalledFont("DejaVu Sans", false, false, &file));
    EXPECT_FALSE(platform::FindInstalledFont("No Such Face Backfire", false, false, &file));
    EXPECT_TRUE(platform::FindFontSubstitute("No Such Face Backfire", false, false, &file));
    if (platform::FindInstalledFont("Verdana", false, false, &file))
        GTEST_SKIP() << "this system has Verdana of its own";
    // A monospaced face shipped as the regular one shows which face was used.
    platform_test::TempDirectory data;
    std::filesystem::create_directories(data.path / "fonts");
    std::filesystem::copy_file(std::filesystem::path(file.path).parent_path() / "DejaVuSansMono.ttf",
                               data.path / "fonts" / "DejaVuSans.ttf");
    platform::SetDataRoot(data.path.string());
    {
        GdiSurface shipped(64, 64, -16, "Verdana");
        EXPECT_EQ(shipped.Extent("iiii").cx, shipped.Extent("WWWW").cx);
        GdiSurface own(64, 64, -16, "DejaVu Sans");
        EXPECT_LT(own.Extent("iiii").cx, own.Extent("WWWW").cx);
    }
    platform::SetDataRoot("");
}

TEST(GdiFont, UnknownFaceStillRendersWithASans) {
    GdiSurface surface(40, 40, -16, "No Such Face Backfire");
    ASSERT_NE(surface.font_, nullptr);
    const SIZE a = surface.Extent("A");
    EXPECT_GT(a.cx, 0);
    ASSERT_TRUE(ExtTextOutA(surface.dc_, 0, 0, ETO_OPAQUE, nullptr, "A", 1, nullptr));
    EXPECT_GT(surface.Lit(0, 0, 40, 40), 10);

    GdiSurface hard(40, 40, -16, "Verdana", NONANTIALIASED_QUALITY);
    ASSERT_TRUE(ExtTextOutA(hard.dc_, 0, 0, ETO_OPAQUE, nullptr, "A", 1, nullptr));
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 40; ++x) {
            const uint32_t v = hard.Pixel(x, y) & 0xFF;
            EXPECT_TRUE(v == 0 || v == 255);
        }
    }
}

TEST(GdiFont, BadHandlesAndLayoutsAreRefused) {
    void* bits = reinterpret_cast<void*>(1);
    BITMAPINFO info{};
    info.bmiHeader = BITMAPINFOHEADER{40, 16, -16, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    EXPECT_EQ(bits, nullptr);
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biWidth = 0;
    EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    info.bmiHeader.biWidth = 100000;
    EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);

    HDC dc = CreateCompatibleDC(nullptr);
    SIZE size{};
    EXPECT_FALSE(GetTextExtentPoint32A(dc, "A", 1, &size)) << "no font selected";
    EXPECT_FALSE(ExtTextOutA(dc, 0, 0, 0, nullptr, "A", 1, nullptr)) << "no bitmap selected";
    int notAnObject = 0;
    EXPECT_EQ(SelectObject(dc, &notAnObject), nullptr);
    EXPECT_FALSE(DeleteObject(&notAnObject));
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_FALSE(DeleteDC(dc));
    EXPECT_FALSE(GetTextExtentPoint32A(dc, "A", 1, &size)) << "a deleted DC";
}

TEST(GdiFont, DeletingASelectedBitmapWaitsForItsDc) {
    HDC dc = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader = BITMAPINFOHEADER{40, 8, 8, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HFONT font = CreateFontA(-9, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, VARIABLE_PITCH, "Verdana");
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(SelectObject(dc, bitmap), nullptr);
    EXPECT_EQ(SelectObject(dc, font), nullptr);
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_TRUE(DeleteObject(font));
    // Still drawable: the DC keeps both until it is deleted.
    EXPECT_TRUE(ExtTextOutA(dc, 0, 0, ETO_OPAQUE, nullptr, "A", 1, nullptr));
    EXPECT_EQ(SelectObject(dc, bitmap), nullptr) << "a bitmap waiting for deletion cannot be selected again";
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_FALSE(DeleteObject(bitmap)) << "freed with its DC";
    EXPECT_FALSE(DeleteObject(font));
}
