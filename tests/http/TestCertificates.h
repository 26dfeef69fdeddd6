#pragma once
// Certificates made when a test starts: a certificate authority that exists nowhere else and a
// server certificate it signs for 127.0.0.1. Only a request that names the authority's file
// trusts the server.
#include <openssl/ssl.h>

#include <memory>
#include <string>

namespace korvane::testing {

class TestCertificates {
 public:
  TestCertificates();
  ~TestCertificates();
  TestCertificates(const TestCertificates&) = delete;
  TestCertificates& operator=(const TestCertificates&) = delete;

  const std::string& AuthorityFile() const { return authorityFile_; }  // PEM
  SSL_CTX* ServerContext() const { return context_.get(); }

 private:
  struct CtxFree {
    void operator()(SSL_CTX* context) const { SSL_CTX_free(context); }
  };
  std::string authorityFile_;
  std::unique_ptr<SSL_CTX, CtxFree> context_;
};

}  // namespace korvane::testing
