#pragma once
// Volumes by label: where a labelled volume is mounted, and the label of a path's volume.

#include <string>

#include "platform/core/volumes.h"

// The mount point of the volume with this label. A label equal to the given one
// (ignoring case) wins; only when no volume has it exactly does a volume whose label up
// to its first blank equals it match, so "CARD" never picks "CARD 2" over "CARD".
// "" when no such volume is mounted.
std::wstring FindDriveByVolumeLabel(const std::wstring& label, const plat::VolumeSources& sources = {});

// The label of the volume that holds `path`, or "".
std::wstring GetVolumeLabelOfDrive(const std::wstring& path, const plat::VolumeSources& sources = {});
