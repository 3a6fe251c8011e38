#pragma once
// The one container of the system and the count-prefixed string primitives
// of its binary files.

#include <QString>

#include <cstdint>
#include <functional>
#include <new>
#include <stdexcept>

class QIODevice;

// The input/output error of the string primitives: a short read, a negative
// or impossible count, or a failed write.
class EInOutError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Raised after the out-of-memory report; the array keeps its previous block.
class EOutOfMemory : public std::bad_alloc {
public:
    explicit EOutOfMemory(QString text) : text_(std::move(text)) {}
    const char *what() const noexcept override { return "out of memory"; }
    const QString &text() const { return text_; }

private:
    QString text_;
};

// The engine shows no boxes: the window installs the box that reports an
// allocation failure. Without a reporter the text goes to standard error.
using OutOfMemoryReporter = std::function<void(const QString &text)>;
void SetOutOfMemoryReporter(OutOfMemoryReporter reporter);

// Block allocator, replaceable so that tests can make an allocation fail.
using BlockAllocator = void *(*)(std::size_t bytes);
BlockAllocator SetBlockAllocator(BlockAllocator allocator);

// A growable array of fixed-size records in one zero-filled block, reserved
// in steps of 100 records, with a cursor and an external current-record
// variable: every operation that positions the cursor writes the address of
// the current record into the owner's pointer variable.
class TDynaArray {
public:
    // typpoi: address of the owner's pointer variable (of any pointer type),
    // or nullptr.
    TDynaArray(uint32_t thesize, void *typpoi);
    virtual ~TDynaArray();
    TDynaArray(const TDynaArray &) = delete;
    TDynaArray &operator=(const TDynaArray &) = delete;

    void *GetObject(uint32_t Index);
    void *Add();
    void *Insert(int32_t nr);
    void Delete(int32_t nr);
    void Change(int32_t nr1, int32_t nr2);
    void Clear();
    void First();
    bool Next();
    bool WhileNext();

    void *aobj = nullptr;
    void *poi = nullptr;
    uint32_t count = 0;
    int32_t aobjnr = -1;
    uint32_t amemsize = 0;
    uint32_t buffersize = 100;
    uint32_t size = 0;

protected:
    bool AllocMoreMem();
    void AllocLessMem();

private:
    void setCurrent(int32_t index);
    void setNone();
    void writeOuter();
    void *recordAt(uint32_t index) const;
    uint32_t blockBytesFor(uint32_t n) const;
    void *allocBlock(uint32_t bytes, int place);

    void *outeraobj = nullptr;
};

// Typed view of a TDynaArray over trivially copyable records; the external
// variable is a T*.
template <class T>
class TDynaList : public TDynaArray {
public:
    explicit TDynaList(T **typpoi) : TDynaArray(sizeof(T), typpoi) {}
    T *GetObject(uint32_t Index) { return static_cast<T *>(TDynaArray::GetObject(Index)); }
    T *Add() { return static_cast<T *>(TDynaArray::Add()); }
    T *Insert(int32_t nr) { return static_cast<T *>(TDynaArray::Insert(nr)); }
    T *Current() const { return static_cast<T *>(aobj); }
    // Read access without moving the cursor or the external variable.
    T *At(uint32_t Index) const { return static_cast<T *>(poi) + Index; }
};

// Heap UTF-16 strings of the records: (length + 1) × 2 zero-filled bytes,
// always zero-terminated. Allocation failures go through the same report.
char16_t *NewWStr(const QString &text);
void FreeWStr(char16_t *&text);
void ReplaceWStr(char16_t *&text, const QString &newText);
QString WStr(const char16_t *text);

// The string primitives of the system's own files. The readers check every
// count against the bytes the device can still supply before allocating.
QByteArray ReadStringA(QIODevice &file);
void WriteStringA(QIODevice &file, const QByteArray &s);
QString ReadStringW(QIODevice &file);
void WriteStringW(QIODevice &file, const QString &s);

// Little-endian fixed-size values with the same error rules.
int32_t ReadInt32(QIODevice &file);
void WriteInt32(QIODevice &file, int32_t value);
void ReadBytes(QIODevice &file, void *data, qint64 n);
void WriteBytes(QIODevice &file, const void *data, qint64 n);
// Bytes the device can still supply; the upper bound for any count read.
qint64 BytesLeft(QIODevice &file);
