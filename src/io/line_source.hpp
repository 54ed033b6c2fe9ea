// Lines of a model file, plain or gzip-compressed, read in large blocks and
// cut in place. A reader that walks the file twice rewinds the source; the
// text of a compressed file is kept from the first walk so that it is
// decompressed only once.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo::io {

// True for a name longer than 3 characters ending in ".gz" (either case).
bool is_gzip_name(const char *name);

class LineSource {
 public:
  static constexpr size_t kBlockSize = 2621440;

  LineSource();
  ~LineSource();
  LineSource(const LineSource &) = delete;
  LineSource &operator=(const LineSource &) = delete;

  // 0, or 2002 when the file cannot be opened for reading (directories included).
  int open(const char *path);
  // Back to the first line; 0 or 2002.
  int rewind();

  // The next line without its line feed (a carriage return just before it
  // reads as a blank). False at the end of the text or after a read error.
  // The text stays valid until the next call, and the last line also after
  // the call that reports the end (readers quote it in error records).
  // A line longer than a block is cut at the block size and the rest of it
  // skipped: its length still tells the caller it was too long.
  bool next(std::string_view *line);

  // Reads on to the end of the file without cutting lines, so that damage
  // anywhere in a compressed stream shows; false when the read failed.
  bool drain();

  // The file could not be read to its end (I/O error, damaged compressed data).
  bool read_failed() const { return read_failed_; }
  // Bytes of (uncompressed) text delivered by the first walk.
  unsigned long long text_bytes() const { return text_bytes_; }

  // Text kept for the second walk of a compressed file, at most this much.
  static constexpr size_t kCacheLimit = size_t(768) << 20;

 private:
  struct Handle;
  size_t read_block(char *dst, size_t capacity);
  bool refill();

  std::unique_ptr<Handle> handle_;
  // The block buffer starts small (most files are) and doubles with each
  // read up to the block size.
  std::unique_ptr<char[]> buf_, retired_;  // retired_: the buffer before the last growth
  size_t cap_ = 0;
  size_t pos_ = 0, end_ = 0;
  bool eof_ = false, read_failed_ = false, skipping_ = false;
  unsigned long long text_bytes_ = 0;
  int walk_ = 0;  // 0 first walk, 1 later walks
  std::vector<std::vector<char>> cache_;
  size_t cache_bytes_ = 0, cache_next_ = 0, cache_off_ = 0;
  bool cache_complete_ = false, cache_dropped_ = false;
};

}  // namespace tarvo::io
