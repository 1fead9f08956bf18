#pragma once
// Keyboard accelerator tables: each entry is a key (a virtual-key code), the modifiers
// that must be held with it (exactly these), and the command it raises. The frame window
// translates keys with them (plat::AcceleratorTable, platform/qt/accelerator_table.h).
//
//   for (const res::Accelerator& a : res::FindAccelerators(IDR_MAIN_FRAME)) ...

#include <span>

#include "platform/core/win_types.h"

namespace res {

// Virtual-key codes of the keys the tables use; letters and digits are their upper-case
// ASCII codes ('N', '5').
namespace vk {
inline constexpr WORD Return = 0x0D;
inline constexpr WORD Escape = 0x1B;
inline constexpr WORD Delete = 0x2E;
inline constexpr WORD F1 = 0x70;
inline constexpr WORD F2 = 0x71;
}  // namespace vk

// Modifier flags of an entry.
inline constexpr BYTE kShift = 0x04;
inline constexpr BYTE kControl = 0x08;
inline constexpr BYTE kAlt = 0x10;

struct Accelerator {
    BYTE modifiers = 0;
    WORD key = 0;
    UINT command = 0;
};

// Table `id`; empty when the program has no such table.
std::span<const Accelerator> FindAccelerators(UINT id);

}  // namespace res
