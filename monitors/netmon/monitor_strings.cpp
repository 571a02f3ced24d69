#include "monitors/netmon/monitor_strings.h"

#include "monitors/netmon/monitor_state.h"
#include "monitors/netmon/netmon_strings.h"
#include "platform/module/module.h"

namespace netmon {
namespace {

std::u16string StringFrom(HMODULE module, UINT id) {
  if (!module) return {};
  const WCHAR* text = nullptr;
  int length = LoadStringW(module, id, reinterpret_cast<LPWSTR>(&text), 0);
  return length > 0 && text ? std::u16string(text, static_cast<std::size_t>(length)) : std::u16string();
}

// Strings 151, 306 to 308, 321, 323 and 404 to 411 have translations.
bool IsTranslated(UINT id) {
  return id == 151 || (id >= 306 && id <= 308) || id == 321 || id == 323 || (id >= 404 && id <= 411);
}

}  // namespace

std::u16string OwnString(UINT id) { return StringFrom(SelfModule(), id); }

std::u16string LanguageString(UINT id) {
  std::u16string text = StringFrom(LanguageModule(), id);
  return text.empty() ? OwnString(id) : text;
}

std::u16string MonitorString(UINT id) { return IsTranslated(id) ? LanguageString(id) : OwnString(id); }

std::u16string FormatText(std::u16string_view format, const std::vector<std::u16string>& args, std::size_t limit) {
  std::u16string out;
  std::size_t next = 0;
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] == u'%' && i + 1 < format.size()) {
      char16_t kind = format[i + 1];
      if (kind == u'%') {
        out += u'%';
        ++i;
        continue;
      }
      if (kind == u's' || kind == u'd') {
        if (next < args.size()) out += args[next];
        ++next;
        ++i;
        continue;
      }
    }
    out += format[i];
  }
  if (out.size() > limit) out.resize(limit);
  return out;
}

std::u16string MonitorName() { return OwnString(IDS_MONITOR_NAME); }
std::u16string PortPrefix() { return OwnString(IDS_PORT_PREFIX); }
std::u16string PortDescription() { return MonitorString(IDS_PORT_DESCRIPTION); }

}  // namespace netmon
