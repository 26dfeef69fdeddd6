#include "http/CurlHandles.h"

#include <mutex>

namespace korvane {

bool CurlReady() {
  static std::once_flag once;
  static bool ready = false;
  // Never cleaned up: requests on detached threads may still run while the process ends.
  std::call_once(once, [] { ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; });
  return ready;
}

bool AppendLine(SlistHandle& list, const char* line) {
  curl_slist* grown = curl_slist_append(list.get(), line);
  if (!grown) return false;
  (void)list.release();
  list.reset(grown);
  return true;
}

}  // namespace korvane
