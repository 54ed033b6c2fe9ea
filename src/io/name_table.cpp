// Name tables of the readers: the ELF hash, the prime size list and chained
// buckets over one character pool.
#include "io/name_table.hpp"

#include <cstring>
#include "common/error_codes.hpp"

namespace tarvo::io {
namespace {

constexpr int kPrimes[] = {29,      229,     883,     1671,    2791,    4801,    8629,    15289,   25303,
                           34843,   65269,   99709,   129403,  147673,  166669,  201403,  222163,  242729,
                           261431,  303491,  320237,  402761,  501131,  602309,  701507,  800999,  900551,
                           1000619, 1100837, 1200359, 1500007, 2000003, 3000017, 4000037, 4500007, 5000011,
                           6000011, 7000003, 8000009, 9000011, 9999991};

}  // namespace

std::uint32_t elf_hash(std::string_view name) {
  std::uint32_t h = 0;
  for (char ch : name) {
    h = (h << 4) + static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<signed char>(ch)));
    std::uint32_t g = h & 0xF0000000u;
    if (g != 0) h = (h ^ (g >> 24)) & 0x0FFFFFFFu;
  }
  return h;
}

int table_size_for(long long count) {
  for (int p : kPrimes)
    if (p >= count) return p;
  return kPrimes[sizeof kPrimes / sizeof kPrimes[0] - 1];
}

int NameTable::setup(long long expected) {
  if (ready()) return err::kInternal;
  buckets_.assign(table_size_for(expected), -1);
  // A small head start; the vectors grow geometrically from there.
  const size_t start = static_cast<size_t>(expected < 1000 ? expected : expected / 10 + 1000) + 1;
  next_.reserve(start);
  entry_value_.reserve(start);
  hash_.reserve(start);
  offset_.reserve(start + 1);
  return 0;
}

int NameTable::find(std::string_view name) const {
  if (buckets_.empty()) return -1;
  const std::uint32_t h = elf_hash(name);
  for (int e = buckets_[h % buckets_.size()]; e >= 0; e = next_[e]) {
    if (hash_[e] != h) continue;
    const std::string_view stored = this->name(e);
    if (stored.size() == name.size() && std::memcmp(stored.data(), name.data(), name.size()) == 0) return e;
  }
  return -1;
}

void NameTable::grow() {
  buckets_.assign(table_size_for(static_cast<long long>(buckets_.size()) * 4), -1);
  for (int e = 0; e < size(); ++e) {
    int &head = buckets_[hash_[e] % buckets_.size()];
    next_[e] = head;
    head = e;
  }
}

int NameTable::insert(std::string_view name, int value) {
  if (find(name) >= 0) return -1;
  return insert_new(name, value);
}

int NameTable::insert_new(std::string_view name, int value) {
  if (buckets_.empty()) setup(0);
  // A growing table keeps about one name per bucket; the largest size stops growing.
  if (growing_ && size() > static_cast<int>(buckets_.size()) * 2 &&
      static_cast<int>(buckets_.size()) < table_size_for(1LL << 40))
    grow();
  const std::uint32_t h = elf_hash(name);
  int &head = buckets_[h % buckets_.size()];
  const int index = size();
  pool_.insert(pool_.end(), name.begin(), name.end());
  pool_.push_back('\0');
  offset_.push_back(static_cast<std::int64_t>(pool_.size()));
  hash_.push_back(h);
  entry_value_.push_back(value);
  next_.push_back(head);
  head = index;
  return index;
}

int NameTable::longest_chain() const {
  int longest = 0;
  for (int head : buckets_) {
    int len = 0;
    for (int e = head; e >= 0; e = next_[e]) ++len;
    if (len > longest) longest = len;
  }
  return longest;
}

}  // namespace tarvo::io
