// The page store's side of the stream: while booklet or reverse-order
// printing is on, every flush of the stream is filed with the page store
// under the store command in force, and the store replays the job in its
// new order at the end of the document.
#pragma once

#include "driver/pcl/printer_common/nt/pclxl/xlstream.h"

// Store commands: the value of DevParams::dwStoreCommand.
inline constexpr DWORD BOOKLET_REVERSE_START_DOC = 0;
inline constexpr DWORD BOOKLET_REVERSE_START_PAGE = 1;
inline constexpr DWORD BOOKLET_REVERSE_NEW_FRAME = 2;
inline constexpr DWORD BOOKLET_REVERSE_PAGE_DATA = 3;
inline constexpr DWORD BOOKLET_REVERSE_END_PAGE = 4;
inline constexpr DWORD BOOKLET_REVERSE_END_DOC = 5;
inline constexpr DWORD BOOKLET_REVERSE_HANDLE_PRINTER = 6;

class XlPageStore {
 public:
  // Files cbData bytes under `command`; the last argument is always 0.
  virtual BOOL Booklet_Reverse_StoreData(DevParams* pdevparams, DWORD command, const BYTE* pData, DWORD cbData,
                                         DWORD reserved) = 0;

 protected:
  ~XlPageStore() = default;
};
