#pragma once
// Owners for libcurl's handles, and its one-time global set-up.
#include <curl/curl.h>

#include <memory>

namespace korvane {

struct EasyDeleter {
  void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct ShareDeleter {
  void operator()(CURLSH* handle) const { curl_share_cleanup(handle); }
};
struct SlistDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;
using ShareHandle = std::unique_ptr<CURLSH, ShareDeleter>;
using SlistHandle = std::unique_ptr<curl_slist, SlistDeleter>;

// Runs curl_global_init once for the process (it is not thread-safe itself); false when it failed.
bool CurlReady();

// Appends `line` to `list`; false when libcurl could not allocate the node.
bool AppendLine(SlistHandle& list, const char* line);

}  // namespace korvane
