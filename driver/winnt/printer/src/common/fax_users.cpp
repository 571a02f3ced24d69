#include "driver/winnt/printer/src/common/fax_users.h"

#include <algorithm>

#include "platform/base/base.h"

namespace k460::hostsettings {

std::optional<FaxUser> FindFaxUser(const UserInfoSlots& slots, std::int32_t key) {
  if (key == 0) return std::nullopt;
  const auto used = static_cast<std::size_t>(
      std::ranges::count_if(slots, [](const UserInfoRecord& slot) { return slot.key != 0; }));
  for (std::size_t i = 0; i < std::min(used, slots.size()); ++i) {
    const UserInfoRecord& slot = slots[i];
    if (slot.key != key) continue;
    auto text = [](const char* field, std::size_t size) { return std::string(field, std::find(field, field + size, '\0')); };
    return FaxUser{text(slot.userNumber, kUserNumberBytes), text(slot.userName, kUserNameBytes)};
  }
  return std::nullopt;
}

std::string FaxUserNameText(const UserInfoSlots& slots, std::int32_t key, UINT codePage) {
  const FaxUser user = FindFaxUser(slots, key).value_or(FaxUser{});
  const std::string text = user.userNumber + ":" + user.userName;
  std::size_t end = 0;
  while (end < text.size()) {
    const bool lead = IsDBCSLeadByteEx(codePage, static_cast<BYTE>(text[end])) != FALSE;
    const std::size_t width = lead && end + 1 < text.size() ? 2 : 1;
    if (end + width > kFaxUserNameTextBytes) break;
    end += width;
  }
  return text.substr(0, end);
}

}  // namespace k460::hostsettings
