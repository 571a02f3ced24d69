// Events: manual-reset events stay signalled until reset; auto-reset events
// let exactly one wait through per SetEvent.
#include "platform/sync/sync.h"
#include "platform/sync/waitable.h"

namespace k460 {
namespace {

class EventObject : public Waitable {
 public:
  EventObject(bool manualReset, bool signalled) : manualReset_(manualReset), signalled_(signalled) {}
  bool IsSignalledFor(ThreadToken) const override { return signalled_; }
  bool Acquire(ThreadToken) override {
    if (!manualReset_) signalled_ = false;
    return false;
  }
  void Set(bool signalled) { signalled_ = signalled; }

 private:
  const bool manualReset_;
  bool signalled_;
};

BOOL SetEventState(const char* function, HANDLE hEvent, bool signalled) {
  if (CallFailsSetError(function)) return FALSE;
  auto event = LookupHandleAs<EventObject>(hEvent);
  if (!event) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  std::lock_guard lock(WaitLock());
  event->Set(signalled);
  if (signalled) NotifyWaiters();
  return TRUE;
}

}  // namespace
}  // namespace k460

K460_API HANDLE CreateEventW(LPSECURITY_ATTRIBUTES, BOOL bManualReset, BOOL bInitialState, LPCWSTR lpName) {
  if (k460::CallFailsSetError("CreateEventW")) return nullptr;
  return k460::CreateNamedObject<k460::EventObject>(lpName, [&] {
    return std::make_shared<k460::EventObject>(bManualReset != FALSE, bInitialState != FALSE);
  });
}

K460_API BOOL SetEvent(HANDLE hEvent) { return k460::SetEventState("SetEvent", hEvent, true); }
K460_API BOOL ResetEvent(HANDLE hEvent) { return k460::SetEventState("ResetEvent", hEvent, false); }
