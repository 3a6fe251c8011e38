// Lookups of TranslateText in a table of 2,000 rows.
//
// Hits change nothing. A miss appends a row and an index entry and rewrites
// translate.dat; "MissWriteFails" measures the miss with a write that is
// attempted and fails at once (the data folder is replaced by a plain file
// after loading), "MissWithWrite" the miss with the real atomic rewrite.

#include "language/transtable.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <vector>

namespace {

constexpr int kRows = 2000;

// Interface-like texts: one to four words, mostly capitalised, with a few
// umlauts, spread over the buckets as real captions are.
std::vector<QString> MakeTexts(int count, unsigned seed)
{
    const QString firsts = QString::fromUtf8("ABCDEFGHIJKLMNOPRSTUVWZÄÖÜabdefs");
    const QString letters = QString::fromUtf8("abcdefghiklmnoprstuwzäöüß");
    std::mt19937 rng(seed);
    std::vector<QString> texts;
    while (static_cast<int>(texts.size()) < count) {
        QString text;
        const int words = 1 + static_cast<int>(rng() % 4);
        for (int w = 0; w < words; ++w) {
            if (w > 0)
                text += QLatin1Char(' ');
            text += w == 0 ? firsts.at(static_cast<int>(rng() % firsts.size())) : letters.at(static_cast<int>(rng() % letters.size()));
            const int length = 3 + static_cast<int>(rng() % 9);
            for (int k = 0; k < length; ++k)
                text += letters.at(static_cast<int>(rng() % letters.size()));
        }
        texts.push_back(text + QString::number(texts.size()));
    }
    return texts;
}

const std::vector<QString> &Known()
{
    static const std::vector<QString> texts = MakeTexts(kRows, 1);
    return texts;
}

// A loaded table of the known texts with English, French and Dutch cells,
// in its own folder.
struct Table {
    QTemporaryDir dir;
    QString folder = dir.filePath("data");
    std::unique_ptr<TTranslation> t;

    Table()
    {
        QDir().mkpath(folder);
        TTranslation maker(folder + "/translate.dat");
        for (int r = 0; r < kRows; ++r) {
            TransRec *rec = maker.transtable->Add();
            for (char16_t *&cell : rec->cells)
                cell = NewWStr(QString());
            ReplaceWStr(rec->cells[0], Known()[r]);
            ReplaceWStr(rec->cells[1], "en " + Known()[r]);
            ReplaceWStr(rec->cells[2], "fr " + Known()[r]);
            ReplaceWStr(rec->cells[3], "nl " + Known()[r] + " ");
        }
        maker.SaveTranslation();
        t = std::make_unique<TTranslation>(folder + "/translate.dat");
        t->BuildTranslation();
    }

    // After this every write of the table fails when it opens the file.
    void BlockWrites()
    {
        QDir(folder).removeRecursively();
        QFile plain(folder);
        plain.open(QIODevice::WriteOnly);
    }
};

void LookupLoop(benchmark::State &state, int32_t language, const std::vector<QString> &inputs)
{
    Table table;
    table.t->language = language;
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(table.t->TranslateText(inputs[i]));
        if (++i == inputs.size())
            i = 0;
    }
    if (table.t->RowCount() != kRows)
        state.SkipWithError("a hit added a row");
    state.SetItemsProcessed(state.iterations());
}

void BM_TranslateHit(benchmark::State &state)
{
    LookupLoop(state, static_cast<int32_t>(state.range(0)), Known());
}
BENCHMARK(BM_TranslateHit)->Arg(0)->Arg(1)->Arg(3);

void BM_TranslateHitWithSpaces(benchmark::State &state)
{
    std::vector<QString> spaced;
    for (const QString &text : Known())
        spaced.push_back("  " + text + " ");
    LookupLoop(state, 1, spaced);
}
BENCHMARK(BM_TranslateHitWithSpaces);

void BM_TranslateMissWriteFails(benchmark::State &state)
{
    const std::vector<QString> unknown = MakeTexts(kRows, 2);
    for (auto _ : state) {
        state.PauseTiming();
        Table table;
        table.BlockWrites();
        state.ResumeTiming();
        for (const QString &text : unknown)
            benchmark::DoNotOptimize(table.t->TranslateText(text));
        state.PauseTiming();
        if (table.t->RowCount() != 2 * kRows)
            state.SkipWithError("a miss did not add its row");
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_TranslateMissWriteFails)->Unit(benchmark::kMillisecond);

void BM_TranslateMissWithWrite(benchmark::State &state)
{
    const std::vector<QString> unknown = MakeTexts(static_cast<int>(state.max_iterations), 3);
    Table table;
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(table.t->TranslateText(unknown[i++]));
    state.SetItemsProcessed(state.iterations());
    state.SetLabel("table grows from 2000 rows by one per lookup");
}
BENCHMARK(BM_TranslateMissWithWrite)->Iterations(200)->Unit(benchmark::kMicrosecond);

} // namespace
