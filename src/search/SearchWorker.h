#pragma once
// One search, from the keyword to the last result row: the first page for the page count, then
// the numbered pages that the loop rule visits, each cut into rows for the list.
#include <atomic>
#include <functional>
#include <memory>
#include <string_view>

#include "search/ControlPort.h"
#include "text/Types.h"

namespace korvane {

// Fetches a page's body as text; an empty text on any failure. `cancelled`, when set, asks an
// unfinished transfer to stop.
using PageFetcher = std::function<Text(const Text& url, const std::atomic<bool>& cancelled)>;

// What a search reports as it goes (the command-line tool shows it); every method may be left alone.
class SearchObserver {
 public:
  virtual ~SearchObserver() = default;
  virtual void PageRequested(const Text& /*url*/) {}
  virtual void PageReceived(const Text& /*url*/, std::size_t /*bytes*/) {}
  virtual void PageCountRead(int /*count*/) {}
  virtual void RowsFound(int /*page*/, int /*rows*/) {}
  // The page's pattern gave up before the page's end (page 0 is the first page): its count or
  // rows come from the part before that point.
  virtual void PageReadShort(int /*page*/) {}
};

// The fetcher of the program: FetchPageText over HTTP, the transfer aborted when cancelled.
Text FetchPage(const Text& url, const std::atomic<bool>& cancelled);

struct SearchJob {
  ControlPort* port = nullptr;
  PageFetcher fetch;
  Text siteBase;  // scheme and host, no trailing slash
  // Set when a newer search replaces this one: the worker stops at its next step.
  std::shared_ptr<const std::atomic<bool>> cancelled;
  SearchObserver* observer = nullptr;
};

Text FirstPageAddress(std::string_view siteBase, std::string_view encodedKeyword);
Text NumberedPageAddress(std::string_view siteBase, std::string_view encodedKeyword, int page);

// Runs on the search's own thread; touches the window only through the job's port.
void SearchWorker(const SearchJob& job);

}  // namespace korvane
