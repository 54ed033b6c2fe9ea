// Numbers and names as the TARVO text format writes them, shared by the model
// writer and the IIS and IUS files.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace tarvo::io {

// "%+.16f" with the trailing zeros after the point removed ("+3.", "+0.25");
// values that text would not carry exactly get an exponent instead.
std::string tarvo_number(double v);

// The name with the characters that end a name in the format replaced by '_';
// a name that would not start as one (a digit, a sign) gets a leading '_'.
std::string tarvo_safe_name(std::string s);

// Safe names for `count` items; replaced characters can make two names equal,
// so a clashing one falls back to generated(k), lengthened until it is free.
std::vector<std::string> tarvo_unique_names(int count, const std::function<std::string(int)> &name,
                                            const std::function<std::string(int)> &generated);

}  // namespace tarvo::io
