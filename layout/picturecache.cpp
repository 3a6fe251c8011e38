#include "layout/picturecache.h"

#include "pictures/picproc.h"

TPictureCache::TPictureCache(int64_t byteBudget) : budget(byteBudget) {}

TPictureCache::~TPictureCache()
{
    for (auto &item : entries)
        if (item.second.state == TState::Resident)
            FreeDib(item.second.d);
}

TPictureCache::Entry &TPictureCache::Open(const QString &fileName)
{
    Entry &e = entries[fileName];
    e.lastUse = ++clock;
    if (e.state == TState::Resident || e.state == TState::Missing)
        return e;
    e.d = OpenPicture(fileName);
    ++opens;
    if (!HasPicture(e.d) || DibWidth(e.d) <= 0 || DibHeight(e.d) <= 0) {
        // Released right away, also when the load failed; the job does not
        // try the file again.
        FreeDib(e.d);
        e.state = TState::Missing;
        return e;
    }
    e.state = TState::Resident;
    e.width = DibWidth(e.d);
    e.height = DibHeight(e.d);
    e.bytes = int64_t(e.d.bytew) * e.height;
    residentBytes += e.bytes;
    Evict(&e);
    return e;
}

void TPictureCache::Evict(const Entry *keep)
{
    while (residentBytes > budget) {
        Entry *oldest = nullptr;
        for (auto &item : entries) {
            Entry &e = item.second;
            if (e.state == TState::Resident && &e != keep && (!oldest || e.lastUse < oldest->lastUse))
                oldest = &e;
        }
        if (!oldest)
            return;
        FreeDib(oldest->d);
        oldest->state = TState::Released;
        residentBytes -= oldest->bytes;
    }
}

const dib *TPictureCache::Get(const QString &fileName)
{
    Entry &e = Open(fileName);
    return e.state == TState::Resident ? &e.d : nullptr;
}

bool TPictureCache::Size(const QString &fileName, int &width, int &height)
{
    auto it = entries.find(fileName);
    const Entry &e = (it != entries.end() && it->second.state != TState::Unknown) ? it->second : Open(fileName);
    width = e.width;
    height = e.height;
    return e.state != TState::Missing;
}
