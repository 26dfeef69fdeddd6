#include "text/LocaleCompare.h"

#include <unicode/ucol.h>

#include <memory>

#include "text/CodePage.h"

namespace korvane {
namespace {

struct CollatorCloser {
  void operator()(UCollator* c) const { ucol_close(c); }
};
using CollatorPtr = std::unique_ptr<UCollator, CollatorCloser>;

// Collators are not shared between threads: one per thread. Identical strength keeps texts that
// differ only in ways the collation ignores apart, so that only equal texts compare equal.
UCollator* Collator() {
  thread_local CollatorPtr collator = [] {
    UErrorCode status = U_ZERO_ERROR;
    CollatorPtr c(ucol_open("zh", &status));
    if (U_FAILURE(status)) return CollatorPtr();
    ucol_setAttribute(c.get(), UCOL_NUMERIC_COLLATION, UCOL_ON, &status);
    ucol_setAttribute(c.get(), UCOL_STRENGTH, UCOL_IDENTICAL, &status);
    return U_FAILURE(status) ? CollatorPtr() : std::move(c);
  }();
  return collator.get();
}

}  // namespace

int LocaleCompare(std::string_view a, std::string_view b) {
  UCollator* collator = Collator();
  if (!collator) return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
  const std::u16string wa = MultiByteToWide(kCodePage936, a);
  const std::u16string wb = MultiByteToWide(kCodePage936, b);
  const UCollationResult r =
      ucol_strcoll(collator, reinterpret_cast<const UChar*>(wa.data()), static_cast<int32_t>(wa.size()),
                   reinterpret_cast<const UChar*>(wb.data()), static_cast<int32_t>(wb.size()));
  if (r != UCOL_EQUAL) return r == UCOL_LESS ? -1 : 1;
  // Bytes that read as the same characters (invalid sequences) still differ.
  const int bytes = a.compare(b);
  return bytes < 0 ? -1 : (bytes > 0 ? 1 : 0);
}

std::string LocaleSortKey(std::string_view text) {
  UCollator* collator = Collator();
  if (!collator) return std::string(text);
  const std::u16string wide = MultiByteToWide(kCodePage936, text);
  const auto* units = reinterpret_cast<const UChar*>(wide.data());
  const auto length = static_cast<int32_t>(wide.size());
  std::string key(64, '\0');
  int32_t needed = ucol_getSortKey(collator, units, length, reinterpret_cast<uint8_t*>(key.data()),
                                   static_cast<int32_t>(key.size()));
  if (needed > static_cast<int32_t>(key.size())) {
    key.resize(static_cast<std::size_t>(needed));
    needed = ucol_getSortKey(collator, units, length, reinterpret_cast<uint8_t*>(key.data()), needed);
  }
  key.resize(needed > 0 ? static_cast<std::size_t>(needed) - 1 : 0);  // drop the key's terminating zero
  // The texts' own bytes break ties, as in LocaleCompare.
  key += '\0';
  key.append(text);
  return key;
}

}  // namespace korvane
