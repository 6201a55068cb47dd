// The GDI calls that rasterise font glyphs into a 32-bit DIB, on FreeType
// with the face found by fontconfig. A face name that no installed font
// carries falls back to a metric-compatible or plain sans ("Verdana" gives a
// Verdana-sized sans such as DejaVu Sans). Only 32-bit BI_RGB DIB sections
// can be drawn on. Handles are checked: an unknown or deleted handle makes a
// call fail instead of touching memory. Numeric values are Win32's.
#pragma once

#include "platform/win32/win32.h"

struct HDC__;
struct HFONT__;
struct HBITMAP__;
using HDC = HDC__*;
using HFONT = HFONT__*;
using HBITMAP = HBITMAP__*;
using HANDLE = void*;
using COLORREF = DWORD;
using INT = int;

constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b) {
    return COLORREF{r} | (COLORREF{g} << 8) | (COLORREF{b} << 16);
}

struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight; // negative: rows run top-down
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40, "BITMAPINFOHEADER is 40 bytes");

struct RGBQUAD {
    BYTE rgbBlue, rgbGreen, rgbRed, rgbReserved;
};
static_assert(sizeof(RGBQUAD) == 4, "RGBQUAD is 4 bytes");

struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};

constexpr DWORD BI_RGB = 0;
constexpr UINT DIB_RGB_COLORS = 0;
constexpr int MM_TEXT = 1;

// CreateFontA.
constexpr int FW_NORMAL = 400;
constexpr int FW_BOLD = 700;
constexpr DWORD ANSI_CHARSET = 0;
constexpr DWORD DEFAULT_CHARSET = 1;
constexpr DWORD OUT_DEFAULT_PRECIS = 0;
constexpr DWORD CLIP_DEFAULT_PRECIS = 0;
constexpr DWORD DEFAULT_QUALITY = 0;
constexpr DWORD NONANTIALIASED_QUALITY = 3;
constexpr DWORD ANTIALIASED_QUALITY = 4;
constexpr DWORD DEFAULT_PITCH = 0;
constexpr DWORD FIXED_PITCH = 1;
constexpr DWORD VARIABLE_PITCH = 2;
constexpr DWORD FF_DONTCARE = 0;

// SetTextAlign: only the top-left reference point is provided.
constexpr UINT TA_LEFT = 0;
constexpr UINT TA_TOP = 0;

// ExtTextOutA.
constexpr UINT ETO_OPAQUE = 0x0002;
constexpr UINT ETO_CLIPPED = 0x0004;

// A memory DC with nothing selected; the argument is ignored (null is the
// screen). Null only when out of memory.
HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);

// A DIB section of 32 bits per pixel, BI_RGB, DIB_RGB_COLORS, zero-filled;
// *bits receives its pixels (0x00RRGGBB words, top row first when biHeight is
// negative, bottom row first otherwise), owned by the bitmap. Null (and *bits
// null) for any other layout or a size above 16384 on a side.
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                         DWORD offset);

// Negative height: em height in pixels; positive: ascent + descent in pixels;
// 0: a 12-pixel em. Weight 600 and above asks for bold. Null only when no font
// file can be found or loaded at all.
HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                  DWORD quality, DWORD pitchAndFamily, LPCSTR faceName);

// Selects a bitmap or a font; returns the one of that kind selected before
// (null if none, or on failure).
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
// Frees a bitmap or font. One still selected into a DC is freed when that DC
// lets go of it (another selection or DeleteDC), so no DC is left pointing at
// freed memory.
BOOL DeleteObject(HGDIOBJ object);

int SetMapMode(HDC dc, int mode); // MM_TEXT only; returns the previous mode, 0 on failure
COLORREF SetTextColor(HDC dc, COLORREF colour);
COLORREF SetBkColor(HDC dc, COLORREF colour);
UINT SetTextAlign(HDC dc, UINT align);

// cx: the sum of the characters' advances in whole pixels; cy: ascent +
// descent of the selected font. Characters are bytes (Latin-1).
BOOL GetTextExtentPoint32A(HDC dc, LPCSTR text, int count, SIZE* size);

// Draws anti-aliased text (NONANTIALIASED_QUALITY fonts: hard-edged) in the
// text colour with the pen at (x, y), the top-left of the text cell: the
// baseline lies at y + ascent. ETO_OPAQUE fills rect, or the text's extent
// when rect is null, with the background colour first; ETO_CLIPPED keeps the
// glyphs inside rect. dx, if given, holds each character's advance. Nothing is
// drawn outside the bitmap.
BOOL ExtTextOutA(HDC dc, int x, int y, UINT options, const RECT* rect, LPCSTR text, UINT count,
                 const INT* dx);
