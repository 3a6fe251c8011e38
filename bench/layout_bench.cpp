// The layout pass over a form of 20,000 fields (200 categories of 100:
// rows of text fields, check boxes and single-answer rows), measured as the
// print job runs it (600 dpi) and as the preview does (96 dpi).

#include "core/document.h"
#include "layout/layoutpass.h"
#include "layout/picturecache.h"
#include "layout/printjob.h"
#include "layout/settings.h"


#include <benchmark/benchmark.h>

namespace {

void BuildForm(TFormDocument &doc, int categories, int fieldsPerCategory, bool uniqueLabels)
{
    for (int k = 0; k < categories; ++k) {
        doc.AddKat(QStringLiteral("Kategorie %1").arg(k));
        for (int j = 0; j < fieldsPerCategory; ++j) {
            switch (j % 5) {
            case 0:
            case 1:
                doc.AddProd(QStringLiteral("Feld %1").arg(j), fkText, 4 + j % 3, 1 + (j % 2) * 0.5);
                break;
            case 2:
                doc.AddProd(QStringLiteral("Ankreuzen %1").arg(j), fkCheck, 1, 0.8);
                break;
            default:
                doc.AddProd(uniqueLabels ? QStringLiteral("Antwort %1.%2").arg(k).arg(j) : QStringLiteral("Antwort %1").arg(j),
                            fkRadio, 1, 0.6);
                break;
            }
        }
    }
}

void BM_LayoutPass20000Fields(benchmark::State &state)
{
    const int dpi = static_cast<int>(state.range(0));
    TFormDocument doc;
    BuildForm(doc, 200, 100, state.range(1) != 0);
    TLayoutSettings settings;
    QImage device = MakeCanvasImage(1, 1, dpi);
    TLayoutInput input{TPrinterPage{4960, 7016, 600}, dpi, 100};
    int pages = 0;
    for (auto _ : state) {
        TTextMeasurer measurer(&device);
        TPictureCache pictures;
        const TPageLayout layout = LayoutForm(doc, settings, input, measurer, pictures);
        pages = layout.pages;
        benchmark::DoNotOptimize(layout.elements.data());
    }
    state.counters["pages"] = pages;
    state.counters["fields"] = 20000;
}
// Second argument 1: every single-answer label differs, so none is measured
// twice; 0: labels repeat across categories, as answers like "ja" do.
BENCHMARK(BM_LayoutPass20000Fields)
    ->Args({600, 0})
    ->Args({96, 0})
    ->Args({600, 1})
    ->Args({96, 1})
    ->Unit(benchmark::kMillisecond);

} // namespace
