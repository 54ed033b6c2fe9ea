// Numbers and names of the TARVO text format.
#include "io/tarvo_text.hpp"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unordered_set>

namespace tarvo::io {

// "%+.16f" with the trailing zeros after the point removed ("+3.", "+0.25").
// Values that text would not carry exactly (very small or very large ones)
// are written with an exponent instead, so the file reads back to the model.
std::string tarvo_number(double v) {
  char buf[400];
  if (std::fabs(v) < 1e17) {
    std::snprintf(buf, sizeof buf, "%+.16f", v);
    std::string s = buf;
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (std::strtod(s.c_str(), nullptr) == v) return s;
  }
  std::snprintf(buf, sizeof buf, "%+.17g", v);
  return buf;
}

// Names with the characters that end a name in the format replaced by '_';
// a name that would not start as one (a digit, a sign) gets a leading '_'.
std::string tarvo_safe_name(std::string s) {
  const unsigned char first = s.empty() ? 0 : static_cast<unsigned char>(s[0]);
  if (!std::isalpha(first) && !std::strchr("\"#$%&(:,.;?@_'`{}~", first)) s.insert(s.begin(), '_');
  else if (first == '.' && s.size() > 1 && std::isdigit(static_cast<unsigned char>(s[1]))) s.insert(s.begin(), '_');
  for (char &c : s)
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '+' || c == '-' || c == '<' || c == '>' ||
        c == '=' || c == '!' || c == ')')
      c = '_';
  return s;
}

std::vector<std::string> tarvo_unique_names(int count, const std::function<std::string(int)> &name,
                                            const std::function<std::string(int)> &generated) {
  std::vector<std::string> out(count);
  std::unordered_set<std::string> taken;
  for (int k = 0; k < count; ++k) {
    out[k] = tarvo_safe_name(name(k));
    if (taken.insert(out[k]).second) continue;
    // The generated name may be taken too (a label "R0000004" on another row).
    out[k] = generated(k);
    while (!taken.insert(out[k]).second) out[k] += '_';
  }
  return out;
}

}  // namespace tarvo::io
