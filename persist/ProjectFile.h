#pragma once
// The project file ("*.pro"): one image of the device's parameter block as
// INI-style ANSI text, in a fixed order of sections and keys that the loader
// reads back forward-only.
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace orv {

// Called once a load has changed the record: (2, 0) asks for the refresh of
// every page, as after a full read-back.
using RefreshFunction = std::function<void(int type, int arg)>;

// Today's local date as "%Y-%m-%d".
std::string TodayDateText();

// Makes `path` usable as a project file path:
// - empty: UserDataFolder() + "Project/" + D + "/" + D + ".pro" with D = today,
//   the folders created, the file not;
// - no file at `path`: a final ".pro" is dropped from the file name to give
//   the base name N (other dots stay); when the folder is missing, a folder N
//   inside it is created (with every missing parent) and used; `path` becomes
//   folder + N + ".pro", and a new file there holding only FF FE is created
//   (an existing file is never touched);
// - else unchanged.
// A relative path is taken relative to UserDataFolder(), never the working folder.
void EnsureProjectPath(std::string& path);
void EnsureProjectPath(std::string& path, std::string_view today);

// The settings file keeps at most this many characters of a path that names
// no file yet.
constexpr std::size_t kProjectPathChars = 255;

// The project to start with, from [Project] FilePath of `settingsPath`: a
// value that names an existing file is used whole; any other is cut to
// kProjectPathChars characters (never inside a character) and made usable by
// EnsureProjectPath.
std::string StartupProjectPath(const std::string& settingsPath);

// Writes the device state record to `path`, applying the file's clamps to
// the record first. The new content goes to a temporary file that replaces
// the old one only once complete: false, with the old file untouched, when
// the folder is missing, the disk is full or any write fails.
bool SaveProject(const std::string& path);

// Reads `path` into the device state record through the parameter-block
// apply operation (with CMPBOARD_PENDING set), then calls `refresh` (2, 0)
// (the installed reply sink's RefreshAfterReply when `refresh` is empty).
// A key the file lacks leaves its field as the record had it. False, with
// nothing changed, when the file cannot be opened.
bool LoadProject(const std::string& path, const RefreshFunction& refresh = {});

// What became of a project the operator chose to open.
enum class ProjectLoad {
  Loaded,
  Unreadable,   // the file cannot be opened
  NotAProject,  // not one key of the layout was found
  Incomplete,   // some keys are missing (a file cut short or edited by hand)
};

// Like LoadProject, but loads only a file that holds every key of the layout;
// any other file changes nothing, and the answer says why.
ProjectLoad LoadWholeProject(const std::string& path, const RefreshFunction& refresh = {});

}  // namespace orv
