// The host's table of live local-memory blocks (see SusiePlugin.h). Every
// executable that links the plug-in host exports it, so the plug-ins it
// loads enter their blocks here.
#include <mutex>
#include <unordered_set>

#include "plugins/SusiePlugin.h"

extern "C" int SusieLocalTable(int op, SusieHandle h) {
  static std::mutex lock;
  static std::unordered_set<SusieHandle> live;
  const std::lock_guard<std::mutex> guard(lock);
  switch (op) {
    case SUSIE_TABLE_ENTER: live.insert(h); return 1;
    case SUSIE_TABLE_REMOVE: return int(live.erase(h));
    case SUSIE_TABLE_HOLDS: return int(live.count(h));
    default: return 0;
  }
}
