#include "text/CodePage.h"

#include <unicode/normalizer2.h>
#include <unicode/ucnv.h>
#include <unicode/uniset.h>
#include <unicode/ustring.h>
#include <unicode/utf16.h>

#include <memory>
#include <mutex>

namespace korvane {
namespace {

struct ConverterCloser {
  void operator()(UConverter* c) const { ucnv_close(c); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterCloser>;

// ICU converters keep state and are not shared between threads: one per thread.
UConverter* Gbk() {
  thread_local ConverterPtr converter = [] {
    UErrorCode status = U_ZERO_ERROR;
    ConverterPtr c(ucnv_open("windows-936-2000", &status));
    if (U_FAILURE(status)) return ConverterPtr();
    ucnv_setSubstChars(c.get(), "?", 1, &status);
    return c;
  }();
  return converter.get();
}

bool IsAnsiOr936(int codePage) { return codePage == kCodePageAnsi || codePage == kCodePage936; }

// The characters that code page 936 holds, for the composite check.
const icu::UnicodeSet* Gbk936Set() {
  static std::once_flag once;
  static icu::UnicodeSet* set = nullptr;
  std::call_once(once, [] {
    static icu::UnicodeSet holder;
    UErrorCode status = U_ZERO_ERROR;
    if (UConverter* c = Gbk()) {
      ucnv_getUnicodeSet(c, holder.toUSet(), UCNV_ROUNDTRIP_SET, &status);
      if (U_SUCCESS(status)) {
        holder.freeze();
        set = &holder;
      }
    }
  });
  return set;
}

// Base character + combining marks → the precomposed character where 936 has one.
std::u16string ComposeFor936(std::u16string_view wide) {
  UErrorCode status = U_ZERO_ERROR;
  const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
  const icu::UnicodeSet* gbk = Gbk936Set();
  if (U_FAILURE(status) || !gbk) return std::u16string(wide);
  std::u16string out;
  out.reserve(wide.size());
  std::size_t i = 0;
  while (i < wide.size()) {
    UChar32 base;
    U16_NEXT(wide.data(), i, wide.size(), base);
    while (i < wide.size()) {
      std::size_t next = i;
      UChar32 mark;
      U16_NEXT(wide.data(), next, wide.size(), mark);
      if (nfc->getCombiningClass(mark) == 0) break;
      const UChar32 composed = nfc->composePair(base, mark);
      if (composed < 0 || !gbk->contains(composed)) break;
      base = composed;
      i = next;
    }
    if (U_IS_BMP(base)) {
      out.push_back(static_cast<char16_t>(base));
    } else {
      out.push_back(U16_LEAD(base));
      out.push_back(U16_TRAIL(base));
    }
  }
  return out;
}

}  // namespace

std::u16string MultiByteToWide(int codePage, std::string_view text) {
  if (text.empty()) return {};
  std::u16string out(text.size(), u'\0');  // never more units than bytes
  UErrorCode status = U_ZERO_ERROR;
  int32_t length = 0;
  if (codePage == kCodePageUtf8) {
    u_strFromUTF8WithSub(reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()), &length,
                         text.data(), static_cast<int32_t>(text.size()), 0xFFFD, nullptr, &status);
  } else if (IsAnsiOr936(codePage) && Gbk()) {
    UConverter* c = Gbk();
    ucnv_resetToUnicode(c);
    length = ucnv_toUChars(c, reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()), text.data(),
                           static_cast<int32_t>(text.size()), &status);
  } else {
    return {};
  }
  if (U_FAILURE(status) && status != U_STRING_NOT_TERMINATED_WARNING) return {};
  out.resize(static_cast<std::size_t>(length));
  return out;
}

std::string WideToMultiByte(int codePage, std::u16string_view wide, bool compositeCheck) {
  if (wide.empty()) return {};
  UErrorCode status = U_ZERO_ERROR;
  int32_t length = 0;
  std::string out;
  if (codePage == kCodePageUtf8) {
    out.resize(wide.size() * 3);
    u_strToUTF8WithSub(out.data(), static_cast<int32_t>(out.size()), &length,
                       reinterpret_cast<const UChar*>(wide.data()), static_cast<int32_t>(wide.size()), 0xFFFD, nullptr,
                       &status);
  } else if (IsAnsiOr936(codePage) && Gbk()) {
    std::u16string composed;
    if (compositeCheck) {
      composed = ComposeFor936(wide);
      wide = composed;
    }
    UConverter* c = Gbk();
    ucnv_resetFromUnicode(c);
    out.resize(wide.size() * 2);
    length = ucnv_fromUChars(c, out.data(), static_cast<int32_t>(out.size()),
                             reinterpret_cast<const UChar*>(wide.data()), static_cast<int32_t>(wide.size()), &status);
  } else {
    return {};
  }
  if (U_FAILURE(status) && status != U_STRING_NOT_TERMINATED_WARNING) return {};
  out.resize(static_cast<std::size_t>(length));
  return out;
}

}  // namespace korvane
