// The string-to-index hash table of the model-file readers: names are kept in
// one character pool, looked up through chains of a prime-sized bucket array.
// Sized once from a count, so files with millions of names keep short chains.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace tarvo::io {

// 32-bit ELF hash over the bytes of `name` taken as signed characters.
std::uint32_t elf_hash(std::string_view name);

// First prime of the readers' size list not below `count`, else the largest.
int table_size_for(long long count);

class NameTable {
 public:
  // Sizes the bucket array for about `expected` names; 2015 when called twice.
  int setup(long long expected);
  bool ready() const { return !buckets_.empty(); }
  // Lets the bucket array grow with the names (for readers that cannot count
  // their names first); call after setup.
  void allow_growth() { growing_ = true; }

  // Index of the new name, or -1 when it is already present.
  int insert(std::string_view name, int value = 0);
  // insert() for a name known to be absent (no look-up).
  int insert_new(std::string_view name, int value = 0);
  // Index of the name, or -1.
  int find(std::string_view name) const;

  int size() const { return static_cast<int>(entry_value_.size()); }
  std::string_view name(int index) const {
    return {pool_.data() + offset_[index], static_cast<size_t>(offset_[index + 1] - offset_[index] - 1)};
  }
  // Terminated copy inside the pool, valid until the next insert.
  const char *c_name(int index) const { return pool_.data() + offset_[index]; }
  int value(int index) const { return entry_value_[index]; }
  void set_value(int index, int value) { entry_value_[index] = value; }
  int bucket_count() const { return static_cast<int>(buckets_.size()); }
  // Longest chain, for tests of the sizing.
  int longest_chain() const;

 private:
  void grow();

  bool growing_ = false;
  std::vector<int> buckets_;       // head entry per bucket, -1 when empty
  std::vector<int> next_;          // next entry of the same bucket
  std::vector<int> entry_value_;   // the value stored with each name
  std::vector<std::uint32_t> hash_;
  std::vector<char> pool_;         // names back to back, each with a terminator
  std::vector<std::int64_t> offset_{0};  // start of name i; one extra at the end
};

}  // namespace tarvo::io
