#pragma once
// The main window's placement as the settings file keeps it ("Frame"/"WP"): the ten
// numbers "flags,show command,min x,min y,max x,max y,left,top,right,bottom".

#include <optional>
#include <string>
#include <string_view>

#include "platform/qt/frame_window.h"

// Always with flags 0.
std::string FormatPlacement(const plat::WINDOWPLACEMENT& placement);
// Nothing unless the text holds exactly ten numbers.
std::optional<plat::WINDOWPLACEMENT> ParsePlacement(std::string_view text);
