#pragma once
// The category pictures of one drawing job: each file is opened once for the
// whole job, not once per page, and released when the job ends. Pixels beyond
// a memory budget are released least recently used first and opened again
// when needed; sizes are kept for the whole job.

#include "pictures/dibkit3.h"

#include <QString>

#include <cstdint>
#include <map>

class TPictureCache {
public:
    explicit TPictureCache(int64_t byteBudget = int64_t(256) << 20);
    ~TPictureCache();
    TPictureCache(const TPictureCache &) = delete;
    TPictureCache &operator=(const TPictureCache &) = delete;

    // The picture of a file, nullptr when it does not load. Valid until the
    // next call of Get.
    const dib *Get(const QString &fileName);
    // Pixel size of the picture; false when it does not load.
    bool Size(const QString &fileName, int &width, int &height);
    // How many times a file was opened: a job opens each picture once unless
    // the budget forced it out.
    int Opens() const { return opens; }

private:
    enum class TState { Unknown, Missing, Resident, Released };
    struct Entry {
        dib d{};
        TState state = TState::Unknown;
        int width = 0;
        int height = 0;
        int64_t bytes = 0;
        uint64_t lastUse = 0;
    };
    Entry &Open(const QString &fileName);
    void Evict(const Entry *keep);

    std::map<QString, Entry> entries;
    int64_t budget;
    int64_t residentBytes = 0;
    uint64_t clock = 0;
    int opens = 0;
};
