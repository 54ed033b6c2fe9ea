// Shared lexical helpers of the algebraic readers.
#include "io/algebraic_text.hpp"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "common/error_codes.hpp"
#include "io/line_source.hpp"

namespace tarvo::io::alg {
namespace {

char lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool keyword_boundary(std::string_view text, size_t at) {
  if (at >= text.size()) return true;
  const char c = text[at];
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '<' || c == '=' || c == '>';
}

bool match_keyword(std::string_view text, const char *pattern, size_t *used) {
  size_t i = 0;
  for (const char *p = pattern; *p;) {
    if (*p == '[') {
      const char *close = std::strchr(p, ']');
      if (!close) return false;
      const std::string_view group(p + 1, static_cast<size_t>(close - p - 1));
      if (group.find_first_not_of(' ') == std::string_view::npos) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
      } else if (text.size() - i >= group.size()) {
        size_t k = 0;
        while (k < group.size() && lower(text[i + k]) == lower(group[k])) ++k;
        if (k == group.size()) i += k;
      }
      p = close + 1;
      continue;
    }
    if (i >= text.size() || lower(text[i]) != lower(*p)) return false;
    ++i;
    ++p;
  }
  if (!keyword_boundary(text, i)) return false;
  *used = i;
  return true;
}

NameRules make_name_rules(const char *extra_start, const char *extra_stop) {
  NameRules r;
  for (int c = 0; c < 256; ++c) r.start[c] = std::isalpha(c) != 0;
  for (const char *p = extra_start; *p; ++p) r.start[static_cast<unsigned char>(*p)] = true;
  // Control characters end names too: binary junk never becomes part of one.
  for (int c = 0; c < 32; ++c) r.stop[c] = true;
  r.stop[127] = true;
  r.stop[static_cast<unsigned char>(' ')] = true;
  for (const char *p = extra_stop; *p; ++p) r.stop[static_cast<unsigned char>(*p)] = true;
  return r;
}

bool scan_number(std::string_view text, size_t *pos, double *value) {
  const size_t begin = *pos, n = text.size();
  size_t i = begin;
  while (i < n && is_digit(text[i])) ++i;
  bool digits = i > begin;
  if (i < n && text[i] == '.') {
    ++i;
    const size_t frac = i;
    while (i < n && is_digit(text[i])) ++i;
    digits = digits || i > frac;
  }
  if (!digits) return false;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    size_t k = i + 1;
    if (k < n && (text[k] == '+' || text[k] == '-')) ++k;
    if (k < n && is_digit(text[k])) {
      while (k < n && is_digit(text[k])) ++k;
      i = k;
    }
  }
  double v = 0;
  const auto res = std::from_chars(text.data() + begin, text.data() + i, v);
  if (res.ec != std::errc() || !std::isfinite(v)) return false;
  *value = v;
  *pos = i;
  return true;
}

bool equals_nocase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (lower(a[i]) != lower(b[i])) return false;
  return true;
}

bool is_infinity_word(std::string_view word) {
  return equals_nocase(word, "inf") || equals_nocase(word, "infinity");
}

int read_whole_file(const char *path, std::string *text) {
  text->clear();
  if (is_gzip_name(path)) {
    LineSource source;
    if (int code = source.open(path)) return code;
    std::string_view line;
    while (source.next(&line)) {
      text->append(line);
      text->push_back('\n');
    }
    return source.read_failed() ? err::kFileOpen : 0;
  }
  FILE *f = std::fopen(path, "rb");
  if (!f) return err::kFileOpen;
  char block[1 << 16];
  size_t got;
  while ((got = std::fread(block, 1, sizeof block, f)) > 0) text->append(block, got);
  const bool failed = std::ferror(f) != 0;
  std::fclose(f);
  return failed ? err::kFileOpen : 0;
}

}  // namespace tarvo::io::alg
