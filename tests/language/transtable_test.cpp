#include "language/transtable.h"

#include "core/dynaarray.h"
#include "tests/language/transbytes.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <random>
#include <string>

namespace {

class TransFile : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString Path() const { return dir.filePath("translate.dat"); }
    QStringList Entries() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot); }

    QTemporaryDir dir;
};

// ---- file layout ----

TEST_F(TransFile, WritesTheLayoutAndReadsItBackByteForByte)
{
    TTranslation t(Path());
    t.BuildTranslation();
    EXPECT_EQ(t.TranslateText("Suchen"), "Suchen");
    EXPECT_EQ(t.TranslateText(QString("Übersetzen")), QString("Übersetzen"));
    t.SetCell(0, 1, "Search");
    t.SetCell(0, 19, "last");
    t.SetCell(1, 3, QString("Vertalen \u20ac"));
    ASSERT_TRUE(t.SaveTranslation());

    const QByteArray expected =
        TableBytes(20, 2, {Row20({"Suchen", "Search", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "last"}),
                           Row20({QString("Übersetzen"), "", "", QString("Vertalen \u20ac")})});
    EXPECT_EQ(ReadAll(Path()), expected);

    TTranslation back(Path());
    back.BuildTranslation();
    ASSERT_EQ(back.RowCount(), 2);
    EXPECT_EQ(back.Cell(0, 19), "last");
    EXPECT_EQ(back.Cell(1, 3), QString("Vertalen \u20ac"));
    ASSERT_TRUE(back.SaveTranslation());
    EXPECT_EQ(ReadAll(Path()), expected);
}

struct ColumnCase {
    const char *name;
    int32_t columns;
};

class ColumnCount : public TransFile, public ::testing::WithParamInterface<ColumnCase> {};

// Files of other column counts load into 20 cells and are written back with 20.
TEST_P(ColumnCount, LoadsIntoTwentyCellsAndWritesTwenty)
{
    const int32_t columns = GetParam().columns;
    std::vector<std::vector<QString>> rows;
    for (int r = 0; r < 2; ++r) {
        std::vector<QString> row;
        for (int c = 0; c < columns; ++c)
            row.push_back(QStringLiteral("r%1c%2").arg(r).arg(c));
        rows.push_back(row);
    }
    ASSERT_TRUE(WriteAll(Path(), TableBytes(columns, 2, rows)));

    TTranslation t(Path());
    t.BuildTranslation();
    ASSERT_EQ(t.RowCount(), 2);
    std::vector<std::vector<QString>> expected;
    for (int r = 0; r < 2; ++r) {
        std::vector<QString> row;
        for (int c = 0; c < 20; ++c) {
            const QString want = c < columns ? QStringLiteral("r%1c%2").arg(r).arg(c) : QString();
            EXPECT_EQ(t.Cell(r, c), want) << "row " << r << " cell " << c;
            row.push_back(want);
        }
        expected.push_back(row);
    }
    ASSERT_TRUE(t.SaveTranslation());
    EXPECT_EQ(ReadAll(Path()), TableBytes(20, 2, expected));
}

INSTANTIATE_TEST_SUITE_P(Files, ColumnCount, ::testing::Values(ColumnCase{"three", 3}, ColumnCase{"twentyFive", 25}),
                         [](const auto &info) { return std::string(info.param.name); });

class RowCountNotPositive : public TransFile, public ::testing::WithParamInterface<int32_t> {};

TEST_P(RowCountNotPositive, LoadsAsAnEmptyTableWithoutComplaint)
{
    // Whatever follows the header is not read.
    ASSERT_TRUE(WriteAll(Path(), Int32Bytes(20) + Int32Bytes(GetParam()) + StringBytes("Suchen")));
    TTranslation t(Path());
    testing::internal::CaptureStderr();
    t.BuildTranslation();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(t.RowCount(), 0);
    EXPECT_EQ(t.TranslateText("Suchen"), "Suchen");
    EXPECT_EQ(t.RowCount(), 1);
    EXPECT_FALSE(QFile::exists(Path() + ".damaged"));
}

INSTANTIATE_TEST_SUITE_P(Files, RowCountNotPositive, ::testing::Values(0, -1, INT_MIN));

TEST_F(TransFile, MissingFileStartsEmptyAndIsCreatedByTheFirstNewText)
{
    TTranslation t(Path());
    testing::internal::CaptureStderr();
    t.BuildTranslation();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(t.RowCount(), 0);
    EXPECT_FALSE(QFile::exists(Path()));
    t.TranslateText("Neu");
    EXPECT_EQ(ReadAll(Path()), TableBytes(20, 1, {Row20({"Neu"})}));
}

// ---- lookup ----

class Lookup : public TransFile {
protected:
    void SetUp() override
    {
        TransFile::SetUp();
        ASSERT_TRUE(WriteAll(Path(), TableBytes(20, 7,
                                                {Row20({"Suchen", "Search ", "Chercher", ""}),
                                                 Row20({"Speichern", "Save"}),
                                                 Row20({"speichern", "save (lower case)"}),
                                                 Row20({"Zeile\n", "Line"}),
                                                 Row20({"Leer", "   "}),
                                                 Row20({"Steuer", "\t Tax\r\n"}),
                                                 Row20({"", "orphan"})})));
        t.BuildTranslation();
        ASSERT_EQ(t.RowCount(), 7);
    }

    TTranslation t{Path()};
};

struct LookupCase {
    int32_t language;
    const char *input;
    const char *expected;
};

TEST_F(Lookup, FollowsTheSpaceAndColumnRules)
{
    const LookupCase cases[] = {
        // The key loses its spaces, the cell its own; the input's are re-added.
        {1, "  Suchen ", "  Search "},
        {2, " Suchen", " Chercher"},
        // An empty cell returns the input as it was.
        {3, "  Suchen ", "  Suchen "},
        {4, "Suchen", "Suchen"},
        // German returns the source text without control characters at its ends.
        {0, "Zeile\n", "Zeile"},
        {0, "  Suchen ", "  Suchen "},
        {1, "Zeile\n", "Line"},
        {1, "Speichern", "Save"},
        {1, "speichern", "save (lower case)"},
        // A cell of only spaces gives an empty text plus the input's spaces.
        {1, " Leer  ", "   "},
        {1, "Leer", ""},
        {1, " Steuer", " Tax"},
        // No column matches a language outside 0..19.
        {20, " Suchen", " Suchen"},
        {-1, "Suchen", "Suchen"},
        {INT_MAX, "Speichern", "Speichern"},
    };
    for (const LookupCase &c : cases) {
        t.language = c.language;
        EXPECT_EQ(t.TranslateText(c.input), QString(c.expected)) << "language " << c.language << " input '" << c.input << "'";
    }
    EXPECT_EQ(t.RowCount(), 7) << "a lookup that finds its row adds none";
}

TEST_F(Lookup, EmptyOrSpaceOnlyTextIsReturnedAndAddsNothing)
{
    const QByteArray before = ReadAll(Path());
    for (const char *text : {"", " ", "    "}) {
        EXPECT_EQ(t.TranslateText(text), QString(text));
    }
    EXPECT_EQ(t.RowCount(), 7);
    EXPECT_EQ(ReadAll(Path()), before);
}

TEST_F(Lookup, NewTextAddsExactlyOneRowAndTheFileEndsWithIt)
{
    const QByteArray before = ReadAll(Path());
    t.language = 1;
    EXPECT_EQ(t.TranslateText("  Neuer Text "), "  Neuer Text ");
    EXPECT_EQ(t.RowCount(), 8);
    EXPECT_EQ(t.Cell(7, 0), "Neuer Text");

    // The file is the old one with its row count raised and the new row appended.
    QByteArray expected = before;
    expected.replace(4, 4, Int32Bytes(8));
    expected += TableBytes(0, 0, {Row20({"Neuer Text"})}).mid(8);
    EXPECT_EQ(ReadAll(Path()), expected);

    TTranslation back(Path());
    back.BuildTranslation();
    ASSERT_EQ(back.RowCount(), 8);
    for (int c = 1; c < 20; ++c)
        EXPECT_EQ(back.Cell(7, c), "");

    // Texts that differ only in their spaces share the row; a tab does not count as a space.
    EXPECT_EQ(t.TranslateText("Neuer Text"), "Neuer Text");
    EXPECT_EQ(t.TranslateText("Neuer Text   "), "Neuer Text   ");
    EXPECT_EQ(t.RowCount(), 8);
    t.TranslateText("\tSuchen");
    EXPECT_EQ(t.RowCount(), 9);
    EXPECT_EQ(t.Cell(8, 0), "\tSuchen");
}

TEST_F(Lookup, TranslationsChangedInTheEditorApplyAtTheNextLookup)
{
    t.language = 3;
    t.SetCell(0, 3, "Zoeken ");
    EXPECT_EQ(t.TranslateText(" Suchen"), " Zoeken");
    // A changed source text keeps matching by the index's own copy until the next load.
    t.SetCell(1, 0, "Sichern");
    t.language = 1;
    EXPECT_EQ(t.TranslateText("Speichern"), "Save");
    EXPECT_EQ(t.Cell(99, 0), "");
    EXPECT_EQ(t.Cell(0, 20), "");
    t.SetCell(7, 0, "ignored");
    t.SetCell(0, -1, "ignored");
    EXPECT_EQ(t.RowCount(), 7);
}

TEST_F(Lookup, DeleteRowRenumbersTheRowsBelow)
{
    t.language = 1;
    t.DeleteRow(1); // "Speichern"
    ASSERT_EQ(t.RowCount(), 6);
    EXPECT_EQ(t.TranslateText("speichern"), "save (lower case)");
    EXPECT_EQ(t.TranslateText("Zeile\n"), "Line");
    EXPECT_EQ(t.TranslateText(" Steuer"), " Tax");
    EXPECT_EQ(t.TranslateText("Suchen"), "Search");
    // The deleted text is new again.
    EXPECT_EQ(t.TranslateText("Speichern"), "Speichern");
    EXPECT_EQ(t.RowCount(), 7);
    EXPECT_EQ(t.Cell(6, 0), "Speichern");
    t.DeleteRow(-1);
    t.DeleteRow(7);
    EXPECT_EQ(t.RowCount(), 7);
    uint32_t entries = 0;
    for (auto *bucket : t.transindex) {
        for (uint32_t i = 0; i < bucket->count; ++i)
            EXPECT_EQ(t.Cell(bucket->At(i)->row, 0), WStr(bucket->At(i)->text));
        entries += bucket->count;
    }
    EXPECT_EQ(entries, 6u) << "every row but the one with an empty source text";
}

// ---- index ----

TEST_F(TransFile, BucketIsTheLowByteOfTheFirstCodeUnit)
{
    ASSERT_TRUE(WriteAll(Path(), TableBytes(20, 4, {Row20({QString("Übersetzen"), "Translate"}), Row20({"Apfel", "apple"}),
                                                    Row20({QString("\u0141\u00f3d\u017a"), "Lodz"}), Row20({"", "x"})})));
    TTranslation t(Path());
    t.BuildTranslation();
    EXPECT_EQ(TTranslation::BucketOf(QString("Übersetzen")), 220);
    ASSERT_EQ(t.transindex[220]->count, 1u);
    EXPECT_EQ(t.transindex[220]->At(0)->row, 0);
    // U+0141 has the low byte 65 and shares the bucket of "A".
    ASSERT_EQ(t.transindex[65]->count, 2u);
    EXPECT_EQ(WStr(t.transindex[65]->At(0)->text), "Apfel");
    EXPECT_EQ(t.transindex[65]->At(1)->row, 2);
    t.language = 1;
    EXPECT_EQ(t.TranslateText(QString("\u0141\u00f3d\u017a")), "Lodz");
    // A new text is appended at its bucket's end, unsorted.
    t.TranslateText("Aal");
    ASSERT_EQ(t.transindex[65]->count, 3u);
    EXPECT_EQ(WStr(t.transindex[65]->At(2)->text), "Aal");
    EXPECT_EQ(t.transindex[65]->At(2)->row, 4);
}

struct BucketFixture {
    TransIndexRec *current = nullptr;
    TDynaList<TransIndexRec> bucket{&current};
    ~BucketFixture()
    {
        for (uint32_t i = 0; i < bucket.count; ++i)
            FreeWStr(bucket.At(i)->text);
    }
    void Add(const std::u16string &text, int32_t row)
    {
        TransIndexRec *e = bucket.Add();
        e->text = NewWStr(QString::fromStdU16String(text));
        e->row = row;
    }
    std::vector<std::u16string> Texts() const
    {
        std::vector<std::u16string> out;
        for (uint32_t i = 0; i < bucket.count; ++i)
            out.emplace_back(bucket.At(i)->text);
        return out;
    }
};

TEST(SortIndexBucket, OrdersByUnsignedCodeUnitsWithPrefixFirst)
{
    BucketFixture f;
    const std::u16string texts[] = {u"ab", u"\uE000", u"a", u"abc", u"B", u"b", u"\u00e4", u"ab", u"A"};
    for (int32_t i = 0; i < 9; ++i)
        f.Add(texts[i], i);
    TTranslation::SortIndexBucket(f.bucket, 0, 8);
    const std::vector<std::u16string> want = {u"A", u"B", u"a", u"ab", u"ab", u"abc", u"b", u"\u00e4", u"\uE000"};
    EXPECT_EQ(f.Texts(), want);
    // Whole records move: each text keeps its row.
    for (uint32_t i = 0; i < f.bucket.count; ++i)
        EXPECT_EQ(std::u16string(f.bucket.At(i)->text), texts[f.bucket.At(i)->row]);
}

TEST(SortIndexBucket, SortsOnlyTheGivenRangeAndLargeBuckets)
{
    BucketFixture f;
    std::mt19937 rng(7);
    std::vector<std::u16string> made;
    for (int32_t i = 0; i < 3000; ++i) {
        std::u16string s;
        const int len = static_cast<int>(rng() % 4);
        for (int k = 0; k < len; ++k)
            s.push_back(static_cast<char16_t>(rng() % 3 == 0 ? 0xFF00 + rng() % 3 : u'a' + rng() % 3));
        s.insert(s.begin(), u'x');
        made.push_back(s);
        f.Add(s, i);
    }
    TTranslation::SortIndexBucket(f.bucket, 10, 2989);
    std::vector<std::u16string> want = made;
    std::sort(want.begin() + 10, want.begin() + 2990);
    EXPECT_EQ(f.Texts(), want);

    // Already sorted and all-equal buckets sort too.
    TTranslation::SortIndexBucket(f.bucket, 0, 2999);
    std::sort(want.begin(), want.end());
    EXPECT_EQ(f.Texts(), want);
    BucketFixture same;
    for (int32_t i = 0; i < 2000; ++i)
        same.Add(u"gleich", i);
    TTranslation::SortIndexBucket(same.bucket, 0, 1999);
    EXPECT_EQ(same.Texts(), std::vector<std::u16string>(2000, u"gleich"));
}

// ---- damaged files ----

QByteArray ThreeRows()
{
    return TableBytes(20, 3, {Row20({"Eins", "One", "Un"}), Row20({"Zwei", "Two", "Deux"}), Row20({"Drei", "Three", "Trois", "Drie"})});
}

struct DamageCase {
    const char *name;
    int fullRows; // rows of ThreeRows() left whole
    int extra;    // bytes of the next row left
    int32_t rowsKept;
    const char *lastEnglish; // English cell of the last kept row
};

QByteArray Truncated(const DamageCase &c)
{
    const QByteArray whole = ThreeRows();
    if (c.fullRows < 0)
        return whole.left(c.extra);
    const std::vector<std::vector<QString>> rows = {Row20({"Eins", "One", "Un"}), Row20({"Zwei", "Two", "Deux"})};
    const int wholeRows = static_cast<int>(
        TableBytes(20, 3, std::vector<std::vector<QString>>(rows.begin(), rows.begin() + c.fullRows)).size());
    return whole.left(wholeRows + c.extra);
}

class Damaged : public TransFile, public ::testing::WithParamInterface<DamageCase> {};

TEST_P(Damaged, KeepsTheRowsReadCopiesTheFileAsideOnceAndTellsOnce)
{
    const DamageCase &c = GetParam();
    const QByteArray damaged = Truncated(c);
    ASSERT_TRUE(WriteAll(Path(), damaged));

    TTranslation t(Path());
    testing::internal::CaptureStderr();
    t.BuildTranslation();
    const int32_t rowsRead = t.RowCount();
    const QString lastEnglish = t.Cell(rowsRead - 1, 1);
    t.language = 1;
    const QString zwei = t.TranslateText("Zwei");
    t.TranslateText("Vier");
    t.TranslateText("Fünf");
    const std::string told = testing::internal::GetCapturedStderr();
    ASSERT_EQ(rowsRead, c.rowsKept);
    EXPECT_EQ(lastEnglish, c.lastEnglish);
    EXPECT_EQ(zwei, c.rowsKept >= 2 ? "Two" : "Zwei");
    EXPECT_NE(told.find(Path().toStdString()), std::string::npos) << told;
    EXPECT_NE(told.find("damaged"), std::string::npos) << told;
    EXPECT_NE(told.find((Path() + ".damaged").toStdString()), std::string::npos) << told;
    EXPECT_EQ(told.find('\n'), told.size() - 1) << "told once: " << told;

    EXPECT_EQ(ReadAll(Path() + ".damaged"), damaged);
    EXPECT_FALSE(QFile::exists(Path() + ".damaged.2")) << "copied aside only before the first rewrite";
    TTranslation back(Path());
    back.BuildTranslation();
    const int32_t added = c.rowsKept >= 2 ? 2 : 3;
    ASSERT_EQ(back.RowCount(), c.rowsKept + added);
    EXPECT_EQ(back.Cell(c.rowsKept + added - 1, 0), QString("Fünf"));
}

INSTANTIATE_TEST_SUITE_P(
    Files, Damaged,
    ::testing::Values(
        // Inside the French cell of row 3 (source 12 bytes, English 14, French
        // count and 3 of its bytes): its source and English text stay.
        DamageCase{"insideThirdRow", 2, 12 + 14 + 4 + 3, 3, "Three"},
        // Inside the source text of row 3: the row is dropped.
        DamageCase{"insideThirdSource", 2, 4 + 3, 2, "Two"},
        // Right after row 2: rows announced that are not there at all.
        DamageCase{"afterSecondRow", 2, 0, 2, "Two"},
        // The header itself is short.
        DamageCase{"shortHeader", -1, 6, 0, ""}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(TransFile, DamagedCopyNeverReplacesAnOlderOne)
{
    const QByteArray older = "an older damaged copy";
    ASSERT_TRUE(WriteAll(Path() + ".damaged", older));
    const QByteArray damaged = ThreeRows().left(40);
    ASSERT_TRUE(WriteAll(Path(), damaged));
    TTranslation t(Path());
    testing::internal::CaptureStderr();
    t.BuildTranslation();
    const std::string told = testing::internal::GetCapturedStderr();
    EXPECT_NE(told.find((Path() + ".damaged.2").toStdString()), std::string::npos) << told;
    ASSERT_TRUE(t.SaveTranslation());
    EXPECT_EQ(ReadAll(Path() + ".damaged"), older);
    EXPECT_EQ(ReadAll(Path() + ".damaged.2"), damaged);
}

TEST_F(TransFile, FileThatCannotBeReadIsNeverReplaced)
{
    // A folder in place of the file stands for one that exists but cannot be opened.
    ASSERT_TRUE(QDir(dir.path()).mkdir("translate.dat"));
    TTranslation t(Path());
    testing::internal::CaptureStderr();
    t.BuildTranslation();
    EXPECT_NE(testing::internal::GetCapturedStderr().find(Path().toStdString()), std::string::npos);
    EXPECT_EQ(t.TranslateText("Neu"), "Neu");
    EXPECT_EQ(t.RowCount(), 1);
    EXPECT_FALSE(t.SaveTranslation());
    EXPECT_TRUE(QFileInfo(Path()).isDir());
}

// ---- counts the file cannot back ----

// Refuses every block above 1 MiB and counts the bytes asked for, so a
// reader that trusts a huge count fails the test instead of the machine.
std::size_t askedBytes = 0;
void *SmallBlocksOnly(std::size_t bytes)
{
    askedBytes += bytes;
    return bytes > (1u << 20) ? nullptr : std::calloc(1, bytes);
}

struct HugeCase {
    const char *name;
    QByteArray bytes;
    int32_t rowsKept;
};

class HugeCount : public ::testing::TestWithParam<HugeCase> {};

TEST_P(HugeCount, FailsAtOnceWithoutLargeAllocation)
{
    QByteArray bytes = GetParam().bytes;
    QBuffer buffer(&bytes);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    TTranslation t(QString{});
    askedBytes = 0;
    const BlockAllocator old = SetBlockAllocator(SmallBlocksOnly);
    EXPECT_THROW(t.ReadTable(buffer), EInOutError);
    SetBlockAllocator(old);
    EXPECT_EQ(t.RowCount(), GetParam().rowsKept);
    EXPECT_LT(askedBytes, 100000u);
}

INSTANTIATE_TEST_SUITE_P(
    Files, HugeCount,
    ::testing::Values(
        HugeCase{"rows", Int32Bytes(20) + Int32Bytes(INT_MAX) + QByteArray(12, '\0'), 0},
        // The one row that can start keeps its source text; the loop over
        // its columns ends with the bytes.
        HugeCase{"columns", Int32Bytes(INT_MAX) + Int32Bytes(1) + StringBytes("Suchen") + QByteArray(100, '\0'), 1},
        HugeCase{"rowsTimesColumns", Int32Bytes(65536) + Int32Bytes(65536) + QByteArray(4096, '\0'), 0},
        // 2 GiB of UTF-16 announced for the English cell.
        HugeCase{"string", Int32Bytes(20) + Int32Bytes(1) + StringBytes("Suchen") + Int32Bytes(1 << 30) + QByteArray(64, 'x'), 1},
        HugeCase{"negativeString", Int32Bytes(20) + Int32Bytes(1) + Int32Bytes(-2) + QByteArray(80, '\0'), 0},
        HugeCase{"negativeColumns", Int32Bytes(-1) + Int32Bytes(1) + QByteArray(80, '\0'), 0},
        HugeCase{"noColumns", Int32Bytes(0) + Int32Bytes(INT_MAX), 0},
        // One column: exactly the three rows the 12 bytes can hold.
        HugeCase{"oneColumn", Int32Bytes(1) + Int32Bytes(INT_MAX) + QByteArray(12, '\0'), 3}),
    [](const auto &info) { return std::string(info.param.name); });

// ---- writing ----

// Makes every write beyond `limit` bytes of a file fail (EFBIG), which
// stops root as well as anyone.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t limit)
    {
        getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lim = old_;
        lim.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &lim);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};

TEST_F(TransFile, FailedWriteLeavesTheOldFileWhole)
{
    const QByteArray old = ThreeRows();
    ASSERT_TRUE(WriteAll(Path(), old));
    TTranslation t(Path());
    t.BuildTranslation();
    const QString longText(400, QLatin1Char('w'));
    {
        FileSizeLimit limit(static_cast<rlim_t>(old.size() + 100));
        EXPECT_EQ(t.TranslateText(longText), longText);
        EXPECT_FALSE(t.SaveTranslation());
    }
    EXPECT_EQ(ReadAll(Path()), old);
    EXPECT_EQ(Entries(), QStringList{"translate.dat"}) << "no temporary file is left behind";
    // The table keeps the row, so the text is not added twice.
    EXPECT_EQ(t.RowCount(), 4);
    t.TranslateText(longText);
    EXPECT_EQ(t.RowCount(), 4);
    ASSERT_TRUE(t.SaveTranslation());
    TTranslation back(Path());
    back.BuildTranslation();
    EXPECT_EQ(back.Cell(3, 0), longText);
}

TEST_F(TransFile, UnwritablePlaceIsSilentAndKeepsTheRows)
{
    ASSERT_TRUE(WriteAll(dir.filePath("plain.txt"), "a file, not a folder"));
    TTranslation t(dir.filePath("plain.txt/translate.dat"));
    testing::internal::CaptureStderr();
    t.BuildTranslation();
    EXPECT_EQ(t.TranslateText("Neu"), "Neu");
    EXPECT_EQ(t.TranslateText("Neu"), "Neu");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(t.RowCount(), 1);
    EXPECT_FALSE(t.SaveTranslation());
}

} // namespace
