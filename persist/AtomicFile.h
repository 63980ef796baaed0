#pragma once
// Whole-file reads and crash-safe replacement of a file: new content goes to a
// temporary file in the same folder, is flushed to the disk, and then takes the
// old file's name in one rename. A failure or a crash at any point leaves the
// old file complete.
#include <optional>
#include <string>
#include <string_view>

namespace orv {

// The whole content; nullopt when the file cannot be opened or read.
std::optional<std::string> ReadWholeFile(const std::string& path);

// Replaces (or creates) `path` with `bytes`; false, with `path` untouched,
// when any step fails.
bool WriteFileAtomically(const std::string& path, std::string_view bytes);

// For writers that stream into the file themselves: Begin() creates an empty
// temporary file beside the target, the caller writes TempPath(), Commit()
// puts it in place. Destroyed without Commit(), the temporary file is removed.
class AtomicReplace {
 public:
  explicit AtomicReplace(std::string path);
  ~AtomicReplace();
  AtomicReplace(const AtomicReplace&) = delete;
  AtomicReplace& operator=(const AtomicReplace&) = delete;

  bool Begin();
  const std::string& TempPath() const { return temp_; }
  bool Commit();

 private:
  std::string target_;
  std::string temp_;
  bool committed_ = false;
};

}  // namespace orv
