#pragma once
// Owning holders for the PCRE2 handles the regex layer uses (16-bit library). Private to
// src/regex: the layer's public headers never include pcre2.h.
#ifndef PCRE2_CODE_UNIT_WIDTH
#define PCRE2_CODE_UNIT_WIDTH 16
#endif
#include <pcre2.h>

#include <memory>

namespace korvane {

struct Pcre2Free {
  void operator()(pcre2_code* p) const { pcre2_code_free(p); }
  void operator()(pcre2_compile_context* p) const { pcre2_compile_context_free(p); }
  void operator()(pcre2_match_context* p) const { pcre2_match_context_free(p); }
  void operator()(pcre2_match_data* p) const { pcre2_match_data_free(p); }
  void operator()(pcre2_jit_stack* p) const { pcre2_jit_stack_free(p); }
};

using Pcre2Code = std::unique_ptr<pcre2_code, Pcre2Free>;
using Pcre2CompileContext = std::unique_ptr<pcre2_compile_context, Pcre2Free>;
using Pcre2MatchContext = std::unique_ptr<pcre2_match_context, Pcre2Free>;
using Pcre2MatchData = std::unique_ptr<pcre2_match_data, Pcre2Free>;
using Pcre2JitStack = std::unique_ptr<pcre2_jit_stack, Pcre2Free>;

}  // namespace korvane
