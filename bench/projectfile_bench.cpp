// Open and save of a large form: 1,000 categories of 20 fields each, with
// category properties. "Buffer" runs work on a QBuffer in memory; "File"
// runs go through a real file in a temporary folder (save: temporary file,
// then rename). Target: each under 50 ms.

#include "core/document.h"
#include "core/projectfile.h"
#include "layout/settings.h"

#include <QBuffer>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kKats = 1000;
constexpr int kFields = 20;

void FillLargeForm(TFormDocument &doc)
{
    for (int i = 0; i < kKats; ++i) {
        KatRec *k = doc.AddKat(QStringLiteral("Kategorie Nummer %1").arg(i));
        if (i % 2 == 0)
            k->props = TFormDocument::NewKatProps(QStringLiteral("Eine kurze Einführung in diese Kategorie."),
                                                  QStringLiteral("bild%1.png").arg(i), 3.0, i % 2, false);
        for (int j = 0; j < kFields; ++j)
            doc.AddProd(QStringLiteral("Feldbezeichnung %1 für Größe").arg(j), j % 3, 6.0, 1.25);
    }
}

const QByteArray &LargeFormBytes()
{
    static const QByteArray bytes = [] {
        TFormDocument doc;
        FillLargeForm(doc);
        QByteArray b;
        QBuffer buffer(&b);
        buffer.open(QIODevice::WriteOnly);
        WriteProject(buffer, doc, TLayoutSettings());
        return b;
    }();
    return bytes;
}

void BM_SaveToBuffer(benchmark::State &state)
{
    TFormDocument doc;
    FillLargeForm(doc);
    const TLayoutSettings settings;
    for (auto _ : state) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        WriteProject(buffer, doc, settings);
        benchmark::DoNotOptimize(bytes.size());
    }
    state.counters["bytes"] = static_cast<double>(LargeFormBytes().size());
}

void BM_OpenFromBuffer(benchmark::State &state)
{
    QByteArray bytes = LargeFormBytes();
    for (auto _ : state) {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        TFormDocument doc;
        TLayoutSettings settings;
        QString error;
        if (!ReadProject(buffer, doc, settings, &error))
            state.SkipWithError(error.toUtf8().constData());
        benchmark::DoNotOptimize(doc.KatCount());
        // Releasing the form is part of replacing it on the next open.
    }
}

void BM_SaveTheFile(benchmark::State &state)
{
    QTemporaryDir dir;
    TFormDocument doc;
    FillLargeForm(doc);
    doc.afilename = dir.filePath(QStringLiteral("gross.fdx"));
    const TLayoutSettings settings;
    for (auto _ : state) {
        QString error;
        if (!SaveTheFile(doc, settings, &error))
            state.SkipWithError(error.toUtf8().constData());
    }
}

void BM_OpenFileWithName(benchmark::State &state)
{
    QTemporaryDir dir;
    TFormDocument doc;
    FillLargeForm(doc);
    doc.afilename = dir.filePath(QStringLiteral("gross.fdx"));
    QString error;
    if (!SaveTheFile(doc, TLayoutSettings(), &error)) {
        state.SkipWithError(error.toUtf8().constData());
        return;
    }
    const QString path = doc.afilename;
    TFormDocument open;
    TLayoutSettings settings;
    for (auto _ : state) {
        // Opening empties the open document first, as the window's Open does.
        if (!OpenFileWithName(path, open, settings, &error))
            state.SkipWithError(error.toUtf8().constData());
    }
}

} // namespace

BENCHMARK(BM_SaveToBuffer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenFromBuffer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveTheFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenFileWithName)->Unit(benchmark::kMillisecond);
