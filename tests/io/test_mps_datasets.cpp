// The shared model sets: every netlib, MIPLIB 3 and sample MPS file reads
// without error, its dimensions agree with an independent count of the file,
// and writing it back (free and fixed) and reading again gives the same model.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <sstream>
#include <unordered_map>
#include <unordered_set>

#include "mps_test_util.hpp"

using namespace tvtest;

namespace {

#ifdef NDEBUG
constexpr long kSizeBudget = 1L << 40;  // optimised build: every file
#else
constexpr long kSizeBudget = 30000;  // unoptimised (sanitizer) builds: compressed files up to this size
#endif

struct DataFile {
  std::string path, leaf;
  long size = 0;
};

std::vector<DataFile> files_in(const std::string &folder, const std::string &suffix) {
  std::vector<DataFile> out;
  DIR *dir = opendir(folder.c_str());
  if (!dir) return out;
  while (dirent *e = readdir(dir)) {
    std::string leaf = e->d_name;
    if (leaf.size() <= suffix.size() || leaf.compare(leaf.size() - suffix.size(), suffix.size(), suffix) != 0)
      continue;
    DataFile f{folder + "/" + leaf, leaf, 0};
    struct stat st;
    if (stat(f.path.c_str(), &st) == 0) f.size = st.st_size;
    out.push_back(f);
  }
  closedir(dir);
  std::sort(out.begin(), out.end(), [](const DataFile &a, const DataFile &b) { return a.leaf < b.leaf; });
  return out;
}

std::vector<DataFile> all_models() {
  std::vector<DataFile> all = files_in(data_dir() + "/netlib", ".mps.gz");
  for (auto &f : files_in(data_dir() + "/miplib3", ".mps.gz")) all.push_back(f);
  for (auto &f : files_in(data_dir() + "/sample", ".mps")) all.push_back(f);
  return all;
}

std::string text_of(const DataFile &f) { return read_gz(f.path); }  // zlib reads plain files as they are

std::string_view field(std::string_view line, size_t from, size_t len) {
  if (from >= line.size()) return {};
  std::string_view s = line.substr(from, len);
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

// Counts of a fixed-format file, taken from its text directly: rows other
// than N rows, distinct columns (with those first named in BOUNDS and one
// slack per ranged row) and distinct (row, column) pairs.
struct Counts {
  int rows = 0, cols = 0, nz = 0;
};

Counts count_file(const std::string &text) {
  Counts k;
  std::string_view section, range_set;
  std::unordered_map<std::string_view, std::pair<char, int>> row_id;  // type and index (-1 for N rows)
  std::unordered_map<std::string_view, int> col_id;
  std::unordered_set<long long> pairs;
  std::unordered_set<int> ranged;
  size_t at = 0;
  while (at < text.size()) {
    size_t eol = text.find('\n', at);
    if (eol == std::string::npos) eol = text.size();
    std::string_view line(text.data() + at, eol - at);
    at = eol + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line[0] == '*') continue;
    if (line[0] != ' ') {
      section = line.substr(0, line.find(' '));
      if (section == "ENDATA") break;
      continue;
    }
    if (line.find_first_not_of(' ') == std::string_view::npos) continue;
    if (section == "ROWS") {
      const char type = field(line, 1, 2)[0];
      const bool free_row = type == 'N';
      row_id.emplace(field(line, 4, 8), std::make_pair(type, free_row ? -1 : k.rows));
      if (!free_row) ++k.rows;
    } else if (section == "COLUMNS") {
      if (line.find("'MARKER'") != std::string_view::npos) continue;
      const int col = col_id.emplace(field(line, 4, 8), static_cast<int>(col_id.size())).first->second;
      for (size_t pos : {size_t(14), size_t(39)}) {
        auto row = row_id.find(field(line, pos, 8));
        if (row != row_id.end() && row->second.second >= 0)
          pairs.insert((static_cast<long long>(row->second.second) << 32) | col);
      }
    } else if (section == "BOUNDS") {
      col_id.emplace(field(line, 14, 8), static_cast<int>(col_id.size()));
    } else if (section == "RANGES") {
      const std::string_view set = field(line, 4, 8);
      if (range_set.empty()) range_set = set;
      if (set != range_set) continue;
      for (size_t pos : {size_t(14), size_t(39)}) {
        auto row = row_id.find(field(line, pos, 8));
        if (row == row_id.end()) continue;
        const double v = std::atof(std::string(field(line, pos + 10, 12)).c_str());
        if (v != 0 || row->second.first != 'E') ranged.insert(row->second.second);
      }
    }
  }
  k.cols = static_cast<int>(col_id.size() + ranged.size());
  k.nz = static_cast<int>(pairs.size() + ranged.size());
  return k;
}

bool has_blank_in_names(const Picture &p) {
  for (const auto *names : {&p.rownames, &p.colnames})
    for (const std::string &s : *names)
      if (s.find(' ') != std::string::npos) return true;
  return false;
}

class DataSets : public ::testing::Test {
 protected:
  void SetUp() override {
    files_ = all_models();
    if (files_.empty()) GTEST_SKIP() << "no model sets under " << data_dir();
  }
  std::vector<DataFile> files_;
};

// One pass per file: read, check the dimensions, then write and read back.
TEST_F(DataSets, EveryFileReadsAndWritesBack) {
  const std::string free_path = temp_path("roundtrip_free.mps"), fixed_path = temp_path("roundtrip_fixed.mps");
  int checked = 0;
  for (const DataFile &f : files_) {
    if (f.size > kSizeBudget) continue;
    ++checked;
    MpsModel first;
    ASSERT_EQ(first.read_file(f.path, 1), 0) << f.leaf << " line " << first.error_line << ": " << first.error_text;
    EXPECT_CONSISTENT(first);
    const Counts want = count_file(text_of(f));
    const Picture original = picture(first);
    EXPECT_EQ(original.m, want.rows) << f.leaf;
    EXPECT_EQ(original.n, want.cols) << f.leaf;
    EXPECT_EQ(original.nz, want.nz) << f.leaf;

    // Free format carries every digit, but not names with blanks in them.
    if (!has_blank_in_names(original)) {
      ASSERT_EQ(TVwriteMPSFile(first, free_path.c_str(), 0), 0) << f.leaf;
      MpsModel again;
      ASSERT_EQ(again.read_file(free_path, 0), 0) << f.leaf << " line " << again.error_line << ": "
                                                  << again.error_text;
      EXPECT_EQ(compare(original, picture(again), 0.0), "") << f.leaf << " (free)";
    }
    ASSERT_EQ(TVwriteMPSFile(first, fixed_path.c_str(), 1), 0) << f.leaf;
    MpsModel again;
    ASSERT_EQ(again.read_file(fixed_path, 1), 0) << f.leaf << " line " << again.error_line << ": "
                                                 << again.error_text;
    EXPECT_EQ(compare(original, picture(again), 1e-6), "") << f.leaf << " (fixed)";
  }
  std::remove(free_path.c_str());
  std::remove(fixed_path.c_str());
  if (checked < static_cast<int>(files_.size()))
    std::printf("[   NOTE   ] %d of %zu files checked (the larger ones only in optimised builds)\n", checked,
                files_.size());
}

}  // namespace
