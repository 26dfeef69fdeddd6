#include "search/SearchWorker.h"

#include "http/WebRequest.h"
#include "regex/RegexObject.h"
#include "search/PageRules.h"
#include "search/TextCodecs.h"
#include "text/TextOps.h"

namespace korvane {

Text FirstPageAddress(std::string_view siteBase, std::string_view encodedKeyword) {
  return Text(siteBase) + "/word/" + Text(encodedKeyword) + ".html";
}

Text NumberedPageAddress(std::string_view siteBase, std::string_view encodedKeyword, int page) {
  return Text(siteBase) + "/word/" + Text(encodedKeyword) + "_" + IntToText(page) + ".html";
}

Text FetchPage(const Text& url, const std::atomic<bool>& cancelled) {
  return FetchPageText(url, &cancelled, nullptr);
}

void SearchWorker(const SearchJob& job) {
  static const std::atomic<bool> kNeverCancelled{false};
  const std::atomic<bool>& cancelled = job.cancelled ? *job.cancelled : kNeverCancelled;
  SearchObserver quiet;
  SearchObserver& observer = job.observer ? *job.observer : quiet;
  ControlPort& port = *job.port;

  auto fetchDecoded = [&](const Text& url) {
    observer.PageRequested(url);
    const Text body = job.fetch(url, cancelled);
    observer.PageReceived(url, body.size());
    return UrlDecode(body, true);
  };
  auto encodedKeyword = [&] { return UrlEncode(port.ReadKeyword(), false, true); };

  RegexObject regex;
  bool complete = true;
  const int pageCount =
      ReadPageCount(regex, fetchDecoded(FirstPageAddress(job.siteBase, encodedKeyword())), &complete);
  if (!complete) observer.PageReadShort(0);
  observer.PageCountRead(pageCount);
  // The count is fixed before the loop; a site announcing three pages or more gets page 1 only.
  for (int page = 1; page <= pageCount && !cancelled; ++page) {
    // The keyword is read again for every page: a keyword changed meanwhile is used from here on.
    const Text url = NumberedPageAddress(job.siteBase, encodedKeyword(), page);
    if (cancelled) break;
    const auto rows = CutResultRows(regex, fetchDecoded(url), &complete);
    if (!complete) observer.PageReadShort(page);
    int written = 0;
    for (const ResultRow& row : rows) {
      if (cancelled) break;
      port.AppendResultRow(row);
      ++written;
    }
    observer.RowsFound(page, written);
    if (pageCount >= 3) break;
  }
}

}  // namespace korvane
