#pragma once
// The sample search site, served in-process on a loopback port: tests, the demo and the
// benchmarks start one, point the client at BaseAddress() and read back what it was asked.
//
// Pages and keyword directives: SitePages.h and KeywordPlan.h. Besides "/word/" pages the site
// answers "/" with a home page and anything else with 404.
#include "sample-site/FaultRule.h"

#include <memory>
#include <string>
#include <vector>

namespace korvane::site {

class SampleSite {
 public:
  SampleSite();
  ~SampleSite();  // stops the site
  SampleSite(const SampleSite&) = delete;
  SampleSite& operator=(const SampleSite&) = delete;

  // Binds `host` (a loopback address: 127.0.0.0/8, ::1 or "localhost") on `port`, 0 for any
  // free one, and serves on background threads. False when the host is not loopback, the port
  // cannot be bound or the site already runs; Error() then says why.
  bool Start(int port = 0, const std::string& host = "127.0.0.1");
  // Ends every answer in progress (slow ones included), closes the connections and waits for
  // the serving threads. Idempotent; the site can be started again afterwards.
  void Stop();

  bool Running() const;
  int Port() const;                 // 0 when not running
  std::string BaseAddress() const;  // "http://127.0.0.1:PORT", "http://[::1]:PORT"
  std::string Error() const;

  // Rules for every keyword, consulted after the keyword's own directives.
  void AddRule(const FaultRule& rule);
  void ClearRules();

  // The request targets (path and query as sent, percent-encoding intact) in the order their
  // answers began, from the start or the last ClearRequests (the latest 100000 of them).
  std::vector<std::string> Requests() const;
  void ClearRequests();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Whether `host` names a loopback address, the only kind the site binds.
bool IsLoopbackHost(const std::string& host);

}  // namespace korvane::site
