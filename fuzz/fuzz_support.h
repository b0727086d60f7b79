#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace vantora::fuzz {

// The fuzzer's bytes as the text a file or a cell would give: invalid UTF-8 becomes replacement
// characters, as when the player reads such a file.
inline QString text_of(const std::uint8_t* data, std::size_t size) {
  return QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// A broken promise of the code under test: the fuzzer keeps the input that led here.
[[noreturn]] inline void fail(const char* what, const QString& detail = {}) {
  std::fprintf(stderr, "fuzz: %s %s\n", what, detail.toUtf8().constData());
  std::abort();
}

// Takes bytes off the front of the input, then whatever remains.
class Bytes {
 public:
  Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  bool empty() const { return size_ == 0; }
  std::uint8_t byte() {
    if (size_ == 0) {
      return 0;
    }
    --size_;
    return *data_++;
  }
  std::int64_t int64() {
    std::uint64_t value = 0;
    for (int i = 0; i < 8; ++i) {
      value = (value << 8) | byte();
    }
    return static_cast<std::int64_t>(value);
  }
  // A text of up to `max_bytes`, its length from the input.
  QByteArray chunk(std::size_t max_bytes) {
    std::size_t length = byte() % (max_bytes + 1);
    if (length > size_) {
      length = size_;
    }
    QByteArray bytes(reinterpret_cast<const char*>(data_), static_cast<qsizetype>(length));
    data_ += length;
    size_ -= length;
    return bytes;
  }
  QString rest() {
    const QString text = text_of(data_, size_);
    data_ += size_;
    size_ = 0;
    return text;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
};

}  // namespace vantora::fuzz
