#include "text/CodePage.h"

#include <unicode/normalizer2.h>
#include <unicode/ucnv.h>
#include <unicode/uniset.h>
#include <unicode/ustring.h>
#include <unicode/utf16.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

namespace korvane {
namespace {

struct ConverterCloser {
  void operator()(UConverter* c) const { ucnv_close(c); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterCloser>;

// Reading 936 goes through ICU. Its converters keep state and are not shared between threads:
// one per thread.
UConverter* Gbk() {
  thread_local ConverterPtr converter = [] {
    UErrorCode status = U_ZERO_ERROR;
    ConverterPtr c(ucnv_open("windows-936-2000", &status));
    return U_FAILURE(status) ? ConverterPtr() : std::move(c);
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

// Code page 936 bytes of every BMP code point: a value below 0x100 is one byte, anything else a
// lead and a trail byte. Unmappable code points and surrogates hold '?'. Built once from ICU's
// table in a single conversion, so it cannot drift from the general path.
const std::array<std::uint16_t, 0x10000>* Gbk936Encoding() {
  static std::once_flag once;
  static std::array<std::uint16_t, 0x10000> table;
  static bool ready = false;
  std::call_once(once, [] {
    table.fill('?');
    std::u16string all;
    all.reserve(0x10000);
    for (std::uint32_t u = 1; u < 0x10000; ++u) {
      if (u < 0xD800 || u > 0xDFFF) all.push_back(static_cast<char16_t>(u));
    }
    UErrorCode status = U_ZERO_ERROR;
    ConverterPtr c(ucnv_open("windows-936-2000", &status));
    if (U_FAILURE(status)) return;
    ucnv_setSubstChars(c.get(), "?", 1, &status);
    std::string out(all.size() * 2, '\0');
    std::vector<int32_t> offsets(out.size(), -1);
    char* target = out.data();
    const UChar* source = reinterpret_cast<const UChar*>(all.data());
    ucnv_fromUnicode(c.get(), &target, out.data() + out.size(), &source, source + all.size(), offsets.data(), true,
                     &status);
    if (U_FAILURE(status)) return;
    const auto produced = static_cast<std::size_t>(target - out.data());
    for (std::size_t i = 0; i < produced;) {
      const int32_t from = offsets[i];
      const auto unit = static_cast<std::uint16_t>(all[static_cast<std::size_t>(from)]);
      std::uint16_t bytes = static_cast<unsigned char>(out[i++]);
      if (i < produced && offsets[i] == from) bytes = static_cast<std::uint16_t>(bytes << 8 | static_cast<unsigned char>(out[i++]));
      table[unit] = bytes;
    }
    table[0] = 0;
    ready = true;
  });
  return ready ? &table : nullptr;
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
  } else if (IsAnsiOr936(codePage) && Gbk936Encoding()) {
    std::u16string composed;
    if (compositeCheck) {
      composed = ComposeFor936(wide);
      wide = composed;
    }
    // One '?' for each character without a mapping: a surrogate pair is one character, a lone
    // surrogate another.
    const auto& table = *Gbk936Encoding();
    out.resize(wide.size() * 2);
    char* dst = out.data();
    std::size_t i = 0;
    while (i < wide.size()) {
      UChar32 c;
      U16_NEXT(wide.data(), i, wide.size(), c);
      const std::uint16_t bytes = c < 0x10000 ? table[static_cast<std::size_t>(c)] : std::uint16_t{'?'};
      if (bytes >= 0x100) *dst++ = static_cast<char>(bytes >> 8);
      *dst++ = static_cast<char>(bytes & 0xFF);
    }
    length = static_cast<int32_t>(dst - out.data());
  } else {
    return {};
  }
  if (U_FAILURE(status) && status != U_STRING_NOT_TERMINATED_WARNING) return {};
  out.resize(static_cast<std::size_t>(length));
  return out;
}

std::string Utf8To936(std::string_view text) {
  const auto* table = Gbk936Encoding();
  if (!table) return {};
  // Every input byte yields at most one output byte: one to four UTF-8 bytes make at most two
  // bytes of 936, and each maximal invalid subsequence becomes one '?'.
  std::string out(text.size(), '\0');
  char* dst = out.data();
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t n = text.size();
  std::size_t i = 0;
  auto put = [&](std::uint32_t codePoint) {
    const std::uint16_t bytes = codePoint < 0x10000 ? (*table)[codePoint] : std::uint16_t{'?'};
    if (bytes >= 0x100) *dst++ = static_cast<char>(bytes >> 8);
    *dst++ = static_cast<char>(bytes & 0xFF);
  };
  auto continuation = [&](std::size_t at, unsigned char low, unsigned char high) {
    return at < n && s[at] >= low && s[at] <= high;
  };
  while (i < n) {
    // ASCII is the same in both: copy eight bytes at a time while none has its high bit set.
    while (i + 8 <= n) {
      std::uint64_t word;
      std::memcpy(&word, s + i, 8);
      if (word & 0x8080808080808080ULL) break;
      std::memcpy(dst, s + i, 8);
      dst += 8;
      i += 8;
    }
    if (i >= n) break;
    const unsigned char lead = s[i];
    if (lead < 0x80) {
      *dst++ = static_cast<char>(lead);
      ++i;
      continue;
    }
    // The second byte's range depends on the lead (no overlongs, no surrogates, nothing past
    // U+10FFFF); a sequence cut short is one replacement, and the byte that cut it starts anew.
    int length = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      if (lead == 0xE0) low = 0xA0;
      if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;
    }
    if (length == 0) {
      put(0xFFFD);
      ++i;
      continue;
    }
    std::uint32_t codePoint = lead & (0x7F >> length);
    std::size_t at = i + 1;
    bool complete = true;
    for (int k = 1; k < length; ++k, ++at) {
      if (!continuation(at, k == 1 ? low : 0x80, k == 1 ? high : 0xBF)) {
        complete = false;
        break;
      }
      codePoint = codePoint << 6 | (s[at] & 0x3F);
    }
    put(complete ? codePoint : 0xFFFD);
    i = at;
  }
  out.resize(static_cast<std::size_t>(dst - out.data()));
  return out;
}

}  // namespace korvane
