#include "TestCertificates.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509v3.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace korvane::testing {
namespace {

struct KeyFree {
  void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct CertFree {
  void operator()(X509* cert) const { X509_free(cert); }
};
struct ExtFree {
  void operator()(X509_EXTENSION* ext) const { X509_EXTENSION_free(ext); }
};
using Key = std::unique_ptr<EVP_PKEY, KeyFree>;
using Cert = std::unique_ptr<X509, CertFree>;

void Check(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(std::string("test certificates: ") + what);
}

Key NewKey() {
  Key key(EVP_EC_gen("P-256"));
  Check(key != nullptr, "key");
  return key;
}

void AddExtension(X509* cert, X509* issuer, int nid, const char* value) {
  X509V3_CTX context;
  X509V3_set_ctx_nodb(&context);
  X509V3_set_ctx(&context, issuer, cert, nullptr, nullptr, 0);
  std::unique_ptr<X509_EXTENSION, ExtFree> ext(X509V3_EXT_conf_nid(nullptr, &context, nid, value));
  Check(ext && X509_add_ext(cert, ext.get(), -1) == 1, "extension");
}

// A certificate for `subjectKey` named `commonName`, signed by `issuerKey` (itself when the
// issuer is null).
Cert NewCertificate(EVP_PKEY* subjectKey, const char* commonName, X509* issuer, EVP_PKEY* issuerKey,
                    long serial, bool authority) {
  Cert cert(X509_new());
  Check(cert != nullptr, "certificate");
  X509_set_version(cert.get(), 2);
  ASN1_INTEGER_set(X509_get_serialNumber(cert.get()), serial);
  X509_gmtime_adj(X509_getm_notBefore(cert.get()), -3600);
  X509_gmtime_adj(X509_getm_notAfter(cert.get()), 24 * 3600);
  X509_set_pubkey(cert.get(), subjectKey);
  X509_NAME* name = X509_get_subject_name(cert.get());
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>(commonName), -1, -1, 0);
  X509_set_issuer_name(cert.get(), issuer ? X509_get_subject_name(issuer) : name);
  X509* signer = issuer ? issuer : cert.get();
  if (authority) {
    AddExtension(cert.get(), signer, NID_basic_constraints, "critical,CA:TRUE");
    AddExtension(cert.get(), signer, NID_key_usage, "critical,keyCertSign,cRLSign");
  } else {
    AddExtension(cert.get(), signer, NID_basic_constraints, "critical,CA:FALSE");
    AddExtension(cert.get(), signer, NID_ext_key_usage, "serverAuth");
    AddExtension(cert.get(), signer, NID_subject_alt_name, "IP:127.0.0.1");
  }
  Check(X509_sign(cert.get(), issuerKey, EVP_sha256()) > 0, "signature");
  return cert;
}

}  // namespace

TestCertificates::TestCertificates() {
  const Key authorityKey = NewKey();
  const Cert authority = NewCertificate(authorityKey.get(), "Korvane Test Authority", nullptr, authorityKey.get(), 1, true);
  const Key serverKey = NewKey();
  const Cert server = NewCertificate(serverKey.get(), "127.0.0.1", authority.get(), authorityKey.get(), 2, false);

  const char* tmp = std::getenv("TMPDIR");
  std::string path = std::string(tmp && *tmp ? tmp : "/tmp") + "/korvane-test-ca-XXXXXX";
  const int fd = ::mkstemp(path.data());
  Check(fd >= 0, "authority file");
  FILE* file = ::fdopen(fd, "w");
  Check(file != nullptr, "authority file");
  const bool written = PEM_write_X509(file, authority.get()) == 1;
  std::fclose(file);
  authorityFile_ = path;
  Check(written, "authority file");

  context_.reset(SSL_CTX_new(TLS_server_method()));
  Check(context_ != nullptr, "context");
  Check(SSL_CTX_use_certificate(context_.get(), server.get()) == 1, "server certificate");
  Check(SSL_CTX_use_PrivateKey(context_.get(), serverKey.get()) == 1, "server key");
}

TestCertificates::~TestCertificates() {
  if (!authorityFile_.empty()) ::unlink(authorityFile_.c_str());
}

}  // namespace korvane::testing
