#include "core/formjson.h"

#include "core/codepage.h"
#include "core/commandline.h"
#include "core/document.h"
#include "core/projectfile.h"
#include "layout/settings.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <QSet>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace {

// Defaults of members a hand-written file leaves out: the size of a new field
// at start and the picture width the category dialog proposes.
constexpr double kDefaultFieldWidth = 6.0;
constexpr double kDefaultFieldHeight = 1.25;
constexpr double kDefaultBildbreite = 3.0;
constexpr quint64 kQuietNaN = 0x7FF8000000000000ULL;

const char *const kKindNames[] = {"text", "check", "radio"};

// ---- writing ----

quint64 Bits(double d)
{
    quint64 bits;
    std::memcpy(&bits, &d, sizeof bits);
    return bits;
}

QJsonValue RealToJson(double d)
{
    if (std::isnan(d)) {
        if (Bits(d) == kQuietNaN)
            return QStringLiteral("NaN");
        return QStringLiteral("NaN:0x") + QStringLiteral("%1").arg(Bits(d), 16, 16, QLatin1Char('0')).toUpper();
    }
    if (std::isinf(d))
        return d > 0 ? QStringLiteral("Infinity") : QStringLiteral("-Infinity");
    if (d == 0 && std::signbit(d))
        return QStringLiteral("-0");
    return d;
}

QJsonValue ColourToJson(TColorRef c)
{
    if ((c >> 24) == 0) {
        const uint32_t rgb = ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
        return QStringLiteral("#%1").arg(rgb, 6, 16, QLatin1Char('0')).toUpper();
    }
    return QStringLiteral("0x") + QStringLiteral("%1").arg(c, 8, 16, QLatin1Char('0')).toUpper();
}

QJsonValue KindToJson(int32_t kind)
{
    if (kind >= 0 && kind <= 2)
        return QString::fromLatin1(kKindNames[kind]);
    return kind;
}

QJsonObject FontToJson(const TFontSetting &f)
{
    QJsonObject o;
    o["charset"] = f.charset;
    o["color"] = ColourToJson(f.color);
    o["name"] = f.name;
    o["pitch"] = f.pitch;
    o["ppi"] = f.ppi;
    o["size"] = f.size;
    o["style"] = f.style;
    return o;
}

QJsonObject FieldToJson(const ProdRec &p)
{
    QJsonObject o;
    o["name"] = WStr(p.name);
    o["descr"] = WStr(p.descr);
    o["kind"] = KindToJson(p.kind);
    o["width"] = RealToJson(p.width);
    o["height"] = RealToJson(p.height);
    o["anzpreis"] = p.anzpreis;
    QJsonArray rows;
    for (uint32_t v = 0; p.varianten && v < p.varianten->count; ++v) {
        const TDynaList<PropRec> *props = p.varianten->At(v)->props;
        QJsonArray cells;
        for (uint32_t c = 0; props && c < props->count; ++c)
            cells.append(WStr(props->At(c)->text));
        rows.append(cells);
    }
    o["varianten"] = rows;
    QJsonArray pictures;
    for (uint32_t b = 0; p.bilder && b < p.bilder->count; ++b) {
        const BildRec *bild = p.bilder->At(b);
        QJsonObject pic;
        pic["width"] = RealToJson(bild->width);
        pic["filename"] = WStr(bild->filename);
        pictures.append(pic);
    }
    o["bilder"] = pictures;
    return o;
}

QJsonValue KatPropsToJson(const KatProps *props)
{
    if (!props)
        return QJsonValue(QJsonValue::Null);
    QJsonObject o;
    o["introtext"] = WStr(props->introtext);
    o["bildname"] = WStr(props->bildname);
    o["bildbreite"] = RealToJson(props->bildbreite);
    o["bildpos"] = props->bildpos;
    o["textunter"] = props->textunter;
    return o;
}

QJsonObject SettingsToJson(const TLayoutSettings &s)
{
    QJsonObject o;
    for (const TSettingInfo &info : LayoutSettingList()) {
        const QString name = QString::fromLatin1(info.name);
        switch (info.type) {
        case TSettingType::Text:
            o[name] = s.*info.text;
            break;
        case TSettingType::Real:
            o[name] = RealToJson(s.*info.real);
            break;
        case TSettingType::Integer:
        case TSettingType::Choice:
            o[name] = s.*info.integer;
            break;
        case TSettingType::Boolean:
            o[name] = s.*info.boolean;
            break;
        case TSettingType::Colour:
            o[name] = ColourToJson(s.*info.colour);
            break;
        case TSettingType::Font:
            o[name] = FontToJson(s.*info.font);
            break;
        }
    }
    return o;
}

// ---- reading ----

class EJsonError : public std::runtime_error {
public:
    EJsonError(const QString &path, const QString &reason)
        : std::runtime_error("json"), text_(path + QStringLiteral(": ") + reason)
    {
    }
    const QString &text() const { return text_; }

private:
    QString text_;
};

QString Member(const QString &path, const QString &name)
{
    return path.isEmpty() ? name : path + QLatin1Char('.') + name;
}

QString Index(const QString &path, qsizetype i) { return path + QStringLiteral("[%1]").arg(i); }

// An object whose members are known: unknown ones are reported, so that a
// misspelt name does not silently fall back to the default.
class TJsonObject {
public:
    TJsonObject(const QJsonValue &v, QString path) : path_(std::move(path))
    {
        if (!v.isObject())
            throw EJsonError(path_, QStringLiteral("expected an object"));
        o_ = v.toObject();
    }
    // The member, or undefined when it is left out.
    QJsonValue Get(const char *name)
    {
        known_.insert(QString::fromLatin1(name));
        return o_.value(QLatin1String(name));
    }
    QString Path(const char *name) const { return Member(path_, QString::fromLatin1(name)); }
    void CheckAllKnown() const
    {
        for (auto it = o_.begin(); it != o_.end(); ++it)
            if (!known_.contains(it.key()))
                throw EJsonError(Member(path_, it.key()), QStringLiteral("unknown member"));
    }

private:
    QJsonObject o_;
    QString path_;
    QSet<QString> known_;
};

QString AsString(const QJsonValue &v, const QString &path)
{
    if (!v.isString())
        throw EJsonError(path, QStringLiteral("expected a string"));
    return v.toString();
}

// A text of the file's 8-bit code page.
QString AsAnsiText(const QJsonValue &v, const QString &path)
{
    const QString s = AsString(v, path);
    if (FromAnsi(ToAnsi(s)) != s)
        throw EJsonError(path, QStringLiteral("holds characters that Windows-1252 cannot store"));
    return s;
}

// A text of a document record, whose strings end at the first zero.
QString AsRecordText(const QJsonValue &v, const QString &path)
{
    const QString s = AsAnsiText(v, path);
    if (s.contains(QChar(0)))
        throw EJsonError(path, QStringLiteral("holds a zero character"));
    return s;
}

bool AsBool(const QJsonValue &v, const QString &path)
{
    if (!v.isBool())
        throw EJsonError(path, QStringLiteral("expected true or false"));
    return v.toBool();
}

double AsReal(const QJsonValue &v, const QString &path)
{
    if (v.isDouble())
        return v.toDouble();
    if (v.isString()) {
        const QString s = v.toString();
        if (s == QLatin1String("NaN"))
            return std::numeric_limits<double>::quiet_NaN();
        if (s == QLatin1String("Infinity"))
            return std::numeric_limits<double>::infinity();
        if (s == QLatin1String("-Infinity"))
            return -std::numeric_limits<double>::infinity();
        if (s == QLatin1String("-0"))
            return -0.0;
        if (s.startsWith(QLatin1String("NaN:0x")) && s.size() == 22) {
            bool ok = false;
            const quint64 bits = s.mid(6).toULongLong(&ok, 16);
            double d;
            std::memcpy(&d, &bits, sizeof d);
            if (ok && std::isnan(d))
                return d;
        }
    }
    throw EJsonError(path, QStringLiteral("expected a number"));
}

int64_t AsInteger(const QJsonValue &v, const QString &path, int64_t lo, int64_t hi)
{
    const double d = v.isDouble() ? v.toDouble() : std::numeric_limits<double>::quiet_NaN();
    if (!(d == std::floor(d)) || d < static_cast<double>(lo) || d > static_cast<double>(hi))
        throw EJsonError(path, QStringLiteral("expected a whole number from %1 to %2").arg(lo).arg(hi));
    return static_cast<int64_t>(d);
}

int32_t AsInt32(const QJsonValue &v, const QString &path)
{
    return static_cast<int32_t>(
        AsInteger(v, path, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

uint8_t AsByte(const QJsonValue &v, const QString &path) { return static_cast<uint8_t>(AsInteger(v, path, 0, 255)); }

TColorRef AsColour(const QJsonValue &v, const QString &path)
{
    if (v.isDouble())
        return static_cast<TColorRef>(AsInteger(v, path, 0, 0xFFFFFFFFLL));
    if (v.isString()) {
        const QString s = v.toString();
        bool ok = false;
        if (s.startsWith(QLatin1Char('#')) && s.size() == 7) {
            const uint32_t rgb = s.mid(1).toUInt(&ok, 16);
            if (ok)
                return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
        } else if (s.startsWith(QLatin1String("0x")) && s.size() > 2 && s.size() <= 10) {
            const uint32_t value = s.mid(2).toUInt(&ok, 16);
            if (ok)
                return value;
        }
    }
    throw EJsonError(path, QStringLiteral("expected a colour: \"#RRGGBB\", \"0x\" and up to 8 hex digits, or a number"));
}

int32_t AsKind(const QJsonValue &v, const QString &path)
{
    if (v.isString()) {
        for (int32_t k = 0; k < 3; ++k)
            if (v.toString() == QLatin1String(kKindNames[k]))
                return k;
        throw EJsonError(path, QStringLiteral("expected \"text\", \"check\", \"radio\" or a number"));
    }
    return AsInt32(v, path);
}

QJsonArray AsArray(const QJsonValue &v, const QString &path)
{
    if (!v.isArray())
        throw EJsonError(path, QStringLiteral("expected an array"));
    return v.toArray();
}

TFontSetting FontFromJson(const QJsonValue &v, const QString &path, TFontSetting font)
{
    TJsonObject o(v, path);
    QJsonValue m;
    if (!(m = o.Get("charset")).isUndefined())
        font.charset = AsByte(m, o.Path("charset"));
    if (!(m = o.Get("color")).isUndefined())
        font.color = AsColour(m, o.Path("color"));
    if (!(m = o.Get("name")).isUndefined()) {
        font.name = AsString(m, o.Path("name"));
        if (font.name.size() > 255)
            throw EJsonError(o.Path("name"), QStringLiteral("a face name has at most 255 characters"));
    }
    if (!(m = o.Get("pitch")).isUndefined())
        font.pitch = AsByte(m, o.Path("pitch"));
    if (!(m = o.Get("ppi")).isUndefined())
        font.ppi = AsInt32(m, o.Path("ppi"));
    if (!(m = o.Get("size")).isUndefined())
        font.size = AsInt32(m, o.Path("size"));
    if (!(m = o.Get("style")).isUndefined())
        font.style = AsByte(m, o.Path("style"));
    o.CheckAllKnown();
    return font;
}

void SettingsFromJson(const QJsonValue &v, const QString &path, TLayoutSettings &s)
{
    TJsonObject o(v, path);
    for (const TSettingInfo &info : LayoutSettingList()) {
        const QJsonValue m = o.Get(info.name);
        if (m.isUndefined())
            continue;
        const QString at = o.Path(info.name);
        switch (info.type) {
        case TSettingType::Text:
            s.*info.text = AsAnsiText(m, at);
            break;
        case TSettingType::Real:
            s.*info.real = info.spin->Take(AsReal(m, at));
            break;
        case TSettingType::Integer:
            s.*info.integer = info.spin->TakeInt(AsInt32(m, at));
            break;
        case TSettingType::Choice:
            s.*info.integer = static_cast<int32_t>(AsInteger(m, at, 0, 2));
            break;
        case TSettingType::Boolean:
            s.*info.boolean = AsBool(m, at);
            break;
        case TSettingType::Colour:
            s.*info.colour = AsColour(m, at);
            break;
        case TSettingType::Font:
            s.*info.font = FontFromJson(m, at, s.*info.font);
            break;
        }
    }
    o.CheckAllKnown();
}

KatProps *KatPropsFromJson(const QJsonValue &v, const QString &path)
{
    TJsonObject o(v, path);
    QString introtext;
    QString bildname;
    double bildbreite = kDefaultBildbreite;
    int32_t bildpos = 0;
    bool textunter = false;
    QJsonValue m;
    if (!(m = o.Get("introtext")).isUndefined())
        introtext = AsRecordText(m, o.Path("introtext"));
    if (!(m = o.Get("bildname")).isUndefined())
        bildname = AsRecordText(m, o.Path("bildname"));
    if (!(m = o.Get("bildbreite")).isUndefined())
        bildbreite = AsReal(m, o.Path("bildbreite"));
    if (!(m = o.Get("bildpos")).isUndefined())
        bildpos = AsInt32(m, o.Path("bildpos"));
    if (!(m = o.Get("textunter")).isUndefined())
        textunter = AsBool(m, o.Path("textunter"));
    o.CheckAllKnown();
    return TFormDocument::NewKatProps(introtext, bildname, bildbreite, bildpos, textunter);
}

void FieldFromJson(const QJsonValue &v, const QString &path, TFormDocument &doc)
{
    TJsonObject o(v, path);
    QJsonValue m;
    QString name;
    QString descr;
    int32_t kind = fkText;
    double width = kDefaultFieldWidth;
    double height = kDefaultFieldHeight;
    int32_t anzpreis = 0;
    if (!(m = o.Get("name")).isUndefined())
        name = AsRecordText(m, o.Path("name"));
    if (!(m = o.Get("descr")).isUndefined())
        descr = AsRecordText(m, o.Path("descr"));
    if (!(m = o.Get("kind")).isUndefined())
        kind = AsKind(m, o.Path("kind"));
    if (!(m = o.Get("width")).isUndefined())
        width = AsReal(m, o.Path("width"));
    if (!(m = o.Get("height")).isUndefined())
        height = AsReal(m, o.Path("height"));
    if (!(m = o.Get("anzpreis")).isUndefined())
        anzpreis = AsInt32(m, o.Path("anzpreis"));

    // Starts as the program creates a field: one variant row without cells.
    ProdRec *p = doc.AddProd(name, kind, width, height);
    p->anzpreis = anzpreis;
    ReplaceWStr(p->descr, descr);

    if (!(m = o.Get("varianten")).isUndefined()) {
        const QJsonArray rows = AsArray(m, o.Path("varianten"));
        TDynaList<VarRec> *varianten = p->varianten;
        varianten->First();
        while (varianten->WhileNext())
            delete doc.avariante->props;
        varianten->Clear();
        for (qsizetype r = 0; r < rows.size(); ++r) {
            const QString rowPath = Index(o.Path("varianten"), r);
            const QJsonArray cells = AsArray(rows[r], rowPath);
            VarRec *row = varianten->Add();
            row->props = doc.NewPropList();
            TDynaList<PropRec> *props = row->props;
            for (qsizetype c = 0; c < cells.size(); ++c) {
                const QString text = AsRecordText(cells[c], Index(rowPath, c));
                props->Add()->text = NewWStr(text);
            }
        }
    }
    if (!(m = o.Get("bilder")).isUndefined()) {
        const QJsonArray pictures = AsArray(m, o.Path("bilder"));
        for (qsizetype b = 0; b < pictures.size(); ++b) {
            TJsonObject pic(pictures[b], Index(o.Path("bilder"), b));
            QJsonValue pm;
            double picWidth = 0;
            QString filename;
            if (!(pm = pic.Get("width")).isUndefined())
                picWidth = AsReal(pm, pic.Path("width"));
            if (!(pm = pic.Get("filename")).isUndefined())
                filename = AsRecordText(pm, pic.Path("filename"));
            pic.CheckAllKnown();
            BildRec *bild = p->bilder->Add();
            bild->width = picWidth;
            bild->filename = NewWStr(filename);
        }
    }
    o.CheckAllKnown();
}

void CategoryFromJson(const QJsonValue &v, const QString &path, TFormDocument &doc)
{
    TJsonObject o(v, path);
    QString name;
    QJsonValue m;
    if (!(m = o.Get("name")).isUndefined())
        name = AsRecordText(m, o.Path("name"));
    KatRec *k = doc.AddKat(name);
    m = o.Get("props");
    if (!m.isUndefined() && !m.isNull())
        k->props = KatPropsFromJson(m, o.Path("props"));
    if (!(m = o.Get("fields")).isUndefined()) {
        const QJsonArray fields = AsArray(m, o.Path("fields"));
        // AddKat left akat on this category; the fields are appended to it.
        for (qsizetype j = 0; j < fields.size(); ++j)
            FieldFromJson(fields[j], Index(o.Path("fields"), j), doc);
    }
    o.CheckAllKnown();
}

// ---- command line ----

void PrintError(const QString &text) { std::fprintf(stderr, "formidex: %s\n", qPrintable(text)); }

} // namespace

QJsonObject FormToJson(const TFormDocument &doc, const TLayoutSettings &settings)
{
    QJsonArray categories;
    for (int32_t i = 0; i < doc.KatCount(); ++i) {
        const KatRec *k = doc.Kat(i);
        QJsonObject cat;
        cat["name"] = WStr(k->name);
        cat["props"] = KatPropsToJson(k->props);
        QJsonArray fields;
        for (uint32_t j = 0; k->prods && j < k->prods->count; ++j)
            fields.append(FieldToJson(*k->prods->At(j)));
        cat["fields"] = fields;
        categories.append(cat);
    }
    QJsonObject o;
    o["categories"] = categories;
    o["settings"] = SettingsToJson(settings);
    return o;
}

bool FormFromJson(const QJsonObject &json, TFormDocument &doc, TLayoutSettings &settings, QString *error)
{
    doc.NewAll();
    settings = TLayoutSettings();
    try {
        TJsonObject o(json, QString());
        QJsonValue m;
        if (!(m = o.Get("categories")).isUndefined()) {
            const QJsonArray categories = AsArray(m, QStringLiteral("categories"));
            for (qsizetype i = 0; i < categories.size(); ++i)
                CategoryFromJson(categories[i], Index(QStringLiteral("categories"), i), doc);
        }
        if (!(m = o.Get("settings")).isUndefined())
            SettingsFromJson(m, QStringLiteral("settings"), settings);
        o.CheckAllKnown();
    } catch (const EJsonError &e) {
        if (error)
            *error = e.text();
        return false;
    }
    return true;
}

int CmdToJson(const QStringList &args)
{
    if (args.size() != 1) {
        PrintError(QStringLiteral("usage: formidex --to-json FILE.fdx"));
        return 2;
    }
    TFormDocument doc;
    TLayoutSettings settings;
    QString error;
    if (!OpenFileWithName(args[0], doc, settings, &error)) {
        PrintError(error);
        return 1;
    }
    const QByteArray json = QJsonDocument(FormToJson(doc, settings)).toJson(QJsonDocument::Indented);
    if (std::fwrite(json.constData(), 1, static_cast<size_t>(json.size()), stdout) != static_cast<size_t>(json.size()) ||
        std::fflush(stdout) != 0) {
        PrintError(QStringLiteral("standard output: the JSON could not be written"));
        return 1;
    }
    return 0;
}

int CmdFromJson(const QStringList &args)
{
    if (args.size() != 2) {
        PrintError(QStringLiteral("usage: formidex --from-json FORM.json OUT.fdx"));
        return 2;
    }
    const QString &jsonPath = args[0];
    QFile file(jsonPath);
    if (!file.open(QIODevice::ReadOnly)) {
        PrintError(jsonPath + QStringLiteral(": ") + file.errorString());
        return 1;
    }
    QJsonParseError parse;
    const QJsonDocument json = QJsonDocument::fromJson(file.readAll(), &parse);
    file.close();
    if (parse.error != QJsonParseError::NoError) {
        PrintError(QStringLiteral("%1: invalid JSON at character %2: %3")
                       .arg(jsonPath)
                       .arg(parse.offset)
                       .arg(parse.errorString()));
        return 1;
    }
    if (!json.isObject()) {
        PrintError(jsonPath + QStringLiteral(": the top level must be an object"));
        return 1;
    }
    TFormDocument doc;
    TLayoutSettings settings;
    QString error;
    if (!FormFromJson(json.object(), doc, settings, &error)) {
        PrintError(jsonPath + QStringLiteral(": ") + error);
        return 1;
    }
    doc.afilename = args[1];
    if (!SaveTheFile(doc, settings, &error)) {
        PrintError(error);
        return 1;
    }
    return 0;
}
