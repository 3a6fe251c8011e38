// Export of a whole form to PDF through the print loop at 600 dpi, A4, with
// the default settings (header, footer, silver page): forms of about 100 and
// about 1,000 pages. The job lays the form out once, so the 1,000-page export
// should cost about ten times the 100-page one.

#include "core/document.h"
#include "layout/printjob.h"
#include "layout/settings.h"

#include <QPrinter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// Each category: a row of text fields, check boxes and a single-answer row;
// three categories fill an A4 page.
void BuildForm(TFormDocument &doc, int categories)
{
    for (int k = 0; k < categories; ++k) {
        doc.AddKat(QStringLiteral("Kategorie %1").arg(k));
        for (int j = 0; j < 3; ++j)
            doc.AddProd(QStringLiteral("Feld %1\r\nzweite Zeile").arg(j), fkText, 6, 2);
        for (int j = 0; j < 3; ++j)
            doc.AddProd(QStringLiteral("Ankreuzen %1").arg(j), fkCheck, 1, 0.8);
        for (int j = 0; j < 4; ++j)
            doc.AddProd(QStringLiteral("Antwort %1").arg(j), fkRadio, 1, 0.6);
    }
}

void BM_ExportPdf(benchmark::State &state)
{
    const int wantedPages = static_cast<int>(state.range(0));
    TFormDocument doc;
    TLayoutSettings settings;
    QPageLayout paper;
    QString error;
    PaperLayout(QStringLiteral("A4"), &paper, &error);
    BuildForm(doc, wantedPages * 3);
    QTemporaryDir dir;
    int pages = 0;
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        SetUpPdfPrinter(printer, paper, 600);
        printer.setOutputFileName(dir.filePath(QStringLiteral("bench.pdf")));
        TRenderContext ctx{&doc, &settings, nullptr, TPrinterPage{}};
        pages = PrintForm(printer, ctx, QStringLiteral("Formular drucken"));
    }
    state.counters["pages"] = pages;
}
BENCHMARK(BM_ExportPdf)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(2);

} // namespace
