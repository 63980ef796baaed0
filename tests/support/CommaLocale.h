#pragma once
// A German locale (comma decimal separator) for LC_NUMERIC while the object
// lives, built from the locale sources into `folder`. Active() is false when
// it could not be built or did not take effect; the test then skips.
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace orv::test {

class ScopedCommaLocale {
 public:
  explicit ScopedCommaLocale(const std::string& folder) {
    const std::string command =
        "localedef -i de_DE -f UTF-8 '" + folder + "de_DE.UTF-8' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) return;
    setenv("LOCPATH", folder.c_str(), 1);
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) return;
    char probe[32];
    std::snprintf(probe, sizeof probe, "%f", 2.5);
    active_ = std::string(probe) == "2,500000";
  }
  ~ScopedCommaLocale() {
    std::setlocale(LC_NUMERIC, "C");
    unsetenv("LOCPATH");
  }
  ScopedCommaLocale(const ScopedCommaLocale&) = delete;
  ScopedCommaLocale& operator=(const ScopedCommaLocale&) = delete;

  bool Active() const { return active_; }

 private:
  bool active_ = false;
};

}  // namespace orv::test
