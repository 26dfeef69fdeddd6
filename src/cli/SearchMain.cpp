// korvane-search: the window's search, in a terminal.
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
  void PageCountRead(int count) override { std::cerr << "korvane-search: the site announces " << count << " page(s)\n"; }
  void RowsFound(int page, int rows) override {
    std::cerr << "korvane-search: page " << page << ": " << rows << " result(s)\n";
    total += rows;
  }
  int total = 0;
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
  job.fetch = [&](const Text& url, const std::atomic<bool>& cancelled) {
    Text diagnostic;
    Text body = FetchPageText(url, &cancelled, &diagnostic);
    if (!diagnostic.empty()) {
      std::cerr << "korvane-search: " << url << ": " << diagnostic << '\n';
      if (firstPage) firstFailure = diagnostic;
    }
    firstPage = false;
    return body;
  };
  SearchWorker(job);

  if (!firstFailure.empty()) {
    std::cerr << "korvane-search: the site could not be reached: " << firstFailure << '\n';
    return 1;
  }
  std::cerr << "korvane-search: " << progress.total << " result(s)\n";
  return 0;
}
