#pragma once
// Where and why a read ended before the end of its file. The readers return
// it as a value; the open road hands it to the window, which tells the user
// once, after the read (the command-line tool prints it on standard error).

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace tervolin {

enum class ReadStopCause : unsigned char {
  Unreadable,         // the file could not be opened or read
  IntervalNotNumber,  // a text log's interval value is not a number
  LengthNotHex,       // a response's format or length byte is not hex
  FrameLengthZero,    // a graph-file frame of length 0
  FramePastEnd,       // a graph-file frame (or its length) runs past the end: the file is cut
};

struct ReadStop {
  ReadStopCause cause = ReadStopCause::Unreadable;
  std::size_t offset = 0;  // byte offset of the line or frame where the read ended
  std::size_t line = 0;    // its 1-based line in the file (text files); 0 for binary files
  std::string text;        // the offending text of a text log (Windows-1251)
  std::filesystem::path file;  // the file read
  std::filesystem::path dump;  // the error dump written, empty when it could not be written
  std::string dumpFailure;     // why it could not be written (Windows-1251), empty when written
};

// 1-based number of the line holding byte `offset` of `text`: every LF, every
// CR and every CR LF ends a line.
std::size_t lineNumberAt(std::string_view text, std::size_t offset);

// The message the user gets once after the read (Windows-1251): which file,
// where and why the read ended, that the `records` read before it are shown,
// and where the error dump lies.
std::string readStopMessage(const ReadStop& stop, std::size_t records);

}  // namespace tervolin
