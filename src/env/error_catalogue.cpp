// The message catalogue: every return code with its text, exactly as users and
// hosts see it (doubled spaces, stops and spellings are deliberate and stable).
// Each environment builds its own slot table and text pool from this list.
#include "env/error_catalogue.hpp"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include "common/error_codes.hpp"

namespace tarvo::base {
namespace {

struct CatalogueEntry {
  int code;
  const char *text;
};

const CatalogueEntry kCatalogue[] = {
    {0, "No errors."},
    {2001, "Could not allocate enough memory."},
    {2002, "Could not open file for problem I/O."},
    {2003, "There is an error in the input model file."},
    {2004, "An invalid constraint type was found."},
    {2005, "Model data is inconsistent."},
    {2006, "Specified solver type is not known."},
    {2007, "Specified objective sense is invalid."},
    {2008, "There is an error in the MPI file."},
    {2009, "Requested information is not available."},
    {2010, "Illegal NULL pointer as argument."},
    {2011, "Specified parameter cannot be set."},
    {2012, "Specified index is out of range."},
    {2013, "Specified error-message file is not found."},
    {2014, "Specified variable is not found in the model."},
    {2015, "Internal error -- please contact TARVO Systems.."},
    {2016, "Iteration limit is reached before solving to completion."},
    {2017, "Time limit is reached before solving to completion."},
    {2018, "Specified model is not convex."},
    {2019, "Solver stopped because of numerical instability."},
    {2021, "Solver stopped because of no improvement in step size."},
    {2023, "User interrupt."},
    {2024, "Specified parameter is out of range."},
    {2025, "Error in input."},
    {2029, "Specified feature is not yet supported or not compatible with the model type."},
    {2030, "Specified model is already loaded."},
    {2031, "Model data is not loaded."},
    {2032, "Specified index has duplicates."},
    {2033, "Instruction list is not loaded."},
    {2037, "Branch limit is reached in the Branch-and-Bound method."},
    {2038, "Model contains unsupported function for global solver."},
    {2039, "Branch limit is reached in the global solver."},
    {2040, "The specified decomposition type is invalid."},
    {2042, "The specified value for basis status does not match to the  upper or lower bound the variable can attain."},
    {2043, "The specified basis status for a column is invalid."},
    {2044, "The given basis is invalid."},
    {2045, "The specified basis status for  a constraint's slack//surplus is invalid."},
    {2046, "The specified model is already a block of a decomposed model."},
    {2047, "The input values fall out side allowed range."},
    {2048, "The index vector that mark the beginning of structural columns in three (or four) vector representation of the underlying model is invalid."},
    {2049, "The specified column index is out of range for the underlying model."},
    {2050, "The number of nonzeroes in one or more columns specified is invalid or inconsistent with other input vectors."},
    {2051, "The error code inquired about is invalid."},
    {2052, "The specified row index is out of range for the underlying model."},
    {2053, "The total number of nonzeroes specified is invalid or inconsistent with other input."},
    {2054, "Model is not linear."},
    {2056, "A user-defined function has not been set yet."},
    {2058, "Illegal string operation."},
    {2059, "String list is already loaded."},
    {2060, "String list is not loaded."},
    {2064, "Instruction list has incorrect numbers of elements."},
    {2065, "Instruction list is too short."},
    {2066, "Instruction list has conflicting variable bounds."},
    {2067, "Instruction list contains a syntax error."},
    {2068, "Column token is not found."},
    {2069, "Row token is not found."},
    {2070, "NAME token is not found."},
    {2072, "The underlying decomposition structure is not compatible with the solver or the decomposition method used."},
    {2073, "Selected method does not support multithreading."},
    {2074, "The specified parameter identifier is invalid."},
    {2075, "The specified number of threads is invalid."},
    {2076, "Column limit is reached before solving to completion."},
    {2077, "Quadratic data not loaded."},
    {2078, "Specified row does not have quadratic data."},
    {2080, "Error loading external solver library."},
    {2081, "External solver library file name not specified."},
    {2082, "External solver library already loaded."},
    {2083, "External solver API function not installed."},
    {2084, "External solver API library not installed."},
    {2085, "Error loading zlib library."},
    {2086, "External solver API environment cannot be created."},
    {2087, "LP solution pool is empty."},
    {2088, "LP solution pool is full."},
    {2089, "Solution pool limit has been reached."},
    {2090, "Parameter tuning tool has not been set up yet."},
    {2091, "Specified external solver is not supported or unknown."},
    {2092, "Specified external solver version is not a valid w.r.t current version."},
    {2093, "A Function/Derivative Evaluator (FDE) function was not installed."},
    {2094, "Given model type is not supported with specified external solver."},
    {2201, "Error in LDLt factorization."},
    {2202, "Empty column detected in LDLt factorization."},
    {2203, "Matrix data is invalid or has bad input in LDLt factorization."},
    {2204, "Invalid matrix or vector dimension."},
    {2205, "Matrix or vector is empty."},
    {2206, "Matrix is not symmetric."},
    {2207, "Matrix has zero diagonal."},
    {2208, "Invalid permutation."},
    {2209, "Duplicate elements detected in LDLt factorization."},
    {2210, "Detected rank deficiency in LDLt factorization."},
    {2301, "Core MPS file/model has an error."},
    {2302, "Time file/model has an error."},
    {2303, "Stoc file/model has an error."},
    {2304, "Core MPI file/model has an error."},
    {2305, "Stoc file associated with Core MPI file has an error."},
    {2306, "Unable to open Core file."},
    {2307, "Unable to open Time file."},
    {2308, "Unable to open Stoc file."},
    {2309, "Stochastic model/data has not been loaded yet."},
    {2310, "Stochastic parameter specified in Stoc file has not been found."},
    {2311, "Stochastic parameter specified in Time file has not been found."},
    {2312, "Specified scenario index is out of sequence."},
    {2313, "Stochastic model/data has already been loaded."},
    {2314, "Specified scenario CDF is invalid, e.g. scenario probabilities do not sum to 1.0."},
    {2315, "No stochastic parameters were found in the Core file."},
    {2316, "Number of stochastic parameters found in Core file do notmatch to that of Time file."},
    {2317, "Specified stochastic parameter index is invalid."},
    {2318, "A stochastic parameter was not expected in Time file.."},
    {2319, "Number of stochastic parameters found in Time file do notmatch to that of Stoc file."},
    {2320, "Specified stochastic parameter does not have a valid outcome value."},
    {2321, "Requested information is unavailable."},
    {2322, "Core file does not have a valid bound name tag."},
    {2323, "Core file does not have a valid objective name tag."},
    {2324, "Core file does not have a valid right-hand-side name tag."},
    {2325, "Core file does not have a valid range name tag."},
    {2326, "Stoc file does not have an expected token name."},
    {2327, "Stoc file does not have a 'ROOT' token to specify a root scenario."},
    {2328, "Node model is unbounded."},
    {2329, "Node model is infeasible."},
    {2330, "Stochastic model has too many scenarios to solve with specified solver."},
    {2331, "One or more node-models have irrecoverable numerical problems."},
    {2332, "Specified aggregation structure is not compatible with model's stage structure."},
    {2333, "Event tree is either not initialized yet or was too big to create."},
    {2334, "Specified stage index is invalid."},
    {2335, "Specified algorithm/method is invalid or not supported."},
    {2336, "Specified number of stages in Core model is invalid."},
    {2337, "Underlying model has an invalid temporal order."},
    {2338, "Number of stages specified in Time structure is invalid."},
    {2339, "Core and Time data are inconsistent."},
    {2340, "Specified stochastic structure has an invalid CDF."},
    {2341, "Specified distribution type is invalid or not supported."},
    {2342, "Scale parameter for specified distribution is out of range."},
    {2343, "Shape parameter for specified distribution is out of range."},
    {2344, "Specified probabability value is invalid."},
    {2345, "Derivative information is unavailable."},
    {2346, "Specified standard deviation is invalid."},
    {2347, "Specified value is invalid."},
    {2348, "Specified parameters are invalid for the given distribution."},
    {2349, "Iteration limit has been reached during a root finding operation."},
    {2350, "Given array is out of bounds."},
    {2351, "Limiting PDF does not exist."},
    {2352, "A random number generator is not set."},
    {2353, "Distribution function value was truncated during calculations."},
    {2354, "Stoc file has a parameter value missing."},
    {2355, "Distribution has invalid number of parameters."},
    {2357, "Core file/model is not in temporal order."},
    {2358, "Specified sample size is invalid."},
    {2359, "Node probability cannot be computed due to presence of continuous stochastic parameters."},
    {2360, "Event tree exceeds the maximum number of scenarios allowed to attempt an exact solution."},
    {2361, "Specified correlation type is invalid."},
    {2362, "Number of stages in the model is not set yet."},
    {2363, "Model already contains a sampled tree."},
    {2364, "Stochastic events are not loaded yet."},
    {2365, "Stochastic tree already initialized."},
    {2366, "Random number generator seed not initialized."},
    {2367, "All sample points in the sample has been used. Resampling may be required."},
    {2368, "Sampling is not supported for models with explicit scenarios."},
    {2369, "Sample points are not yet generated for a stochastic parameter."},
    {2370, "Sample points are already generated for a stochastic parameter."},
    {2371, "Sample sizes selected are too small."},
    {2372, "A random number generator is already set."},
    {2373, "Sampling is not allowed for random parameters which are part of block/joint distributions."},
    {2374, "No stochastic parameters were assigned to one of the stages."},
    {2375, "No rows were assigned to one of the stages."},
    {2376, "No columns were assigned to one of the stages."},
    {2377, "Default sample sizes per stoc.pars and stage are in conflict."},
    {2378, "Empty scenario data."},
    {2379, "A correlation structure has not been induced yet."},
    {2380, "A discrete PDF table has not been loaded."},
    {2381, "No continously distributed random parameters are found."},
    {2382, "One or more rows already belong to another chance constraint."},
    {2383, " No chance-constraints were loaded."},
    {2384, " Cut limit has been reached."},
    {2385, " GA instance has not been initialized yet."},
    {2386, " There exists stochastic rows not loaded to any chance constraints yet."},
    {2387, " Specified sample is already assigned as the source for the target sample."},
    {2388, " No user-defined distribution function has been set for the specified sample."},
    {2389, " Specified sample does not support the function call or it is incompatible with the argument list."},
    {2390, " Mapping stochastic instructions leads to multiple occurrences in matrix model."},
    {2391, " Two or more stochastic instructions maps to the same position in matrix model."},
    {2392, " A stochastic parameter was not expected in the objective function."},
    {2393, " One of the distribution parameters of the specified sample was not set."},
    {2394, " Specified stochastic input is invalid."},
    {2577, "Missing ROWS tag in the MPS file."},
    {2578, "Missing COLUMNS tag in the MPS file."},
    {2579, "Missing RHS tag in the MPS file."},
    {2580, "Missing ENDATA tag in the MPS file."},
    {2581, "Missing value in the ROW section of the MPS file."},
    {2582, "Extra value in the ROW section of the MPS file."},
    {2583, "Missing value in the COLUMNS section of the MPS file."},
    {2584, "Extra value in the COLUNMS section of the MPS file."},
    {2585, "Missing value in the RHS section of the MPS file."},
    {2586, "Extra value in the RHS section of the MPS file."},
    {2587, "Missing value in the BOUNDS section of the MPS file."},
    {2588, "Extra value in the BOUNDS section of the MPS file."},
    {2589, "Integer variables in the MPS file."},
    {2590, "Binary variables in the MPS file."},
    {2591, "Semi continuous variables in the MPS file."},
    {2592, "Unknown tag in the BOUNDS section of the MPS file."},
    {2593, "Multiple objective funtion rows in the ROWS section of the MPS file."},
    {2594, "Could not solve the current sub-problem."},
    {2595, "Could not write to binary solution file."},
    {2596, "Could not read from binary solution file."},
    {2597, "Trying to read past the end of file."},
    {2700, "Scripting engine error."},
};

constexpr size_t kInitialPool = 20000;

}  // namespace

int MessageCatalogue::build() {
  release();
  slots = static_cast<int *>(std::malloc(sizeof(int) * kSlots));
  pool = static_cast<char *>(std::malloc(kInitialPool));
  if (!slots || !pool) {
    release();
    return err::kNoMemory;
  }
  for (int i = 0; i < kSlots; ++i) slots[i] = -1;
  capacity = kInitialPool;
  used = 0;
  char scratch[512];
  for (const auto &entry : kCatalogue) {
    std::snprintf(scratch, sizeof scratch, "%s", entry.text);
    size_t len = std::strlen(scratch);
    if (used + len + 2 >= capacity) {
      size_t grown = used + len + 10001;
      char *moved = static_cast<char *>(std::realloc(pool, grown));
      if (!moved) {
        release();
        return err::kNoMemory;
      }
      pool = moved;
      capacity = grown;
    }
    slots[entry.code] = static_cast<int>(used);
    std::memcpy(pool + used, scratch, len + 1);
    used += len + 1;
  }
  if (capacity - 1 > used) {
    char *shrunk = static_cast<char *>(std::realloc(pool, used + 1));
    if (shrunk) {
      pool = shrunk;
      capacity = used + 1;
    }
  }
  return 0;
}

void MessageCatalogue::release() {
  std::free(slots);
  std::free(pool);
  slots = nullptr;
  pool = nullptr;
  capacity = used = 0;
}

const char *MessageCatalogue::text(int code) const {
  if (!slots || code < 0 || code >= kSlots || slots[code] < 0) return nullptr;
  return pool + slots[code];
}

const char *catalogue_text(int code) {
  for (const auto &entry : kCatalogue)
    if (entry.code == code) return entry.text;
  return nullptr;
}

}  // namespace tarvo::base
