#pragma once
// Folder placeholders that a task's folder may begin with: "<DOCUMENTS>/Work" names the
// user's documents folder followed by "Work". Placeholders compare without case.
//
// On this platform '<' and '>' are ordinary characters of a file name, so only a
// placeholder at the very start of the text counts: a folder that begins with '/' is a
// plain path whatever it holds.

#include <string>

// The path with its leading placeholder replaced by the folder it stands for, joined with
// the text after the placeholder.
// - Text after the placeholder that begins with '\' was written with the other
//   platform's separators: every '\' in it is a folder separator ("<DOCUMENTS>\Work").
// - A path that does not begin with a placeholder of the table comes back unchanged
//   (volume labels and "<qbsync>" are resolved by ResolveTaskPathToken, not here).
// - A folder this system does not have gives "" (with or without text after it), so
//   that nothing is ever made relative to the current folder.
// - The mail and address-book placeholders come back unchanged when the folders or
//   registry values they are built on are missing.
std::wstring ExpandTemplatePath(const std::wstring& path);
