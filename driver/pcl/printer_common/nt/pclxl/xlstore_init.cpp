// The page store until pages are kept in files and replayed in a new order:
// it delivers every flush to the spooler at once, in the order it arrives,
// so that a booklet or reverse-order job prints (in reading order) and the
// store commands run exactly as they will with the replaying store.
#include "driver/pcl/printer_common/nt/pclxl/xlstore_init.h"

#include <new>

#include "driver/pcl/printer_common/nt/pclxl/xlpagestore.h"
#include "driver/pcl/printer_common/nt/pclxl/xlsink.h"
#include "driver/pcl/printer_common/nt/pclxl/xltrace.h"

namespace {

class PassThroughPageStore final : public XlPageStore {
 public:
  BOOL Booklet_Reverse_StoreData(DevParams* pdevparams, DWORD command, const BYTE* pData, DWORD cbData,
                                 DWORD) override {
    if (!pdevparams) return FALSE;
    switch (command) {
      case BOOKLET_REVERSE_NEW_FRAME:
      case BOOKLET_REVERSE_HANDLE_PRINTER:  // the sink parameters already name the printer
        return TRUE;
      case BOOKLET_REVERSE_END_DOC: {
        BOOL ok = StreamWritePrinter(&staging_, pdevparams->hPrinter, pData, cbData, nullptr);
        if (!FlushStream(&staging_, pdevparams->hPrinter)) ok = FALSE;
        FreeBooklet_Reverseprint(pdevparams);  // deletes this store
        return ok;
      }
      default:
        return StreamWritePrinter(&staging_, pdevparams->hPrinter, pData, cbData, nullptr);
    }
  }

 private:
  StagingBuffer staging_{};
};

}  // namespace

BOOL InitBooklet_Reverseprint(DevParams* pdevparams) {
  if (!pdevparams) return FALSE;
  auto* store = new (std::nothrow) PassThroughPageStore;
  if (!store) {
    XlTrace("MEMALLOC failed in InitBooklet_Reverseprint\n");
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
  }
  pdevparams->pPageStore = store;
  pdevparams->pBooklet_Reverse_Info = store;
  return TRUE;
}

void FreeBooklet_Reverseprint(DevParams* pdevparams) {
  if (!pdevparams || !pdevparams->pBooklet_Reverse_Info) return;
  delete static_cast<PassThroughPageStore*>(pdevparams->pBooklet_Reverse_Info);
  pdevparams->pBooklet_Reverse_Info = nullptr;
  pdevparams->pPageStore = nullptr;
}
