#include "platform/outside/device/fault_plan.h"

#include <array>
#include <charconv>
#include <utility>

namespace k460::device {
namespace {

struct KindName {
  FaultKind kind;
  std::string_view name;
  int defaultValue;
};

constexpr std::array kKinds = {
    KindName{FaultKind::Busy, "busy", 601},         KindName{FaultKind::Refuse, "refuse", 650},
    KindName{FaultKind::Retry, "retry", 604},       KindName{FaultKind::NoCode, "nocode", 0},
    KindName{FaultKind::NoServiceId, "noserviceid", 0}, KindName{FaultKind::BadCode, "badcode", 0},
    KindName{FaultKind::BadServiceId, "badserviceid", 0}, KindName{FaultKind::Drop, "drop", 0},
    KindName{FaultKind::Delay, "delay", 3000},      KindName{FaultKind::Garbage, "garbage", 0},
    KindName{FaultKind::Huge, "huge", 0},           KindName{FaultKind::HttpError, "httperror", 500},
    KindName{FaultKind::WrongType, "wrongtype", 0},
};

constexpr std::array<std::string_view, 8> kTargets = {"*", "GETSTATUS", "CREATE", "ADD", "END", "FAX", "GETUSERID",
                                                      "DATA"};

std::optional<int> Number(std::string_view text) {
  int value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

bool ReplacesCommand(FaultKind kind) {
  return kind == FaultKind::Busy || kind == FaultKind::Refuse || kind == FaultKind::Retry;
}

std::optional<Fault> ParseFault(std::string_view text, std::string* error) {
  Fault fault;
  std::string_view times, target, value;
  if (std::size_t star = text.find('*', text.find('@') == std::string_view::npos ? 0 : text.find('@') + 2);
      star != std::string_view::npos) {
    times = text.substr(star + 1);
    text = text.substr(0, star);
  }
  if (std::size_t at = text.find('@'); at != std::string_view::npos) {
    target = text.substr(at + 1);
    text = text.substr(0, at);
  }
  if (std::size_t equals = text.find('='); equals != std::string_view::npos) {
    value = text.substr(equals + 1);
    text = text.substr(0, equals);
  }
  const KindName* kind = nullptr;
  for (const KindName& candidate : kKinds) {
    if (candidate.name == text) kind = &candidate;
  }
  if (!kind) {
    *error = "unknown fault \"" + std::string(text) + "\"";
    return std::nullopt;
  }
  fault.kind = kind->kind;
  fault.value = kind->defaultValue;
  if (!value.empty()) {
    std::optional<int> number = Number(value);
    bool ok = number.has_value();
    if (ok && fault.kind == FaultKind::Busy) ok = *number >= 601 && *number <= 603;
    if (ok && fault.kind == FaultKind::Delay) ok = *number >= 0 && *number <= 600000;
    if (ok && fault.kind == FaultKind::HttpError) ok = *number >= 400 && *number <= 599;
    if (ok && fault.kind == FaultKind::Refuse) ok = *number >= 0 && *number <= 99999;
    if (!ok || fault.kind == FaultKind::Retry || kind->defaultValue == 0) {
      *error = "bad value \"" + std::string(value) + "\" for " + std::string(kind->name);
      return std::nullopt;
    }
    fault.value = *number;
  }
  if (!target.empty()) {
    bool known = false;
    for (std::string_view candidate : kTargets) known = known || candidate == target;
    if (!known) {
      *error = "unknown target \"" + std::string(target) + "\"";
      return std::nullopt;
    }
    fault.target = std::string(target);
  }
  if (!times.empty()) {
    std::optional<int> count = times == "always" ? std::optional<int>(-1) : Number(times);
    if (!count || *count == 0 || *count < -1) {
      *error = "bad count \"" + std::string(times) + "\"";
      return std::nullopt;
    }
    fault.times = *count;
  }
  return fault;
}

std::string FaultText(const Fault& fault) {
  std::string text;
  for (const KindName& candidate : kKinds) {
    if (candidate.kind == fault.kind) {
      text = std::string(candidate.name);
      if (candidate.defaultValue != 0 && fault.kind != FaultKind::Retry) text += "=" + std::to_string(fault.value);
    }
  }
  text += "@" + fault.target + "*" + (fault.times < 0 ? std::string("always") : std::to_string(fault.times));
  return text;
}

void FaultPlan::Add(const Fault& fault) {
  std::lock_guard lock(mutex_);
  faults_.push_back(fault);
}

std::string FaultPlan::AddText(std::string_view text) {
  std::vector<Fault> parsed;
  std::size_t position = 0;
  while (position < text.size()) {
    std::size_t end = text.find_first_of(", \t\r\n", position);
    if (end == std::string_view::npos) end = text.size();
    std::string_view item = text.substr(position, end - position);
    position = end + 1;
    if (item.empty()) continue;
    std::string error;
    std::optional<Fault> fault = ParseFault(item, &error);
    if (!fault) return error;
    parsed.push_back(*fault);
  }
  std::lock_guard lock(mutex_);
  faults_.insert(faults_.end(), parsed.begin(), parsed.end());
  return "";
}

void FaultPlan::Clear() {
  std::lock_guard lock(mutex_);
  faults_.clear();
}

std::vector<Fault> FaultPlan::Pending() const {
  std::lock_guard lock(mutex_);
  return faults_;
}

std::optional<Fault> FaultPlan::Take(std::string_view target, bool replacing) {
  std::lock_guard lock(mutex_);
  for (auto fault = faults_.begin(); fault != faults_.end(); ++fault) {
    if (ReplacesCommand(fault->kind) != replacing) continue;
    if (fault->target != "*" && fault->target != target) continue;
    Fault taken = *fault;
    if (fault->times > 0 && --fault->times == 0) faults_.erase(fault);
    return taken;
  }
  return std::nullopt;
}

}  // namespace k460::device
