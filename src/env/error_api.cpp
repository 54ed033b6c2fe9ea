// Turning return codes into text, and the per-model record of the last file
// that failed to read.
#include <cstdio>
#include <cstring>

#include "model/model.hpp"
#include "common/boundary.hpp"
#include "common/error_codes.hpp"

using namespace tarvo::base;

namespace tarvo::base {

const char *message_text(const Env *env, int code) {
  const char *text = env ? env->catalogue.text(code) : catalogue_text(code);
  return text ? text : "";
}

}  // namespace tarvo::base

extern "C" {

TVAPI int TVgetErrorMessage(pTVenv env, int code, char *message) {
  return tarvo::guarded([&] {
    if (!message) return tarvo::err::kNullArgument;
    std::strcpy(message, code == 0 ? "No errors." : "Unknown error.");
    if (code < 0 || code > 2750) return tarvo::err::kBadErrorCode;
    message[0] = '\0';
    if (live(env)) {
      const char *text = env->catalogue.text(code);
      if (text) std::snprintf(message, 256, "%s", text);
      return 0;
    }
    MessageCatalogue temporary;
    if (temporary.build() != 0) return tarvo::err::kNoMemory;
    const char *text = temporary.text(code);
    if (text) std::snprintf(message, 256, "%s", text);
    return 0;
  });
}

TVAPI int TVgetFileError(pTVmodel model, unsigned int *lineNumber, char *lineText) {
  if (lineNumber) *lineNumber = 0;
  if (lineText) lineText[0] = '\0';
  if (!live(model) || !model->file_error.present) return 0;
  if (lineNumber) *lineNumber = model->file_error.line;
  if (lineText) std::memcpy(lineText, model->file_error.text.c_str(), model->file_error.text.size() + 1);
  return 0;
}

TVAPI int TVgetErrorRowIndex(pTVmodel model, int *rowIndex) {
  if (!live(model) || !rowIndex) return tarvo::err::kNullArgument;
  if (!model->solution || model->solution->model_status != TV_STATUS_NUMERICAL_ERROR) return tarvo::err::kNotAvailable;
  *rowIndex = model->solution->error_row;
  return 0;
}

}  // extern "C"
