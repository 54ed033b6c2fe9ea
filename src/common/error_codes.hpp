// Readable names for the return codes of the message catalogue. Only
// TVERR_NO_ERROR is public; the library refers to the others by these names.
#pragma once

namespace tarvo::err {

inline constexpr int kOk = 0;
inline constexpr int kNoMemory = 2001;
inline constexpr int kFileOpen = 2002;
inline constexpr int kBadModelFile = 2003;
inline constexpr int kBadConstraintType = 2004;
inline constexpr int kInconsistentData = 2005;
inline constexpr int kUnknownSolver = 2006;
inline constexpr int kBadObjSense = 2007;
inline constexpr int kBadMpiFile = 2008;
inline constexpr int kNotAvailable = 2009;
inline constexpr int kNullArgument = 2010;
inline constexpr int kCannotSetParam = 2011;
inline constexpr int kIndexOutOfRange = 2012;
inline constexpr int kErrorFileMissing = 2013;
inline constexpr int kVariableNotFound = 2014;
inline constexpr int kInternal = 2015;
inline constexpr int kIterationLimit = 2016;
inline constexpr int kTimeLimit = 2017;
inline constexpr int kNotConvex = 2018;
inline constexpr int kNumerical = 2019;
inline constexpr int kNoStepImprovement = 2021;
inline constexpr int kUserInterrupt = 2023;
inline constexpr int kParamOutOfRange = 2024;
inline constexpr int kBadInput = 2025;
inline constexpr int kNotSupported = 2029;
inline constexpr int kAlreadyLoaded = 2030;
inline constexpr int kNotLoaded = 2031;
inline constexpr int kDuplicateIndex = 2032;
inline constexpr int kInstructionNotLoaded = 2033;
inline constexpr int kBranchLimit = 2037;
inline constexpr int kBadBasisValue = 2042;
inline constexpr int kBadColumnBasisStatus = 2043;
inline constexpr int kBadBasis = 2044;
inline constexpr int kBadRowBasisStatus = 2045;
inline constexpr int kBadVariableType = 2041;
inline constexpr int kValueOutOfRange = 2047;
inline constexpr int kBadColumnStarts = 2048;
inline constexpr int kColumnOutOfRange = 2049;
inline constexpr int kBadColumnLength = 2050;
inline constexpr int kBadErrorCode = 2051;
inline constexpr int kRowOutOfRange = 2052;
inline constexpr int kBadNonzeroCount = 2053;
inline constexpr int kNotLinear = 2054;
inline constexpr int kNameTooLong = 2061;
inline constexpr int kColumnTokenMissing = 2068;
inline constexpr int kRowTokenMissing = 2069;
inline constexpr int kBadParamId = 2074;
inline constexpr int kBadThreadCount = 2075;
inline constexpr int kXSolverLoad = 2080;
inline constexpr int kXSolverNoFile = 2081;
inline constexpr int kXSolverLoaded = 2082;
inline constexpr int kXSolverApiMissing = 2084;
inline constexpr int kObjPoolEmpty = 2087;
inline constexpr int kObjPoolFull = 2088;
inline constexpr int kXSolverUnknown = 2091;
inline constexpr int kUserFuncNotSet = 2056;
inline constexpr int kBadDistribution = 2341;
inline constexpr int kBadScale = 2342;
inline constexpr int kBadShape = 2343;
inline constexpr int kBadProbability = 2344;
inline constexpr int kBadStdDev = 2346;
inline constexpr int kBadValue = 2347;
inline constexpr int kBadDistrParams = 2348;
inline constexpr int kRootIterationLimit = 2349;
inline constexpr int kNoGenerator = 2352;
inline constexpr int kBadSampleSize = 2358;
inline constexpr int kBadCorrelationType = 2361;
inline constexpr int kSeedNotSet = 2366;
inline constexpr int kNoSamplePoints = 2369;
inline constexpr int kNoCorrelation = 2379;
inline constexpr int kNoDiscreteTable = 2380;
inline constexpr int kBadStochasticCdf = 2340;
inline constexpr int kBadStocMethod = 2335;
inline constexpr int kArgAlreadyAssigned = 2387;
inline constexpr int kNoUserDistr = 2388;
inline constexpr int kUserCallIncompatible = 2389;
inline constexpr int kDistrParamNotSet = 2393;

}  // namespace tarvo::err
