#include "platform/core/zip_reader_cache.h"

#include <list>
#include <mutex>
#include <utility>

namespace plat {

namespace {

constexpr std::size_t kKeptReaders = 4;

struct KeptReader {
    std::string key;
    std::shared_ptr<ZipReader> reader;
};

struct ReaderCache {
    std::mutex mutex;
    std::list<KeptReader> readers;  // most recently used first
};

ReaderCache& Cache() {
    static ReaderCache cache;
    return cache;
}

std::shared_ptr<ZipReader> TakeKept(ReaderCache& cache, const std::string& key) {
    std::lock_guard guard(cache.mutex);
    for (auto it = cache.readers.begin(); it != cache.readers.end(); ++it) {
        if (it->key == key) {
            std::shared_ptr<ZipReader> reader = std::move(it->reader);
            cache.readers.erase(it);
            return reader;
        }
    }
    return nullptr;
}

void Keep(ReaderCache& cache, const std::string& key, std::shared_ptr<ZipReader> reader) {
    std::shared_ptr<ZipReader> evicted;  // closed after the mutex is released
    std::lock_guard guard(cache.mutex);
    cache.readers.push_front(KeptReader{key, std::move(reader)});
    if (cache.readers.size() > kKeptReaders) {
        evicted = std::move(cache.readers.back().reader);
        cache.readers.pop_back();
    }
}

}  // namespace

std::shared_ptr<ZipReader> OpenCachedZipReader(const std::string& key, ZipResult* error) {
    ReaderCache& cache = Cache();
    std::shared_ptr<ZipReader> reader = TakeKept(cache, key);
    if (reader != nullptr) {
        const std::optional<FileStamp> now = StampOfFile(key);
        if (!now || !(*now == reader->stamp())) reader.reset();
    }
    if (reader == nullptr) {
        reader = ZipReader::Open(key, error);
        if (reader == nullptr) return nullptr;
    }
    *error = kZipOk;
    Keep(cache, key, reader);
    return reader;
}

void ForgetCachedZipReader(const std::string& key) {
    // Destroyed outside the cache's mutex: closing is file work.
    const std::shared_ptr<ZipReader> dropped = TakeKept(Cache(), key);
}

}  // namespace plat
