// korvane-search: the window's search, in a terminal.
#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "cli/CliOptions.h"
#include "cli/StreamControlPort.h"
#include "http/WebRequest.h"
#include "sample-site/SampleSite.h"
#include "search/SearchWorker.h"
#include "search/SiteBase.h"
#include "search/TextCodecs.h"

namespace {

using namespace korvane;

// Progress on standard error, in UTF-8.
class ProgressReport : public SearchObserver {
 public:
  void PageRequested(const Text& url) override { std::cerr << "korvane-search: asking for " << url << '\n'; }
  void PageCountRead(int count) override {
    std::cerr << "korvane-search: the site announces " << count << " page(s)\n";
    pageCount = count;
  }
  void RowsFound(int page, int rows) override {
    std::cerr << "korvane-search: page " << page << ": " << rows << " result(s)\n";
    total += rows;
  }
  void PageReadShort(int page) override {
    if (page == 0) {
      std::cerr << "korvane-search: the first page could not be read to its end (its markup makes the "
                   "page-link pattern run too long); the page count comes from the part before\n";
    } else {
      std::cerr << "korvane-search: page " << page << " could not be read to its end (its markup makes the "
                   "result pattern run too long); the results before that point are kept\n";
    }
  }
  int total = 0;
  int pageCount = 0;
};

int Usage(const std::string& error) {
  std::cerr << "korvane-search: " << error << "\n\n" << kCliUsage;
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const auto parsed = ParseCliOptions(std::vector<std::string>(argv + 1, argv + argc));
  if (!parsed.options) return Usage(parsed.error);
  const CliOptions& options = *parsed.options;
  if (options.help) {
    std::cout << kCliUsage;
    return 0;
  }
  // The system works in code page 936: a keyword it cannot hold would be searched for as '?'.
  const Text keyword = Utf8ToLocal(options.keyword);
  if (LocalToUtf8(keyword) != options.keyword) {
    return Usage("the keyword holds characters that code page 936 cannot write (or is not UTF-8)");
  }

  site::SampleSite demoSite;
  Text siteBase(SearchSiteBase);
  if (options.site) siteBase = *options.site;
  if (options.demo) {
    if (!demoSite.Start(0)) {
      std::cerr << "korvane-search: cannot start the sample site: " << demoSite.Error() << '\n';
      return 1;
    }
    siteBase = demoSite.BaseAddress();
    std::cerr << "korvane-search: sample site at " << siteBase << '\n';
  }

  StreamControlPort port(keyword, std::cout, options.json);
  ProgressReport progress;
  bool firstPage = true;
  Text firstFailure;
  SearchJob job;
  job.port = &port;
  job.siteBase = siteBase;
  job.observer = &progress;
  int firstStatus = 0;
  job.fetch = [&](const Text& url, const std::atomic<bool>& cancelled) {
    Text diagnostic;
    int status = 0;
    FetchWatch watch;
    watch.cancel = &cancelled;
    watch.diagnostic = &diagnostic;
    watch.status = &status;
    watch.connectTimeout = watch.noProgressTimeout = std::chrono::seconds(options.timeoutSeconds);
    Text body = FetchPageText(url, watch);
    if (!diagnostic.empty()) {
      std::cerr << "korvane-search: " << url << ": " << diagnostic << '\n';
      if (firstPage) firstFailure = diagnostic;
    } else if (status >= 400) {
      // The page is read all the same (an error page holds no results), but the user learns why.
      std::cerr << "korvane-search: " << url << ": the site answered with HTTP status " << status << '\n';
      if (firstPage) firstStatus = status;
    }
    firstPage = false;
    return body;
  };
  SearchWorker(job);

  if (!firstFailure.empty()) {
    std::cerr << "korvane-search: the site could not be reached: " << firstFailure << '\n';
    return 1;
  }
  // An error page in place of the first page announces nothing: the search could not run.
  if (firstStatus != 0 && progress.pageCount <= 0) {
    std::cerr << "korvane-search: the site did not give the first page (HTTP status " << firstStatus << ")\n";
    return 1;
  }
  std::cerr << "korvane-search: " << progress.total << " result(s)\n";
  return 0;
}
