#include "tests/core/formfixtures.h"
#include "core/projectfile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "testfiles.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cmath>
#include <limits>
#include <sys/resource.h>

namespace {

struct ReadResult {
    bool ok;
    QString error;
};

ReadResult ReadBytesInto(const QByteArray &bytes, TFormDocument &doc, TLayoutSettings &s)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    ReadResult r;
    r.ok = ReadProject(buffer, doc, s, &r.error);
    return r;
}

QByteArray Hex(const char *hex) { return QByteArray::fromHex(hex); }

// Everything after part A of a document with default settings.
QByteArray DefaultTail(const TFormDocument &doc)
{
    const TLayoutSettings s;
    QByteArray tail = EncodeSettings(s) + EncodeFonts(s);
    for (int d = 0; d < 7; ++d)
        tail += EncodeOptional(s, d);
    return tail + EncodeKatProps(doc) + EncodeLines(s);
}

} // namespace

// ---- the format, byte for byte ----

TEST(ProjectFileFormat, ExampleCategoryIsWrittenExactlyAndFollowedByTheSettings)
{
    TFormDocument doc;
    doc.AddKat(QStringLiteral("Kunde"));
    doc.AddProd(QStringLiteral("Name"), fkText, 6.0, 1.25);
    const TLayoutSettings s;
    const QByteArray a = Hex("01000000"
                             "05000000 4B756E6465"
                             "01000000"
                             "04000000 4E616D65"
                             "00000000"
                             "00000000"
                             "0000000000001840"
                             "000000000000F43F"
                             "00000000"
                             "01000000 00000000"
                             "00000000");
    const QByteArray written = WriteToBytes(doc, s);
    ASSERT_GE(written.size(), a.size());
    EXPECT_EQ(written.left(a.size()).toHex(' '), a.toHex(' '));
    // Part B follows directly: B1, the empty background file name, then B2.
    EXPECT_EQ(written.mid(a.size(), 8).toHex(' '), Hex("00000000 17000000").toHex(' '));
    EXPECT_EQ(written.mid(a.size()), DefaultTail(doc));
}

TEST(ProjectFileFormat, WriterFollowsTheFormatItemByItem)
{
    // The independent encoder lists B1..B39, the fonts and D1..D9 one item
    // per line; any swapped or mistyped item shows here.
    TFormDocument doc;
    FillRichDocument(doc);
    const TLayoutSettings s = NonDefaultSettings();
    EXPECT_EQ(WriteToBytes(doc, s).toHex(), EncodeFile(doc, s).toHex());
    // One setting at a time off its default, so that two neighbours of the
    // same type and value cannot hide a swap.
    for (const TSettingInfo &info : LayoutSettingList()) {
        TLayoutSettings one;
        CopySetting(one, s, info);
        EXPECT_EQ(WriteToBytes(doc, one).toHex(), EncodeFile(doc, one).toHex()) << info.name;
    }
}

TEST(ProjectFileFormat, EmptyDocumentIsCountZeroDirectlyFollowedBySettings)
{
    TFormDocument doc;
    const QByteArray written = WriteToBytes(doc, TLayoutSettings());
    EXPECT_EQ(written.left(4), Hex("00000000"));
    EXPECT_EQ(written.mid(4), DefaultTail(doc));

    TFormDocument back;
    TLayoutSettings s;
    ASSERT_TRUE(ReadBytesInto(written, back, s).ok);
    EXPECT_EQ(back.KatCount(), 0);
    EXPECT_EQ(back.akat, nullptr);
}

TEST(ProjectFileFormat, UmlautsAreOneBytePerLetter)
{
    TFormDocument doc;
    doc.AddKat(QStringLiteral("Größe"));
    const QByteArray written = WriteToBytes(doc, TLayoutSettings());
    EXPECT_EQ(written.mid(4, 9).toHex(' '), Hex("05000000 4772F6DF65").toHex(' '));

    TFormDocument back;
    TLayoutSettings s;
    ASSERT_TRUE(ReadBytesInto(written, back, s).ok);
    EXPECT_EQ(WStr(back.Kat(0)->name), QStringLiteral("Größe"));
}

TEST(ProjectFileFormat, TwoLineLabelKeepsCarriageReturnAndLineFeed)
{
    TFormDocument doc;
    doc.AddKat(QStringLiteral("K"));
    doc.AddProd(QStringLiteral("Erste\r\nZweite"), fkText, 6.0, 1.25);
    const QByteArray written = WriteToBytes(doc, TLayoutSettings());
    // A1, A2 "K", A3, then A4: 13 bytes with 0D 0A in the middle.
    EXPECT_EQ(written.mid(13, 17).toHex(' '), Hex("0D000000 4572737465 0D0A 5A7765697465").toHex(' '));

    TFormDocument back;
    TLayoutSettings s;
    ASSERT_TRUE(ReadBytesInto(written, back, s).ok);
    EXPECT_EQ(WStr(back.Kat(0)->prods->At(0)->name), QStringLiteral("Erste\r\nZweite"));
}

TEST(ProjectFileFormat, FaceNameIsUtf16WithAOneByteLength)
{
    TLayoutSettings s;
    s.FontDialog1 = {0, clWindowText, QStringLiteral("Arial Black"), 0, 96, 24, fsBold};
    const QByteArray written = WriteToBytes(TFormDocument(), s);
    const qsizetype c1 = 4 + EncodeSettings(s).size();
    // charset, colour, then L = 11 and 22 bytes of UTF-16LE, then pitch.
    EXPECT_EQ(written.mid(c1, 1 + 4 + 1 + 22 + 1).toHex(' '),
              Hex("00 080000FF 0B 41007200690061006C00200042006C00610063006B00 00").toHex(' '));
}

TEST(ProjectFileFormat, FaceNameLongerThanTheLengthByteIsCutTo255)
{
    TLayoutSettings s;
    s.FontDialog1.name = QString(300, QLatin1Char('x'));
    TFormDocument back;
    TLayoutSettings read;
    ASSERT_TRUE(ReadBytesInto(WriteToBytes(TFormDocument(), s), back, read).ok);
    EXPECT_EQ(read.FontDialog1.name, QString(255, QLatin1Char('x')));
}

// ---- reading ----

TEST(ProjectFileRead, EveryValueOfEveryPartSurvivesARoundTrip)
{
    TFormDocument doc;
    FillRichDocument(doc);
    const TLayoutSettings s = NonDefaultSettings();
    const TLayoutSettings defaults;
    for (const TSettingInfo &info : LayoutSettingList()) {
        TLayoutSettings one = defaults;
        CopySetting(one, s, info);
        EXPECT_NE(one, defaults) << info.name << " is at its default in the fixture";
    }

    TFormDocument back;
    TLayoutSettings read;
    const ReadResult r = ReadBytesInto(WriteToBytes(doc, s), back, read);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(DocumentDifference(doc, back), "");
    EXPECT_EQ(read, s);
    EXPECT_FALSE(back.changed);
    EXPECT_FALSE(back.donotupdate);
}

TEST(ProjectFileRead, EarlyVersionEndingAfterTheNinthFontKeepsTheLaterSettings)
{
    TFormDocument doc;
    FillRichDocument(doc);
    const QByteArray early = EncodeCategories(doc) + EncodeSettings(TLayoutSettings()) + EncodeFonts(TLayoutSettings());

    TFormDocument back;
    TLayoutSettings current = NonDefaultSettings();
    const TLayoutSettings before = current;
    const ReadResult r = ReadBytesInto(early, back, current);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(back.KatCount(), 3);
    for (int32_t i = 0; i < back.KatCount(); ++i)
        EXPECT_EQ(back.Kat(i)->props, nullptr) << i;
    // Parts B and C come from the file (defaults here); everything later
    // keeps what it held before.
    TLayoutSettings expected = before;
    for (const TSettingInfo &info : LayoutSettingList())
        if (info.section == TFileSection::B || info.section == TFileSection::C)
            CopySetting(expected, TLayoutSettings(), info);
    EXPECT_EQ(current, expected);
}

TEST(ProjectFileRead, CategoryPropertiesWithFewerOrMoreEntriesThanCategories)
{
    TFormDocument doc;
    for (const char *name : {"A", "B", "C"})
        doc.AddKat(QString::fromLatin1(name));
    const TLayoutSettings s = NonDefaultSettings();
    QByteArray head = EncodeCategories(doc) + EncodeSettings(s) + EncodeFonts(s);
    for (int d = 0; d < 7; ++d)
        head += EncodeOptional(s, d);

    struct Case {
        const char *what;
        int entries;
        int expectProps;
    };
    for (const Case c : {Case{"fewer", 1, 1}, Case{"more", 5, 3}}) {
        TFileBytes d8;
        d8.Int(c.entries);
        for (int i = 0; i < c.entries; ++i)
            d8.Bool(true).Text(QStringLiteral("Intro %1").arg(i)).Text(QStringLiteral("b%1.png").arg(i)).Real(i + 0.5)
                .Int(i % 2).Bool(i % 2 == 0);
        TFormDocument back;
        TLayoutSettings read;
        const ReadResult r = ReadBytesInto(head + d8.bytes + EncodeLines(s), back, read);
        ASSERT_TRUE(r.ok) << c.what << ": " << r.error.toStdString();
        ASSERT_EQ(back.KatCount(), 3);
        for (int i = 0; i < 3; ++i) {
            const KatProps *p = back.Kat(i)->props;
            if (i >= c.expectProps) {
                EXPECT_EQ(p, nullptr) << c.what << " " << i;
                continue;
            }
            ASSERT_NE(p, nullptr) << c.what << " " << i;
            EXPECT_EQ(WStr(p->introtext), QStringLiteral("Intro %1").arg(i));
            EXPECT_EQ(WStr(p->bildname), QStringLiteral("b%1.png").arg(i));
            EXPECT_EQ(p->bildbreite, i + 0.5);
            EXPECT_EQ(p->bildpos, i % 2);
            EXPECT_EQ(p->textunter, i % 2 == 0);
        }
        // D9 after the discarded entries still lands in its settings.
        EXPECT_EQ(read.Shape9, s.Shape9) << c.what;
        EXPECT_EQ(read.LineWidthEd, s.LineWidthEd) << c.what;
    }
}

TEST(ProjectFileRead, PictureAlignmentOutsideZeroToTwoChangesNothing)
{
    struct Case {
        int32_t stored;
        int32_t expected;
    };
    for (const Case c : {Case{0, 0}, Case{1, 1}, Case{2, 2}, Case{3, 1}, Case{-1, 1}, Case{1000, 1}}) {
        TLayoutSettings s;
        s.BildAlign = c.stored;
        TFormDocument back;
        TLayoutSettings read;
        read.BildAlign = 1;
        ASSERT_TRUE(ReadBytesInto(EncodeFile(TFormDocument(), s), back, read).ok);
        EXPECT_EQ(read.BildAlign, c.expected) << c.stored;
    }
}

TEST(ProjectFileRead, ValuesPassThroughTheControls)
{
    TLayoutSettings s;
    s.LinksEd = 2000;                                   // margin bounds 0..1000
    s.ObenEd = -4;
    s.RechtsEd = std::numeric_limits<double>::quiet_NaN();
    s.UntenEd = 12.346;                                 // two decimals
    s.HellEd = 50.7;                                    // whole numbers 1..100
    s.SatEd = 900;                                      // -100..200
    s.BreitEd2 = 0.2;                                   // 1..10000
    s.FirstPageNr = -42;                                // no bounds
    QByteArray bytes = EncodeFile(TFormDocument(), s);
    bytes[4 + 4 + 4 + 23 + 8 * 5] = 0x7F; // B8 CapsCheck: any non-zero byte is true
    TFormDocument back;
    TLayoutSettings read;
    read.CapsCheck = false;
    ASSERT_TRUE(ReadBytesInto(bytes, back, read).ok);
    EXPECT_EQ(read.LinksEd, 1000);
    EXPECT_EQ(read.ObenEd, 0);
    EXPECT_EQ(read.RechtsEd, 0);
    EXPECT_EQ(read.UntenEd, 12.35);
    EXPECT_EQ(read.HellEd, 51);
    EXPECT_EQ(read.SatEd, 200);
    EXPECT_EQ(read.BreitEd2, 1);
    EXPECT_EQ(read.FirstPageNr, -42);
    EXPECT_TRUE(read.CapsCheck);
    EXPECT_EQ(static_cast<uint8_t>(WriteToBytes(back, read)[4 + 4 + 4 + 23 + 8 * 5]), 1);
}

TEST(ProjectFileRead, NegativeCountsReadNothing)
{
    TFileBytes a;
    a.Int(1).Text(QStringLiteral("K")).Int(-7); // a category whose field count is negative
    TFormDocument back;
    TLayoutSettings read;
    const ReadResult r =
        ReadBytesInto(a.bytes + EncodeSettings(TLayoutSettings()) + EncodeFonts(TLayoutSettings()), back, read);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    ASSERT_EQ(back.KatCount(), 1);
    EXPECT_EQ(back.Kat(0)->prods->count, 0u);
}

// ---- damaged files ----

TEST(ProjectFileDamage, NegativeTextLengthIsAClearError)
{
    TFileBytes a;
    a.Int(1).Int(-5).Int(0).Int(0);
    TFormDocument back;
    TLayoutSettings read;
    const ReadResult r = ReadBytesInto(a.bytes, back, read);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, QStringLiteral("negative text length -5 in the categories, category 1 of 1: name (byte 4)"));
}

TEST(ProjectFileDamage, CountsBeyondTheRemainingBytesFailAtOnce)
{
    struct Case {
        const char *what;
        QByteArray bytes;
        const char *where;
    };
    const QByteArray kilobyte(1024, '\0');
    auto field = [] { return TFileBytes().Text("N").Text("").Int(0).Real(1).Real(1).Int(0).bytes; };
    const Case cases[] = {
        {"categories", TFileBytes().Int(2000000000).bytes + kilobyte, "the categories: category count is 2000000000"},
        {"fields", TFileBytes().Int(1).Text("K").Int(100).bytes + QByteArray(3999, '\0'),
         "category 1 of 1: field count is 100"},
        {"variant rows", TFileBytes().Int(1).Text("K").Int(1).bytes + field() + TFileBytes().Int(0x7FFFFFFF).bytes +
                             kilobyte,
         "field 1 of 1: variant row count is 2147483647"},
        {"cells", TFileBytes().Int(1).Text("K").Int(1).bytes + field() + TFileBytes().Int(1).Int(300).bytes + kilobyte,
         "variant row 1 of 1: cell count is 300"},
        {"pictures", TFileBytes().Int(1).Text("K").Int(1).bytes + field() + TFileBytes().Int(0).Int(100).bytes + kilobyte,
         "field 1 of 1: picture count is 100"},
        {"text", TFileBytes().Int(1).Int(1000000).bytes + kilobyte, "the file ends inside the categories, category 1 of 1: name"},
        {"category properties",
         EncodeFile(TFormDocument(), TLayoutSettings()).chopped(EncodeLines(TLayoutSettings()).size() + 4) +
             TFileBytes().Int(1000000).bytes,
         "the category properties: entry count is 1000000"},
    };
    for (const Case &c : cases) {
        TFormDocument back;
        TLayoutSettings read;
        const ReadResult r = ReadBytesInto(c.bytes, back, read);
        EXPECT_FALSE(r.ok) << c.what;
        EXPECT_TRUE(r.error.contains(QString::fromLatin1(c.where))) << c.what << ": " << r.error.toStdString();
    }
}

TEST(ProjectFileDamage, EveryTruncationOpensCleanlyOrReportsWhereItBroke)
{
    TFormDocument doc;
    FillRichDocument(doc);
    const TLayoutSettings s = NonDefaultSettings();
    const QByteArray full = WriteToBytes(doc, s);

    // Where a file may end: after the fonts and after each optional section.
    QList<qsizetype> ends;
    qsizetype at = EncodeCategories(doc).size() + EncodeSettings(s).size() + EncodeFonts(s).size();
    ends << at;
    for (int d = 0; d < 7; ++d)
        ends << (at += EncodeOptional(s, d).size());
    ends << (at += EncodeKatProps(doc).size());
    ends << (at += EncodeLines(s).size());
    ASSERT_EQ(at, full.size());

    const qsizetype partB = EncodeCategories(doc).size();
    const qsizetype partC = partB + EncodeSettings(s).size();
    for (qsizetype cut = 0; cut <= full.size(); ++cut) {
        QString title;
        TFormDocument back;
        back.maincap = QStringLiteral("Formular");
        back.titleChanged = [&](const QString &t) { title = t; };
        TLayoutSettings read;
        const ReadResult r = ReadBytesInto(full.left(cut), back, read);
        EXPECT_FALSE(back.donotupdate) << cut;
        EXPECT_TRUE(back.afilename.isEmpty()) << cut;
        if (ends.contains(cut)) {
            EXPECT_TRUE(r.ok) << cut << ": " << r.error.toStdString();
            EXPECT_FALSE(back.changed) << cut;
            continue;
        }
        ASSERT_FALSE(r.ok) << cut;
        EXPECT_TRUE(back.changed) << cut;
        EXPECT_EQ(title, QStringLiteral("Formular - [unbenannt.fdx*]")) << cut;
        // Either the item is cut, or a count announces more than is left.
        EXPECT_TRUE(r.error.startsWith(QStringLiteral("the file ends inside ")) ||
                    r.error.contains(QStringLiteral("bytes can hold")))
            << cut << ": " << r.error.toStdString();
        EXPECT_TRUE(r.error.endsWith(QStringLiteral(")"))) << cut;
        const char *part = cut < partB      ? "the categories"
                           : cut < partC    ? "the layout settings"
                           : cut < ends[0]  ? "the fonts"
                           : cut < ends[7]  ? "the optional settings"
                           : cut < ends[8]  ? "the category properties"
                                            : "the line settings";
        EXPECT_TRUE(r.error.contains(QString::fromLatin1(part))) << cut << ": " << r.error.toStdString();
        // What was read stays: a cut after part A keeps every category and field.
        if (cut >= partB) {
            ASSERT_EQ(back.KatCount(), doc.KatCount()) << cut;
            for (int32_t i = 0; i < doc.KatCount(); ++i)
                EXPECT_EQ(back.Kat(i)->prods->count, doc.Kat(i)->prods->count) << cut;
        }
    }
}

TEST(ProjectFileDamage, MessagesNameTheSectionAndItem)
{
    TFormDocument doc;
    FillRichDocument(doc);
    const TLayoutSettings s = NonDefaultSettings();
    const QByteArray full = WriteToBytes(doc, s);
    const qsizetype b = EncodeCategories(doc).size();
    const qsizetype c = b + EncodeSettings(s).size();
    qsizetype d = c + EncodeFonts(s).size();
    const qsizetype d6 = d + 1 + 4 + 1 + 8 + 1;
    const qsizetype d8 = d6 + 9 + 1;
    const qsizetype d9 = d8 + EncodeKatProps(doc).size();
    struct Case {
        qsizetype cut;
        QString message;
    };
    const Case cases[] = {
        {2, QStringLiteral("the file ends inside the categories: category count (byte 0)")},
        {b + 21, QStringLiteral("the file ends inside the layout settings: FilenameEdit1 (byte %1)").arg(b + 19)},
        {c + 7, QStringLiteral("the file ends inside the fonts, FontDialog1: face name (byte %1)").arg(c + 6)},
        {d6 + 3, QStringLiteral("the file ends inside the optional settings: Shape5 (byte %1)").arg(d6 + 1)},
        {d8 + 8, QStringLiteral("the file ends inside the category properties, entry 1 of 3: introtext (byte %1)")
                     .arg(d8 + 5)},
        {d9 + 20, QStringLiteral("the file ends inside the line settings: Shape8 (byte %1)").arg(d9 + 20)},
    };
    for (const Case &k : cases) {
        TFormDocument back;
        TLayoutSettings read;
        EXPECT_EQ(ReadBytesInto(full.left(k.cut), back, read).error, k.message) << k.cut;
    }
}

TEST(ProjectFileDamage, RescueBeforeTheWindowHasItsTitleStillCountsAsUnsaved)
{
    // No maincap yet: SetChanged alone would leave the flag false.
    TFormDocument back;
    TLayoutSettings read;
    ASSERT_FALSE(ReadBytesInto(Hex("0100"), back, read).ok);
    EXPECT_TRUE(back.changed);
}

// ---- files on disk ----

class ProjectFileOnDisk : public ::testing::Test {
protected:
    QString Path(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }
    void Write(const QString &path, const QByteArray &bytes) { ASSERT_TRUE(WriteFileBytes(path, bytes)); }
    QByteArray Read(const QString &path) { return ReadFileBytes(path); }
    QTemporaryDir dir;
};

TEST_F(ProjectFileOnDisk, OpenSetsTheFileNameAndTheTitle)
{
    TFormDocument doc;
    FillRichDocument(doc);
    Write(Path("Kunden.fdx"), WriteToBytes(doc, NonDefaultSettings()));

    TFormDocument back;
    back.maincap = QStringLiteral("Formular");
    back.SetChanged();
    TLayoutSettings read;
    QString error;
    ASSERT_TRUE(OpenFileWithName(Path("Kunden.fdx"), back, read, &error)) << error.toStdString();
    EXPECT_EQ(back.afilename, Path("Kunden.fdx"));
    EXPECT_FALSE(back.changed);
    EXPECT_EQ(back.WindowTitle(), QStringLiteral("Formular - [Kunden.fdx]"));
    EXPECT_EQ(DocumentDifference(doc, back), "");
}

TEST_F(ProjectFileOnDisk, FileThatCannotBeOpenedLeavesTheDocumentAlone)
{
    TFormDocument doc;
    FillRichDocument(doc);
    doc.afilename = QStringLiteral("/somewhere/else.fdx");
    doc.changed = true;
    TLayoutSettings s = NonDefaultSettings();
    QString error;
    EXPECT_FALSE(OpenFileWithName(Path("missing.fdx"), doc, s, &error));
    EXPECT_TRUE(error.startsWith(Path("missing.fdx") + QStringLiteral(": "))) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("No such file"))) << error.toStdString();
    EXPECT_EQ(doc.KatCount(), 3);
    EXPECT_EQ(doc.afilename, QStringLiteral("/somewhere/else.fdx"));
    EXPECT_TRUE(doc.changed);
    EXPECT_EQ(s, NonDefaultSettings());
}

TEST_F(ProjectFileOnDisk, DamagedFileIsKeptForRescueButUntitled)
{
    TFormDocument doc;
    FillRichDocument(doc);
    const QByteArray full = WriteToBytes(doc, TLayoutSettings());
    const QByteArray cut = full.left(EncodeCategories(doc).size() + 30);
    Write(Path("test.fdx"), cut);

    TFormDocument back;
    TLayoutSettings read;
    QString error;
    EXPECT_FALSE(OpenFileWithName(Path("test.fdx"), back, read, &error));
    EXPECT_TRUE(error.startsWith(Path("test.fdx") + QStringLiteral(": the file ends inside the layout settings")))
        << error.toStdString();
    EXPECT_EQ(back.KatCount(), 3);
    EXPECT_TRUE(back.afilename.isEmpty());
    EXPECT_TRUE(back.changed);
    EXPECT_FALSE(back.donotupdate);
    // A save now needs a new name: the damaged file cannot be overwritten by it.
    EXPECT_FALSE(SaveTheFile(back, read, &error));
    EXPECT_EQ(Read(Path("test.fdx")), cut);
}

TEST_F(ProjectFileOnDisk, SaveWritesTheFileAndLeavesTheChangedStateToTheCaller)
{
    TFormDocument doc;
    FillRichDocument(doc);
    doc.maincap = QStringLiteral("Formular");
    doc.SetChanged();
    doc.afilename = Path("neu.fdx");
    QString error;
    ASSERT_TRUE(SaveTheFile(doc, NonDefaultSettings(), &error)) << error.toStdString();
    EXPECT_EQ(Read(Path("neu.fdx")), EncodeFile(doc, NonDefaultSettings()));
    EXPECT_TRUE(doc.changed);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("neu.fdx")});
}

TEST_F(ProjectFileOnDisk, FailedSaveReportsWhyAndKeepsEverything)
{
    TFormDocument doc;
    FillRichDocument(doc);
    doc.changed = true;
    doc.afilename = Path("no/such/folder/x.fdx");
    QString error;
    EXPECT_FALSE(SaveTheFile(doc, TLayoutSettings(), &error));
    EXPECT_TRUE(error.startsWith(Path("no/such/folder/x.fdx") + QStringLiteral(": "))) << error.toStdString();
    EXPECT_GT(error.size(), doc.afilename.size() + 2);
    EXPECT_TRUE(doc.changed);
    EXPECT_EQ(doc.afilename, Path("no/such/folder/x.fdx"));
}

TEST_F(ProjectFileOnDisk, SaveThatFailsMidwayLeavesThePreviousFileWhole)
{
    // A file size limit makes the write fail after the first block, as a full
    // disk would.
    const QByteArray old("the previous project");
    Write(Path("alt.fdx"), old);
    TFormDocument doc;
    for (int i = 0; i < 200; ++i) {
        doc.AddKat(QStringLiteral("Kategorie %1").arg(i));
        for (int j = 0; j < 20; ++j)
            doc.AddProd(QStringLiteral("Feld mit einem etwas längeren Namen %1").arg(j), fkText, 6, 1.25);
    }
    doc.afilename = Path("alt.fdx");

    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto *previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    QString error;
    const bool ok = SaveTheFile(doc, TLayoutSettings(), &error);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_FALSE(ok);
    EXPECT_TRUE(error.startsWith(Path("alt.fdx") + QStringLiteral(": "))) << error.toStdString();
    EXPECT_EQ(Read(Path("alt.fdx")), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("alt.fdx")});
}
