#pragma once
// The bytes of a whole file, read once and shared by every stage that reads
// them (layout detection, used-parameter selection, record reading, the log
// key, the LOG view), however long they are needed.
//
// A regular file is mapped read-only instead of copied: its pages come
// straight from the system's file cache, so a log of a gigabyte is "read" in
// milliseconds and costs no memory of its own. Should the file shrink while
// it is mapped (another program rewrites it), the pages past its new end
// read as zero bytes instead of ending the program. Other files (pipes,
// devices) and files that cannot be mapped are read into memory.

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace tervolin {

class FileBytes {
 public:
  // The file's bytes; null when it cannot be opened or read.
  static std::shared_ptr<const FileBytes> read(const std::filesystem::path& file);
  // Bytes made in memory, shared the same way.
  static std::shared_ptr<const FileBytes> hold(std::string bytes);

  std::string_view view() const { return {data_, size_}; }
  bool mapped() const { return mapped_; }

  ~FileBytes();
  FileBytes(const FileBytes&) = delete;
  FileBytes& operator=(const FileBytes&) = delete;

 private:
  FileBytes() = default;

  std::string held_;
  const char* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t mappedSize_ = 0;
  bool mapped_ = false;
};

}  // namespace tervolin
