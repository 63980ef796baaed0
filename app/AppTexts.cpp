#include "AppTexts.h"

#include <array>
#include <string>

#include "UiTexts.h"

namespace orv {

namespace {

struct AppTextRow {
  AppText id;
  const char* key;
  const char* english;
};

constexpr std::array<AppTextRow, 17> kAppTexts = {{
    {AppText::kNoAnswer, "APP_NoAnswer",
     "The device did not answer. Check the connection and try again."},
    {AppText::kProjectNotSaved, "APP_ProjectNotSaved",
     "The project could not be saved to\n%1\nThe current settings are not stored."},
    {AppText::kProjectSavedInstead, "APP_ProjectSavedInstead",
     "The project could not be saved to\n%1\nIt was saved to\n%2"},
    {AppText::kProjectUnreadable, "APP_ProjectUnreadable",
     "The project\n%1\ncannot be read. The current settings are kept."},
    {AppText::kNotAProject, "APP_NotAProject",
     "The file\n%1\nis not a project. The current settings are kept."},
    {AppText::kProjectIncomplete, "APP_ProjectIncomplete",
     "The project\n%1\nis incomplete (cut short or edited). The current settings are kept."},
    {AppText::kLinkNone, "APP_LinkNone", "Not connected"},
    {AppText::kLinkConnected, "APP_LinkConnected", "%1 - connected"},
    {AppText::kLinkReconnecting, "APP_LinkReconnecting",
     "%1 - link lost, reconnecting (attempt %2)"},
    {AppText::kLinkReconnected, "APP_LinkReconnected", "%1 - reconnected at %2"},
    {AppText::kLinkClosed, "APP_LinkClosed", "%1 - disconnected by the operator"},
    {AppText::kLinkRefused, "APP_LinkRefused",
     "The link to the processor is lost: the command was not sent. The panel is reconnecting "
     "by itself."},
    {AppText::kNoLink, "APP_NoLink", "NO LINK"},
    {AppText::kOfflineTitle, "OFFLINE_Title", "OFFLINE - %1"},
    {AppText::kOfflineLink, "OFFLINE_Link",
     "OFFLINE - built-in virtual processor %1, no wall is driven"},
    {AppText::kOfflineWho, "OFFLINE_Who", "OFFLINE virtual processor"},
    {AppText::kOfflineCannotStart, "OFFLINE_CannotStart",
     "The built-in virtual processor cannot start: %1"},
}};

}  // namespace

QString AppTextOf(AppText text) {
  for (const AppTextRow& row : kAppTexts) {
    if (row.id != text) continue;
    const std::string fromFile = GetText(row.key);
    return QString::fromStdString(fromFile.empty() ? std::string(row.english) : fromFile);
  }
  return {};
}

}  // namespace orv
