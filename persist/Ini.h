#pragma once
// Profile-string INI access with the semantics the panel's files rely on:
// case-insensitive sections and keys, one key read or written at a time, read
// limits, a missing file created on first write in the ANSI code page, and
// UTF-16LE files (with a byte-order mark) read and written as such. A text
// the ANSI code page cannot hold turns the file into UTF-16LE rather than
// being written as "?".
// All texts are UTF-8 in memory.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "AppFolders.h"

namespace orv {

// Reads one value; at most maxChars - 1 characters come back (the Windows
// buffer size convention: 256 gives 255 characters). Missing file, section or
// key gives `fallback`.
std::string GetProfileString(std::string_view section, std::string_view key,
                             std::string_view fallback, std::size_t maxChars,
                             const std::string& path);
// Writes one key, creating file and section as needed; false on failure.
bool WriteProfileString(std::string_view section, std::string_view key, std::string_view value,
                        const std::string& path);

// The value cut to 255 characters; empty when anything is missing.
std::string ReadSetting(std::string_view section, std::string_view key, const std::string& path);

// Folder of the running executable, ending in '/'.
std::string AppFolder();
// The files the program ships and only reads (language files, font, the
// Info.ini defaults): AppFolder() for a portable copy, the install's data
// folder for an installed one (AppFolders.h says how the layout is chosen).
std::string DataFolder();
// Info.ini and the language files the panel rewrites: AppFolder() for a
// portable copy, the user's configuration folder for an installed one.
std::string SettingsFolder();
// Projects and caption pictures: AppFolder() for a portable copy, the user's
// data folder for an installed one.
std::string UserDataFolder();
// The folders of this process; the first call decides the layout and, for an
// installed copy, prepares the user's folders.
AppFolderSet Folders();
// SettingsFolder() + "Info.ini".
std::string SettingsPath();
// Every folder is `folder` (a portable copy there); "" returns to the
// executable's own layout.
void SetAppFolderForTesting(const std::string& folder);
// Any layout (prepared as at start); nullopt returns to the executable's own.
void SetFoldersForTesting(std::optional<AppFolderSet> folders);

}  // namespace orv
