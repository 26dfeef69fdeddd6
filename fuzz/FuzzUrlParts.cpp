// URL parts on any address: no crash, and the path always starts with "/".
#include <cstdint>
#include <cstdlib>
#include <string>

#include "http/ProxyList.h"
#include "http/UrlParts.h"

using namespace korvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const int levels = static_cast<signed char>(data[0]);
  const std::string url(reinterpret_cast<const char*>(data + 1), size - 1);
  for (const bool root : {false, true}) {
    for (const bool port : {false, true}) {
      (void)UrlHost(url, root, port);
      (void)UrlHost(url, root, port, levels);
    }
  }
  (void)UrlPort(url);
  const Text path = UrlPath(url);
  if (path.empty() || path[0] != '/') std::abort();
  (void)ProxyForRequest(url, (data[0] & 1) != 0);
  return 0;
}
