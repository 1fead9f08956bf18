#pragma once
// What a copy's destination can hold by name. A removable disk with FAT or exFAT, the
// most common place to back up to, refuses some names that the source may hold, and
// folds case: "README.txt" and "Readme.txt" are one name there. Such an item fails its
// copy with a reason that says so, and never lands on another item of a similar name.

#include <string>
#include <string_view>

#include "platform/core/win_types.h"

namespace plat {
class FolderHandle;
}

// Reasons of a failed copy, program's own codes (bit 29, as kErrorChangedSinceCheck).
inline constexpr DWORD kErrorNameNotHeld = 0x20000002;      // the destination cannot hold the name
inline constexpr DWORD kErrorNameInOtherCase = 0x20000003;  // it holds the name already, in other case

// A name FAT and exFAT refuse: one with '"', '*', ':', '<', '>', '?', '\' or '|', a
// control character, or a trailing dot or space.
bool IsNameFatCannotHold(std::wstring_view name);

// The file system holding `folder` is FAT or exFAT as the kernel mounts it. Such a
// driver may store a name with a trailing dot under the name without it, so names it
// cannot hold are refused before anything is written; drivers in user space refuse them
// with an error, which the copy then reports.
bool KeepsFatNames(const std::string& folder);
bool KeepsFatNames(const plat::FolderHandle& folder);

// The error of a new file or folder that could not be made as `name` in `folder` with
// `error`: kErrorNameNotHeld where the name is one FAT cannot hold and the file system
// refused it as such (invalid; or not permitted or not found, as drivers in user space
// say, in a folder that is there and writable), else `error`.
DWORD NameErrorOf(const std::string& folder, std::wstring_view name, DWORD error);

// True when `folder` has an entry of exactly this name (byte for byte): on a file system
// that folds case, a lookup of "README.txt" also finds "Readme.txt".
bool FolderHoldsExactName(const std::string& folder, std::string_view name);
