// Naming the module that called into the platform, and this process's program.
#include <dlfcn.h>
#include <errno.h>

#include <filesystem>

#include "platform/process/message_log.h"

namespace k460 {

std::string ModuleNameAt(const void* address) {
  Dl_info info{};
  if (address && ::dladdr(address, &info) && info.dli_fname && *info.dli_fname)
    return std::filesystem::path(info.dli_fname).filename().string();
  return program_invocation_short_name;
}

}  // namespace k460
