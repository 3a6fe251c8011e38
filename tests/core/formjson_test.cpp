#include "core/commandline.h"
#include "tests/core/formfixtures.h"
#include "core/formjson.h"
#include "core/projectfile.h"

#include <QBuffer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>

#include "testfiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <unistd.h>

namespace {

// Through JSON text and back, as a person's script would see it.
QByteArray ThroughJsonText(const TFormDocument &doc, const TLayoutSettings &s)
{
    return QJsonDocument(FormToJson(doc, s)).toJson(QJsonDocument::Indented);
}

bool FromJsonText(const QByteArray &text, TFormDocument &doc, TLayoutSettings &s, QString *error)
{
    QJsonParseError parse;
    const QJsonDocument json = QJsonDocument::fromJson(text, &parse);
    if (parse.error != QJsonParseError::NoError) {
        *error = parse.errorString();
        return false;
    }
    return FormFromJson(json.object(), doc, s, error);
}

QByteArray FdxThroughJson(const QByteArray &fdx)
{
    QByteArray copy = fdx;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    TFormDocument doc;
    TLayoutSettings s;
    QString error;
    EXPECT_TRUE(ReadProject(buffer, doc, s, &error)) << error.toStdString();
    TFormDocument back;
    TLayoutSettings backSettings;
    EXPECT_TRUE(FromJsonText(ThroughJsonText(doc, s), back, backSettings, &error)) << error.toStdString();
    return WriteToBytes(back, backSettings);
}

double FromBits(quint64 bits)
{
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

// Runs a command-line mode with its standard output going into a file.
int RunWithStdoutTo(const QString &path, int (*mode)(const QStringList &), const QStringList &args)
{
    std::fflush(stdout);
    const int saved = dup(STDOUT_FILENO);
    FILE *out = std::fopen(path.toLocal8Bit().constData(), "wb");
    dup2(fileno(out), STDOUT_FILENO);
    const int rc = mode(args);
    std::fflush(stdout);
    dup2(saved, STDOUT_FILENO);
    close(saved);
    std::fclose(out);
    return rc;
}

} // namespace

// ---- lossless both ways ----

TEST(FormJson, FdxToJsonToFdxIsByteIdentical)
{
    struct Case {
        const char *what;
        bool rich;
        bool nonDefault;
    };
    for (const Case c : {Case{"empty form, default settings", false, false}, Case{"every value set", true, true},
                         Case{"rich form, default settings", true, false}}) {
        TFormDocument doc;
        if (c.rich)
            FillRichDocument(doc);
        const TLayoutSettings s = c.nonDefault ? NonDefaultSettings() : TLayoutSettings();
        const QByteArray fdx = WriteToBytes(doc, s);
        EXPECT_EQ(FdxThroughJson(fdx).toHex(), fdx.toHex()) << c.what;
    }
}

TEST(FormJson, SampleProjectRoundTripsAndMatchesItsJsonSource)
{
    const QByteArray fdx = ReadFileBytes(QStringLiteral(FORMIDEX_DATA_DIR "/test.fdx"));
    ASSERT_FALSE(fdx.isEmpty());
    EXPECT_EQ(FdxThroughJson(fdx), fdx);

    // test.fdx is generated from test.json; the two must not drift apart.
    TFormDocument doc;
    TLayoutSettings s;
    QString error;
    ASSERT_TRUE(FromJsonText(ReadFileBytes(QStringLiteral(FORMIDEX_DATA_DIR "/test.json")), doc, s, &error))
        << error.toStdString();
    EXPECT_EQ(WriteToBytes(doc, s), fdx);
    EXPECT_GE(doc.KatCount(), 4);
}

TEST(FormJson, EveryDoubleSurvivesBitForBit)
{
    const double special[] = {
        std::numeric_limits<double>::quiet_NaN(),
        FromBits(0x7FF0000000000001ULL), // a signalling NaN with a payload
        FromBits(0xFFF8000000000000ULL), // a negative NaN
        -0.0,
        std::numeric_limits<double>::infinity(),
        -std::numeric_limits<double>::infinity(),
        std::numeric_limits<double>::denorm_min(),
        std::numeric_limits<double>::max(),
        0.1,
        1.0 / 3.0,
        -1e-300,
        9007199254740993.0,
    };
    std::mt19937_64 random(20240611);
    QList<double> values(std::begin(special), std::end(special));
    for (int i = 0; i < 3000; ++i)
        values << FromBits(random());

    TFormDocument doc;
    doc.AddKat(QStringLiteral("Zahlen"));
    for (double v : values) {
        ProdRec *p = doc.AddProd(QStringLiteral("f"), fkText, v, -v);
        BildRec *b = p->bilder->Add();
        b->filename = NewWStr(QString());
        b->width = v;
    }
    doc.Kat(0)->props = TFormDocument::NewKatProps(QString(), QString(), -0.0, 0, false);

    const QByteArray text = ThroughJsonText(doc, TLayoutSettings());
    EXPECT_TRUE(text.contains("\"-0\""));
    EXPECT_TRUE(text.contains("\"NaN\""));
    EXPECT_TRUE(text.contains("\"NaN:0x7FF0000000000001\""));
    EXPECT_TRUE(text.contains("\"-Infinity\""));
    TFormDocument back;
    TLayoutSettings s;
    QString error;
    ASSERT_TRUE(FromJsonText(text, back, s, &error)) << error.toStdString();
    EXPECT_EQ(DocumentDifference(doc, back), "");
}

TEST(FormJson, ColoursAreReadableAndLossless)
{
    struct Case {
        TColorRef stored;
        const char *json;
    };
    const Case cases[] = {
        {0x00800000, "#000080"},    {0x00112233, "#332211"},    {0x00000000, "#000000"},
        {0xFF000008, "0xFF000008"}, {0xFF00000F, "0xFF00000F"}, {0x01234567, "0x01234567"},
    };
    for (const Case &c : cases) {
        TLayoutSettings s;
        s.Shape4 = c.stored;
        s.FontDialog3.color = c.stored;
        const QJsonObject json = FormToJson(TFormDocument(), s);
        EXPECT_EQ(json["settings"]["Shape4"].toString(), QString::fromLatin1(c.json));
        EXPECT_EQ(json["settings"]["FontDialog3"]["color"].toString(), QString::fromLatin1(c.json));
        TFormDocument doc;
        TLayoutSettings back;
        QString error;
        ASSERT_TRUE(FormFromJson(json, doc, back, &error)) << error.toStdString();
        EXPECT_EQ(back.Shape4, c.stored) << c.json;
        EXPECT_EQ(back.FontDialog3.color, c.stored) << c.json;
    }
    // Numbers and short hex forms are accepted too.
    TFormDocument doc;
    TLayoutSettings back;
    QString error;
    ASSERT_TRUE(FromJsonText(R"({"settings": {"Shape1": 255, "Shape2": "0xff", "Shape3": "#0000FF"}})", doc, back,
                             &error))
        << error.toStdString();
    EXPECT_EQ(back.Shape1, 0xFFu);
    EXPECT_EQ(back.Shape2, 0xFFu);
    EXPECT_EQ(back.Shape3, 0x00FF0000u);
}

TEST(FormJson, NamedMembersForPeople)
{
    TFormDocument doc;
    FillRichDocument(doc);
    const QJsonObject json = FormToJson(doc, NonDefaultSettings());
    const QJsonObject field = json["categories"][0]["fields"][1].toObject();
    EXPECT_EQ(field["name"].toString(), QStringLiteral("Lieferung"));
    EXPECT_EQ(field["kind"].toString(), QStringLiteral("check"));
    EXPECT_EQ(field["descr"].toString(), QStringLiteral("zweiter Text"));
    EXPECT_EQ(field["anzpreis"].toInt(), 2);
    EXPECT_EQ(field["varianten"][0][2].toString(), QStringLiteral("9,90"));
    EXPECT_EQ(field["bilder"][1]["filename"].toString(), QStringLiteral("b.gif"));
    EXPECT_EQ(json["categories"][0]["fields"][3]["kind"].toInt(), 7);
    EXPECT_TRUE(json["categories"][1]["props"].isNull());
    EXPECT_EQ(json["categories"][0]["props"]["bildname"].toString(), QStringLiteral("bild.png"));
    EXPECT_EQ(json["settings"]["FontDialog1"]["name"].toString(), QStringLiteral("Times New Roman"));
    EXPECT_EQ(json["settings"]["FontDialog1"].toObject().size(), 7);
    EXPECT_EQ(json["settings"]["BildAlign"].toInt(), 1);
    EXPECT_EQ(json["settings"].toObject().size(), static_cast<qsizetype>(LayoutSettingList().size()));
}

// ---- hand-written files ----

TEST(FormJson, MissingMembersTakeTheirDefaults)
{
    TFormDocument doc;
    TLayoutSettings s = NonDefaultSettings();
    QString error;
    ASSERT_TRUE(FromJsonText(R"({"categories": [{"name": "Kunde", "fields": [{"name": "Name"}, {"kind": "radio"}]},
                                                {"props": {"introtext": "Hallo"}}],
                                 "settings": {"LinksEd": 20, "FontDialog2": {"size": 30}}})",
                             doc, s, &error))
        << error.toStdString();
    ASSERT_EQ(doc.KatCount(), 2);
    const ProdRec *name = doc.Kat(0)->prods->At(0);
    EXPECT_EQ(WStr(name->name), QStringLiteral("Name"));
    EXPECT_EQ(name->kind, fkText);
    EXPECT_EQ(name->width, 6.0);
    EXPECT_EQ(name->height, 1.25);
    EXPECT_EQ(name->anzpreis, 0);
    ASSERT_EQ(name->varianten->count, 1u);
    EXPECT_EQ(name->varianten->At(0)->props->count, 0u);
    EXPECT_EQ(name->bilder->count, 0u);
    EXPECT_EQ(doc.Kat(0)->props, nullptr);
    EXPECT_EQ(doc.Kat(0)->prods->At(1)->kind, fkRadio);
    EXPECT_EQ(WStr(doc.Kat(1)->name), QString());
    ASSERT_NE(doc.Kat(1)->props, nullptr);
    EXPECT_EQ(WStr(doc.Kat(1)->props->introtext), QStringLiteral("Hallo"));
    EXPECT_EQ(doc.Kat(1)->props->bildbreite, 3.0);

    TLayoutSettings expected;
    expected.LinksEd = 20;
    expected.FontDialog2.size = 30;
    EXPECT_EQ(s, expected);
}

TEST(FormJson, SettingsPassThroughTheirControls)
{
    TFormDocument doc;
    TLayoutSettings s;
    QString error;
    ASSERT_TRUE(FromJsonText(R"({"settings": {"LinksEd": 2000, "HellEd": 50.6, "BreitEd3": "NaN", "UntenEd": 1.234}})",
                             doc, s, &error))
        << error.toStdString();
    EXPECT_EQ(s.LinksEd, 1000);
    EXPECT_EQ(s.HellEd, 51);
    EXPECT_EQ(s.BreitEd3, 1);
    EXPECT_EQ(s.UntenEd, 1.23);
}

TEST(FormJson, BadMembersAreNamedByTheirPath)
{
    struct Case {
        const char *json;
        const char *error;
    };
    const Case cases[] = {
        {R"({"settings": {"LinksEd": "zwölf"}})", "settings.LinksEd: expected a number"},
        {R"({"settings": {"Linksed": 12}})", "settings.Linksed: unknown member"},
        {R"({"settings": {"CapsCheck": 1}})", "settings.CapsCheck: expected true or false"},
        {R"({"settings": {"FirstPageNr": 1.5}})", "settings.FirstPageNr: expected a whole number"},
        {R"({"settings": {"FirstPageNr": 3000000000}})", "settings.FirstPageNr: expected a whole number"},
        {R"({"settings": {"BildAlign": 3}})", "settings.BildAlign: expected a whole number from 0 to 2"},
        {R"({"settings": {"Shape5": "#12345"}})", "settings.Shape5: expected a colour"},
        {R"({"settings": {"Shape5": -1}})", "settings.Shape5: expected a whole number"},
        {R"({"settings": {"FontDialog4": {"style": 256}}})", "settings.FontDialog4.style: expected a whole number"},
        {R"({"settings": {"FontDialog4": {"colour": 0}}})", "settings.FontDialog4.colour: unknown member"},
        {R"({"settings": {"KopfEd": "Ωmega"}})", "settings.KopfEd: holds characters that Windows-1252 cannot store"},
        {R"({"settings": []})", "settings: expected an object"},
        {R"({"categories": {}})", "categories: expected an array"},
        {R"({"categories": [{}, {"fields": [{}, {"kind": "box"}]}]})", "categories[1].fields[1].kind: expected"},
        {R"({"categories": [{"fields": [{"varianten": [["a", 5]]}]}]})",
         "categories[0].fields[0].varianten[0][1]: expected a string"},
        {R"({"categories": [{"fields": [{"bilder": [{"width": true}]}]}]})",
         "categories[0].fields[0].bilder[0].width: expected a number"},
        {R"({"categories": [{"props": 5}]})", "categories[0].props: expected an object"},
        {R"({"categories": [{"name": "a\u0000b"}]})", "categories[0].name: holds a zero character"},
        {R"({"kategorien": []})", "kategorien: unknown member"},
    };
    for (const Case &c : cases) {
        TFormDocument doc;
        TLayoutSettings s;
        QString error;
        EXPECT_FALSE(FromJsonText(c.json, doc, s, &error)) << c.json;
        EXPECT_TRUE(error.startsWith(QString::fromUtf8(c.error))) << c.json << " gave: " << error.toStdString();
    }
    TFormDocument doc;
    TLayoutSettings s;
    QString error;
    EXPECT_FALSE(FromJsonText(
        QJsonDocument(QJsonObject{{"settings", QJsonObject{{"FontDialog1", QJsonObject{{"name", QString(256, 'a')}}}}}})
            .toJson(),
        doc, s, &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("settings.FontDialog1.name: a face name has at most 255")));
}

// ---- the command-line modes ----

class FormJsonCommandLine : public ::testing::Test {
protected:
    QString Path(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }
    void Write(const QString &path, const QByteArray &bytes) { ASSERT_TRUE(WriteFileBytes(path, bytes)); }
    QTemporaryDir dir;
};

TEST_F(FormJsonCommandLine, ToJsonThenFromJsonGivesTheSameFile)
{
    TFormDocument doc;
    FillRichDocument(doc);
    const QByteArray fdx = WriteToBytes(doc, NonDefaultSettings());
    Write(Path("in.fdx"), fdx);
    ASSERT_EQ(RunWithStdoutTo(Path("form.json"), CmdToJson, {Path("in.fdx")}), 0);
    ASSERT_EQ(CmdFromJson({Path("form.json"), Path("out.fdx")}), 0);
    EXPECT_EQ(ReadFileBytes(Path("out.fdx")), fdx);
}

TEST_F(FormJsonCommandLine, ErrorsExitNonZeroAndWriteNothing)
{
    const QByteArray old("old project");
    Write(Path("out.fdx"), old);
    Write(Path("broken.json"), "{\"categories\": [");
    Write(Path("wrong.json"), R"({"settings": {"LinksEd": true}})");
    Write(Path("array.json"), "[]");
    Write(Path("cut.fdx"), QByteArray::fromHex("01000000"));
    for (const char *json : {"broken.json", "wrong.json", "array.json", "missing.json"})
        EXPECT_NE(CmdFromJson({Path(json), Path("out.fdx")}), 0) << json;
    EXPECT_EQ(ReadFileBytes(Path("out.fdx")), old);
    EXPECT_NE(CmdFromJson({Path("wrong.json")}), 0);
    EXPECT_NE(RunWithStdoutTo(Path("cut.json"), CmdToJson, {Path("cut.fdx")}), 0);
    EXPECT_NE(RunWithStdoutTo(Path("none.json"), CmdToJson, {Path("missing.fdx")}), 0);
}
