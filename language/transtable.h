#pragma once
// The translation table: German source texts and their translations, read
// from translate.dat at start and grown by every text it does not know yet.

#include "core/dynaarray.h"

#include <QString>

#include <cstdint>

class QIODevice;

constexpr int kTransColumns = 20;

struct TransRec {
    char16_t *cells[kTransColumns]; // 0 German, 1 English, 2 French, 3 Dutch, 4-19 spare
};

struct TransIndexRec {
    char16_t *text; // copy of cell 0 when the entry was made
    int32_t row;
};

class TTranslation {
public:
    // dataFile: full path of translate.dat. The table and the 256 buckets
    // exist from here on, empty until BuildTranslation.
    explicit TTranslation(QString dataFile);
    ~TTranslation();
    TTranslation(const TTranslation &) = delete;
    TTranslation &operator=(const TTranslation &) = delete;

    // Reads translate.dat and builds the sorted 256-bucket index.
    void BuildTranslation();
    // Reads translate.dat into the emptied table (the index is emptied too).
    // A damaged file keeps the rows read before the damage, is reported once
    // on standard error and is copied aside before it is first rewritten.
    void LoadTranslation();
    // Writes the whole table atomically; false (and no message) when it could not.
    bool SaveTranslation();

    // The file layout on any device. ReadTable appends to the table and
    // raises EInOutError at the damage, keeping the rows read before it;
    // WriteTable raises EInOutError when a write fails.
    void ReadTable(QIODevice &file);
    void WriteTable(QIODevice &file) const;

    QString TranslateText(const QString &text);
    // Message N of the catalogue in the current language; `result` is
    // returned unchanged for a number the catalogue does not hold.
    QString GetMessageText(int32_t n, const QString &result = QString());
    void RegisterMessages();

    // Sorts entries lo..hi of one bucket by their texts (UTF-16 code units).
    static void SortIndexBucket(TDynaList<TransIndexRec> &bucket, int32_t lo, int32_t hi);
    // The bucket of a text: the low 8 bits of its first code unit.
    static int BucketOf(const QString &text) { return text.isEmpty() ? 0 : text.at(0).unicode() & 0xFF; }

    int32_t language = 1; // current language index, the column every lookup reads
    TDynaList<TransRec> *transtable;
    TransRec *atrans = nullptr;
    TDynaList<TransIndexRec> *transindex[256];
    TransIndexRec *aindex = nullptr;

    // Row access for the translation editor.
    int32_t RowCount() const { return static_cast<int32_t>(transtable->count); }
    // Empty for a row or column outside the table.
    QString Cell(int32_t row, int col) const;
    // Does nothing for a row or column outside the table. A new source text
    // (column 0) matches only after the table is read again.
    void SetCell(int32_t row, int col, const QString &text);
    // Removes a row and renumbers the index entries of the rows after it.
    void DeleteRow(int32_t row);

    const QString &DataFile() const { return dataFile_; }

private:
    void ClearTable();
    void ClearIndex();
    void AppendRow(const QString *cells, int n);
    void AddIndexEntry(const QString &key, int32_t row);
    bool KeepDamagedCopy();

    QString dataFile_;
    // Set while translate.dat is known to be damaged and not yet copied aside.
    bool damaged_ = false;
};
