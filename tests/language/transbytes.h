#pragma once
// Hand-made translate.dat bytes for the tests, encoded here on their own
// rather than with the writer under test.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtEndian>

#include <cstdint>
#include <vector>

inline QByteArray Int32Bytes(int32_t value)
{
    QByteArray b(4, Qt::Uninitialized);
    qToLittleEndian<qint32>(value, b.data());
    return b;
}

inline QByteArray StringBytes(const QString &s)
{
    QByteArray b = Int32Bytes(static_cast<int32_t>(s.size()));
    for (QChar c : s) {
        b.append(static_cast<char>(c.unicode() & 0xFF));
        b.append(static_cast<char>(c.unicode() >> 8));
    }
    return b;
}

// Column count, row count, then the given strings of every row.
inline QByteArray TableBytes(int32_t columns, int32_t rows, const std::vector<std::vector<QString>> &cells)
{
    QByteArray b = Int32Bytes(columns) + Int32Bytes(rows);
    for (const auto &row : cells) {
        for (const QString &cell : row)
            b += StringBytes(cell);
    }
    return b;
}

// A row of 20 cells: the given ones first, the rest empty.
inline std::vector<QString> Row20(std::vector<QString> cells)
{
    cells.resize(20);
    return cells;
}

inline bool WriteAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.flush();
}

inline QByteArray ReadAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
