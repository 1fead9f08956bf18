#include "engine/actions/shadow_copy_blocks.h"

#include "platform/core/mount_table.h"
#include "platform/core/paths.h"
#include "platform/core/text.h"

namespace {

void AppendText(std::vector<std::uint8_t>& block, std::wstring_view text) {
    for (const char16_t unit : plat::WideToUtf16(text)) {
        block.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        block.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
}

void AppendNul(std::vector<std::uint8_t>& block) { block.insert(block.end(), 2, std::uint8_t{0}); }

void AppendU32(std::vector<std::uint8_t>& block, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) block.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

struct VolumeSplit {
    std::string volume;
    std::string below;
};

bool SplitAtVolume(const std::vector<plat::MountEntry>& mounts, const std::string& path, VolumeSplit& split) {
    if (path.empty() || path.front() != '/') return false;
    const std::string canonical = plat::CanonicalPath(path);
    const plat::MountEntry* mount = plat::FindMountOf(mounts, canonical);
    if (!mount) return false;
    split.volume = mount->mountPoint;
    split.below = plat::IsRootPath(split.volume) ? canonical : canonical.substr(split.volume.size());
    // A mount point is a folder: a file to copy always lies below it.
    return split.below.size() > 1 && split.below.front() == '/';
}

}  // namespace

ShadowCopyGroups GroupShadowCopyFiles(std::span<const std::wstring> sources, const plat::VolumeSources& volumes) {
    ShadowCopyGroups grouped;
    std::vector<plat::MountEntry> mounts;
    plat::ReadMountTable(mounts, volumes.mountTable);
    for (std::size_t i = 0; i < sources.size(); ++i) {
        VolumeSplit split;
        if (!SplitAtVolume(mounts, plat::WideToUtf8(sources[i]), split)) {
            grouped.allGrouped = false;
            break;
        }
        const std::wstring volume = plat::Utf8ToWide(split.volume);
        if (grouped.groups.empty() || grouped.groups.back().volume != volume) {
            grouped.groups.push_back(ShadowCopyGroup{volume, {}});
        }
        grouped.groups.back().files.push_back(ShadowCopyFile{i, plat::Utf8ToWide(split.below)});
    }
    return grouped;
}

ShadowCopyBlocks BuildShadowCopyBlocks(const ShadowCopyGroups& grouped, std::span<const std::wstring> targets) {
    ShadowCopyBlocks blocks;
    for (const ShadowCopyGroup& group : grouped.groups) {
        AppendText(blocks.driveList, group.volume);
        AppendNul(blocks.driveList);

        AppendU32(blocks.fileList, static_cast<std::uint32_t>(group.files.size()));
        for (const ShadowCopyFile& file : group.files) {
            AppendText(blocks.fileList, L"\"");
            AppendText(blocks.fileList, file.belowVolume);
            AppendText(blocks.fileList, L"\"\"");
            AppendText(blocks.fileList, file.index < targets.size() ? targets[file.index] : std::wstring());
            AppendText(blocks.fileList, L"\"");
        }
    }
    AppendNul(blocks.driveList);
    return blocks;
}
