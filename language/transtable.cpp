#include "language/transtable.h"

#include "core/appfiles.h"
#include "core/safefile.h"
#include "language/messages.h"

#include <QFile>
#include <QIODevice>

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

namespace {

// Unsigned code-unit order of two zero-terminated texts; a proper prefix
// sorts first because the terminator is the smallest unit.
int CompareW(const char16_t *a, const char16_t *b)
{
    while (*a != 0 && *a == *b) {
        ++a;
        ++b;
    }
    return static_cast<int>(*a) - static_cast<int>(*b);
}

// A cell's text ends at its first zero, so a key with a zero inside never
// equals a stored text, and the comparison never reads past a terminator.
bool EqualsKey(const char16_t *text, const QString &key)
{
    const char16_t *k = reinterpret_cast<const char16_t *>(key.utf16());
    for (qsizetype i = 0; i < key.size(); ++i) {
        if (text[i] == 0 || text[i] != k[i])
            return false;
    }
    return text[key.size()] == 0;
}

// Strips every character up to U+0020 from both ends.
QString TrimControls(const char16_t *text)
{
    const QString s = WStr(text);
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && s.at(begin).unicode() <= 0x20)
        ++begin;
    while (end > begin && s.at(end - 1).unicode() <= 0x20)
        --end;
    return s.mid(begin, end - begin);
}

// The first name beside the damaged file that no earlier damaged copy uses,
// so a copy kept from an earlier damage is never overwritten. Empty when
// every name is taken.
QString DamagedCopyName(const QString &dataFile)
{
    const QString first = dataFile + QStringLiteral(".damaged");
    if (!QFile::exists(first))
        return first;
    for (int n = 2; n < 1000; ++n) {
        const QString name = first + QLatin1Char('.') + QString::number(n);
        if (!QFile::exists(name))
            return name;
    }
    return QString();
}

void ReportDamage(const QString &dataFile, const QString &reason, int32_t rowsKept)
{
    const QString copy = DamagedCopyName(dataFile);
    const QString keep = copy.isEmpty()
                             ? QStringLiteral("no name is free for a copy, so the file is left as it is")
                             : QStringLiteral("it is copied to \"%1\" before it is written again").arg(copy);
    const QString text = QStringLiteral("formidex: the translation table \"%1\" is damaged (%2); %3 rows were read; %4.")
                             .arg(dataFile, reason, QString::number(rowsKept), keep);
    std::fprintf(stderr, "%s\n", qPrintable(text));
}

} // namespace

TTranslation::TTranslation(QString dataFile) : dataFile_(std::move(dataFile))
{
    transtable = new TDynaList<TransRec>(&atrans);
    for (auto &bucket : transindex)
        bucket = new TDynaList<TransIndexRec>(&aindex);
}

TTranslation::~TTranslation()
{
    ClearIndex();
    ClearTable();
    for (auto &bucket : transindex)
        delete bucket;
    delete transtable;
}

void TTranslation::ClearTable()
{
    for (uint32_t r = 0; r < transtable->count; ++r) {
        for (char16_t *&cell : transtable->At(r)->cells)
            FreeWStr(cell);
    }
    transtable->Clear();
}

void TTranslation::ClearIndex()
{
    for (auto *bucket : transindex) {
        for (uint32_t i = 0; i < bucket->count; ++i)
            FreeWStr(bucket->At(i)->text);
        bucket->Clear();
    }
}

void TTranslation::AppendRow(const QString *cells, int n)
{
    // The strings are made before the row, so a failed allocation leaves no
    // row with missing cells behind.
    char16_t *made[kTransColumns] = {};
    try {
        for (int c = 0; c < kTransColumns; ++c)
            made[c] = NewWStr(c < n ? cells[c] : QString());
        TransRec *rec = transtable->Add();
        std::memcpy(rec->cells, made, sizeof made);
    } catch (...) {
        for (char16_t *&cell : made)
            FreeWStr(cell);
        throw;
    }
}

void TTranslation::AddIndexEntry(const QString &key, int32_t row)
{
    char16_t *text = NewWStr(key);
    try {
        TransIndexRec *entry = transindex[BucketOf(key)]->Add();
        entry->text = text;
        entry->row = row;
    } catch (...) {
        FreeWStr(text);
        throw;
    }
}

void TTranslation::ReadTable(QIODevice &file)
{
    const int32_t columns = ReadInt32(file);
    const int32_t rows = ReadInt32(file);
    if (columns < 0)
        throw EInOutError("negative column count " + std::to_string(columns));
    if (rows <= 0)
        return;
    if (columns == 0)
        throw EInOutError(std::to_string(rows) + " rows without columns");
    // Every string takes at least its 4-byte count, so at most `fitting`
    // whole rows can follow; of more announced rows the one after them
    // breaks off inside, which ends the loop with the short read.
    const qint64 fitting = BytesLeft(file) / (static_cast<qint64>(columns) * 4);
    const qint64 attempts = rows <= fitting ? rows : fitting + 1;
    QString cells[kTransColumns];
    for (qint64 r = 0; r < attempts; ++r) {
        int32_t got = 0;
        try {
            for (; got < columns; ++got) {
                QString s = ReadStringW(file);
                if (got < kTransColumns)
                    cells[got] = std::move(s);
            }
        } catch (const EInOutError &e) {
            // A row broken after a source text keeps the cells read so far.
            if (got > 0 && !cells[0].isEmpty())
                AppendRow(cells, got < kTransColumns ? got : kTransColumns);
            throw EInOutError(std::string(e.what()) + " in row " + std::to_string(r + 1) + " of "
                              + std::to_string(rows));
        }
        AppendRow(cells, columns < kTransColumns ? columns : kTransColumns);
    }
}

void TTranslation::WriteTable(QIODevice &file) const
{
    WriteInt32(file, kTransColumns);
    WriteInt32(file, static_cast<int32_t>(transtable->count));
    for (uint32_t r = 0; r < transtable->count; ++r) {
        for (const char16_t *cell : transtable->At(r)->cells)
            WriteStringW(file, WStr(cell));
    }
}

void TTranslation::LoadTranslation()
{
    ClearIndex();
    ClearTable();
    damaged_ = false;
    QFile file(dataFile_);
    if (!file.open(QIODevice::ReadOnly)) {
        // A file that is there but cannot be read still holds a
        // translator's work: it must not be replaced without a copy.
        if (QFile::exists(dataFile_)) {
            damaged_ = true;
            ReportDamage(dataFile_, file.errorString(), 0);
        }
        return;
    }
    try {
        ReadTable(file);
    } catch (const EInOutError &e) {
        damaged_ = true;
        ReportDamage(dataFile_, QString::fromLocal8Bit(e.what()), RowCount());
    }
}

void TTranslation::BuildTranslation()
{
    LoadTranslation();
    for (uint32_t r = 0; r < transtable->count; ++r) {
        const char16_t *source = transtable->At(r)->cells[0];
        if (source[0] != 0)
            AddIndexEntry(WStr(source), static_cast<int32_t>(r));
    }
    for (auto *bucket : transindex) {
        if (bucket->count > 0)
            SortIndexBucket(*bucket, 0, static_cast<int32_t>(bucket->count) - 1);
    }
}

bool TTranslation::KeepDamagedCopy()
{
    if (!QFile::exists(dataFile_)) {
        damaged_ = false;
        return true;
    }
    const QString copy = DamagedCopyName(dataFile_);
    if (copy.isEmpty() || !QFile::copy(dataFile_, copy))
        return false;
    damaged_ = false;
    return true;
}

bool TTranslation::SaveTranslation()
{
    if (damaged_ && !KeepDamagedCopy())
        return false;
    return WriteFileSafely(dataFile_, [this](QIODevice &file) { WriteTable(file); }).isEmpty();
}

void TTranslation::SortIndexBucket(TDynaList<TransIndexRec> &bucket, int32_t lo, int32_t hi)
{
    // The smaller part is sorted by recursion and the larger one by the
    // loop, so the stack stays shallow on any input; the order is the same.
    while (lo < hi) {
        int32_t i = lo;
        int32_t j = hi;
        const std::u16string pivot(bucket.At(static_cast<uint32_t>(lo + (hi - lo) / 2))->text);
        do {
            while (CompareW(bucket.At(static_cast<uint32_t>(i))->text, pivot.c_str()) < 0)
                ++i;
            while (CompareW(bucket.At(static_cast<uint32_t>(j))->text, pivot.c_str()) > 0)
                --j;
            if (i <= j) {
                std::swap(*bucket.At(static_cast<uint32_t>(i)), *bucket.At(static_cast<uint32_t>(j)));
                ++i;
                --j;
            }
        } while (i <= j);
        if (j - lo < hi - i) {
            if (lo < j)
                SortIndexBucket(bucket, lo, j);
            lo = i;
        } else {
            if (i < hi)
                SortIndexBucket(bucket, i, hi);
            hi = j;
        }
    }
}

QString TTranslation::TranslateText(const QString &text)
{
    qsizetype leading = 0;
    while (leading < text.size() && text.at(leading) == QLatin1Char(' '))
        ++leading;
    if (leading == text.size())
        return text;
    qsizetype trailing = 0;
    while (text.at(text.size() - 1 - trailing) == QLatin1Char(' '))
        ++trailing;
    const QString key = text.mid(leading, text.size() - leading - trailing);

    TDynaList<TransIndexRec> *bucket = transindex[BucketOf(key)];
    for (uint32_t i = 0; i < bucket->count; ++i) {
        const TransIndexRec *entry = bucket->At(i);
        if (!EqualsKey(entry->text, key))
            continue;
        if (language < 0 || language >= kTransColumns)
            return text;
        const char16_t *cell = transtable->At(static_cast<uint32_t>(entry->row))->cells[language];
        if (cell[0] == 0)
            return text;
        return QString(leading, QLatin1Char(' ')) + TrimControls(cell) + QString(trailing, QLatin1Char(' '));
    }

    QString cells[1] = {key};
    AppendRow(cells, 1);
    AddIndexEntry(key, RowCount() - 1);
    SaveTranslation();
    return text;
}

QString TTranslation::GetMessageText(int32_t n, const QString &result)
{
    const char16_t *german = MessageText(n);
    if (!german)
        return result;
    return TranslateText(QString::fromUtf16(german));
}

void TTranslation::RegisterMessages()
{
    for (int i = 0; i < MessageCount(); ++i)
        TranslateText(QString::fromUtf16(Messages()[i].text));
}

QString TTranslation::Cell(int32_t row, int col) const
{
    if (row < 0 || row >= RowCount() || col < 0 || col >= kTransColumns)
        return QString();
    return WStr(transtable->At(static_cast<uint32_t>(row))->cells[col]);
}

void TTranslation::SetCell(int32_t row, int col, const QString &text)
{
    if (row < 0 || row >= RowCount() || col < 0 || col >= kTransColumns)
        return;
    ReplaceWStr(transtable->At(static_cast<uint32_t>(row))->cells[col], text);
}

void TTranslation::DeleteRow(int32_t row)
{
    if (row < 0 || row >= RowCount())
        return;
    for (char16_t *&cell : transtable->At(static_cast<uint32_t>(row))->cells)
        FreeWStr(cell);
    for (auto *bucket : transindex) {
        uint32_t i = 0;
        while (i < bucket->count) {
            TransIndexRec *entry = bucket->At(i);
            if (entry->row == row) {
                FreeWStr(entry->text);
                bucket->Delete(static_cast<int32_t>(i));
                continue;
            }
            if (entry->row > row)
                entry->row -= 1;
            ++i;
        }
    }
    transtable->Delete(row);
}
