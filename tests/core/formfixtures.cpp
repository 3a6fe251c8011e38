#include "tests/core/formfixtures.h"

#include "core/projectfile.h"

#include <QBuffer>
#include <QtEndian>

#include <cstring>
#include <sstream>

namespace {

void AddField(TFormDocument &doc, const QString &name, int32_t kind, double width, double height)
{
    doc.AddProd(name, kind, width, height);
}

// Gives the current field (aprod) carried data: descr, anzpreis, rows, pictures.
void Carry(TFormDocument &doc, const QString &descr, int32_t anzpreis, const QList<QStringList> &rows,
           const QList<QPair<double, QString>> &pictures)
{
    ProdRec *p = doc.aprod;
    ReplaceWStr(p->descr, descr);
    p->anzpreis = anzpreis;
    p->varianten->First();
    while (p->varianten->WhileNext())
        delete doc.avariante->props;
    p->varianten->Clear();
    for (const QStringList &row : rows) {
        VarRec *v = p->varianten->Add();
        v->props = doc.NewPropList();
        TDynaList<PropRec> *props = v->props;
        for (const QString &cell : row)
            props->Add()->text = NewWStr(cell);
    }
    for (const auto &pic : pictures) {
        BildRec *b = p->bilder->Add();
        b->width = pic.first;
        b->filename = NewWStr(pic.second);
    }
}

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

std::string S(const QString &s) { return s.toStdString(); }

} // namespace

void FillRichDocument(TFormDocument &doc)
{
    KatRec *k = doc.AddKat(QStringLiteral("Kunde"));
    k->props = TFormDocument::NewKatProps(QStringLiteral("Bitte ausfüllen.\r\nDanke!"), QStringLiteral("bild.png"),
                                          4.5, 1, true);
    AddField(doc, QStringLiteral("Name"), fkText, 6.0, 1.25);
    AddField(doc, QStringLiteral("Lieferung"), fkCheck, 0.1, 0.55);
    Carry(doc, QStringLiteral("zweiter Text"), 2,
          {{QStringLiteral("rot"), QStringLiteral("groß"), QStringLiteral("9,90"), QStringLiteral("12,50")},
           {QStringLiteral("blau")},
           {}},
          {{2.5, QStringLiteral("a.jpg")}, {0.1, QStringLiteral("b.gif")}});
    AddField(doc, QStringLiteral("Ja"), fkRadio, 1.0 / 3.0, 0.5);
    AddField(doc, QStringLiteral("Alt"), 7, 1e-3, 12345.678);
    Carry(doc, QString(), -4, {}, {});

    doc.AddKat(QStringLiteral("Leer"));

    k = doc.AddKat(QStringLiteral("Größe"));
    k->props = TFormDocument::NewKatProps(QString(), QString(), 3.0, 0, false);
    AddField(doc, QStringLiteral("Zwei\r\nZeilen"), fkText, 18.0, 2.5);
}

TLayoutSettings NonDefaultSettings()
{
    TLayoutSettings s;
    s.FilenameEdit2 = QStringLiteral("hintergrund.png");
    s.FilenameEdit1 = QStringLiteral("mein logo.gif");
    s.LinksEd = 15.5;
    s.ObenEd = 3.25;
    s.RechtsEd = 11;
    s.UntenEd = 7.75;
    s.RandBildEd = 2.5;
    s.CapsCheck = false;
    s.ZentrCheck = false;
    s.FussEd = QStringLiteral("Seite %page%");
    s.FussEd2 = QStringLiteral("%PAGE% - gerade");
    s.KopfEd = QStringLiteral("Kopf äöü");
    s.RahmenCheck = true;
    s.KopfEdmm = 6;
    s.RandKopfEd = 4.5;
    s.FarbRechtKopfCheck = false;
    s.Shape1 = 0x00102030;
    s.FarbrechtFussCheck = false;
    s.Shape2 = 0xFF00000F; // button face, a system colour
    s.LogoChecked = false;
    s.UnterlegeKategorie = false;
    s.KatBereichUnterCheck = false;
    s.Shape3 = 0x00010203;
    s.Shape4 = 0x00A0B0C0;
    s.ZentrFussCheck = true;
    s.PlatzueberEd = 4;
    s.LinkRandFussEd = 6.5;
    s.xchangecheck = true;
    s.FirstPageNr = -3;
    s.BreitEd2 = 12.5;
    s.HochEd2 = 8.25;
    s.HellEd = 77;
    s.SatEd = -20;
    s.SVerh2Check = false;
    s.GrayScaleCheck = true;
    s.LightenCheck = false;
    s.BreitEd3 = 2.75;
    s.HochEd3 = 1.25;
    s.sverhlogo = false;
    s.FontDialog1 = {1, 0x00112233, QStringLiteral("Times New Roman"), 2, 120, 13, fsItalic};
    s.FontDialog2 = {0, 0x00445566, QStringLiteral("Arial"), 1, 96, 20, fsUnderline};
    s.FontDialog3 = {0, 0xFF000012, QStringLiteral("Tahoma"), 0, 72, 15, fsBold | fsItalic};
    s.FontDialog4 = {2, 0x00778899, QStringLiteral("Courier New"), 2, 96, 9, fsStrikeOut};
    s.FontDialog5 = {0, 0x00000001, QStringLiteral("Arial Narrow"), 0, 96, 11, fsBold};
    s.FontDialog6 = {0, 0x000000FF, QStringLiteral("Arial Black"), 0, 144, 9, fsBold};
    s.FontDialog7 = {0, clWindowText, QStringLiteral("Verdana"), 0, 96, 10, 0};
    s.FontDialog8 = {0, 0x00ABCDEF, QStringLiteral("MS Sans Serif"), 0, 96, 8, 0};
    s.FontDialog9 = {0, 0x00FEDCBA, QStringLiteral("Georgia"), 1, 96, 30, fsBold | fsUnderline};
    s.OnlyOneColumnCheck = true;
    s.BildAlign = 1;
    s.ArtNotBlockCheck = true;
    s.PlatzZwischenSpaltenEd = 9.5;
    s.ZentrTabelleCheck = true;
    s.BackgroundColorCheck = false;
    s.Shape5 = 0x00FF0000;
    s.Shape6 = 0x0000FF00;
    s.NoLineBelowVariantsCheck = true;
    s.LineWidthEd = 0.35;
    s.LineWidthEd2 = 1.2;
    s.Shape7 = 0x00EEEEEE;
    s.Shape8 = 0x00111111;
    s.Shape9 = 0x00222222;
    s.Shape10 = 0x00333333;
    s.Shape11 = 0x00444444;
    return s;
}

void CopySetting(TLayoutSettings &to, const TLayoutSettings &from, const TSettingInfo &info)
{
    switch (info.type) {
    case TSettingType::Text:
        to.*info.text = from.*info.text;
        break;
    case TSettingType::Real:
        to.*info.real = from.*info.real;
        break;
    case TSettingType::Integer:
    case TSettingType::Choice:
        to.*info.integer = from.*info.integer;
        break;
    case TSettingType::Boolean:
        to.*info.boolean = from.*info.boolean;
        break;
    case TSettingType::Colour:
        to.*info.colour = from.*info.colour;
        break;
    case TSettingType::Font:
        to.*info.font = from.*info.font;
        break;
    }
}

std::string DocumentDifference(const TFormDocument &a, const TFormDocument &b)
{
    std::ostringstream d;
    if (a.KatCount() != b.KatCount()) {
        d << "category count " << a.KatCount() << " vs " << b.KatCount();
        return d.str();
    }
    for (int32_t i = 0; i < a.KatCount(); ++i) {
        const KatRec *ka = a.Kat(i);
        const KatRec *kb = b.Kat(i);
        d << "category " << i << ": ";
        if (WStr(ka->name) != WStr(kb->name))
            return d.str() + "name " + S(WStr(ka->name)) + " vs " + S(WStr(kb->name));
        if (!ka->props != !kb->props)
            return d.str() + "props present in one only";
        if (ka->props) {
            const KatProps &pa = *ka->props;
            const KatProps &pb = *kb->props;
            if (WStr(pa.introtext) != WStr(pb.introtext) || WStr(pa.bildname) != WStr(pb.bildname) ||
                !SameBits(pa.bildbreite, pb.bildbreite) || pa.bildpos != pb.bildpos || pa.textunter != pb.textunter)
                return d.str() + "props differ";
        }
        if (ka->prods->count != kb->prods->count)
            return d.str() + "field count differs";
        for (uint32_t j = 0; j < ka->prods->count; ++j) {
            const ProdRec &fa = *ka->prods->At(j);
            const ProdRec &fb = *kb->prods->At(j);
            d << "field " << j << ": ";
            if (WStr(fa.name) != WStr(fb.name))
                return d.str() + "name";
            if (WStr(fa.descr) != WStr(fb.descr))
                return d.str() + "descr";
            if (fa.kind != fb.kind || fa.anzpreis != fb.anzpreis)
                return d.str() + "kind or anzpreis";
            if (!SameBits(fa.width, fb.width) || !SameBits(fa.height, fb.height))
                return d.str() + "width or height";
            if (fa.varianten->count != fb.varianten->count)
                return d.str() + "variant row count";
            for (uint32_t v = 0; v < fa.varianten->count; ++v) {
                const TDynaList<PropRec> *ca = fa.varianten->At(v)->props;
                const TDynaList<PropRec> *cb = fb.varianten->At(v)->props;
                if (ca->count != cb->count)
                    return d.str() + "cell count";
                for (uint32_t c = 0; c < ca->count; ++c)
                    if (WStr(ca->At(c)->text) != WStr(cb->At(c)->text))
                        return d.str() + "cell text";
            }
            if (fa.bilder->count != fb.bilder->count)
                return d.str() + "picture count";
            for (uint32_t p = 0; p < fa.bilder->count; ++p)
                if (!SameBits(fa.bilder->At(p)->width, fb.bilder->At(p)->width) ||
                    WStr(fa.bilder->At(p)->filename) != WStr(fb.bilder->At(p)->filename))
                    return d.str() + "picture";
        }
        d.str("");
    }
    return std::string();
}

TFileBytes &TFileBytes::Int(int32_t v)
{
    char b[4];
    qToLittleEndian<qint32>(v, b);
    bytes.append(b, 4);
    return *this;
}

TFileBytes &TFileBytes::Real(double d)
{
    quint64 bits;
    std::memcpy(&bits, &d, 8);
    char b[8];
    qToLittleEndian<quint64>(bits, b);
    bytes.append(b, 8);
    return *this;
}

TFileBytes &TFileBytes::Bool(bool b) { return Byte(b ? 1 : 0); }

TFileBytes &TFileBytes::Byte(uint8_t b)
{
    bytes.append(static_cast<char>(b));
    return *this;
}

TFileBytes &TFileBytes::Text(const QString &latin1)
{
    const QByteArray t = latin1.toLatin1();
    Int(static_cast<int32_t>(t.size()));
    bytes.append(t);
    return *this;
}

TFileBytes &TFileBytes::Font(const TFontSetting &f)
{
    Byte(f.charset).Int(static_cast<int32_t>(f.color)).Byte(static_cast<uint8_t>(f.name.size()));
    for (QChar c : f.name) {
        char b[2];
        qToLittleEndian<quint16>(c.unicode(), b);
        bytes.append(b, 2);
    }
    return Byte(f.pitch).Int(f.ppi).Int(f.size).Byte(f.style);
}

QByteArray EncodeCategories(const TFormDocument &doc)
{
    TFileBytes b;
    b.Int(doc.KatCount());
    for (int32_t i = 0; i < doc.KatCount(); ++i) {
        const KatRec *k = doc.Kat(i);
        b.Text(WStr(k->name)).Int(static_cast<int32_t>(k->prods->count));
        for (uint32_t j = 0; j < k->prods->count; ++j) {
            const ProdRec &p = *k->prods->At(j);
            b.Text(WStr(p.name)).Text(WStr(p.descr)).Int(p.anzpreis).Real(p.width).Real(p.height).Int(p.kind);
            b.Int(static_cast<int32_t>(p.varianten->count));
            for (uint32_t v = 0; v < p.varianten->count; ++v) {
                const TDynaList<PropRec> *cells = p.varianten->At(v)->props;
                b.Int(static_cast<int32_t>(cells->count));
                for (uint32_t c = 0; c < cells->count; ++c)
                    b.Text(WStr(cells->At(c)->text));
            }
            b.Int(static_cast<int32_t>(p.bilder->count));
            for (uint32_t q = 0; q < p.bilder->count; ++q)
                b.Real(p.bilder->At(q)->width).Text(WStr(p.bilder->At(q)->filename));
        }
    }
    return b.bytes;
}

QByteArray EncodeSettings(const TLayoutSettings &s)
{
    TFileBytes b;
    b.Text(s.FilenameEdit2);        // B1
    b.Text(s.FilenameEdit1);        // B2
    b.Real(s.LinksEd);              // B3
    b.Real(s.ObenEd);               // B4
    b.Real(s.RechtsEd);             // B5
    b.Real(s.UntenEd);              // B6
    b.Real(s.RandBildEd);           // B7
    b.Bool(s.CapsCheck);            // B8
    b.Bool(s.ZentrCheck);           // B9
    b.Text(s.FussEd);               // B10
    b.Text(s.FussEd2);              // B11
    b.Text(s.KopfEd);               // B12
    b.Bool(s.RahmenCheck);          // B13
    b.Real(s.KopfEdmm);             // B14
    b.Real(s.RandKopfEd);           // B15
    b.Bool(s.FarbRechtKopfCheck);   // B16
    b.Int(static_cast<int32_t>(s.Shape1)); // B17
    b.Bool(s.FarbrechtFussCheck);   // B18
    b.Int(static_cast<int32_t>(s.Shape2)); // B19
    b.Bool(s.LogoChecked);          // B20
    b.Bool(s.UnterlegeKategorie);   // B21
    b.Bool(s.KatBereichUnterCheck); // B22
    b.Int(static_cast<int32_t>(s.Shape3)); // B23
    b.Int(static_cast<int32_t>(s.Shape4)); // B24
    b.Bool(s.ZentrFussCheck);       // B25
    b.Real(s.PlatzueberEd);         // B26
    b.Real(s.LinkRandFussEd);       // B27
    b.Bool(s.xchangecheck);         // B28
    b.Int(s.FirstPageNr);           // B29
    b.Real(s.BreitEd2);             // B30
    b.Real(s.HochEd2);              // B31
    b.Real(s.HellEd);               // B32
    b.Real(s.SatEd);                // B33
    b.Bool(s.SVerh2Check);          // B34
    b.Bool(s.GrayScaleCheck);       // B35
    b.Bool(s.LightenCheck);         // B36
    b.Real(s.BreitEd3);             // B37
    b.Real(s.HochEd3);              // B38
    b.Bool(s.sverhlogo);            // B39
    return b.bytes;
}

QByteArray EncodeFonts(const TLayoutSettings &s)
{
    TFileBytes b;
    b.Font(s.FontDialog1).Font(s.FontDialog2).Font(s.FontDialog3).Font(s.FontDialog4).Font(s.FontDialog5);
    b.Font(s.FontDialog6).Font(s.FontDialog7).Font(s.FontDialog8).Font(s.FontDialog9);
    return b.bytes;
}

QByteArray EncodeOptional(const TLayoutSettings &s, int d)
{
    TFileBytes b;
    switch (d) {
    case 0:
        b.Bool(s.OnlyOneColumnCheck);
        break;
    case 1:
        b.Int(s.BildAlign);
        break;
    case 2:
        b.Bool(s.ArtNotBlockCheck);
        break;
    case 3:
        b.Real(s.PlatzZwischenSpaltenEd);
        break;
    case 4:
        b.Bool(s.ZentrTabelleCheck);
        break;
    case 5:
        b.Bool(s.BackgroundColorCheck).Int(static_cast<int32_t>(s.Shape5)).Int(static_cast<int32_t>(s.Shape6));
        break;
    case 6:
        b.Bool(s.NoLineBelowVariantsCheck);
        break;
    }
    return b.bytes;
}

QByteArray EncodeKatProps(const TFormDocument &doc)
{
    TFileBytes b;
    b.Int(doc.KatCount());
    for (int32_t i = 0; i < doc.KatCount(); ++i) {
        const KatProps *p = doc.Kat(i)->props;
        b.Bool(p != nullptr);
        if (p)
            b.Text(WStr(p->introtext)).Text(WStr(p->bildname)).Real(p->bildbreite).Int(p->bildpos).Bool(p->textunter);
    }
    return b.bytes;
}

QByteArray EncodeLines(const TLayoutSettings &s)
{
    TFileBytes b;
    b.Real(s.LineWidthEd).Real(s.LineWidthEd2);
    for (TColorRef c : {s.Shape7, s.Shape8, s.Shape9, s.Shape10, s.Shape11})
        b.Int(static_cast<int32_t>(c));
    return b.bytes;
}

QByteArray EncodeFile(const TFormDocument &doc, const TLayoutSettings &s)
{
    QByteArray all = EncodeCategories(doc) + EncodeSettings(s) + EncodeFonts(s);
    for (int d = 0; d < 7; ++d)
        all += EncodeOptional(s, d);
    return all + EncodeKatProps(doc) + EncodeLines(s);
}

QByteArray WriteToBytes(const TFormDocument &doc, const TLayoutSettings &s)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    WriteProject(buffer, doc, s);
    return bytes;
}
