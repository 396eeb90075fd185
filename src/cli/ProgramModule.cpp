#include "cli/ProgramModule.h"

#include <climits>
#include <dlfcn.h>
#include <unistd.h>

#include "BuildInfo.h"

namespace {

// The folder of the running program, from the kernel rather than argv[0].
std::string ProgramDir() {
  char path[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return std::string();
  const std::string exe(path, size_t(n));
  return exe.substr(0, exe.rfind('/') + 1);
}

}  // namespace

void* ProgramModuleEntry(const char* name, const char* symbol, std::string& error) {
  const std::string dir = ProgramDir();
  const std::string file = std::string("lib") + name + ".so";
  error.clear();
  for (const std::string& path : {dir + file, dir + TOMARU_MODULE_DIR_FROM_BIN + "/" + file}) {
    if (::access(path.c_str(), F_OK) != 0) continue;
    void* module = ::dlopen(path.c_str(), RTLD_LAZY | RTLD_GLOBAL);
    if (!module) {
      const char* why = ::dlerror();
      error = why ? why : path;
      return nullptr;
    }
    if (void* entry = ::dlsym(module, symbol)) return entry;
    error = path + ": no " + symbol;
    return nullptr;
  }
  error = "no " + dir + file + " nor " + dir + TOMARU_MODULE_DIR_FROM_BIN + "/" + file;
  return nullptr;
}
