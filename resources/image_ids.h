#pragma once
// Ids of the program's icons and bitmaps (drawn in resources/images, loaded through
// platform/qt/resource_images.h). Strips are one row of square cells.

#include <cstdint>

#include "resources/resource_id.h"

namespace res {

// Bitmaps. Those marked keyed are transparent where they hold kImageMaskColour.
inline constexpr int kRibbonSmallImages = 3995;  // keyed strip, 30 cells of 16 x 16
inline constexpr int kRibbonLargeImages = 3989;  // keyed strip, 30 cells of 32 x 32, the same pictures
inline constexpr int kRibbonImageCount = 30;
inline constexpr int kListImages = 4051;  // keyed strip, 33 cells of 16 x 16
inline constexpr int kListImageCount = 33;
inline constexpr int kCaptionTipImage = 4031;                // keyed, 16 x 16
inline constexpr int kCaptionWarningImage = 22954;           // 16 x 16, with alpha
inline constexpr int kApplicationButtonImage = 4041;         // 32 x 32, with alpha
inline constexpr int kApplicationButtonHotImage = 4044;      // under the mouse
inline constexpr int kApplicationButtonPressedImage = 4045;  // pressed

// The mask colour of keyed bitmaps, magenta (the same value as a COLORREF and an RGB).
inline constexpr std::uint32_t kImageMaskColour = 0xFF00FF;

// Icons, each drawn at 16 and 32 pixels (the program's icon also larger).
inline constexpr int kBrowseIcon = 706;
inline constexpr int kProgramIcon = 128;
inline constexpr int kTrayIcon = 33000;
// The options button's icon for sync types 0 to 4.
inline constexpr int kSyncTypeIcons[5] = {4053, 4054, 4055, 4057, 4056};

// Every bitmap and icon above, for the tests.
inline constexpr NamedId kImageIds[] = {
    {"kRibbonSmallImages", kRibbonSmallImages},
    {"kRibbonLargeImages", kRibbonLargeImages},
    {"kListImages", kListImages},
    {"kCaptionTipImage", kCaptionTipImage},
    {"kCaptionWarningImage", kCaptionWarningImage},
    {"kApplicationButtonImage", kApplicationButtonImage},
    {"kApplicationButtonHotImage", kApplicationButtonHotImage},
    {"kApplicationButtonPressedImage", kApplicationButtonPressedImage},
    {"kBrowseIcon", kBrowseIcon},
    {"kProgramIcon", kProgramIcon},
    {"kTrayIcon", kTrayIcon},
    {"kSyncTypeIcons[0]", kSyncTypeIcons[0]},
    {"kSyncTypeIcons[1]", kSyncTypeIcons[1]},
    {"kSyncTypeIcons[2]", kSyncTypeIcons[2]},
    {"kSyncTypeIcons[3]", kSyncTypeIcons[3]},
    {"kSyncTypeIcons[4]", kSyncTypeIcons[4]},
};

}  // namespace res
