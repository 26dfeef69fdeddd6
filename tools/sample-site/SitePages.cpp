#include "sample-site/SitePages.h"

#include "sample-site/ParseDecimal.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <utility>

namespace korvane::site {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// splitmix64: small, fast and the same everywhere, which is all the rows need.
struct Rng {
  uint64_t state;
  uint64_t Next() {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform enough in [lo, hi] for the small ranges used here.
  int Between(int lo, int hi) { return lo + static_cast<int>(Next() % uint64_t(hi - lo + 1)); }
};

uint64_t Fnv1a(std::string_view bytes) {
  uint64_t h = 0xCBF29CE484222325ull;
  for (const char c : bytes) {
    h ^= static_cast<unsigned char>(c);
    h *= 0x100000001B3ull;
  }
  return h;
}

struct NameTemplate {
  const char* pattern;  // {k}: the keyword, {y}: the year of the row's date
  int minMiB, maxMiB;
  int minFiles, maxFiles;
};

constexpr std::array<NameTemplate, 8> kTemplates{{
    {"{k}.{y}.1080p.BluRay.x264.中英双字", 1400, 9000, 1, 3},
    {"{k} {y} 2160p WEB-DL HDR10 内封简繁", 9000, 60000, 1, 4},
    {"[{k}][{y}][HD-MP4][国语中字]", 700, 2500, 1, 2},
    {"{k} ({y}) 720p BDRip 双语字幕", 800, 4000, 1, 3},
    {"{k} 原声大碟 OST FLAC", 200, 900, 10, 32},
    {"【高清】{k} 国语配音版 MKV", 1500, 6000, 1, 2},
    {"{k} 1080p 蓝光原盘 DIY 简繁字幕", 20000, 48000, 20, 160},
    {"{k} 系列合集 {y} 打包", 5000, 80000, 5, 60},
}};

std::string FormatSize(int64_t centiMiB) {
  char buf[32];
  if (centiMiB >= 1024 * 100) {
    std::snprintf(buf, sizeof buf, "%.2f GB", static_cast<double>(centiMiB) / (1024.0 * 100.0));
  } else {
    std::snprintf(buf, sizeof buf, "%.2f MB", static_cast<double>(centiMiB) / 100.0);
  }
  return buf;
}

struct RowLayout {
  int full;  // rows on every page but the last
  int last;  // rows on page N
};

RowLayout LayoutOf(const KeywordPlan& plan) {
  if (plan.rowsPerPage >= 0) return {plan.rowsPerPage, plan.rowsPerPage};
  Rng rng{Fnv1a(plan.base) ^ 0x5EEDull};
  const int full = rng.Between(4, 7);
  const int last = plan.pageCount >= 2 ? rng.Between(1, full - 1) : full;
  return {full, last};
}

// Row `index` of `page`. Rows take the name templates in a per-page shuffled order, so that a
// page repeats a template only when it has more rows than there are templates.
SiteRow MakeRow(const KeywordPlan& plan, int page, int index) {
  Rng shuffle{Fnv1a(plan.base) ^ (uint64_t(page) * 0x9FB21C651E98DF25ull)};
  std::array<size_t, kTemplates.size()> order{};
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  for (size_t i = order.size() - 1; i > 0; --i) std::swap(order[i], order[shuffle.Next() % (i + 1)]);

  Rng rng{Fnv1a(plan.base) ^ (uint64_t(page) * 0xD1B54A32D192ED03ull) ^
          (uint64_t(index) * 0x8CB92BA72F3D8DD7ull)};
  rng.Next();

  const auto& tpl = kTemplates[order[static_cast<size_t>(index) % order.size()]];

  using namespace std::chrono;
  const sys_days day = sys_days{2010y / January / 1} + days{rng.Between(0, 5478)};
  const year_month_day ymd{day};
  char date[16];
  std::snprintf(date, sizeof date, "%04d-%02u-%02u", int(ymd.year()), unsigned(ymd.month()),
                unsigned(ymd.day()));

  SiteRow row;
  const std::string keyword = EscapeHtml(plan.base);
  const std::string year = std::string(date, 4);
  for (const char* p = tpl.pattern; *p;) {
    if (std::string_view(p).starts_with("{k}")) {
      row.name += keyword, p += 3;
    } else if (std::string_view(p).starts_with("{y}")) {
      row.name += year, p += 3;
    } else {
      row.name += *p++;
    }
  }
  row.size = FormatSize(int64_t(rng.Between(tpl.minMiB, tpl.maxMiB)) * 100 + rng.Between(0, 99));
  row.files = std::to_string(rng.Between(tpl.minFiles, tpl.maxFiles));
  row.date = date;
  if (index + 1 != plan.emptyHashRow) {
    for (int i = 0; i < 5; ++i) {
      const uint64_t v = rng.Next();
      for (int k = 0; k < 8; ++k) row.infoHash += kHex[(v >> (60 - 4 * k)) & 0xF];
    }
  }
  return row;
}

// One link per line: the page-count rule reads links with a pattern that stops at line ends,
// and keeping each on its own line keeps one link's text from running into the next.
void AppendLink(std::string& out, const std::string& href, std::string_view label,
                std::string_view attrs = {}) {
  out += "<a href=\"";
  out += href;
  out += '"';
  out += attrs;
  out += '>';
  out += label;
  out += "</a>\n";
}

std::string Title(const KeywordPlan& plan) {
  return EscapePercent(EscapeHtml(plan.base));
}

void AppendPager(std::string& out, const KeywordPlan& plan, const PageAddress& page) {
  const int n = plan.pageCount;
  if (n <= 0) return;
  const std::string encoded = PercentEncodeAll(plan.keyword);
  const auto href = [&](int k) {
    return "/word/" + encoded + (k > 0 ? "_" + std::to_string(k) : std::string()) + ".html";
  };
  const int current = page.numbered ? page.number : 1;
  out += "<div class=\"pager\">\n";
  if (page.numbered) AppendLink(out, href(0), "首页");
  if (page.numbered && current > 1 && current <= n) AppendLink(out, href(current - 1), "上一页");
  const int from = current <= n ? std::max(1, current - 4) : 1;
  const int to = std::min(n, from + 9);
  for (int k = from; k <= to; ++k) {
    const bool cur = page.numbered && k == current;
    AppendLink(out, href(k), std::to_string(k), cur ? " class=\"cur\"" : "");
  }
  if (to < n) out += "<span class=\"gap\">...</span>\n";
  if (current < n) AppendLink(out, href(current + 1), "下一页");
  if (n >= 2) AppendLink(out, href(n), "尾页");
  out += "</div>\n";
}

}  // namespace

std::string PercentEncodeAll(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() * 3);
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    out += '%';
    out += kHex[b >> 4];
    out += kHex[b & 0xF];
  }
  return out;
}

std::string PercentDecode(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
        HexValue(text[i + 2]) >= 0) {
      out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string EscapePercent(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    if (c == '%') {
      out += "%25";
    } else {
      out += c;
    }
  }
  return out;
}

std::string EscapeHtml(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string PagePath(std::string_view keyword, int page) {
  std::string path = "/word/" + PercentEncodeAll(keyword);
  if (page > 0) path += "_" + std::to_string(page);
  return path + ".html";
}

std::string_view TargetPath(std::string_view target) {
  target = target.substr(0, target.find('?'));
  for (const std::string_view scheme : {"http://", "https://"}) {
    if (target.starts_with(scheme)) {
      const auto slash = target.find('/', scheme.size());
      return slash == std::string_view::npos ? "/" : target.substr(slash);
    }
  }
  return target;
}

std::optional<PageAddress> ParsePagePath(std::string_view target) {
  target = TargetPath(target);
  constexpr std::string_view kPrefix = "/word/";
  constexpr std::string_view kSuffix = ".html";
  if (target.size() < kPrefix.size() + kSuffix.size() || !target.starts_with(kPrefix) ||
      !target.ends_with(kSuffix)) {
    return std::nullopt;
  }
  std::string_view middle =
      target.substr(kPrefix.size(), target.size() - kPrefix.size() - kSuffix.size());
  PageAddress page;
  const auto underscore = middle.rfind('_');
  if (underscore != std::string_view::npos) {
    if (const auto n = ParseDecimal(middle.substr(underscore + 1))) {
      page.numbered = true;
      page.number = *n;
      middle = middle.substr(0, underscore);
    }
  }
  page.keyword = PercentDecode(middle);
  return page;
}

int PageCountOf(std::string_view keyword) { return ParseKeyword(keyword).pageCount; }

std::vector<SiteRow> PageRows(const KeywordPlan& plan, int page) {
  std::vector<SiteRow> rows;
  if (page < 1 || page > plan.pageCount) return rows;
  const RowLayout layout = LayoutOf(plan);
  const int count = page == plan.pageCount ? layout.last : layout.full;
  rows.reserve(count);
  for (int i = 0; i < count; ++i) rows.push_back(MakeRow(plan, page, i));
  return rows;
}

std::vector<SiteRow> PageRows(std::string_view keyword, int page) {
  return PageRows(ParseKeyword(keyword), page);
}

std::string ResultBlock(const SiteRow& row) {
  std::string b;
  b += "<li><div class=\"T1\"><a href=\"/read/" + row.infoHash + ".html\" target=\"_blank\">";
  b += row.name;
  b += "</a></div>\n";
  b += "\t\t    <dl class=\"BotInfo\">\n\n";
  b += "<dt>大小:<span>" + row.size + "  </span> &nbsp;&nbsp;&nbsp;&nbsp;";
  b += "文件数:<span>" + row.files + " </span> &nbsp;&nbsp;&nbsp;&nbsp;";
  b += "创建日期:<span> \n<span class=\"ctime\">" + row.date + "</span></span></dt>\n";
  b += "</dl>\n";
  b += "<div class=\"dInfo\"><a href=\"magnet:?xt=urn:btih:" + row.infoHash +
       "\">磁力链接</a></div>\n";
  b += "</li>\n";
  return b;
}

PageParts RenderPageParts(const KeywordPlan& plan, const PageAddress& page,
                          const std::vector<SiteRow>& rows) {
  PageParts parts;
  const std::string title = Title(plan);
  std::string& h = parts.head;
  h += "<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">\n";
  h += "<title>" + title + " - 示例磁力站</title>\n</head>\n<body>\n";
  h += "<div class=\"top\"><a href=\"/\">示例磁力站</a></div>\n";
  h += "<form class=\"search\" action=\"/search\" method=\"get\">";
  h += "<input type=\"text\" name=\"q\" value=\"" + title + "\"></form>\n";
  if (!plan.base.empty()) {
    // Links to other first pages: they name no page number, so they never count as pages.
    h += "<div class=\"related\">相关搜索:\n";
    for (const char* extra : {" 1080p", " 国语", " 蓝光"}) {
      const std::string word = plan.base + extra;
      AppendLink(h, "/word/" + PercentEncodeAll(word) + ".html", EscapePercent(EscapeHtml(word)));
    }
    h += "</div>\n";
  }
  if (rows.empty()) {
    h += "<div class=\"none\">没有找到与 <b>" + title + "</b> 相关的结果</div>\n";
  } else {
    h += "<div class=\"summary\">与 <b>" + title + "</b> 相关的结果, 共 " +
         std::to_string(plan.pageCount) + " 页</div>\n";
  }
  h += "<ul class=\"mlist\">\n";

  for (const auto& row : rows) parts.blocks += EscapePercent(ResultBlock(row));

  std::string& t = parts.tail;
  t += "</ul>\n";
  AppendPager(t, plan, page);
  t += "<div class=\"footer\">示例磁力站 仅供测试</div>\n</body>\n</html>\n";
  return parts;
}

std::string RenderPage(const KeywordPlan& plan, const PageAddress& page) {
  const auto rows = PageRows(plan, page.numbered ? page.number : 1);
  const PageParts parts = RenderPageParts(plan, page, rows);
  return parts.head + parts.blocks + parts.tail;
}

std::string RenderHomePage() {
  return "<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">\n"
         "<title>示例磁力站</title>\n</head>\n<body>\n"
         "<form class=\"search\" action=\"/search\" method=\"get\">"
         "<input type=\"text\" name=\"q\"></form>\n"
         "<div class=\"footer\">示例磁力站 仅供测试</div>\n</body>\n</html>\n";
}

std::string RenderErrorPage(int status) {
  const std::string code = std::to_string(status);
  return "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>" + code +
         "</title>\n</head>\n<body>\n<h1>" + code + "</h1>\n<p>" +
         (status == 404   ? "页面不存在"
          : status == 405 ? "不支持的请求方法"
          : status < 400  ? "页面已移动"
                          : "服务器出错了, 请稍后再试") +
         "</p>\n</body>\n</html>\n";
}

}  // namespace korvane::site
