#include "OfflineTexts.h"

#include <string>

#include "UiTexts.h"

namespace orv {

namespace {

struct OfflineTextRow {
  OfflineText id;
  const char* key;
  const char* english;
};

constexpr OfflineTextRow kOfflineTexts[] = {
    {OfflineText::kTitle, "OFFLINE_Title", "OFFLINE - %1"},
    {OfflineText::kLinkConnected, "OFFLINE_Link",
     "OFFLINE - built-in virtual processor %1, no wall is driven"},
    {OfflineText::kWho, "OFFLINE_Who", "OFFLINE virtual processor"},
    {OfflineText::kCannotStart, "OFFLINE_CannotStart",
     "The built-in virtual processor cannot start: %1"},
};

}  // namespace

QString OfflineTextOf(OfflineText text) {
  for (const OfflineTextRow& row : kOfflineTexts) {
    if (row.id != text) continue;
    const std::string fromFile = GetText(row.key);
    return QString::fromStdString(fromFile.empty() ? std::string(row.english) : fromFile);
  }
  return {};
}

}  // namespace orv
