#include "text/CodePage.h"

#include <unicode/normalizer2.h>
#include <unicode/ucnv.h>
#include <unicode/uniset.h>
#include <unicode/ustring.h>
#include <unicode/utf16.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// How ICU reads code page 936, as a table learnt from ICU itself: for each byte alone and each
// lead byte with each following byte, the unit it gives and how many bytes that takes (1: the
// following byte is read afresh). Bytes 0x81..0xFE lead.
struct Gbk936Reading {
  std::array<char16_t, 256> single{};
  std::array<std::uint32_t, 126 * 256> pair{};  // unit | bytes taken << 16
};

const Gbk936Reading* Gbk936ReadingTable() {
  static std::once_flag once;
  static Gbk936Reading table;
  static bool ready = false;
  std::call_once(once, [] {
    UErrorCode status = U_ZERO_ERROR;
    ConverterPtr c(ucnv_open("windows-936-2000", &status));
    if (U_FAILURE(status)) return;
    // One conversion of `bytes` with offsets; false when ICU does anything the table cannot hold.
    auto read = [&](const char* bytes, int32_t length, char16_t* units, int32_t* offsets, int32_t& produced) {
      UErrorCode s = U_ZERO_ERROR;
      ucnv_resetToUnicode(c.get());
      UChar out[4];
      UChar* target = out;
      const char* source = bytes;
      ucnv_toUnicode(c.get(), &target, out + 4, &source, bytes + length, offsets, true, &s);
      produced = static_cast<int32_t>(target - out);
      for (int32_t i = 0; i < produced; ++i) units[i] = static_cast<char16_t>(out[i]);
      return U_SUCCESS(s);
    };
    char16_t units[4];
    int32_t offsets[4];
    int32_t produced = 0;
    for (int b = 0; b < 256; ++b) {
      const char byte = static_cast<char>(b);
      if (!read(&byte, 1, units, offsets, produced) || produced != 1) return;
      table.single[static_cast<std::size_t>(b)] = units[0];
    }
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
      for (int trail = 0; trail < 256; ++trail) {
        const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        if (!read(bytes, 2, units, offsets, produced)) return;
        std::uint32_t entry;
        if (produced == 1 && offsets[0] == 0) {
          entry = units[0] | 2u << 16;
        } else if (produced == 2 && offsets[0] == 0 && offsets[1] == 1) {
          // The lead alone was bad; the following byte must read as it reads alone, or as a
          // lead cut short by the end of the probe.
          const bool asAlone = units[1] == table.single[static_cast<std::size_t>(trail)];
          if (!asAlone) return;
          entry = units[0] | 1u << 16;
        } else {
          return;
        }
        table.pair[static_cast<std::size_t>((lead - 0x81) * 256 + trail)] = entry;
      }
    }
    ready = true;
  });
  return ready ? &table : nullptr;
}

// Walks `text` as code page 936, calling put(unit, byteOffset) for each unit, until put returns false.
template <typename Put>
void Read936(const Gbk936Reading& table, std::string_view text, Put&& put) {
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t n = text.size();
  std::size_t i = 0;
  while (i < n) {
    const unsigned char b = s[i];
    if (b < 0x81 || b == 0xFF || i + 1 == n) {
      if (!put(table.single[b], i)) return;
      ++i;
      continue;
    }
    const std::uint32_t entry = table.pair[static_cast<std::size_t>((b - 0x81) * 256 + s[i + 1])];
    if (!put(static_cast<char16_t>(entry & 0xFFFF), i)) return;
    i += entry >> 16;
  }
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

std::u16string Gbk936ToWide(std::string_view text) {
  std::u16string out(text.size(), u'\0');  // never more units than bytes
  out.resize(Gbk936ToWide(text, out.data()));
  return out;
}

std::size_t Gbk936ToWide(std::string_view text, char16_t* out) {
  const Gbk936Reading* table = Gbk936ReadingTable();
  if (!table) {
    const std::u16string wide = MultiByteToWide(kCodePage936, text);
    std::copy(wide.begin(), wide.end(), out);
    return wide.size();
  }
  char16_t* dst = out;
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t n = text.size();
  std::size_t i = 0;
  while (i < n) {
    // ASCII reads as itself: widened sixteen bytes at a time while none has its high bit set.
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    while (i + 16 <= n) {
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
      const auto high = static_cast<unsigned>(_mm_movemask_epi8(bytes));
      if (high == 0) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), _mm_unpacklo_epi8(bytes, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 8), _mm_unpackhi_epi8(bytes, zero));
        dst += 16;
        i += 16;
        continue;
      }
      const int ascii = std::countr_zero(high);
      for (int k = 0; k < ascii; ++k) *dst++ = s[i++];
      break;
    }
#else
    while (i + 8 <= n) {
      std::uint64_t word;
      std::memcpy(&word, s + i, 8);
      if (word & 0x8080808080808080ULL) break;
      for (int k = 0; k < 8; ++k) *dst++ = s[i++];
    }
#endif
    if (i >= n) break;
    const unsigned char b = s[i];
    if (b < 0x81 || b == 0xFF || i + 1 == n) {
      *dst++ = table->single[b];
      ++i;
      continue;
    }
    const std::uint32_t entry = table->pair[static_cast<std::size_t>((b - 0x81) * 256 + s[i + 1])];
    *dst++ = static_cast<char16_t>(entry & 0xFFFF);
    i += entry >> 16;
  }
  return static_cast<std::size_t>(dst - out);
}

std::string WideToGbk936(std::u16string_view wide) {
  const auto* table = Gbk936Encoding();
  if (!table) return WideToMultiByte(kCodePage936, wide);
  // Short texts go through a buffer on the stack, so that the result is allocated once at its
  // own size (and not at all when it fits the string's own room).
  char small[256];
  std::string large;
  char* dst = small;
  if (wide.size() * 2 > sizeof small) {
    large.resize(wide.size() * 2);
    dst = large.data();
  }
  char* const begin = dst;
  std::size_t i = 0;
  while (i < wide.size()) {
    if (wide[i] < 0x80) {
      *dst++ = static_cast<char>(wide[i++]);
      continue;
    }
    UChar32 c;
    U16_NEXT(wide.data(), i, wide.size(), c);
    // As WideToMultiByte: a surrogate pair is one unmappable character, one '?'.
    const std::uint16_t bytes = c < 0x10000 ? (*table)[static_cast<std::size_t>(c)] : std::uint16_t{'?'};
    if (bytes >= 0x100) *dst++ = static_cast<char>(bytes >> 8);
    *dst++ = static_cast<char>(bytes & 0xFF);
  }
  const auto length = static_cast<std::size_t>(dst - begin);
  if (begin == small) return std::string(small, length);
  large.resize(length);
  return large;
}

std::size_t Gbk936BytesForUnits(std::string_view text, std::size_t units) {
  const Gbk936Reading* table = Gbk936ReadingTable();
  if (!table) return text.size();
  std::size_t produced = 0;
  std::size_t offset = text.size();
  Read936(*table, text, [&](char16_t, std::size_t at) {
    if (produced == units) {
      offset = at;
      return false;
    }
    ++produced;
    return true;
  });
  return offset;
}

}  // namespace korvane
