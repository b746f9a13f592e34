#pragma once
// The trouble-code description file "DTC.xml": groups (elements with a
// "Name") under the root, each holding code entries with "Name" (such as
// P0301) and "Description". The first entry of a group is a caption and is
// never consulted; among entries with the same code the last one wins.
//
// Texts are turned into Windows-1251: a file that declares
// encoding="windows-1251" is taken byte for byte, any other (UTF-8 by
// default, UTF-16 with its byte-order mark) is converted.

#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <utility>

namespace tervolin {

inline constexpr std::string_view kTroubleCodeFile = "DTC.xml";

// The group a profile reads its descriptions from (code compared in upper
// case): "М 7.4" for B1797V, "M7.9.7" for B797, "OBD-II" for all others.
std::string_view troubleCodeGroup(std::string_view profileCode);

class TroubleCodeFile {
 public:
  enum class Status {
    Loaded,
    NoRoot,  // a well-formed file without a root element
    Failed,  // missing, unreadable or malformed: error() says why
  };

  // Reads and parses the file in one go.
  static TroubleCodeFile read(const std::filesystem::path& file);
  static TroubleCodeFile parse(std::string_view bytes);

  Status status() const { return status_; }
  // Windows-1251: the parser's description and the byte offset of a failure.
  const std::string& error() const { return error_; }

  // The description of `code` in `group` (Windows-1251), empty when absent.
  std::string describe(std::string_view group, std::string_view code) const;

 private:
  Status status_ = Status::Failed;
  std::string error_;
  std::map<std::pair<std::string, std::string>, std::string, std::less<>> descriptions_;
};

}  // namespace tervolin
