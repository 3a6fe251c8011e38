#include "core/dynaarray.h"

#include <QIODevice>
#include <QtEndian>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

OutOfMemoryReporter &reporter()
{
    static OutOfMemoryReporter r;
    return r;
}

void *defaultAllocator(std::size_t bytes) { return std::calloc(1, bytes); }

BlockAllocator currentAllocator = defaultAllocator;

[[noreturn]] void reportOutOfMemory(int place, uint64_t bytes)
{
    const QString text = QStringLiteral("Error %1 while trying to allocate %2 bytes of RAM. Not enough memory.")
                             .arg(place)
                             .arg(bytes);
    if (reporter())
        reporter()(text);
    else
        std::fprintf(stderr, "%s\n", qPrintable(text));
    throw EOutOfMemory(text);
}

} // namespace

void SetOutOfMemoryReporter(OutOfMemoryReporter r) { reporter() = std::move(r); }

BlockAllocator SetBlockAllocator(BlockAllocator allocator)
{
    BlockAllocator old = currentAllocator;
    currentAllocator = allocator ? allocator : defaultAllocator;
    return old;
}

TDynaArray::TDynaArray(uint32_t thesize, void *typpoi) : size(thesize), outeraobj(typpoi) {}

TDynaArray::~TDynaArray()
{
    std::free(poi);
    poi = nullptr;
    aobj = nullptr;
    aobjnr = -1;
}

void TDynaArray::writeOuter()
{
    // The owner's variable may be of any pointer type: copy the address bytes.
    if (outeraobj)
        std::memcpy(outeraobj, &aobj, sizeof aobj);
}

void *TDynaArray::recordAt(uint32_t index) const
{
    return static_cast<char *>(poi) + static_cast<std::size_t>(index) * size;
}

void TDynaArray::setCurrent(int32_t index)
{
    aobjnr = index;
    aobj = recordAt(static_cast<uint32_t>(index));
    writeOuter();
}

void TDynaArray::setNone()
{
    aobjnr = -1;
    aobj = nullptr;
    writeOuter();
}

uint32_t TDynaArray::blockBytesFor(uint32_t n) const
{
    // Whole steps of `buffersize` records. A block that does not fit the
    // 32-bit size would wrap to a block smaller than the records it must
    // hold, so it is reported as an allocation failure instead.
    const uint64_t bytes = (static_cast<uint64_t>(n - 1) / buffersize + 1) * size * buffersize;
    if (bytes > UINT32_MAX)
        reportOutOfMemory(amemsize == 0 ? 1 : 2, bytes);
    return static_cast<uint32_t>(bytes);
}

void *TDynaArray::allocBlock(uint32_t bytes, int place)
{
    void *block = currentAllocator(bytes);
    if (!block)
        reportOutOfMemory(place, bytes);
    std::memset(block, 0, bytes);
    return block;
}

bool TDynaArray::AllocMoreMem()
{
    const uint32_t bytes = blockBytesFor(count);
    if (bytes == amemsize && poi)
        return false;
    if (count == 1 || !poi) {
        void *block = allocBlock(bytes, 1);
        std::free(poi);
        poi = block;
    } else {
        void *block = allocBlock(bytes, 2);
        std::memcpy(block, poi, amemsize);
        std::free(poi);
        poi = block;
    }
    amemsize = bytes;
    return true;
}

void TDynaArray::AllocLessMem()
{
    if (count == 0) {
        std::free(poi);
        poi = nullptr;
        amemsize = 0;
        return;
    }
    const uint32_t bytes = blockBytesFor(count);
    if (bytes == amemsize)
        return;
    void *block = allocBlock(bytes, 3);
    std::memcpy(block, poi, bytes);
    std::free(poi);
    poi = block;
    amemsize = bytes;
}

void *TDynaArray::GetObject(uint32_t Index)
{
    setCurrent(static_cast<int32_t>(Index));
    return aobj;
}

void *TDynaArray::Add()
{
    count += 1;
    bool fresh;
    try {
        fresh = AllocMoreMem();
    } catch (...) {
        count -= 1;
        throw;
    }
    if (!fresh)
        std::memset(recordAt(count - 1), 0, size);
    return GetObject(count - 1);
}

void *TDynaArray::Insert(int32_t nr)
{
    if (nr < 0 || static_cast<uint32_t>(nr) > count)
        return nullptr;
    count += 1;
    try {
        AllocMoreMem();
    } catch (...) {
        count -= 1;
        throw;
    }
    std::memmove(recordAt(static_cast<uint32_t>(nr) + 1), recordAt(static_cast<uint32_t>(nr)),
                 static_cast<std::size_t>(count - static_cast<uint32_t>(nr) - 1) * size);
    std::memset(recordAt(static_cast<uint32_t>(nr)), 0, size);
    setCurrent(nr);
    return aobj;
}

void TDynaArray::Delete(int32_t nr)
{
    if (nr < 0 || static_cast<uint32_t>(nr) >= count)
        return;
    for (uint32_t i = static_cast<uint32_t>(nr); i + 1 < count; ++i)
        std::memcpy(recordAt(i), recordAt(i + 1), size);
    count -= 1;
    try {
        AllocLessMem();
    } catch (...) {
        // The old block still holds every remaining record.
        setNone();
        throw;
    }
    setNone();
}

void TDynaArray::Change(int32_t nr1, int32_t nr2)
{
    if (nr1 < 0 || nr2 < 0 || static_cast<uint32_t>(nr1) >= count || static_cast<uint32_t>(nr2) >= count)
        return;
    std::vector<char> buffer(size);
    std::memcpy(buffer.data(), recordAt(static_cast<uint32_t>(nr1)), size);
    std::memmove(recordAt(static_cast<uint32_t>(nr1)), recordAt(static_cast<uint32_t>(nr2)), size);
    std::memcpy(recordAt(static_cast<uint32_t>(nr2)), buffer.data(), size);
    setCurrent(nr2);
}

void TDynaArray::Clear()
{
    count = 0;
    std::free(poi);
    poi = nullptr;
    amemsize = 0;
    setNone();
}

void TDynaArray::First()
{
    if (count == 0)
        return;
    setCurrent(0);
}

bool TDynaArray::Next()
{
    if (count == 0 || aobjnr < -1 || aobjnr >= static_cast<int64_t>(count) - 1)
        return false;
    setCurrent(aobjnr + 1);
    return true;
}

bool TDynaArray::WhileNext()
{
    if (count == 0 || aobjnr < 0 || static_cast<uint32_t>(aobjnr) >= count)
        return false;
    setCurrent(aobjnr);
    aobjnr += 1;
    return true;
}

// ---- heap strings of the records ----

char16_t *NewWStr(const QString &text)
{
    const std::size_t bytes = (static_cast<std::size_t>(text.size()) + 1) * 2;
    auto *block = static_cast<char16_t *>(currentAllocator(bytes));
    if (!block)
        reportOutOfMemory(1, bytes);
    std::memset(block, 0, bytes);
    std::memcpy(block, text.utf16(), static_cast<std::size_t>(text.size()) * 2);
    return block;
}

void FreeWStr(char16_t *&text)
{
    std::free(text);
    text = nullptr;
}

void ReplaceWStr(char16_t *&text, const QString &newText)
{
    char16_t *fresh = NewWStr(newText);
    FreeWStr(text);
    text = fresh;
}

QString WStr(const char16_t *text) { return text ? QString::fromUtf16(text) : QString(); }

// ---- string primitives ----

qint64 BytesLeft(QIODevice &file)
{
    if (file.isSequential())
        return file.bytesAvailable();
    return file.size() - file.pos();
}

void ReadBytes(QIODevice &file, void *data, qint64 n)
{
    if (n < 0)
        throw EInOutError("negative length in file");
    if (n == 0)
        return;
    if (n > BytesLeft(file) || file.read(static_cast<char *>(data), n) != n)
        throw EInOutError("read beyond end of file");
}

void WriteBytes(QIODevice &file, const void *data, qint64 n)
{
    if (n > 0 && file.write(static_cast<const char *>(data), n) != n)
        throw EInOutError(("write failed: " + file.errorString()).toStdString());
}

int32_t ReadInt32(QIODevice &file)
{
    uchar bytes[4];
    ReadBytes(file, bytes, 4);
    return qFromLittleEndian<qint32>(bytes);
}

void WriteInt32(QIODevice &file, int32_t value)
{
    uchar bytes[4];
    qToLittleEndian<qint32>(value, bytes);
    WriteBytes(file, bytes, 4);
}

QByteArray ReadStringA(QIODevice &file)
{
    const int32_t n = ReadInt32(file);
    if (n < 0)
        throw EInOutError("negative text length in file");
    if (n > BytesLeft(file))
        throw EInOutError("read beyond end of file");
    QByteArray s(n, Qt::Uninitialized);
    ReadBytes(file, s.data(), n);
    return s;
}

void WriteStringA(QIODevice &file, const QByteArray &s)
{
    WriteInt32(file, static_cast<int32_t>(s.size()));
    WriteBytes(file, s.constData(), s.size());
}

QString ReadStringW(QIODevice &file)
{
    const int32_t n = ReadInt32(file);
    if (n < 0)
        throw EInOutError("negative text length in file");
    if (static_cast<qint64>(n) * 2 > BytesLeft(file))
        throw EInOutError("read beyond end of file");
    QByteArray raw(static_cast<qsizetype>(n) * 2, Qt::Uninitialized);
    ReadBytes(file, raw.data(), raw.size());
    QString s(n, Qt::Uninitialized);
    for (int32_t i = 0; i < n; ++i)
        s[i] = QChar(qFromLittleEndian<quint16>(raw.constData() + 2 * i));
    return s;
}

void WriteStringW(QIODevice &file, const QString &s)
{
    WriteInt32(file, static_cast<int32_t>(s.size()));
    QByteArray raw(s.size() * 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < s.size(); ++i)
        qToLittleEndian<quint16>(s[i].unicode(), raw.data() + 2 * i);
    WriteBytes(file, raw.constData(), raw.size());
}
