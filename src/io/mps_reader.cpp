// TVreadMPSFile and TVreadMPSFileFR: open the file, walk it twice (counting,
// then reading), fill the model, and report progress, failures and the
// file-error record of the line that stopped the read.
#include "io/mps_reader.hpp"

#include "common/boundary.hpp"
#include "io/path_name.hpp"
#include "common/error_codes.hpp"

namespace tarvo::io::mps {
namespace {

constexpr size_t kMaxRecordedLine = 255;

// The log calls codes 1 and 3 "formatted", every other code "unformatted".
const char *format_label(int format) { return format == 1 || format == 3 ? "formatted" : "unformatted"; }

}  // namespace

void Reader::progress(bool final_line) {
  const double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
  base::log_model(model_, final_line ? level() >= 200 : level() >= 201,
                  "\nMPS Reader: processed %8u lines (state %u) in %.2f secs", line_no_,
                  static_cast<unsigned>(state_), secs);
}

int Reader::run(const char *file_name) {
  started_ = std::chrono::steady_clock::now();
  print_level_ = model_->params.integer(TV_IPARAM_LP_PRINTLEVEL);
  infinity_ = model_->params.dbl(TV_DPARAM_LP_INFINITY);
  auto seconds = [&] {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
  };
  model_->file_error.clear();
  base::log_model(model_, 1, "\nReading %s in MPS format (%s)", file_name, format_label(format_));

  bool line_error = false;  // the code came from a line of the file
  int code = source_.open(file_name);
  if (code == 0) {
    code = walk(true);
    line_error = code != 0;
  }
  if (code == 0) {
    base::log_model(model_, level() >= 200, "\nMPS Reader: Initial pass completed in %.2f secs.", seconds());
    base::log_model(model_, level() >= 200, "\nMPS Reader: Found %u rows, %u columns, %u nonzs",
                    static_cast<unsigned>(count_rows_), static_cast<unsigned>(count_cols_),
                    static_cast<unsigned>(count_nz_));
    base::log_model(model_, level() >= 200 && count_cones_ > 0, "\nMPS Reader: Found %u cones, %u cone nonzs",
                    static_cast<unsigned>(count_cones_), static_cast<unsigned>(count_cone_nz_));
    base::log_model(model_, level() >= 200 && count_sets_ > 0, "\nMPS Reader: Found %u sets, %u set nonzs",
                    static_cast<unsigned>(count_sets_), static_cast<unsigned>(count_set_nz_));
    base::log_model(model_, level() >= 200 && !pool_.empty(), "\nMPS Reader: Found %u objectives",
                    static_cast<unsigned>(pool_.size()));
    base::log_model(model_, level() >= 200, "\nMPS Reader:");
    code = prepare_tables();
    if (code == 0) code = source_.rewind();
    if (code == 0) {
      code = walk(false);
      line_error = code != 0;
    }
    if (code == 0) {
      code = finish();
      if (code == err::kBadModelFile) {  // a check of the whole file: the record names the ENDATA line
        line_error = true;
        line_ = endata_line_;
      }
    }
  }
  if (line_error) {
    model_->file_error.present = true;
    model_->file_error.line = line_no_;
    model_->file_error.text.assign(line_.data(), std::min(line_.size(), kMaxRecordedLine));
    if (code == err::kBadModelFile)
      base::log_model(model_, level() >= 200, "\nMPS Reader: Last line processed: %s",
                      model_->file_error.text.c_str());
  }
  if (code != 0) {
    base::log_model(model_, 1, "\nMPS Reader: %s", base::message_text(model_->env, code));
    base::log_model(model_, level() >= 200, "\nMPS Reader:");
    return code;
  }
  const PathParts parts = break_path_name(file_name);
  model_->source_dir = parts.dir;
  model_->source_base = parts.base;
  model_->source_ext = parts.ext;
  progress(true);
  base::log_model(model_, level() >= 200, "\nMPS Reader: Completed successfully... (%.2f secs)\n", seconds());
  base::log_model(model_, 1, "\nProcessed %d lines in MPS format (%.2f secs).", static_cast<int>(line_no_),
                  seconds());
  return 0;
}

}  // namespace tarvo::io::mps

using tarvo::base::Model;

using tarvo::base::live;

extern "C" {

TVAPI int TVreadMPSFileFR(pTVmodel model, const char *fileName, int format, int objectiveRowIndex,
                          int keepFreeRows) {
  if (!live(model) || !fileName) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] {
    if (model->data.m > 0 || model->data.n > 0) return tarvo::err::kAlreadyLoaded;
    tarvo::io::mps::Reader reader(model, format, objectiveRowIndex, keepFreeRows != 0);
    return reader.run(fileName);
  });
}

TVAPI int TVreadMPSFile(pTVmodel model, const char *fileName, int format) {
  return TVreadMPSFileFR(model, fileName, format, 0, 0);
}

}  // extern "C"
