// Drawing a background tile enlarged onto a page-sized image, and the colour
// processing of a background picture.
#include "pictures/drawdib.h"
#include "pictures/picproc.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

namespace {

dib Picture(int bits, int width, int height)
{
    TDibInfo info{};
    for (int i = 0; i < 256; ++i)
        info.colors[i] = {uint8_t(i), uint8_t(255 - i), uint8_t(i / 2), 0};
    dib d = newdib(width, height, bits, bits == 8 ? &info : nullptr, bits == 8 ? 256 : 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            setpixel(d, x, y, bits == 8 ? uint32_t(x + y) & 0xFF : uint32_t(x * 977 + y * 131) & 0xFFFFFF);
    return d;
}

// A 200 × 200 picture enlarged to 1000 × 1000 pixels.
template <void (*Output)(QPainter &, int, int, int, int, const dib &, int, int, int, int)>
void BM_Enlarge(benchmark::State &state)
{
    dib d = Picture(int(state.range(0)), 200, 200);
    QImage canvas(1000, 1000, QImage::Format_RGB32);
    QPainter painter(&canvas);
    for (auto _ : state)
        Output(painter, 0, 0, 1000, 1000, d, 0, 0, 200, 200);
    painter.end();
    benchmark::DoNotOptimize(canvas.constBits());
    FreeDib(d);
    state.SetItemsProcessed(state.iterations() * 1000 * 1000);
}

BENCHMARK_TEMPLATE(BM_Enlarge, StretchRows24)->Arg(24)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK_TEMPLATE(BM_Enlarge, StretchRows8)->Arg(8)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK_TEMPLATE(BM_Enlarge, StretchImage)->Arg(24)->Arg(8)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_GrayAndLighten(benchmark::State &state)
{
    dib d = Picture(24, 1000, 1000);
    for (auto _ : state) {
        MakeGrayscale(d);
        LightenTexture(d, 50, 20);
    }
    benchmark::DoNotOptimize(d.poi[0]);
    FreeDib(d);
    state.SetItemsProcessed(state.iterations() * 1000 * 1000);
}
BENCHMARK(BM_GrayAndLighten)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
