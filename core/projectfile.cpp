#include "core/projectfile.h"

#include "core/codepage.h"
#include "core/document.h"
#include "core/dynaarray.h"
#include "core/safefile.h"
#include "layout/settings.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <cstring>
#include <new>
#include <stdexcept>

namespace {

// Smallest number of bytes one item of a counted list takes in the file; a
// count that the remaining bytes cannot hold is refused before any loop.
constexpr qint64 kMinCategory = 4 + 4;              // empty name, no fields
constexpr qint64 kMinField = 4 + 4 + 4 + 8 + 8 + 4 + 4 + 4; // A4..A11 with empty texts and lists
constexpr qint64 kMinVariantRow = 4;                // cell count
constexpr qint64 kMinCell = 4;                      // empty text
constexpr qint64 kMinPicture = 8 + 4;               // width, empty file name
constexpr qint64 kMinKatProps = 1;                  // present byte 0

class EReadError : public std::runtime_error {
public:
    explicit EReadError(const QString &text) : std::runtime_error("project file"), text_(text) {}
    const QString &text() const { return text_; }

private:
    QString text_;
};

// Reads the values of the file and knows, for the error message, which item
// it is reading. The context is kept as plain numbers and names and turned
// into text only when something breaks, so that reading stays cheap.
class TReader {
public:
    explicit TReader(QIODevice &file) : f(file) {}

    void Part(const char *name)
    {
        part = name;
        depth = 0;
    }
    // A level of the context: "field 2 of 5", or just the name when count is 0.
    void Enter(const char *name, int32_t index, int32_t count)
    {
        Q_ASSERT(depth < kMaxDepth);
        levels[depth++] = {name, index, count};
    }
    void Leave() { --depth; }
    void Item(const char *name)
    {
        item = name;
        start = f.pos();
    }

    bool AtEnd() { return BytesLeft(f) <= 0; }

    void Need(qint64 n)
    {
        if (n > BytesLeft(f))
            Fail(QStringLiteral("the file ends inside %1").arg(Where()));
    }
    uint8_t Byte()
    {
        Need(1);
        uint8_t b;
        ReadBytes(f, &b, 1);
        return b;
    }
    bool Bool() { return Byte() != 0; }
    int32_t Int()
    {
        Need(4);
        return ReadInt32(f);
    }
    double Real()
    {
        Need(8);
        uchar bytes[8];
        ReadBytes(f, bytes, 8);
        const quint64 bits = qFromLittleEndian<quint64>(bytes);
        double d;
        std::memcpy(&d, &bits, sizeof d);
        return d;
    }
    // int32 byte count, then Windows-1252 text.
    QString Text()
    {
        const int32_t n = Int();
        if (n < 0)
            Fail(QStringLiteral("negative text length %1 in %2").arg(n).arg(Where()));
        Need(n);
        QByteArray bytes(n, Qt::Uninitialized);
        ReadBytes(f, bytes.data(), n);
        return FromAnsi(bytes);
    }
    // n UTF-16LE code units.
    QString Wide(int n)
    {
        Need(2 * static_cast<qint64>(n));
        QByteArray raw(2 * n, Qt::Uninitialized);
        ReadBytes(f, raw.data(), raw.size());
        QString s(n, Qt::Uninitialized);
        for (int i = 0; i < n; ++i)
            s[i] = QChar(qFromLittleEndian<quint16>(raw.constData() + 2 * i));
        return s;
    }
    // A count read from the file: negative counts read nothing; a count whose
    // items cannot fit into the rest of the file is refused.
    int32_t Count(qint64 minItemBytes)
    {
        const int32_t n = Int();
        if (n <= 0)
            return 0;
        const qint64 left = BytesLeft(f);
        if (static_cast<qint64>(n) * minItemBytes > left)
            Fail(QStringLiteral("%1 is %2, more than the remaining %3 bytes can hold").arg(Where()).arg(n).arg(left));
        return n;
    }

    [[noreturn]] void Fail(const QString &what) const
    {
        throw EReadError(QStringLiteral("%1 (byte %2)").arg(what).arg(start));
    }

private:
    struct Level {
        const char *name;
        int32_t index;
        int32_t count;
    };

    QString Where() const
    {
        QString w = QString::fromUtf8(part);
        for (int i = 0; i < depth; ++i) {
            w += QStringLiteral(", ") + QString::fromUtf8(levels[i].name);
            if (levels[i].count > 0)
                w += QStringLiteral(" %1 of %2").arg(levels[i].index + 1).arg(levels[i].count);
        }
        return w + QStringLiteral(": ") + QString::fromUtf8(item);
    }

    QIODevice &f;
    const char *part = "";
    static constexpr int kMaxDepth = 4; // category, field, variant row or picture, cell
    Level levels[kMaxDepth] = {};
    int depth = 0;
    const char *item = "";
    qint64 start = 0;
};

void ReadField(TReader &r, TFormDocument &doc, KatRec *k)
{
    // The two texts come first, so a field is only added once its strings
    // exist; every pointer of a field record is then valid even in a file
    // that breaks off inside it.
    r.Item("name");
    const QString name = r.Text();
    r.Item("descr");
    const QString descr = r.Text();

    ProdRec *p = k->prods->Add();
    p->name = NewWStr(name);
    p->descr = NewWStr(descr);
    p->varianten = doc.NewVarList();
    p->bilder = doc.NewBildList();

    r.Item("anzpreis");
    p->anzpreis = r.Int();
    r.Item("width");
    p->width = r.Real();
    r.Item("height");
    p->height = r.Real();
    r.Item("kind");
    p->kind = r.Int();

    r.Item("variant row count");
    const int32_t rows = r.Count(kMinVariantRow);
    for (int32_t v = 0; v < rows; ++v) {
        r.Enter("variant row", v, rows);
        VarRec *row = p->varianten->Add();
        row->props = doc.NewPropList();
        TDynaList<PropRec> *props = row->props;
        r.Item("cell count");
        const int32_t cells = r.Count(kMinCell);
        for (int32_t c = 0; c < cells; ++c) {
            r.Enter("cell", c, cells);
            r.Item("text");
            const QString text = r.Text();
            props->Add()->text = NewWStr(text);
            r.Leave();
        }
        r.Leave();
    }

    r.Item("picture count");
    const int32_t pictures = r.Count(kMinPicture);
    for (int32_t b = 0; b < pictures; ++b) {
        r.Enter("picture", b, pictures);
        r.Item("width");
        const double width = r.Real();
        r.Item("filename");
        const QString filename = r.Text();
        BildRec *bild = p->bilder->Add();
        bild->width = width;
        bild->filename = NewWStr(filename);
        r.Leave();
    }
}

void ReadCategories(TReader &r, TFormDocument &doc)
{
    r.Part("the categories");
    r.Item("category count");
    const int32_t kats = r.Count(kMinCategory);
    for (int32_t i = 0; i < kats; ++i) {
        r.Enter("category", i, kats);
        r.Item("name");
        KatRec *k = doc.AddKat(r.Text());
        r.Item("field count");
        const int32_t fields = r.Count(kMinField);
        for (int32_t j = 0; j < fields; ++j) {
            r.Enter("field", j, fields);
            ReadField(r, doc, k);
            r.Leave();
        }
        r.Leave();
    }
}

TFontSetting ReadFont(TReader &r)
{
    // One temporary font, copied into the setting only when complete.
    TFontSetting font;
    r.Item("charset");
    font.charset = r.Byte();
    r.Item("color");
    font.color = static_cast<TColorRef>(r.Int());
    r.Item("face name length");
    const int length = r.Byte();
    r.Item("face name");
    font.name = r.Wide(length);
    r.Item("pitch");
    font.pitch = r.Byte();
    r.Item("ppi"); // before the size: the size is taken at this resolution
    font.ppi = r.Int();
    r.Item("size");
    font.size = r.Int();
    r.Item("style");
    font.style = r.Byte();
    return font;
}

// Each value goes into its setting as it arrives, as the control would take it.
void ReadSetting(TReader &r, TLayoutSettings &s, const TSettingInfo &info)
{
    r.Item(info.name);
    switch (info.type) {
    case TSettingType::Text:
        s.*info.text = r.Text();
        break;
    case TSettingType::Real:
        s.*info.real = info.spin->Take(r.Real());
        break;
    case TSettingType::Integer:
        s.*info.integer = info.spin->TakeInt(r.Int());
        break;
    case TSettingType::Boolean:
        s.*info.boolean = r.Bool();
        break;
    case TSettingType::Colour:
        s.*info.colour = static_cast<TColorRef>(r.Int());
        break;
    case TSettingType::Font:
        r.Enter(info.name, 0, 0);
        s.*info.font = ReadFont(r);
        r.Leave();
        break;
    case TSettingType::Choice: {
        // Only 0, 1 and 2 name a button; anything else leaves the group as it is.
        const int32_t v = r.Int();
        if (v >= 0 && v <= 2)
            s.*info.integer = v;
        break;
    }
    }
}

void ReadSection(TReader &r, TLayoutSettings &s, TFileSection section)
{
    for (const TSettingInfo &info : LayoutSettingList())
        if (info.section == section)
            ReadSetting(r, s, info);
}

void ReadKatProps(TReader &r, TFormDocument &doc)
{
    r.Part("the category properties");
    r.Item("entry count");
    const int32_t entries = r.Count(kMinKatProps);
    for (int32_t i = 0; i < entries; ++i) {
        r.Enter("entry", i, entries);
        r.Item("present");
        if (r.Bool()) {
            r.Item("introtext");
            const QString introtext = r.Text();
            r.Item("bildname");
            const QString bildname = r.Text();
            r.Item("bildbreite");
            const double bildbreite = r.Real();
            r.Item("bildpos");
            const int32_t bildpos = r.Int();
            r.Item("textunter");
            const bool textunter = r.Bool();
            // Entries beyond the categories are read and dropped.
            if (i < doc.KatCount()) {
                KatRec *k = doc.Kat(i);
                TFormDocument::FreeKatProps(k->props);
                k->props = TFormDocument::NewKatProps(introtext, bildname, bildbreite, bildpos, textunter);
            }
        }
        r.Leave();
    }
}

void ReadAll(TReader &r, TFormDocument &doc, TLayoutSettings &s)
{
    ReadCategories(r, doc);
    r.Part("the layout settings");
    ReadSection(r, s, TFileSection::B);
    r.Part("the fonts");
    ReadSection(r, s, TFileSection::C);

    // The sections later versions appended, each read only while the file
    // goes on; what a shorter file lacks keeps its current value.
    r.Part("the optional settings");
    for (TFileSection d : {TFileSection::D1, TFileSection::D2, TFileSection::D3, TFileSection::D4, TFileSection::D5,
                           TFileSection::D6, TFileSection::D7}) {
        if (r.AtEnd())
            return;
        ReadSection(r, s, d);
    }
    if (r.AtEnd())
        return;
    ReadKatProps(r, doc);
    if (r.AtEnd())
        return;
    r.Part("the line settings");
    ReadSection(r, s, TFileSection::D9);
}

// Collects the bytes in memory and hands them to the device in large pieces.
class TWriter {
public:
    explicit TWriter(QIODevice &file) : f(file) {}

    void Byte(uint8_t b) { buf.append(static_cast<char>(b)); }
    void Bool(bool b) { Byte(b ? 1 : 0); }
    void Int(int32_t v)
    {
        uchar bytes[4];
        qToLittleEndian<qint32>(v, bytes);
        Raw(bytes, 4);
    }
    void Real(double d)
    {
        quint64 bits;
        std::memcpy(&bits, &d, sizeof bits);
        uchar bytes[8];
        qToLittleEndian<quint64>(bits, bytes);
        Raw(bytes, 8);
    }
    void Text(const QString &s)
    {
        const QByteArray bytes = ToAnsi(s);
        Int(static_cast<int32_t>(bytes.size()));
        buf.append(bytes);
        FlushIfFull();
    }
    void Text(const char16_t *s) { Text(WStr(s)); }
    void Wide(const QString &s)
    {
        for (QChar c : s) {
            uchar bytes[2];
            qToLittleEndian<quint16>(c.unicode(), bytes);
            Raw(bytes, 2);
        }
    }
    void Flush()
    {
        WriteBytes(f, buf.constData(), buf.size());
        buf.clear();
    }

private:
    void Raw(const uchar *bytes, int n)
    {
        buf.append(reinterpret_cast<const char *>(bytes), n);
        FlushIfFull();
    }
    void FlushIfFull()
    {
        if (buf.size() >= kChunk)
            Flush();
    }

    static constexpr qsizetype kChunk = 1 << 16;
    QIODevice &f;
    QByteArray buf;
};

void WriteFont(TWriter &w, const TFontSetting &font)
{
    // The length is one byte: longer face names are cut to 255 code units.
    const QString name = font.name.left(255);
    w.Byte(font.charset);
    w.Int(static_cast<int32_t>(font.color));
    w.Byte(static_cast<uint8_t>(name.size()));
    w.Wide(name);
    w.Byte(font.pitch);
    w.Int(font.ppi);
    w.Int(font.size);
    w.Byte(font.style);
}

void WriteSection(TWriter &w, const TLayoutSettings &s, TFileSection section)
{
    for (const TSettingInfo &info : LayoutSettingList()) {
        if (info.section != section)
            continue;
        switch (info.type) {
        case TSettingType::Text:
            w.Text(s.*info.text);
            break;
        case TSettingType::Real:
            w.Real(s.*info.real);
            break;
        case TSettingType::Integer:
        case TSettingType::Choice:
            w.Int(s.*info.integer);
            break;
        case TSettingType::Boolean:
            w.Bool(s.*info.boolean);
            break;
        case TSettingType::Colour:
            w.Int(static_cast<int32_t>(s.*info.colour));
            break;
        case TSettingType::Font:
            WriteFont(w, s.*info.font);
            break;
        }
    }
}

void WriteField(TWriter &w, const ProdRec &p)
{
    w.Text(p.name);
    w.Text(p.descr);
    w.Int(p.anzpreis);
    w.Real(p.width);
    w.Real(p.height);
    w.Int(p.kind);
    const uint32_t rows = p.varianten ? p.varianten->count : 0;
    w.Int(static_cast<int32_t>(rows));
    for (uint32_t v = 0; v < rows; ++v) {
        const TDynaList<PropRec> *props = p.varianten->At(v)->props;
        const uint32_t cells = props ? props->count : 0;
        w.Int(static_cast<int32_t>(cells));
        for (uint32_t c = 0; c < cells; ++c)
            w.Text(props->At(c)->text);
    }
    const uint32_t pictures = p.bilder ? p.bilder->count : 0;
    w.Int(static_cast<int32_t>(pictures));
    for (uint32_t b = 0; b < pictures; ++b) {
        const BildRec *bild = p.bilder->At(b);
        w.Real(bild->width);
        w.Text(bild->filename);
    }
}

} // namespace

bool ReadProject(QIODevice &file, TFormDocument &doc, TLayoutSettings &settings, QString *error)
{
    doc.donotupdate = true;
    doc.NewAll();
    QString failure;
    try {
        // Parsing from memory keeps the many small reads cheap (a file's size
        // query is a system call); the bytes are what the file holds anyway.
        QByteArray bytes = file.readAll();
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        TReader r(buffer);
        try {
            ReadAll(r, doc, settings);
        } catch (const EInOutError &e) {
            r.Fail(QString::fromLocal8Bit(e.what()));
        } catch (const std::bad_alloc &) {
            r.Fail(QStringLiteral("not enough memory"));
        }
    } catch (const EReadError &e) {
        failure = e.text();
    }
    doc.donotupdate = false;
    if (failure.isEmpty())
        return true;
    if (error)
        *error = failure;
    // The partly read document stays for rescue, untitled so that saving asks
    // for a new name. SetChanged shows the star once the window has its base
    // title; before that it changes nothing, so the flag is set directly too:
    // the rescued copy must count as unsaved either way.
    doc.afilename.clear();
    doc.SetChanged();
    doc.changed = true;
    return false;
}

void WriteProject(QIODevice &file, const TFormDocument &doc, const TLayoutSettings &settings)
{
    TWriter w(file);
    const int32_t kats = doc.KatCount();
    w.Int(kats);
    for (int32_t i = 0; i < kats; ++i) {
        const KatRec *k = doc.Kat(i);
        w.Text(k->name);
        const uint32_t fields = k->prods ? k->prods->count : 0;
        w.Int(static_cast<int32_t>(fields));
        for (uint32_t j = 0; j < fields; ++j)
            WriteField(w, *k->prods->At(j));
    }
    WriteSection(w, settings, TFileSection::B);
    WriteSection(w, settings, TFileSection::C);
    for (TFileSection d : {TFileSection::D1, TFileSection::D2, TFileSection::D3, TFileSection::D4, TFileSection::D5,
                           TFileSection::D6, TFileSection::D7})
        WriteSection(w, settings, d);
    w.Int(kats);
    for (int32_t i = 0; i < kats; ++i) {
        const KatProps *props = doc.Kat(i)->props;
        w.Bool(props != nullptr);
        if (!props)
            continue;
        w.Text(props->introtext);
        w.Text(props->bildname);
        w.Real(props->bildbreite);
        w.Int(props->bildpos);
        w.Bool(props->textunter);
    }
    WriteSection(w, settings, TFileSection::D9);
    w.Flush();
}

bool OpenFileWithName(const QString &path, TFormDocument &doc, TLayoutSettings &settings, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = path + QStringLiteral(": ") + file.errorString();
        return false;
    }
    QString reason;
    const bool ok = ReadProject(file, doc, settings, &reason);
    file.close();
    if (!ok) {
        if (error)
            *error = path + QStringLiteral(": ") + reason;
        return false;
    }
    doc.afilename = QFileInfo(path).absoluteFilePath();
    doc.SetUnChanged();
    return true;
}

bool SaveTheFile(TFormDocument &doc, const TLayoutSettings &settings, QString *error)
{
    if (doc.afilename.isEmpty()) {
        if (error)
            *error = QStringLiteral("the document has no file name yet");
        return false;
    }
    const QString reason =
        WriteFileSafely(doc.afilename, [&](QIODevice &file) { WriteProject(file, doc, settings); });
    if (!reason.isEmpty()) {
        if (error)
            *error = doc.afilename + QStringLiteral(": ") + reason;
        return false;
    }
    return true;
}
