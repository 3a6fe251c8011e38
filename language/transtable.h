#pragma once
// The translation table: German source texts and their translations, read
// from translate.dat at start and grown by every text it does not know yet.

#include "core/dynaarray.h"

#include <QString>

#include <cstdint>

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
    // dataFile: full path of translate.dat.
    explicit TTranslation(QString dataFile);
    ~TTranslation();
    TTranslation(const TTranslation &) = delete;
    TTranslation &operator=(const TTranslation &) = delete;

    // Reads translate.dat and builds the sorted 256-bucket index.
    void BuildTranslation();
    void LoadTranslation();
    // Writes the whole table atomically; false (and no message) when it could not.
    bool SaveTranslation();

    QString TranslateText(const QString &text);
    // Message N of the catalogue in the current language; `result` is
    // returned unchanged for a number the catalogue does not hold.
    QString GetMessageText(int32_t n, const QString &result = QString());
    void RegisterMessages();

    // Sorts entries lo..hi of one bucket by their texts (UTF-16 code units).
    static void SortIndexBucket(TDynaList<TransIndexRec> &bucket, int32_t lo, int32_t hi);

    int32_t language = 1; // current language index, the column every lookup reads
    TDynaList<TransRec> *transtable;
    TransRec *atrans = nullptr;
    TDynaList<TransIndexRec> *transindex[256];
    TransIndexRec *aindex = nullptr;

    // Row access for the translation editor.
    int32_t RowCount() const { return static_cast<int32_t>(transtable->count); }
    QString Cell(int32_t row, int col) const;
    void SetCell(int32_t row, int col, const QString &text);
    // Removes a row and renumbers the index entries of the rows after it.
    void DeleteRow(int32_t row);

    const QString &DataFile() const { return dataFile_; }

private:
    QString dataFile_;
};
