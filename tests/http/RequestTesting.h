#pragma once
// What the request tests share: the expected default header lines, and the caller's variables
// preset to values that a failed request must leave as they are.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "http/WebRequest.h"

namespace korvane::testing {

inline const std::string kAgentLine = "User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";

// The header lines that a request with every option left out sends after Host and User-Agent.
inline std::vector<std::string> DefaultLines(const std::string& url) {
  return {"Accept: */*", "Referer: " + url, "Accept-Language: zh-cn",
          "Content-Type: application/x-www-form-urlencoded"};
}

inline std::string Join(const std::vector<std::string>& lines, const std::string& separator = "\r\n") {
  std::string out;
  for (const auto& line : lines) out += (out.empty() ? "" : separator) + line;
  return out;
}

// Every in/out and out variable of a request, preset; `Check` asserts that none has changed.
struct CallerVariables {
  Text cookies = "keep=1";
  Text returnedCookies = "returned";
  Text headers = "X-Keep: 1";
  Text returnedHeaders = "raw";
  Bytes postBytes{'k', 0, 'p'};
  Text diagnostic;

  void Attach(WebRequestArgs& args) {
    args.cookies = &cookies;
    args.returnedCookies = &returnedCookies;
    args.headers = &headers;
    args.returnedHeaders = &returnedHeaders;
    args.postBytes = &postBytes;
    args.diagnostic = &diagnostic;
  }

  void ExpectUntouched() const {
    EXPECT_EQ(cookies, "keep=1");
    EXPECT_EQ(returnedCookies, "returned");
    EXPECT_EQ(headers, "X-Keep: 1");
    EXPECT_EQ(returnedHeaders, "raw");
    EXPECT_EQ(postBytes, (Bytes{'k', 0, 'p'}));
  }
};

}  // namespace korvane::testing
