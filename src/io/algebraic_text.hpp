// Lexical pieces shared by the algebraic model readers (LP format and the
// TARVO text format): keyword patterns, character classes of names, the
// number scanner, the line-length limit and reading a whole file to memory.
#pragma once

#include <string>
#include <string_view>

namespace tarvo::io::alg {

// Longest line the algebraic readers accept (line feed and a carriage
// return before it not counted).
inline constexpr int kMaxLineChars = 1024;

// A character that may follow a keyword: end of text, blank, tab, CR, LF, '<', '=', '>'.
bool keyword_boundary(std::string_view text, size_t at);

// Matches `pattern` at the start of `text` without regard to case. In the
// pattern a bracketed part may be absent, and a bracketed run of blanks
// stands for any number (zero included) of blanks and tabs. The match must
// end at a keyword boundary; *used receives its length.
bool match_keyword(std::string_view text, const char *pattern, size_t *used);

// Which characters start and continue names in one format.
struct NameRules {
  bool start[256] = {};
  bool stop[256] = {};  // characters that end a name
  bool starts(char c) const { return start[static_cast<unsigned char>(c)]; }
  bool stops(char c) const { return stop[static_cast<unsigned char>(c)]; }
};
// Letters plus `extra_start` start a name; blanks, control characters and
// `extra_stop` end it.
NameRules make_name_rules(const char *extra_start, const char *extra_stop);

// A decimal literal at text[*pos] (digits with an optional point and
// exponent, no sign). On success *pos moves past it. False when no literal
// starts there or its value is not a finite double.
bool scan_number(std::string_view text, size_t *pos, double *value);

// True for "inf" or "infinity" in any case.
bool is_infinity_word(std::string_view word);

bool equals_nocase(std::string_view a, std::string_view b);

// The whole file (plain or gzip-compressed) in *text; 0 or 2002.
int read_whole_file(const char *path, std::string *text);

}  // namespace tarvo::io::alg
