#include "core/codepage.h"

#include <QHash>

namespace {

// 0x80..0x9F; the five bytes without a character map to the C1 control of the
// same number, as Windows itself converts them.
const char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char16_t toUnicode(unsigned char b) { return (b >= 0x80 && b < 0xA0) ? kHigh[b - 0x80] : char16_t(b); }

const QHash<char16_t, char> &reverseTable()
{
    static const QHash<char16_t, char> table = [] {
        QHash<char16_t, char> t;
        for (int b = 0; b < 256; ++b)
            t.insert(toUnicode(static_cast<unsigned char>(b)), static_cast<char>(b));
        return t;
    }();
    return table;
}

} // namespace

QString FromAnsi(const QByteArray &bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        text[i] = QChar(toUnicode(static_cast<unsigned char>(bytes[i])));
    return text;
}

QByteArray ToAnsi(const QString &text)
{
    const auto &table = reverseTable();
    QByteArray bytes(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        bytes[i] = table.value(text[i].unicode(), '?');
    return bytes;
}
