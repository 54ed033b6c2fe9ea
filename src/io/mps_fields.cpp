// Cutting MPS lines into their six fields (fixed columns or blank-separated
// tokens placed by section), header keywords, and the numeric field check.
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "io/mps_reader.hpp"

namespace tarvo::io::mps {
namespace {

bool blank(char ch) { return ch == ' ' || ch == '\t'; }

std::string_view trimmed(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && blank(s[b])) ++b;
  while (e > b && blank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

// Columns [from, to) of the line (0-based), as a trimmed field.
std::string_view columns(std::string_view line, size_t from, size_t to) {
  if (from >= line.size()) return {};
  return trimmed(line.substr(from, std::min(to, line.size()) - from));
}

bool is_one_of(std::string_view s, std::initializer_list<const char *> words) {
  for (const char *w : words)
    if (s == w) return true;
  return false;
}

struct KeywordText {
  const char *text;
  size_t len;
  Keyword kind;
};

constexpr KeywordText kKeywords[] = {
    {"NAME", 4, Keyword::kName},         {"ROWS", 4, Keyword::kRows},
    {"OBJSENSE", 8, Keyword::kObjSense}, {"COLUMNS", 7, Keyword::kColumns},
    {"RHS", 3, Keyword::kRhs},           {"RANGES", 6, Keyword::kRanges},
    {"BOUNDS", 6, Keyword::kBounds},     {"QSECTION", 8, Keyword::kQSection},
    {"QCMATRIX", 8, Keyword::kQCMatrix}, {"QMATRIX", 7, Keyword::kQMatrix},
    {"QUADS", 5, Keyword::kQuads},       {"QUADOBJ", 7, Keyword::kQuadObj},
    {"CSECTION", 8, Keyword::kCSection}, {"INDICATORS", 10, Keyword::kIndicators},
    {"ENDATA", 6, Keyword::kEndata},
};

}  // namespace

Keyword header_keyword(std::string_view field1) {
  for (const KeywordText &k : kKeywords)
    if (field1.size() >= k.len && std::memcmp(field1.data(), k.text, k.len) == 0) return k.kind;
  return Keyword::kNone;
}

bool is_quadratic_keyword(Keyword k) {
  return k == Keyword::kQSection || k == Keyword::kQCMatrix || k == Keyword::kQMatrix || k == Keyword::kQuads ||
         k == Keyword::kQuadObj;
}

int split_tokens(std::string_view line, std::string_view tok[7]) {
  int count = 0;
  size_t p = 0;
  const size_t n = line.size();
  const char *s = line.data();
  for (;;) {
    while (p < n && blank(s[p])) ++p;
    if (p >= n || s[p] == '$' || s[p] == '!') break;
    const size_t begin = p;
    while (p < n && !blank(s[p])) ++p;
    if (count < 7) tok[count] = std::string_view(s + begin, p - begin);
    ++count;
  }
  for (int i = count; i < 7; ++i) tok[i] = {};
  return count;
}

void fixed_data_fields(std::string_view line, Fields *out) {
  out->f[0] = {};
  out->f[1] = columns(line, 1, 3);
  out->f[2] = columns(line, 4, 12);
  out->f[3] = columns(line, 14, 22);
  out->f[4] = columns(line, 24, 36);
  out->f[5] = columns(line, 39, 47);
  out->f[6] = columns(line, 49, 61);
  out->f[7] = {};
  out->tokens = 0;
}

void fixed_header_fields(std::string_view line, Fields *out) {
  for (auto &f : out->f) f = {};
  out->f[1] = columns(line, 0, 22);
  out->f[3] = columns(line, 14, 22);
  out->tokens = 0;
}

bool place_free_tokens(State state, std::string_view tok[7], int count, Fields *out) {
  std::string_view *f = out->f;
  for (int i = 0; i < 8; ++i) f[i] = {};
  out->tokens = count;
  auto place = [&](std::initializer_list<int> slots) {
    int t = 0;
    for (int slot : slots) f[slot] = tok[t++];
  };
  switch (state) {
    case State::kObjSense:
      if (count >= 1) f[2] = tok[0];
      return true;
    case State::kRows:
      for (int i = 0; i < count && i < 7; ++i) f[i + 1] = tok[i];
      return true;
    case State::kColumns:
      if (count == 5) place({2, 3, 4, 5, 6});
      else if (count == 3 && tok[1] == "'MARKER'") place({2, 3, 5});
      else if (count == 3) place({2, 3, 4});
      else if (count == 4 && tok[2] == "'MARKER'") place({1, 2, 3, 5});
      else return false;
      return true;
    case State::kRhs:
    case State::kRanges:
      if (count == 1) place({3});
      else if (count == 2) place({3, 4});
      else if (count == 3) place({2, 3, 4});
      else if (count == 4) place({3, 4, 5, 6});
      else if (count == 5) place({2, 3, 4, 5, 6});
      else return false;
      return true;
    case State::kBounds:
      if (count == 3 && is_one_of(tok[0], {"UP", "LO", "FX", "UI", "SC", "LI"})) place({1, 3, 4});
      else if (count == 2 && is_one_of(tok[0], {"BV", "PL", "MI", "FR"})) place({1, 3});
      else
        for (int i = 0; i < count && i < 4; ++i) f[i + 1] = tok[i];
      return true;
    case State::kQuadratic:
      if (count == 3) place({2, 3, 4});
      else if (count == 1 || count == 2) place({1, 2});
      else return false;
      return true;
    case State::kCones:
      if (count != 1) return false;
      f[1] = tok[0];
      return true;
    case State::kIndicators:
      if (count != 4) return false;
      f[2] = tok[1];
      f[3] = tok[2];
      f[4] = tok[3];
      return true;
    default:
      return false;
  }
}

bool parse_number(std::string_view text, double *value) {
  size_t b = 0;
  while (b < text.size() && blank(text[b])) ++b;
  text.remove_prefix(b);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  if (text.empty() || text.size() > 64) return false;
  char buf[72];
  size_t n = 0;
  for (char ch : text) {
    if ((ch >= '0' && ch <= '9') || ch == '+' || ch == '-' || ch == '.' || ch == 'e' || ch == 'E') {
      buf[n++] = ch;
    } else if (ch == 'd' || ch == 'D') {
      buf[n++] = 'e';
    } else {
      return false;
    }
  }
  buf[n] = '\0';
  const char *first = buf;
  if (*first == '+') {
    ++first;
    if (*first == '+' || *first == '-') return false;
  }
  double v = 0;
  auto res = std::from_chars(first, buf + n, v);
  if (res.ptr != buf + n) return false;
  if (res.ec == std::errc::result_out_of_range) {
    // Tiny magnitudes read as zero or subnormal; overflow is refused.
    char *end = nullptr;
    v = std::strtod(buf, &end);
    if (end != buf + n) return false;
  } else if (res.ec != std::errc()) {
    return false;
  }
  if (!std::isfinite(v)) return false;
  *value = v;
  return true;
}

}  // namespace tarvo::io::mps
