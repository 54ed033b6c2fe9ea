// The MPS reader's working state: one object per TVreadMPSFile call, walked
// twice over the file (counting, then reading) and then turned into model
// data through the loaders. Internal to src/io.
#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "model/model.hpp"
#include "io/line_source.hpp"
#include "io/name_table.hpp"
#include "common/error_codes.hpp"

namespace tarvo::io::mps {

enum class State : unsigned {
  kStart = 0,
  kExpectRows,
  kObjSense,
  kRows,
  kColumns,
  kRhs,
  kRanges,
  kBounds,
  kQuadratic,
  kCones,
  kIndicators,
  kEnd,
};

enum class Keyword {
  kNone,
  kName,
  kRows,
  kObjSense,
  kColumns,
  kRhs,
  kRanges,
  kBounds,
  kQSection,
  kQCMatrix,
  kQMatrix,
  kQuads,
  kQuadObj,
  kCSection,
  kIndicators,
  kEndata,
};

// Header keyword by the leading characters of field 1.
Keyword header_keyword(std::string_view field1);
bool is_quadratic_keyword(Keyword k);

// The six fields of a line (index 1 to 6; 0 unused) and, in free format, the
// seventh token of a ROWS line. An empty view is an absent field.
struct Fields {
  std::string_view f[8];
  int tokens = 0;  // free format: tokens before any comment; fixed: unused
  bool has(int i) const { return !f[i].empty(); }
};

// Splits a free-format line at blanks and tabs; tokens from one starting with
// '$' or '!' on are dropped. Stores at most 7, returns the full count.
int split_tokens(std::string_view line, std::string_view tok[7]);
// Fixed-format fields of a data line (names trimmed of surrounding blanks).
void fixed_data_fields(std::string_view line, Fields *out);
// Fixed-format header: field 1 columns 1-22, field 3 columns 15-22.
void fixed_header_fields(std::string_view line, Fields *out);
// Free-format data tokens placed into fields by section; false for a token
// count the section does not take.
bool place_free_tokens(State state, std::string_view tok[7], int count, Fields *out);

// Decimal number of a field: digits, signs, '.', exponent letters e/E/d/D
// after optional leading blanks. False for anything else, and for text that
// is no finite number.
bool parse_number(std::string_view text, double *value);

struct PoolRecord {
  int priority = 0;
  double weight = 0, abstol = 0, reltol = 0;
  int sense = 1;
  int row_position = 0;  // ordinal of its N row
  std::vector<double> c;
};

struct Term {
  int row, col1, col2;
  double value;
};

struct Indicator {
  int row, col, value;
};

class Reader {
 public:
  Reader(base::Model *model, int format, int objective_index, bool keep_free_rows);
  // The whole read; the model is filled on success.
  int run(const char *file_name);

 private:
  // Walking the file.
  int walk(bool counting);
  int handle_line(std::string_view line);
  int handle_header(std::string_view line);
  int handle_data(std::string_view line);
  int enter(State next);
  int leave_state();
  int format_error() { return err::kBadModelFile; }
  void echo_fields();
  void progress(bool final_line);

  // Sections.
  int rows_line();
  bool row_name_taken(std::string_view name) const;
  int append_row(std::string_view name, char type, int record);
  void pool_coefficient(int record, int j, double v);
  int objsense_line();
  int columns_line();
  int columns_marker();
  int rhs_line();
  int ranges_line();
  int bounds_line();
  int quadratic_header(Keyword k, std::string_view line);
  int quadratic_line();
  int cone_header(std::string_view line);
  int cone_line();
  int check_cone_size();
  int indicator_line();

  // Between and after the passes.
  int prepare_tables();
  int finish();
  int load_core();
  int load_sets();
  int load_semicontinuous();
  int load_ranges();
  int load_quadratic();
  int check_cone_marks();
  int load_cones();
  int load_pool();
  int load_indicators();
  int find_column_or_create(std::string_view name, int *j);
  int new_column(std::string_view name, char type, double upper);

  // The environment's infinity (TV_DPARAM_LP_INFINITY, copied into the model).
  double infinity() const { return infinity_; }
  int level() const { return print_level_; }

  base::Model *model_;
  int format_ = 0;
  bool fixed_ = false;        // fixed columns (formats 1 and 3, and any code but 0 and 2)
  bool pending_binary_ = false;  // formats 2 and 3: integer columns read as 'Z'
  int objective_index_ = 0;
  bool keep_free_rows_ = false;
  int print_level_ = 0;
  double infinity_ = 1e30;
  std::chrono::steady_clock::time_point started_;

  // Walk state.
  bool counting_ = true;
  State state_ = State::kStart;
  bool sense_seen_ = false;
  bool quadratic_left_ = false;
  unsigned line_no_ = 0;
  std::string_view line_;
  std::string endata_line_;
  Fields fields_;
  LineSource source_;

  // Counts of the first walk.
  long long count_rows_ = 0, count_cols_ = 0, count_nz_ = 0, count_cones_ = 0, count_cone_nz_ = 0;
  long long count_sets_ = 0, count_set_nz_ = 0, count_nrows_ = 0;
  std::string count_last_column_;
  bool count_set_open_ = false;
  std::vector<int> nrow_record_;   // per N row (in ROWS order): its pool record or -1
  std::vector<PoolRecord> pool_;

  // Rows.
  std::string title_;
  NameTable rows_, free_rows_, cols_, cones_;
  std::vector<char> row_type_;
  std::vector<double> rhs_, range_;
  std::vector<int> range_count_, row_record_;
  int nrows_seen_ = 0;
  bool have_objective_ = false;
  std::string objective_name_;
  int objective_record_ = -1;
  int sense_ = TV_MIN;
  double obj_constant_ = 0;

  // Columns.
  std::vector<int> col_start_;
  std::vector<int> entry_row_;
  std::vector<double> entry_value_;
  std::vector<double> cost_, lower_, upper_;
  std::vector<char> col_type_;
  std::vector<int> row_mark_;  // last column that received an entry of the row
  bool integer_mode_ = false;
  int last_column_ = -1;
  std::string last_column_name_;

  // Sets: type per set, members as (column, set) in the order read.
  std::vector<char> set_type_;
  std::vector<int> member_col_, member_set_;
  int open_set_ = -1;

  // Right-hand side, range and bound sets: the first name met is read.
  std::string rhs_set_, range_set_, bound_set_;
  bool rhs_set_known_ = false, range_set_known_ = false, bound_set_known_ = false;

  // Semicontinuous columns.
  std::vector<int> sc_col_, sc_index_;  // sc_index_ per column: position in sc_col_ or -1
  std::vector<double> sc_lower_;

  // Quadratic blocks.
  int block_row_ = -1;        // -1 the objective
  bool block_discarded_ = false;
  std::vector<Term> terms_;

  // Cones.
  std::vector<char> cone_type_;
  std::vector<double> cone_alpha_;
  std::vector<int> cone_start_, cone_member_;

  // Indicators.
  std::vector<Indicator> indicators_;
  std::vector<char> row_has_indicator_;
};

}  // namespace tarvo::io::mps
