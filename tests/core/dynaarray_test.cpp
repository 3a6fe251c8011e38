#include "core/dynaarray.h"

#include <QBuffer>

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <memory>

namespace {

struct Rec {
    int32_t a;
    int32_t b;
    char pad[40];
};
static_assert(sizeof(Rec) == 48);

bool allZero(const void *p, std::size_t n)
{
    const auto *bytes = static_cast<const unsigned char *>(p);
    for (std::size_t i = 0; i < n; ++i)
        if (bytes[i])
            return false;
    return true;
}

void fill(TDynaList<Rec> &list, int n)
{
    for (int i = 0; i < n; ++i) {
        Rec *r = list.Add();
        r->a = i;
        std::memset(r->pad, 0x5A, sizeof r->pad);
    }
}

} // namespace

TEST(DynaArray, CreateHoldsNoBlockAndLeavesTheVariableAlone)
{
    Rec *cur = reinterpret_cast<Rec *>(0x1234);
    TDynaList<Rec> list(&cur);
    EXPECT_EQ(list.count, 0u);
    EXPECT_EQ(list.poi, nullptr);
    EXPECT_EQ(list.amemsize, 0u);
    EXPECT_EQ(list.aobjnr, -1);
    EXPECT_EQ(list.buffersize, 100u);
    EXPECT_EQ(list.size, 48u);
    EXPECT_EQ(cur, reinterpret_cast<Rec *>(0x1234));
}

TEST(DynaArray, EmptyArrayOperationsChangeNothing)
{
    Rec *cur = nullptr;
    TDynaList<Rec> list(&cur);
    list.First();
    EXPECT_EQ(list.aobjnr, -1);
    EXPECT_FALSE(list.WhileNext());
    EXPECT_FALSE(list.Next());
    list.Delete(0);
    list.Change(0, 0);
    EXPECT_EQ(list.count, 0u);
    EXPECT_EQ(list.poi, nullptr);
    EXPECT_EQ(cur, nullptr);
}

TEST(DynaArray, GrowsInStepsOfHundredRecordsAndCopiesThem)
{
    Rec *cur = nullptr;
    TDynaList<Rec> list(&cur);
    fill(list, 100);
    EXPECT_EQ(list.amemsize, 4800u);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(list.At(i)->a, i);

    Rec *r = list.Add();
    EXPECT_EQ(list.amemsize, 9600u);
    EXPECT_EQ(list.count, 101u);
    EXPECT_TRUE(allZero(r, sizeof(Rec)));
    EXPECT_EQ(cur, r);
    EXPECT_EQ(list.aobjnr, 100);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(list.At(i)->a, i);
    // Spare room beyond the last record is zero.
    EXPECT_TRUE(allZero(list.At(101), 99 * sizeof(Rec)));
}

TEST(DynaArray, ShrinksBelowAHundredAndReleasesWhenEmpty)
{
    Rec *cur = nullptr;
    TDynaList<Rec> list(&cur);
    fill(list, 101);
    list.Delete(100);
    EXPECT_EQ(list.amemsize, 4800u);
    EXPECT_EQ(list.count, 100u);
    EXPECT_EQ(list.At(99)->a, 99);
    while (list.count > 0)
        list.Delete(0);
    EXPECT_EQ(list.poi, nullptr);
    EXPECT_EQ(list.amemsize, 0u);
    Rec *r = list.Add();
    EXPECT_TRUE(allZero(r, sizeof(Rec)));
    EXPECT_EQ(list.amemsize, 4800u);
}

TEST(DynaArray, RecordAppendedIntoSpareRoomIsZeroed)
{
    Rec *cur = nullptr;
    TDynaList<Rec> list(&cur);
    fill(list, 5);
    list.Delete(2);
    EXPECT_EQ(list.At(2)->a, 3);
    EXPECT_EQ(list.At(3)->a, 4);
    Rec *r = list.Add(); // lands where the old last record's bytes still lie
    EXPECT_EQ(r, list.At(4));
    EXPECT_TRUE(allZero(r, sizeof(Rec)));
}

TEST(DynaArray, InsertAtEndIsAddAndOutOfRangeChangesNothing)
{
    Rec *cur = nullptr;
    TDynaList<Rec> list(&cur);
    fill(list, 3);
    EXPECT_EQ(list.Insert(4), nullptr);
    EXPECT_EQ(list.Insert(-1), nullptr);
    EXPECT_EQ(list.count, 3u);

    Rec *r = list.Insert(3);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r, list.At(3));
    EXPECT_EQ(cur, r);
    EXPECT_EQ(list.aobjnr, 3);
    EXPECT_TRUE(allZero(r, sizeof(Rec)));

    r = list.Insert(1);
    EXPECT_TRUE(allZero(r, sizeof(Rec)));
    const int expected[] = {0, 0, 1, 2, 0};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(list.At(i)->a, expected[i]) << i;
    EXPECT_EQ(list.aobjnr, 1);
}

TEST(DynaArray, DeleteClearsTheVariableEvenForAnotherRecord)
{
    Rec *cur = nullptr;
    TDynaList<Rec> list(&cur);
    fill(list, 3);
    list.GetObject(0);
    list.Delete(2);
    EXPECT_EQ(cur, nullptr);
    EXPECT_EQ(list.aobj, nullptr);
    EXPECT_EQ(list.aobjnr, -1);
    list.Delete(5); // out of range: ignored, cursor untouched
    list.Delete(-1);
    EXPECT_EQ(list.count, 2u);
}

TEST(DynaArray, ChangeSwapsBytesAndLeavesCursorOnSecond)
{
    Rec *cur = nullptr;
    TDynaList<Rec> list(&cur);
    fill(list, 3);
    list.Change(0, 2);
    EXPECT_EQ(list.At(0)->a, 2);
    EXPECT_EQ(list.At(2)->a, 0);
    EXPECT_EQ(cur, list.At(2));
    EXPECT_EQ(list.aobjnr, 2);
    list.Change(1, 1);
    EXPECT_EQ(list.At(1)->a, 1);
    list.Change(0, 3); // out of range
    list.Change(-1, 0);
    EXPECT_EQ(list.At(0)->a, 2);
}

TEST(DynaArray, IterationIdiomVisitsEveryRecordOnce)
{
    Rec *cur = nullptr;
    TDynaList<Rec> list(&cur);
    fill(list, 250);
    int visited = 0;
    list.First();
    while (list.WhileNext()) {
        EXPECT_EQ(cur->a, visited);
        EXPECT_EQ(list.aobjnr, visited + 1);
        ++visited;
    }
    EXPECT_EQ(visited, 250);
    EXPECT_EQ(list.aobjnr, 250);
    EXPECT_FALSE(list.WhileNext());
}

TEST(DynaArray, NextIsPrefixStyleFromNoCurrentRecord)
{
    Rec *cur = nullptr;
    TDynaList<Rec> list(&cur);
    fill(list, 2);
    list.Delete(1); // no current record now
    ASSERT_EQ(list.aobjnr, -1);
    EXPECT_TRUE(list.Next());
    EXPECT_EQ(list.aobjnr, 0);
    EXPECT_EQ(cur, list.At(0));
    EXPECT_FALSE(list.Next());
    EXPECT_EQ(list.aobjnr, 0);
}

TEST(DynaArray, ArraysSharingAVariableBothWriteIt)
{
    Rec *cur = nullptr;
    TDynaList<Rec> one(&cur);
    TDynaList<Rec> two(&cur);
    fill(one, 2);
    fill(two, 2);
    one.GetObject(1);
    EXPECT_EQ(cur, one.At(1));
    two.First();
    EXPECT_EQ(cur, two.At(0));
    one.Clear();
    EXPECT_EQ(cur, nullptr);
    EXPECT_EQ(one.poi, nullptr);
    EXPECT_EQ(one.amemsize, 0u);
}

namespace {

int allocations = 0;
int failAt = -1;
void *failingAllocator(std::size_t bytes)
{
    if (allocations++ == failAt)
        return nullptr;
    return std::calloc(1, bytes);
}

struct AllocFailure {
    int failAt;
    int recordsBefore; // records added before the failing operation
    bool byDelete;     // the failing operation is a Delete (shrink), else an Add
    const char *place;
};

} // namespace

class DynaArrayOutOfMemory : public ::testing::TestWithParam<AllocFailure> {};

TEST_P(DynaArrayOutOfMemory, ReportsThePlaceAndKeepsTheRecords)
{
    const AllocFailure c = GetParam();
    QString reported;
    SetOutOfMemoryReporter([&](const QString &text) { reported = text; });
    allocations = 0;
    failAt = c.failAt;
    BlockAllocator old = SetBlockAllocator(failingAllocator);

    Rec *cur = nullptr;
    TDynaList<Rec> list(&cur);
    try {
        fill(list, c.recordsBefore);
        if (c.byDelete)
            list.Delete(list.count - 1);
        else
            list.Add();
        ADD_FAILURE() << "no failure raised";
    } catch (const EOutOfMemory &e) {
        EXPECT_EQ(e.text(), reported);
    }
    SetBlockAllocator(old);
    SetOutOfMemoryReporter(nullptr);

    EXPECT_TRUE(reported.startsWith(QStringLiteral("Error ") + c.place + " while trying to allocate ")) << qPrintable(reported);
    EXPECT_TRUE(reported.endsWith(" bytes of RAM. Not enough memory.")) << qPrintable(reported);
    // The array still holds every record it had, intact.
    const uint32_t expectedCount = c.byDelete ? uint32_t(c.recordsBefore - 1) : uint32_t(c.recordsBefore);
    EXPECT_EQ(list.count, c.byDelete ? expectedCount : uint32_t(c.recordsBefore));
    for (uint32_t i = 0; i < list.count && i < expectedCount; ++i)
        EXPECT_EQ(list.At(i)->a, int(i));
}

INSTANTIATE_TEST_SUITE_P(Places, DynaArrayOutOfMemory,
                         ::testing::Values(AllocFailure{0, 0, false, "1"},   // first block
                                           AllocFailure{1, 100, false, "2"}, // growing to 200 records
                                           AllocFailure{2, 101, true, "3"})); // shrinking back to 100

TEST(DynaArray, FirstBlockReportNamesTheBytes)
{
    QString reported;
    SetOutOfMemoryReporter([&](const QString &text) { reported = text; });
    allocations = 0;
    failAt = 0;
    BlockAllocator old = SetBlockAllocator(failingAllocator);
    Rec *cur = nullptr;
    TDynaList<Rec> list(&cur);
    EXPECT_THROW(list.Add(), EOutOfMemory);
    SetBlockAllocator(old);
    SetOutOfMemoryReporter(nullptr);
    EXPECT_EQ(reported, "Error 1 while trying to allocate 4800 bytes of RAM. Not enough memory.");
    EXPECT_EQ(list.count, 0u);
    EXPECT_EQ(list.poi, nullptr);
}

TEST(DynaArray, BlockBeyondThirtyTwoBitsIsRefusedNotWrapped)
{
    SetOutOfMemoryReporter([](const QString &) {});
    // 50 MB records: a block of 100 of them does not fit 32 bits.
    TDynaArray huge(50'000'000u, nullptr);
    EXPECT_THROW(huge.Add(), EOutOfMemory);
    EXPECT_EQ(huge.count, 0u);
    EXPECT_EQ(huge.poi, nullptr);
    SetOutOfMemoryReporter(nullptr);
}

// ---- string primitives ----

namespace {

QByteArray bytesOf(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values)
        b.append(static_cast<char>(v));
    return b;
}

QBuffer *openBuffer(QByteArray *data, QIODevice::OpenMode mode)
{
    auto *buffer = new QBuffer(data);
    buffer->open(mode);
    return buffer;
}

} // namespace

TEST(StringPrimitives, WriteStringWLayoutAndReadBack)
{
    QByteArray data;
    std::unique_ptr<QBuffer> out(openBuffer(&data, QIODevice::WriteOnly));
    WriteStringW(*out, "abc");
    WriteStringW(*out, "");
    EXPECT_EQ(data, bytesOf({3, 0, 0, 0, 0x61, 0, 0x62, 0, 0x63, 0, 0, 0, 0, 0}));
    std::unique_ptr<QBuffer> in(openBuffer(&data, QIODevice::ReadOnly));
    EXPECT_EQ(ReadStringW(*in), "abc");
    EXPECT_EQ(ReadStringW(*in), "");
    EXPECT_EQ(BytesLeft(*in), 0);
}

TEST(StringPrimitives, WriteStringAKeepsBytesAndReadsBack)
{
    QByteArray data;
    std::unique_ptr<QBuffer> out(openBuffer(&data, QIODevice::WriteOnly));
    WriteStringA(*out, QByteArray("Gr\xF6\xDF" "e"));
    EXPECT_EQ(data, bytesOf({5, 0, 0, 0, 0x47, 0x72, 0xF6, 0xDF, 0x65}));
    std::unique_ptr<QBuffer> in(openBuffer(&data, QIODevice::ReadOnly));
    EXPECT_EQ(ReadStringA(*in), QByteArray("Gr\xF6\xDF" "e"));
}

struct BadString {
    const char *what;
    QByteArray bytes;
    bool wide;
};

class StringPrimitivesBadInput : public ::testing::TestWithParam<BadString> {};

TEST_P(StringPrimitivesBadInput, RaisesTheInputOutputError)
{
    QByteArray data = GetParam().bytes;
    std::unique_ptr<QBuffer> in(openBuffer(&data, QIODevice::ReadOnly));
    if (GetParam().wide)
        EXPECT_THROW(ReadStringW(*in), EInOutError);
    else
        EXPECT_THROW(ReadStringA(*in), EInOutError);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StringPrimitivesBadInput,
    ::testing::Values(BadString{"count 5, only 3 bytes", bytesOf({5, 0, 0, 0, 'a', 'b', 'c'}), false},
                      BadString{"negative count", bytesOf({0xFF, 0xFF, 0xFF, 0xFF}), false},
                      BadString{"count cut short", bytesOf({1, 0}), false},
                      BadString{"2 GiB claimed", bytesOf({0xFF, 0xFF, 0xFF, 0x7F, 'x'}), false},
                      BadString{"wide: odd byte missing", bytesOf({2, 0, 0, 0, 'a', 0, 'b'}), true},
                      BadString{"wide: negative", bytesOf({0, 0, 0, 0x80}), true},
                      BadString{"wide: 2 GiB claimed", bytesOf({0xFF, 0xFF, 0xFF, 0x7F, 'x', 0}), true}),
    [](const auto &info) {
        std::string name;
        for (const char *p = info.param.what; *p; ++p)
            if (std::isalnum(static_cast<unsigned char>(*p)))
                name += *p;
        return name;
    });

TEST(StringPrimitives, FailedWriteRaises)
{
    QByteArray data;
    QBuffer readOnly(&data);
    readOnly.open(QIODevice::ReadOnly);
    EXPECT_THROW(WriteStringW(readOnly, "abc"), EInOutError);
}

TEST(HeapStrings, ZeroTerminatedCopies)
{
    char16_t *s = NewWStr("Zeile 1\r\nZeile 2");
    EXPECT_EQ(WStr(s), "Zeile 1\r\nZeile 2");
    EXPECT_EQ(s[16], u'\0');
    ReplaceWStr(s, "");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s[0], u'\0');
    FreeWStr(s);
    EXPECT_EQ(s, nullptr);
    EXPECT_EQ(WStr(nullptr), "");
}
