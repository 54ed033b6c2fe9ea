// The LP-format reader's working state: a token stream over the text (one
// lexer pass, section keywords recognised at line starts) and the tables of
// rows, columns and coefficients it fills, then hands to the loaders.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/model.hpp"
#include "io/algebraic_text.hpp"
#include "io/name_table.hpp"

namespace tarvo::io::lp {

// Sections of the LP format, and the commands of the TARVO text format that
// follow its END (each keyword is a section that lasts one line there).
enum class Section {
  kNone, kObjective, kConstraints, kBounds, kIntegers, kGenerals, kBinaries, kSemis, kSos, kEnd,
  kTitle, kFree, kSlb, kSub, kInt, kGin,
};

struct KeywordPattern {
  const char *pattern;
  Section section;
  bool maximize;
};

// What differs between the two algebraic formats at the lexical level.
struct Dialect {
  const char *name;                 // "LP" or "TARVO", for messages
  const KeywordPattern *keywords;
  int keyword_count;
  const alg::NameRules *names;
  char comment;                     // starts a comment running to the end of the line
  char label_end;                   // ends a row label: "name:" or "name)"
  bool commands_after_end;          // TARVO: bound and type commands follow END
};

const Dialect &lp_dialect();
const Dialect &tarvo_dialect();

enum class Tok {
  kName, kNumber, kPlus, kMinus, kLess, kGreater, kEqual, kColon, kKeyword, kEnd, kBad, kLongLine,
  kOpenBracket, kCloseBracket, kCaret, kStar, kSlash,  // quadratic terms of the LP format
};

struct Token {
  Tok type = Tok::kEnd;
  std::string_view text;
  double number = 0;
  Section section = Section::kNone;  // kKeyword: the section entered
  bool maximize = false;             // kKeyword of the objective: its sense
  unsigned line = 0;
  std::string_view line_text;  // the whole line, for the file-error record
};

class Lexer {
 public:
  Lexer(std::string_view text, const Dialect &dialect);
  // The token k places ahead (k < kLookahead).
  const Token &peek(int k = 0);
  Token take();
  unsigned lines_started() const { return line_no_; }

  static constexpr int kLookahead = 4;

 private:
  void lex_one(Token *t);
  bool start_line();

  std::string_view text_;
  const Dialect &dialect_;
  size_t pos_ = 0;       // next character
  size_t line_end_ = 0;  // end of the current line (comment cut off)
  size_t next_line_ = 0; // start of the next line
  unsigned line_no_ = 0;
  std::string_view cur_line_;
  bool at_line_start_ = true;
  bool long_line_ = false;
  bool in_brackets_ = false;  // between '[' and ']' of quadratic terms
  Token ring_[kLookahead];
  int head_ = 0, count_ = 0;
};

class Reader {
 public:
  Reader(base::Model *model, const Dialect &dialect);
  // Parses and loads `text`; 0 or a return code with the file-error record set.
  int run(std::string_view text);

 private:
  // Products of two columns with their coefficients as written (divided by
  // the bracket's divisor); the model keeps them so.
  struct QuadTerm {
    int col1, col2;
    double value;
  };
  struct Expr {
    std::vector<int> col;
    std::vector<double> value;
    std::vector<QuadTerm> quad;
    double constant = 0;
    bool empty = true;
    bool has_columns() const { return !col.empty() || !quad.empty(); }
    void clear() {
      col.clear();
      value.clear();
      quad.clear();
      constant = 0;
      empty = true;
    }
  };

  int parse();
  int objective();
  int constraint();
  int bound();
  int type_name(Section s);
  int sos_line();
  int expression(Expr *e);
  int quadratic_block(double sign, Expr *e);
  void keep_quadratic(int row, const Expr &e, double sign);
  int signed_value(double *v);
  bool label(std::string_view *name);
  int column(std::string_view name);
  int add_row(std::string_view name, char type, double rhs, double range_width, const Expr &e, double sign);
  int load();
  int syntax_error(const Token &at);
  int line_error(int code, const Token &at);
  int level() const { return print_level_; }

  int command(Section s);

  base::Model *model_;
  const Dialect &dialect_;
  Lexer *lex_ = nullptr;
  std::string title_;
  bool title_seen_ = false;
  int print_level_ = 0;
  double infinity_ = 1e30;

  int sense_ = TV_MIN;
  double obj_constant_ = 0;
  std::string obj_name_;

  NameTable cols_, row_names_;
  std::vector<double> cost_, lower_, upper_;
  std::vector<char> col_type_;
  std::vector<int> mark_row_, mark_pos_;  // per column: last row with an entry, its position

  std::vector<char> row_type_;
  std::vector<double> rhs_;
  std::vector<std::string> row_label_;       // empty: generated
  std::vector<int> row_start_{0}, entry_col_;
  std::vector<double> entry_value_;
  std::vector<int> range_row_;
  std::vector<double> range_width_;

  std::vector<char> set_type_;
  std::vector<int> set_start_{0}, set_member_;
  std::vector<int> semi_col_;
  std::vector<int> q_row_, q_col1_, q_col2_;  // quadratic terms, row -1 the objective
  std::vector<double> q_coef_;
  Expr lhs_, rhs_expr_;
  Token row_token_;  // first token of the constraint being read
};

}  // namespace tarvo::io::lp
