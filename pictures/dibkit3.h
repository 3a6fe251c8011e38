#pragma once
// dibkit3, the image library: pictures held as device-independent bitmaps
// with bottom-up rows, `bytew` bytes apart, and a 256-entry palette for
// 1-, 4- and 8-bit pictures. Files are decoded through Qt's image readers.

#include <cstdint>

#if defined(DIBKIT3_BUILD)
#define DIBKIT3_API __attribute__((visibility("default")))
#else
#define DIBKIT3_API
#endif

// The bitmap info block: header and colour table as a device expects them.
struct TDibInfoHeader {
    uint32_t biSize;     // +0: 40
    int32_t biWidth;     // +4
    int32_t biHeight;    // +8: positive, rows bottom-up
    uint16_t biPlanes;   // +12: 1
    uint16_t biBitCount; // +14: 1, 4, 8 or 24
    uint32_t biCompression;
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
};

struct TRGBQuad { // in a bitmap info block: blue, green, red, reserved
    uint8_t rgbBlue, rgbGreen, rgbRed, rgbReserved;
};

struct TDibInfo {
    TDibInfoHeader hdr;
    TRGBQuad colors[256];
};

struct TPalEntry { // in `pal`: red, green, blue, flags
    uint8_t peRed, peGreen, peBlue, peFlags;
};

struct LPAL {
    uint16_t ver;
    uint16_t num;
    TPalEntry rgb0[256];
};

// Descriptor of a picture held by the library, passed by value.
struct dib {
    TDibInfo *pmi;     // header and colour table
    uint32_t poih;     // non-zero when the descriptor holds an image
    uint32_t pmih;
    uint8_t *poi;      // pixel rows, bottom row first; nullptr without an image
    int32_t bytew;     // bytes per pixel row (a multiple of 4)
    uint8_t ispal;
    LPAL pal;          // entry i is the colour of pixel value i
    uint32_t NOTUSEDINFIXEDMEMlp;
    int32_t zoom, scx, scy, mx1, my1, mx2, my2;
};

// Largest picture OpenDib and newdib accept: a larger one (or a file header
// claiming one) is refused before any pixel memory is allocated.
constexpr int32_t kDibMaxSide = 32768;
constexpr int64_t kDibMaxPixelBytes = int64_t(512) << 20;

extern "C" {
// filename: 8-bit string in the system's code page (UTF-8 here); flags and
// owner are not used. Keeps 1, 4, 8 and 24 bits where the file has them
// (GIFs 8 bits with their colour table, grey files 8 bits with a grey
// palette); other depths become 24 bits. Transparent parts, also transparent
// palette entries, are laid over white. A missing, unreadable, truncated or
// oversized file gives a descriptor without a picture (all zero).
DIBKIT3_API dib OpenDib(const char *filename, int flags, void *owner);
// A zero-filled picture of 1, 4, 8 or 24 bits; the colour table is copied
// from `info` (numColors entries, at most 2^bits) when given. poih is 0 and
// the descriptor all zero when the picture could not be made: another depth,
// a side of 0 or less, beyond the limits above, or no memory.
DIBKIT3_API dib newdib(int32_t width, int32_t height, int32_t bits, const TDibInfo *info, int32_t numColors);
// Releases the picture; accepts a descriptor whose load failed.
DIBKIT3_API void deldib(dib d);
// y is the stored row: row 0 is the bottom row, as the pixels lie in memory.
// 1-, 4- and 8-bit pictures: the pixel value (palette index). 24-bit
// pictures: the colour as 0x00RRGGBB (0x000000 black, 0xFFFFFF white, 0xFF0000
// red). Outside the picture getpixel gives 0 and setpixel does nothing.
DIBKIT3_API uint32_t getpixel(dib d, int32_t x, int32_t y);
DIBKIT3_API void setpixel(dib d, int32_t x, int32_t y, uint32_t value);
// "Bilder (*.png;*.jpg;...)|*.png;...|..." filter for open dialogs.
DIBKIT3_API const char *GetDIBOpenFilter();
}

inline int32_t DibWidth(const dib &d) { return d.pmi ? d.pmi->hdr.biWidth : 0; }
inline int32_t DibHeight(const dib &d) { return d.pmi ? d.pmi->hdr.biHeight : 0; }
inline int32_t DibBits(const dib &d) { return d.pmi ? d.pmi->hdr.biBitCount : 0; }
