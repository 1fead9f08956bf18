#include "foundation/volume_labels.h"

#include "platform/core/text.h"

std::wstring FindDriveByVolumeLabel(const std::wstring& label, const plat::VolumeSources& sources) {
    if (label.empty()) return {};
    const std::string wanted = plat::WideToUtf8(label);
    const auto volumes = plat::ListLabeledVolumes(sources);
    for (const auto& volume : volumes) {
        if (!volume.mountPoint.empty() && plat::EqualsNoCaseAscii(volume.label, wanted)) {
            return plat::Utf8ToWide(volume.mountPoint);
        }
    }
    for (const auto& volume : volumes) {
        const std::string firstWord = volume.label.substr(0, volume.label.find(' '));
        if (!volume.mountPoint.empty() && plat::EqualsNoCaseAscii(firstWord, wanted)) {
            return plat::Utf8ToWide(volume.mountPoint);
        }
    }
    return {};
}

std::wstring GetVolumeLabelOfDrive(const std::wstring& path, const plat::VolumeSources& sources) {
    return plat::Utf8ToWide(plat::LabelOfPath(plat::WideToUtf8(path), sources));
}
