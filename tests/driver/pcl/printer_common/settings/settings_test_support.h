// Helpers of the settings tests: records as exactly-sized byte buffers (so
// that the sanitizers see any read past a record), the user's language, and
// a table-backed driver INI file.
#pragma once

#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "driver/pcl/printer_common/settings/settings.h"
#include "platform/base/host.h"

namespace settings_test {

using Bytes = std::vector<BYTE>;

inline JobSettings Defaults(bool letter) {
  JobSettings record;
  SettingsDefaults(record, u"K-460 PCL XL", letter, nullptr);
  return record;
}

// The record's bytes laid out with the given public and private sizes:
// the public part cut or zero-extended to publicSize, then the first
// privateSize bytes of the private part (zero beyond it).
inline Bytes RecordBytes(const JobSettings& record, std::size_t privateSize = kJobSettingsPrivateSize,
                         std::size_t publicSize = kJobSettingsPublicSize) {
  Bytes bytes(publicSize + privateSize, 0);
  const auto* src = reinterpret_cast<const BYTE*>(&record);
  std::memcpy(bytes.data(), src, std::min(publicSize, std::size_t{kJobSettingsPublicSize}));
  std::memcpy(bytes.data() + publicSize, src + kJobSettingsPublicSize,
              std::min(privateSize, std::size_t{kJobSettingsPrivateSize}));
  StoreLe<WORD>(bytes.data() + offsetof(DEVMODEW, dmSize), static_cast<WORD>(publicSize));
  StoreLe<WORD>(bytes.data() + offsetof(DEVMODEW, dmDriverExtra), static_cast<WORD>(privateSize));
  return bytes;
}

inline Bytes RecordBytes(const JobSettings& record, std::size_t privateSize, std::size_t publicSize,
                         std::size_t bufferSize) {
  Bytes bytes = RecordBytes(record, privateSize, publicSize);
  bytes.resize(bufferSize, 0);
  return bytes;
}

inline JobSettings AsRecord(const Bytes& bytes) {
  JobSettings record;
  std::memset(&record, 0, sizeof record);
  std::memcpy(&record, bytes.data(), std::min(bytes.size(), sizeof record));
  return record;
}

inline Bytes Raw(const JobSettings& record) {
  const auto* p = reinterpret_cast<const BYTE*>(&record);
  return Bytes(p, p + sizeof record);
}

inline void SetUserLanguage(LANGID language) {
  k460::MachineProfile profile = k460::GetMachineProfile();
  profile.userLanguage = language;
  k460::SetMachineProfile(profile);
}

class TableIni : public DriverIni {
 public:
  void Set(std::u16string section, std::u16string key, int value) { values_[{section, key}] = value; }
  int ReadInt(const WCHAR* section, const WCHAR* key, int defaultValue) const override {
    auto it = values_.find({section, key});
    return it == values_.end() ? defaultValue : it->second;
  }

 private:
  std::map<std::pair<std::u16string, std::u16string>, int> values_;
};

}  // namespace settings_test
