// The MIP log line: branches, open nodes, LPs, bound, incumbent, gap and
// times, with the header repeated every 25 lines. Values are printed in the
// user's objective sense.
#pragma once

#include "model/model.hpp"

namespace tarvo::mip {

// Source codes of new incumbents and their tags.
enum SourceCode : int {
  kSrcNone = 0,
  kSrcKnapsack = 2,
  kSrcStrongBranch = 3,
  kSrcSearch = 4,
  kSrcTree = 5,
  kSrcCut = 6,
  kSrcHeuristic = 100,  // printed "(*H) "
  kSrcFinal = -1,
};
const char *source_tag(int code);
// The code whose tag is `tag`; kSrcHeuristic for any other text.
int source_code(const char *tag);

struct LogCounters {
  double branches = 0, nodes = 0, lps = 0;
  double bound = -1e30, incumbent = 1e30;  // minimisation form
  bool has_incumbent = false;
  double elapsed = 0, lp_time = 0;
};

class MipLog {
 public:
  MipLog(base::Model *model, int print_level, int sense) : model_(model), level_(print_level), sense_(sense) {}
  bool on() const { return level_ >= 1; }
  // A periodic or final tree line (code tag kSrcNone or kSrcFinal).
  void tree_line(const LogCounters &c, int code);
  // The line of a new incumbent found by `code`.
  void incumbent_line(const LogCounters &c, int code);
  int lines() const { return lines_; }
  // Any other line of the integer solver, written at print level `level` and above.
  void text(int level, const char *format, ...) __attribute__((format(printf, 3, 4)));
  double user(double v) const { return sense_ * v; }

 private:
  void header_if_due();
  base::Model *model_;
  int level_, sense_;
  int lines_ = 0;
};

// The table of cut classes with their state at the root and in the tree,
// written at the entry of the integer solver when the print level exceeds 4.
void log_cut_table(base::Model *model, int print_level, int top_mask, int tree_mask);

// |z - b| / max(1, |z|, |b|), 0 once b has reached z (minimisation form).
double relative_gap(double bound, double incumbent);

}  // namespace tarvo::mip
