#include "pictures/picproc.h"

#include "layout/settings.h"

#include <QFile>

#include <algorithm>
#include <cmath>

namespace {

// A spin value truncated to a whole number inside its range; a value that is
// no number takes the lower bound.
int TruncIn(double value, int lo, int hi)
{
    if (!(value >= lo))
        return lo;
    if (value > hi)
        return hi;
    return int(value);
}

// Calls f(pixel) for the three bytes of every pixel of a 24-bit picture.
template <class F>
void ForEachPixel24(dib &d, F f)
{
    if (!HasPicture(d) || DibBits(d) != 24)
        return;
    const int w = DibWidth(d), h = DibHeight(d);
    for (int y = 0; y < h; ++y) {
        uint8_t *p = d.poi + int64_t(y) * d.bytew;
        for (int x = 0; x < w; ++x, p += 3)
            f(p);
    }
}

} // namespace

dib NoDib()
{
    return dib{};
}

void FreeDib(dib &d)
{
    deldib(d);
    // deldib released the header too: no pointer of the old picture stays.
    d = NoDib();
}

dib OpenPicture(const QString &fileName)
{
    if (fileName.isEmpty())
        return NoDib();
    return OpenDib(QFile::encodeName(fileName).constData(), 0, nullptr);
}

void MakeTrueColor(dib &d)
{
    if (!HasPicture(d))
        return;
    const int bits = DibBits(d);
    if (bits != 1 && bits != 4 && bits != 8)
        return;
    const int w = DibWidth(d), h = DibHeight(d);
    dib t = newdib(w, h, 24, nullptr, 0);
    if (!t.poih)
        return;
    for (int y = 0; y < h; ++y) {
        const uint8_t *src = d.poi + int64_t(y) * d.bytew;
        uint8_t *dst = t.poi + int64_t(y) * t.bytew;
        for (int x = 0; x < w; ++x) {
            if (bits == 1) {
                // By pixel value only: the two colours of the picture do not count.
                setpixel(t, x, y, getpixel(d, x, y) == 0 ? 0x000000 : 0xFFFFFF);
                continue;
            }
            const int v = bits == 4 ? ((x & 1) ? src[x / 2] & 0x0F : src[x / 2] >> 4) : src[x];
            const TPalEntry &e = d.pal.rgb0[v];
            dst[3 * x] = e.peBlue;
            dst[3 * x + 1] = e.peGreen;
            dst[3 * x + 2] = e.peRed;
        }
    }
    FreeDib(d);
    d = t;
}

void MakeGrayscale(dib &d)
{
    ForEachPixel24(d, [](uint8_t *p) {
        const uint8_t g = uint8_t((30 * p[2] + 59 * p[1] + 11 * p[0]) / 100);
        p[0] = p[1] = p[2] = g;
    });
}

void LightenTexture(dib &d, double hellEd, double satEd)
{
    const int h = TruncIn(hellEd, 1, 100);
    const int s = TruncIn(satEd, -100, 200);
    // The result depends on the byte alone: one table for the whole picture.
    uint8_t table[256];
    for (int c = 0; c < 256; ++c) {
        const int c1 = std::clamp((c - 128) * (s + 100) / 100 + 128, 0, 255);
        const double c2 = 255.0 - (255.0 - c1) * h / 100.0;
        table[c] = uint8_t(std::clamp(int(std::trunc(c2)), 0, 255));
    }
    ForEachPixel24(d, [&table](uint8_t *p) {
        p[0] = table[p[0]];
        p[1] = table[p[1]];
        p[2] = table[p[2]];
    });
}

void LoadBackground(const TLayoutSettings &settings, dib &di2)
{
    FreeDib(di2);
    di2 = OpenPicture(settings.FilenameEdit2);
    if (!HasPicture(di2) || (!settings.GrayScaleCheck && !settings.LightenCheck))
        return;
    MakeTrueColor(di2);
    // Without memory for the 24-bit copy the picture keeps its depth and
    // stays unprocessed: the two steps work on 3-byte pixels only.
    if (HasPicture(di2) && settings.GrayScaleCheck)
        MakeGrayscale(di2);
    if (HasPicture(di2) && settings.LightenCheck)
        LightenTexture(di2, settings.HellEd, settings.SatEd);
}

void LoadLogo(const TLayoutSettings &settings, dib &di3)
{
    FreeDib(di3);
    di3 = OpenPicture(settings.FilenameEdit1);
}

TPagePictures::~TPagePictures()
{
    FreeDib(di2);
    FreeDib(di3);
}

void TPagePictures::Load(const TLayoutSettings &settings)
{
    LoadBackground(settings, di2);
    LoadLogo(settings, di3);
}
