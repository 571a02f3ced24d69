// Fax user entries ("UserInfoData"): which user's number and name go into
// the page header of a fax job.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "driver/winnt/printer/src/common/printer_data_records.h"
#include "platform/base/types.h"

namespace k460::hostsettings {

struct FaxUser {
  std::string userNumber;
  std::string userName;
};

// The used records are packed from the first slot: count the records with a
// nonzero key among all slots, then search only that many leading slots. Key
// 0 (no user chosen) finds nothing.
std::optional<FaxUser> FindFaxUser(const UserInfoSlots& slots, std::int32_t key);

inline constexpr std::size_t kFaxUserNameTextBytes = 39;  // the page header field holds 40 with the NUL
// The page header's user text: user number, ":", user name; ":" alone when
// the key names no user. Cut to 39 bytes, never inside a double-byte
// character of `codePage`.
std::string FaxUserNameText(const UserInfoSlots& slots, std::int32_t key, UINT codePage);

}  // namespace k460::hostsettings
