// Fixed-width number text and generated names shared by the writers.
#include "io/number_text.hpp"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace tarvo::io {
namespace {

// printf "%.*E" / "%.*G" text (through to_chars, which promises the same
// digits) with the exponent rewritten as "%d": "1.5E+05" -> "1.5E5".
std::string formatted(double x, bool exponent_form, int precision) {
  char buf[400];
  auto res = std::to_chars(buf, buf + sizeof buf - 1, x,
                           exponent_form ? std::chars_format::scientific : std::chars_format::general, precision);
  *res.ptr = '\0';
  char *e = std::strchr(buf, 'e');
  if (!e) return buf;
  *e = 'E';
  const int exponent = std::atoi(e + 1);
  std::snprintf(e + 1, sizeof buf - (e + 1 - buf), "%d", exponent);
  return buf;
}

}  // namespace

std::string number_text(double x, int width) {
  if (std::isnan(x)) x = 0;  // models refuse NaN; never write text a reader rejects
  if (std::isinf(x)) x = x > 0 ? 1e30 : -1e30;
  const double a = std::fabs(x);
  const bool small = a > 0 && a < 0.002;
  int precision = small ? width - 1 : width;
  const int lowest = small ? 5 : 6;
  for (; precision >= lowest; --precision) {
    std::string text = formatted(x, small, precision);
    if (static_cast<int>(text.size()) <= width) return text;
  }
  // Only three-digit exponents get here: keep the value with fewer digits
  // rather than write nothing.
  for (int p = lowest - 1; p > 0; --p) {
    std::string text = formatted(x, true, p);
    if (static_cast<int>(text.size()) <= width) return text;
  }
  return formatted(x, true, 0);
}

ColumnNamer::ColumnNamer(const base::ModelData &d) : d_(d), semi_(static_cast<size_t>(d.n) + 1, 0) {
  for (int v : d.semicont.var)
    if (v >= 0 && v < d.n) semi_[v] = 1;
}

char ColumnNamer::letter(int j) const {
  if (semi_[j]) return 'S';
  const char t = j < static_cast<int>(d_.vtype.size()) ? d_.vtype[j] : 'C';
  if (t == 'B') return 'B';
  if (t == 'I') return d_.lower[j] == 0 && d_.upper[j] == 1 ? 'B' : 'I';
  return 'C';
}

std::string row_name(const base::ModelData &d, int i) {
  if (d.connames.present() && i < static_cast<int>(d.connames.offsets.size()) && d.connames.name(i)[0])
    return d.connames.name(i);
  char buf[32];
  std::snprintf(buf, sizeof buf, "R%07d", i);
  return buf;
}

std::string ColumnNamer::operator()(int j) const {
  if (d_.varnames.present() && j < static_cast<int>(d_.varnames.offsets.size()) && d_.varnames.name(j)[0])
    return d_.varnames.name(j);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%c%07d", letter(j), j);
  return buf;
}

std::string exact_number(double x, bool sign) {
  if (x == 0) x = 0;  // no "-0"
  char buf[64];
  char *at = buf;
  if (sign && !(x < 0)) *at++ = '+';
  auto res = std::to_chars(at, buf + sizeof buf, x);
  return std::string(buf, res.ptr);
}

}  // namespace tarvo::io
