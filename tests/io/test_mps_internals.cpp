// White-box checks of the readers' building blocks: name-table sizing and
// chains, and the block line source (line ends, overlong lines, the second
// walk of a gzip file).
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <string>

#include "io/line_source.hpp"
#include "io/name_table.hpp"
#include "test_support.hpp"

namespace {

using tarvo::io::LineSource;
using tarvo::io::NameTable;

// A table that cannot be sized up front grows with its names and keeps
// finding every one of them.
TEST(NameTable, GrowingTableKeepsChainsShort) {
  NameTable t;
  ASSERT_EQ(t.setup(10), 0);
  t.allow_growth();
  char name[16];
  for (int i = 0; i < 100000; ++i) {
    std::snprintf(name, sizeof name, "x%d", i);
    ASSERT_EQ(i % 2 ? t.insert(name, i) : t.insert_new(name, i), i);
  }
  EXPECT_GE(t.bucket_count(), 50000);
  EXPECT_LE(t.longest_chain(), 16);
  for (int i = 0; i < 100000; i += 997) {
    std::snprintf(name, sizeof name, "x%d", i);
    ASSERT_EQ(t.find(name), i);
    EXPECT_EQ(t.value(i), i);
  }
  EXPECT_EQ(t.insert("x5"), -1);
}

TEST(NameTable, SizesFromThePrimeListAndShortChains) {
  EXPECT_EQ(tarvo::io::table_size_for(0), 29);
  EXPECT_EQ(tarvo::io::table_size_for(29), 29);
  EXPECT_EQ(tarvo::io::table_size_for(30), 229);
  EXPECT_EQ(tarvo::io::table_size_for(1000000), 1000619);
  EXPECT_EQ(tarvo::io::table_size_for(50000000), 9999991);

  NameTable t;
  ASSERT_EQ(t.setup(200000), 0);
  EXPECT_EQ(t.setup(10), 2015);  // set up once only
  EXPECT_EQ(t.bucket_count(), 201403);
  char name[16];
  for (int i = 0; i < 200000; ++i) {
    std::snprintf(name, sizeof name, "C%07d", i);  // the generated names writers produce
    ASSERT_EQ(t.insert(name, i * 2), i);
  }
  EXPECT_LE(t.longest_chain(), 16);
  EXPECT_EQ(t.insert("C0000042"), -1);
  EXPECT_EQ(t.find("C0000042"), 42);
  EXPECT_EQ(t.value(42), 84);
  EXPECT_EQ(t.find("C000004"), -1);
  EXPECT_EQ(t.find("c0000042"), -1);  // case-sensitive
  EXPECT_EQ(t.name(7), "C0000007");
}

std::string lines_of(LineSource &src) {
  std::string out;
  std::string_view line;
  while (src.next(&line)) out += "[" + std::string(line) + "]";
  return out;
}

TEST(LineSource, LineEndsAndTheSecondWalk) {
  const std::string path = tvtest::temp_path("lines.txt");
  tvtest::write_file(path, "one\r\ntwo\n\nlast");
  LineSource src;
  ASSERT_EQ(src.open(path.c_str()), 0);
  EXPECT_EQ(lines_of(src), "[one ][two][][last]");
  ASSERT_EQ(src.rewind(), 0);
  EXPECT_EQ(lines_of(src), "[one ][two][][last]");
  EXPECT_EQ(src.text_bytes(), 14u);
  std::remove(path.c_str());

  LineSource dir;
  EXPECT_EQ(dir.open("/tmp"), 2002);
}

TEST(LineSource, CompressedTextIsKeptForTheSecondWalk) {
  const std::string path = tvtest::temp_path("lines.txt.gz");
  std::string text;
  for (int i = 0; i < 400000; ++i) text += "line " + std::to_string(i) + "\n";  // several blocks
  gzFile gz = gzopen(path.c_str(), "wb");
  gzwrite(gz, text.data(), static_cast<unsigned>(text.size()));
  gzclose(gz);
  LineSource src;
  ASSERT_EQ(src.open(path.c_str()), 0);
  std::string_view line;
  int count = 0;
  while (src.next(&line)) ++count;
  EXPECT_EQ(count, 400000);
  ASSERT_TRUE(src.drain());
  std::remove(path.c_str());  // the second walk does not need the file any more
  ASSERT_EQ(src.rewind(), 0);
  count = 0;
  std::string last;
  while (src.next(&line)) {
    ++count;
    last = line;
  }
  EXPECT_EQ(count, 400000);
  EXPECT_EQ(last, "line 399999");
  EXPECT_FALSE(src.read_failed());
}

TEST(LineSource, LinesLongerThanABlock) {
  const std::string path = tvtest::temp_path("long.txt");
  tvtest::write_file(path, "a\n" + std::string(LineSource::kBlockSize + 10, 'x') + "\nb\n");
  LineSource src;
  ASSERT_EQ(src.open(path.c_str()), 0);
  std::string_view line;
  ASSERT_TRUE(src.next(&line));
  EXPECT_EQ(line, "a");
  ASSERT_TRUE(src.next(&line));
  EXPECT_GT(line.size(), 255u);  // delivered cut, long enough to be refused
  ASSERT_TRUE(src.next(&line));
  EXPECT_EQ(line, "b");
  EXPECT_FALSE(src.next(&line));
  std::remove(path.c_str());
}

}  // namespace
