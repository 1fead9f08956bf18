// Times the sorted record arrays at the size of a large side: 100,000 catalog rows in
// one array, and 100,000 scanned files spread over folders, inserted in random order
// and then all looked up.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "engine/model/file_info_array.h"
#include "platform/core/text.h"

namespace {

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

std::vector<std::string> Names(int count, int folders, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        names.push_back("Folder " + std::to_string(random() % static_cast<unsigned>(folders)) + "/File " +
                        std::to_string(random()) + ".dat");
    }
    return names;
}

}  // namespace

int main() {
    const int kCount = 100000;
    const auto names = Names(kCount, 5000, 1);

    auto start = std::chrono::steady_clock::now();
    CFileInfo2Array rows;
    for (const auto& name : names) {
        CFileInfo2 row;
        row.Set(name, 1, FILE_ATTRIBUTE_ARCHIVE, 1, 0);
        rows.OrderedInsert(std::move(row));
    }
    std::printf("catalog: %d rows inserted in random order: %.3f s\n", rows.GetSize(), Seconds(start));

    start = std::chrono::steady_clock::now();
    int found = 0;
    for (const auto& name : names) found += rows.FindByName(name) >= 0;
    std::printf("catalog: %d lookups (%d found): %.3f s\n", kCount, found, Seconds(start));

    std::vector<std::string> sorted = names;
    std::sort(sorted.begin(), sorted.end());
    start = std::chrono::steady_clock::now();
    CFileInfo2Array inOrder;
    for (const auto& name : sorted) {
        CFileInfo2 row;
        row.Set(name, 1, FILE_ATTRIBUTE_ARCHIVE, 1, 0);
        inOrder.OrderedInsert(std::move(row));
    }
    std::printf("catalog: %d rows inserted in order: %.3f s\n", inOrder.GetSize(), Seconds(start));

    // One array per folder, as a scan builds them.
    start = std::chrono::steady_clock::now();
    std::vector<CFileInfoArray> folders(200);
    for (std::size_t i = 0; i < names.size(); ++i) {
        CFileInfo record;
        record.Set(L"/side/" + plat::Utf8ToWide(names[i]), 1, FILE_ATTRIBUTE_ARCHIVE, 1, names[i], 0);
        folders[i % folders.size()].OrderedInsert(std::move(record));
    }
    std::printf("scan: %d files in %zu folders: %.3f s\n", kCount, folders.size(), Seconds(start));
    return found == kCount ? 0 : 1;
}
