// The print loop and the command-line exports: paper sizes, PDF pages,
// PNG pages equal to the preview, the layout JSON and the errors.

#include "layoutfixture.h"

#include "core/commandline.h"
#include "core/projectfile.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPrinter>
#include <QRegularExpression>

#include <functional>

#include <gtest/gtest.h>

namespace {

int PdfPages(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![a-zA-Z])"));
    return int(QString::fromLatin1(file.readAll()).count(page));
}

TEST(Paper, PageMatchesThePdfPrinter)
{
    struct Case {
        const char *paper;
        int dpi;
    };
    const Case cases[] = {{"A4", 600}, {"a5", 600}, {"Letter", 300}, {"A4", 96}};
    for (const Case &c : cases) {
        QPageLayout paper;
        QString error;
        ASSERT_TRUE(PaperLayout(QString::fromLatin1(c.paper), &paper, &error)) << c.paper;
        QPrinter printer(QPrinter::HighResolution);
        SetUpPdfPrinter(printer, paper, c.dpi);
        const TPrinterPage page = PaperPage(paper, c.dpi);
        const TPrinterPage fromPrinter = PrinterPageOf(printer);
        EXPECT_EQ(page.width, fromPrinter.width) << c.paper << " " << c.dpi;
        EXPECT_EQ(page.height, fromPrinter.height) << c.paper << " " << c.dpi;
        EXPECT_EQ(page.dpi, fromPrinter.dpi);
        // The whole sheet is the printable page.
        EXPECT_NEAR(page.width, paper.fullRectPoints().width() * c.dpi / 72.0, 1.5);
    }
    QPageLayout paper;
    QString error;
    EXPECT_FALSE(PaperLayout(QStringLiteral("B5"), &paper, &error));
    EXPECT_TRUE(error.contains(QLatin1String("B5")));
    // The preview of A4 at 600 dpi at 96 dpi screen resolution.
    TTestForm f;
    EXPECT_EQ(f.PW(), 793);
    EXPECT_EQ(f.PH(), 1122);
}

class PrintTest : public testing::Test {
protected:
    QTemporaryDir dir;
    // Three pages: a field taller than a page, then another.
    static void ThreePages(TTestForm &f)
    {
        f.Kat("A");
        f.Text("hoch", 5, 30);
        f.Text("klein", 5, 1);
    }
    QString Save(TTestForm &f, const QString &name)
    {
        f.doc.afilename = dir.filePath(name);
        QString error;
        EXPECT_TRUE(SaveTheFile(f.doc, f.settings, &error)) << qPrintable(error);
        return f.doc.afilename;
    }
};

TEST_F(PrintTest, PrintLoopPrintsEveryPage)
{
    struct Case {
        bool threePages;
        int pages;
    };
    for (const Case &c : {Case{true, 3}, Case{false, 1}}) {
        TTestForm f;
        if (c.threePages)
            ThreePages(f);
        QPageLayout paper;
        QString error;
        PaperLayout(QStringLiteral("A4"), &paper, &error);
        QPrinter printer(QPrinter::HighResolution);
        SetUpPdfPrinter(printer, paper, 300);
        const QString out = dir.filePath(QStringLiteral("print%1.pdf").arg(c.pages));
        printer.setOutputFileName(out);
        EXPECT_EQ(PrintForm(printer, f.Context(), QStringLiteral("Formular drucken")), c.pages);
        EXPECT_EQ(printer.docName(), QStringLiteral("Formular drucken"));
        EXPECT_EQ(PdfPages(out), c.pages);
    }
}

TEST_F(PrintTest, ExportPdf)
{
    TTestForm f;
    ThreePages(f);
    const QString fdx = Save(f, "form.fdx");
    const QString out = dir.filePath("out.pdf");
    testing::internal::CaptureStdout();
    const int rc = CmdExportPdf({out, fdx, "--printer-dpi", "300"});
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(printed, (out + QStringLiteral(": 3 pages\n")).toStdString());
    EXPECT_EQ(PdfPages(out), 3);

    // A5 is smaller: the tall field no longer fits on the second page either.
    const QString a5 = dir.filePath("a5.pdf");
    testing::internal::CaptureStdout();
    EXPECT_EQ(CmdExportPdf({a5, fdx, "--paper", "A5"}), 0);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(PdfPages(a5), 3);
}

TEST_F(PrintTest, ErrorsNameTheFileAndFail)
{
    TTestForm f;
    const QString fdx = Save(f, "ok.fdx");
    QFile garbage(dir.filePath("garbage.fdx"));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write("\xff\xff\xff\x7f garbage");
    garbage.close();
    const QString missing = dir.filePath("missing.fdx");
    const QString out = dir.filePath("x.pdf");
    struct Case {
        const char *what;
        std::function<int()> run;
        QString mentions;
    };
    const Case cases[] = {
        {"missing file", [&] { return CmdExportPdf({out, missing}); }, missing},
        {"damaged file", [&] { return CmdLayoutJson({garbage.fileName()}); }, garbage.fileName()},
        {"unknown paper", [&] { return CmdExportPdf({out, fdx, "--paper", "B5"}); }, "B5"},
        {"unknown option", [&] { return CmdExportPng({out, fdx, "--colour"}); }, "--colour"},
        {"zoom out of range", [&] { return CmdExportPng({out, fdx, "--zoom", "0"}); }, "--zoom"},
        {"missing file name", [&] { return CmdLayoutJson({}); }, "file"},
        {"unwritable output", [&] { return CmdExportPdf({dir.filePath("no/such/dir/x.pdf"), fdx}); }, "x.pdf"},
    };
    for (const Case &c : cases) {
        testing::internal::CaptureStderr();
        testing::internal::CaptureStdout();
        const int rc = c.run();
        const std::string err = testing::internal::GetCapturedStderr();
        const std::string printed = testing::internal::GetCapturedStdout();
        EXPECT_NE(rc, 0) << c.what;
        EXPECT_NE(err.find(c.mentions.toStdString()), std::string::npos) << c.what << ": " << err;
        EXPECT_TRUE(printed.empty()) << c.what;
    }
}

TEST_F(PrintTest, ExportPngGivesThePreviewPages)
{
    TTestForm f;
    ThreePages(f);
    const QString fdx = Save(f, "form.fdx");
    const QString prefix = dir.filePath("page");
    testing::internal::CaptureStdout();
    EXPECT_EQ(CmdExportPng({prefix, fdx}), 0);
    const std::string printed = testing::internal::GetCapturedStdout();
    for (int page = 1; page <= 3; ++page) {
        const QString name = QStringLiteral("%1-%2.png").arg(prefix).arg(page);
        EXPECT_NE(printed.find(name.toStdString()), std::string::npos);
        QImage png(name);
        ASSERT_FALSE(png.isNull()) << page;
        EXPECT_EQ(png.convertToFormat(QImage::Format_RGB32), f.Paint(page)) << page;
    }
    EXPECT_FALSE(QFile::exists(prefix + "-4.png"));

    const QString one = dir.filePath("one");
    testing::internal::CaptureStdout();
    EXPECT_EQ(CmdExportPng({one, fdx, "--page", "2", "--zoom", "50", "--dpi", "120"}), 0);
    testing::internal::GetCapturedStdout();
    EXPECT_FALSE(QFile::exists(one + "-1.png"));
    QImage png(one + "-2.png");
    EXPECT_EQ(png.width(), f.PW(120, 50));
    EXPECT_EQ(png.height(), f.PH(120, 50));
    EXPECT_EQ(png.convertToFormat(QImage::Format_RGB32), f.Paint(2, false, 120, 50));
}

TEST_F(PrintTest, LayoutJsonHoldsEveryPosition)
{
    TTestForm f;
    f.Kat("A");
    f.Text("a", 6, 1.25);
    f.Radio("Ja", 1);
    f.Check("c", 1);
    f.Kat("B");
    ThreePages(f);
    const QString fdx = Save(f, "form.fdx");
    for (int zoom : {100, 200}) {
        testing::internal::CaptureStdout();
        ASSERT_EQ(CmdLayoutJson({fdx, "--zoom", QString::number(zoom)}), 0);
        const QByteArray printed = QByteArray::fromStdString(testing::internal::GetCapturedStdout());
        QJsonParseError parse;
        const QJsonObject j = QJsonDocument::fromJson(printed, &parse).object();
        ASSERT_EQ(parse.error, QJsonParseError::NoError) << printed.constData();
        const TPageLayout l = f.Layout(96, zoom);
        const TPageGeometry &g = l.geometry;
        EXPECT_EQ(j["dpi"].toInt(), 96);
        EXPECT_EQ(j["zoom"].toDouble(), zoom);
        const std::pair<const char *, int> members[] = {
            {"PW", g.PW},   {"PH", g.PH}, {"left", g.left}, {"top", g.top}, {"right", g.right},
            {"bottom", g.bottom}, {"gap", g.gap}, {"HH", g.HH}, {"FH", g.FH}, {"CT", g.CT},
            {"CL", g.CL},   {"pages", l.pages}};
        for (const auto &m : members)
            EXPECT_EQ(j[m.first].toInt(-1), m.second) << m.first;
        const QJsonObject lh = j["lineHeights"].toObject();
        EXPECT_EQ(lh["header"].toInt(), l.fonts.headerTH);
        EXPECT_EQ(lh["footer"].toInt(), l.fonts.footerTH);
        EXPECT_EQ(lh["heading"].toInt(), l.fonts.headingTH);
        EXPECT_EQ(lh["headingNoFields"].toInt(), l.fonts.headingNoFieldsTH);
        EXPECT_EQ(lh["intro"].toInt(), l.fonts.introTH);
        EXPECT_EQ(lh["textLabel"].toInt(), l.fonts.textLabelTH);
        EXPECT_EQ(lh["checkLabel"].toInt(), l.fonts.checkLabelTH);
        const QJsonArray elements = j["elements"].toArray();
        ASSERT_EQ(elements.size(), qsizetype(l.elements.size()));
        for (qsizetype i = 0; i < elements.size(); ++i) {
            const QJsonObject e = elements[i].toObject();
            const TPlacedElement &want = l.elements[size_t(i)];
            EXPECT_EQ(e["category"].toInt(), want.category);
            EXPECT_EQ(e["page"].toInt(), want.page);
            EXPECT_EQ(e["x"].toDouble(), want.x);
            EXPECT_EQ(e["y"].toInt(), want.y);
            if (want.type == TElementType::Heading) {
                EXPECT_EQ(e["type"].toString(), "heading");
                EXPECT_EQ(e["T"].toInt(), want.T);
            } else {
                EXPECT_EQ(e["type"].toString(), "field");
                EXPECT_EQ(e["field"].toInt(), want.field);
                EXPECT_EQ(e["kind"].toInt(), want.kind);
                EXPECT_EQ(e["w"].toDouble(), want.w) << "fractional widths print exactly";
                EXPECT_EQ(e["h"].toDouble(), want.h);
                EXPECT_EQ(e.contains("labelW"), want.kind == fkRadio);
                if (want.kind == fkRadio) {
                    EXPECT_EQ(e["labelW"].toInt(), want.labelW);
                }
            }
        }
    }
}

TEST_F(PrintTest, LayoutJsonNamesPicturesAndIntroductions)
{
    TTestForm f;
    f.KatWithPicture("A", SolidPng(dir, "p.png", 40, 30, Qt::red), 3, 1, false, "Einleitung");
    f.KatWithPicture("B", SolidPng(dir, "q.png", 40, 30, Qt::red), 1, 0, false);
    const QString fdx = Save(f, "pics.fdx");
    testing::internal::CaptureStdout();
    ASSERT_EQ(CmdLayoutJson({fdx}), 0);
    const QJsonArray elements =
        QJsonDocument::fromJson(QByteArray::fromStdString(testing::internal::GetCapturedStdout()))
            .object()["elements"]
            .toArray();
    QStringList seen;
    for (const QJsonValue &v : elements) {
        const QJsonObject e = v.toObject();
        seen << e["type"].toString() + QLatin1Char('/') + e["placement"].toString();
        if (e["type"] == QLatin1String("picture") || e["type"] == QLatin1String("intro")) {
            EXPECT_GT(e["w"].toInt(), 0);
            EXPECT_GT(e["h"].toInt(), 0);
        }
    }
    EXPECT_EQ(seen, QStringList({"heading/", "picture/below", "intro/", "heading/", "picture/before"}));
}

} // namespace
