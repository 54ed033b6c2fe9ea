// Tokens of LP-format and TARVO text. Lines are cut at line feeds, comments
// ('\' or '!' to the end of the line) dropped, and section keywords recognised
// only as the first word of a line, so a variable may share a keyword's name
// elsewhere.
#include <cstring>
#include <iterator>

#include "io/lp_reader.hpp"

namespace tarvo::io::lp {
namespace {

constexpr KeywordPattern kLpKeywords[] = {
    {"max[imize]", Section::kObjective, true},
    {"max[imum]", Section::kObjective, true},
    {"min[imize]", Section::kObjective, false},
    {"min[imum]", Section::kObjective, false},
    {"s[ubject][ ]t[o]", Section::kConstraints, false},
    {"s[uch][ ]t[hat]", Section::kConstraints, false},
    {"s[.][ ]t[.]", Section::kConstraints, false},
    {"bound[s]", Section::kBounds, false},
    {"int[eger][s]", Section::kIntegers, false},
    {"bin[ary]", Section::kBinaries, false},
    {"bin[aries]", Section::kBinaries, false},
    {"gen[eral][s]", Section::kGenerals, false},
    {"semi[-continuous]", Section::kSemis, false},
    {"semis", Section::kSemis, false},
    {"sos", Section::kSos, false},
    {"end", Section::kEnd, false},
};

constexpr KeywordPattern kTarvoKeywords[] = {
    {"max[imize]", Section::kObjective, true},
    {"min[imize]", Section::kObjective, false},
    {"s[ubject][ ]t[o]", Section::kConstraints, false},
    {"s[uch][ ]t[hat]", Section::kConstraints, false},
    {"s[.][ ]t[.]", Section::kConstraints, false},
    {"title", Section::kTitle, false},
    {"free", Section::kFree, false},
    {"int", Section::kInt, false},
    {"gin", Section::kGin, false},
    {"slb", Section::kSlb, false},
    {"sub", Section::kSub, false},
    {"end", Section::kEnd, false},
};

bool keyword_letter(char c) {
  switch (c | 0x20) {
    case 'm': case 's': case 'b': case 'i': case 'g': case 'e': case 't': case 'f': return true;
    default: return false;
  }
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

const Dialect &lp_dialect() {
  static const alg::NameRules names = alg::make_name_rules("!\"#$%&(),.;?@_'`{}~", "+-<>=:");
  static const Dialect d{"LP", kLpKeywords, static_cast<int>(std::size(kLpKeywords)), &names, '\\', ':', false};
  return d;
}

const Dialect &tarvo_dialect() {
  static const alg::NameRules names = alg::make_name_rules("\"#$%&(:,.;?@_'`{}~", "+-<>=!)");
  static const Dialect d{"TARVO", kTarvoKeywords, static_cast<int>(std::size(kTarvoKeywords)), &names, '!', ')',
                         true};
  return d;
}

Lexer::Lexer(std::string_view text, const Dialect &dialect) : text_(text), dialect_(dialect) {}

bool Lexer::start_line() {
  if (next_line_ >= text_.size()) return false;
  pos_ = next_line_;
  const void *nl = std::memchr(text_.data() + pos_, '\n', text_.size() - pos_);
  size_t end = nl ? static_cast<size_t>(static_cast<const char *>(nl) - text_.data()) : text_.size();
  next_line_ = nl ? end + 1 : text_.size();
  if (end > pos_ && text_[end - 1] == '\r') --end;
  ++line_no_;
  cur_line_ = text_.substr(pos_, end - pos_);
  long_line_ = end - pos_ > static_cast<size_t>(alg::kMaxLineChars);
  const void *comment = std::memchr(text_.data() + pos_, dialect_.comment, end - pos_);
  line_end_ = comment ? static_cast<size_t>(static_cast<const char *>(comment) - text_.data()) : end;
  at_line_start_ = true;
  return true;
}

void Lexer::lex_one(Token *t) {
  for (;;) {
    while (pos_ < line_end_ && (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\r')) ++pos_;
    if (pos_ < line_end_ && !long_line_) break;
    if (long_line_) {
      t->type = Tok::kLongLine;
      t->line = line_no_;
      t->line_text = cur_line_;
      long_line_ = false;
      line_end_ = pos_ = next_line_ = text_.size();
      return;
    }
    if (!start_line()) {
      t->type = Tok::kEnd;
      t->line = line_no_;
      t->line_text = cur_line_;
      return;
    }
  }
  t->line = line_no_;
  t->line_text = cur_line_;
  const std::string_view line = text_.substr(0, line_end_);
  const size_t begin = pos_;
  const char c = text_[pos_];
  if (at_line_start_) {
    at_line_start_ = false;
    if (keyword_letter(c)) {
      const std::string_view rest = line.substr(begin);
      for (int i = 0; i < dialect_.keyword_count; ++i) {
        const KeywordPattern &k = dialect_.keywords[i];
        size_t used = 0;
        if (!alg::match_keyword(rest, k.pattern, &used)) continue;
        t->type = Tok::kKeyword;
        t->section = k.section;
        t->maximize = k.maximize;
        t->text = rest.substr(0, used);
        pos_ = begin + used;
        if (k.section == Section::kTitle) {  // the rest of the line is the title
          size_t from = pos_;
          while (from < line_end_ && (text_[from] == ' ' || text_[from] == '\t')) ++from;
          size_t to = line_end_;
          while (to > from && (text_[to - 1] == ' ' || text_[to - 1] == '\t' || text_[to - 1] == '\r')) --to;
          t->text = text_.substr(from, to - from);
          pos_ = line_end_;
        }
        return;
      }
    }
  }
  switch (c) {
    case '+': t->type = Tok::kPlus; ++pos_; break;
    case '-': t->type = Tok::kMinus; ++pos_; break;
    case '<':
      t->type = Tok::kLess;
      pos_ += pos_ + 1 < line_end_ && text_[pos_ + 1] == '=' ? 2 : 1;
      break;
    case '>':
      t->type = Tok::kGreater;
      pos_ += pos_ + 1 < line_end_ && text_[pos_ + 1] == '=' ? 2 : 1;
      break;
    case '=': {
      const char d = pos_ + 1 < line_end_ ? text_[pos_ + 1] : '\0';
      t->type = d == '<' ? Tok::kLess : d == '>' ? Tok::kGreater : Tok::kEqual;
      pos_ += d == '<' || d == '>' || d == '=' ? 2 : 1;
      break;
    }
    case '[':
      t->type = Tok::kOpenBracket;
      in_brackets_ = true;
      ++pos_;
      break;
    case ']':
      t->type = Tok::kCloseBracket;
      in_brackets_ = false;
      ++pos_;
      break;
    case '^': t->type = Tok::kCaret; ++pos_; break;
    case '*': t->type = Tok::kStar; ++pos_; break;
    case '/': t->type = Tok::kSlash; ++pos_; break;
    default:
      if (c == dialect_.label_end) {
        t->type = Tok::kColon;
        ++pos_;
      } else if (is_digit(c) || (c == '.' && pos_ + 1 < line_end_ && is_digit(text_[pos_ + 1]))) {
        t->type = alg::scan_number(line, &pos_, &t->number) ? Tok::kNumber : Tok::kBad;
        if (t->type == Tok::kBad) ++pos_;
      } else if (dialect_.names->starts(c)) {
        // Outside brackets names may hold '*', '^' and brackets ("x[1]");
        // inside they write the products.
        const alg::NameRules &r = *dialect_.names;
        while (pos_ < line_end_ && !r.stops(text_[pos_]) &&
               !(in_brackets_ && std::strchr("*^[]", text_[pos_])))
          ++pos_;
        t->type = Tok::kName;
      } else {
        t->type = Tok::kBad;
        ++pos_;
      }
  }
  t->text = text_.substr(begin, pos_ - begin);
}

const Token &Lexer::peek(int k) {
  while (count_ <= k) {
    lex_one(&ring_[(head_ + count_) % kLookahead]);
    ++count_;
  }
  return ring_[(head_ + k) % kLookahead];
}

Token Lexer::take() {
  peek(0);
  Token t = ring_[head_];
  head_ = (head_ + 1) % kLookahead;
  --count_;
  return t;
}

}  // namespace tarvo::io::lp
