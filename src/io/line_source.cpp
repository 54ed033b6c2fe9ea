// Block-wise reading of plain and gzip-compressed model files, cut into lines.
#include "io/line_source.hpp"

#include <sys/stat.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include "common/error_codes.hpp"

namespace tarvo::io {
namespace {

constexpr size_t kFirstBuffer = 1 << 15;

}  // namespace

bool is_gzip_name(const char *name) {
  if (!name) return false;
  const size_t len = std::strlen(name);
  if (len <= 3) return false;
  const char *ext = name + len - 3;
  return ext[0] == '.' && (ext[1] == 'g' || ext[1] == 'G') && (ext[2] == 'z' || ext[2] == 'Z');
}

struct LineSource::Handle {
  std::FILE *file = nullptr;
  gzFile gz = nullptr;
  ~Handle() {
    if (file) std::fclose(file);
    if (gz) gzclose(gz);
  }
};

LineSource::LineSource() = default;
LineSource::~LineSource() = default;

int LineSource::open(const char *path) {
  struct stat st;
  // fopen accepts a directory on some systems and only the reads fail.
  if (!path || ::stat(path, &st) != 0 || S_ISDIR(st.st_mode)) return err::kFileOpen;
  auto h = std::make_unique<Handle>();
  if (is_gzip_name(path)) {
    h->gz = gzopen(path, "rb");
    if (!h->gz) return err::kFileOpen;
    gzbuffer(h->gz, 1 << 18);
  } else {
    h->file = std::fopen(path, "rb");
    if (!h->file) return err::kFileOpen;
  }
  handle_ = std::move(h);
  cap_ = kFirstBuffer;
  buf_ = std::make_unique_for_overwrite<char[]>(cap_);
  pos_ = end_ = 0;
  eof_ = read_failed_ = skipping_ = false;
  return 0;
}

int LineSource::rewind() {
  if (!handle_) return err::kFileOpen;
  ++walk_;
  pos_ = end_ = 0;
  eof_ = skipping_ = false;
  read_failed_ = false;
  cache_next_ = cache_off_ = 0;
  if (handle_->gz && cache_complete_) return 0;  // replayed from the kept text
  if (handle_->gz) {
    cache_.clear();
    cache_bytes_ = 0;
    if (gzrewind(handle_->gz) != 0) return err::kFileOpen;
    return 0;
  }
  if (std::fseek(handle_->file, 0, SEEK_SET) != 0) return err::kFileOpen;
  std::clearerr(handle_->file);
  return 0;
}

size_t LineSource::read_block(char *dst, size_t capacity) {
  if (handle_->gz && walk_ > 0 && cache_complete_) {
    size_t copied = 0;
    while (copied < capacity && cache_next_ < cache_.size()) {
      const std::vector<char> &chunk = cache_[cache_next_];
      const size_t take = std::min(capacity - copied, chunk.size() - cache_off_);
      std::memcpy(dst + copied, chunk.data() + cache_off_, take);
      copied += take;
      cache_off_ += take;
      if (cache_off_ == chunk.size()) {
        ++cache_next_;
        cache_off_ = 0;
      }
    }
    return copied;
  }
  size_t got = 0;
  if (handle_->gz) {
    const int n = gzread(handle_->gz, dst, static_cast<unsigned>(std::min<size_t>(capacity, 1u << 30)));
    if (n < 0) {
      read_failed_ = true;
      return 0;
    }
    got = static_cast<size_t>(n);
    if (got == 0) {
      int err = Z_OK;
      gzerror(handle_->gz, &err);
      if (err != Z_OK) read_failed_ = true;  // cut or damaged stream
    }
    if (walk_ == 0 && !cache_dropped_ && got > 0) {
      if (cache_bytes_ + got > kCacheLimit) {
        cache_.clear();
        cache_.shrink_to_fit();
        cache_dropped_ = true;
      } else {
        cache_.emplace_back(dst, dst + got);
        cache_bytes_ += got;
      }
    }
  } else {
    got = std::fread(dst, 1, capacity, handle_->file);
    if (got == 0 && std::ferror(handle_->file)) read_failed_ = true;
  }
  if (walk_ == 0) text_bytes_ += got;
  return got;
}

bool LineSource::refill() {
  if (cap_ < kBlockSize) {
    const size_t grown = std::min(kBlockSize, cap_ * 2);
    auto bigger = std::make_unique_for_overwrite<char[]>(grown);
    std::memcpy(bigger.get(), buf_.get(), end_);
    retired_ = std::move(buf_);  // the line handed out last may still be looked at
    buf_ = std::move(bigger);
    cap_ = grown;
  }
  const size_t got = read_block(buf_.get() + end_, cap_ - end_);
  if (got == 0) {
    eof_ = true;
    if (walk_ == 0 && handle_->gz && !cache_dropped_ && !read_failed_) cache_complete_ = true;
    return false;
  }
  end_ += got;
  return true;
}

bool LineSource::drain() {
  if (!handle_) return false;
  while (!eof_) {
    pos_ = end_ = 0;
    refill();
  }
  pos_ = end_ = 0;
  return !read_failed_;
}

bool LineSource::next(std::string_view *line) {
  if (!handle_) return false;
  for (;;) {
    char *base = buf_.get();
    if (pos_ < end_) {
      char *nl = static_cast<char *>(std::memchr(base + pos_, '\n', end_ - pos_));
      if (nl) {
        const size_t at = static_cast<size_t>(nl - base);
        if (skipping_) {
          skipping_ = false;
          pos_ = at + 1;
          continue;
        }
        const size_t len = at - pos_;
        if (len > 0 && base[at - 1] == '\r') base[at - 1] = ' ';
        *line = std::string_view(base + pos_, len);
        pos_ = at + 1;
        return true;
      }
      if (skipping_) pos_ = end_;
    }
    if (eof_) {
      if (pos_ < end_) {
        const size_t len = end_ - pos_;
        if (base[end_ - 1] == '\r') base[end_ - 1] = ' ';
        *line = std::string_view(base + pos_, len);
        pos_ = end_;
        return true;
      }
      return false;
    }
    if (pos_ > 0) {
      std::memmove(base, base + pos_, end_ - pos_);
      end_ -= pos_;
      pos_ = 0;
    }
    if (end_ == cap_ && cap_ >= kBlockSize) {
      // No line feed in a whole block: deliver the start, drop the rest of the line.
      *line = std::string_view(base, end_);
      pos_ = end_;
      skipping_ = true;
      return true;
    }
    refill();
  }
}

}  // namespace tarvo::io
