#pragma once
// The derived definition files of a working folder (_usesTblPids.ini,
// _tmp.ini) as they were before an open: an open that is cancelled or fails
// puts them back, so that a later rebuild of the table reads the definitions
// of the records still shown, not those of the file that was not opened.
// error_ini.txt is the report of the read that wrote it, always written
// whole, and is not put back.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tervolin {

class DerivedFiles {
 public:
  // The files of `workingFolder` as they are now (names in any letter case).
  static DerivedFiles take(const std::filesystem::path& workingFolder);

  // Every file as it was: its old content written back whole where it
  // changed, a file that was not there removed again. False when one could
  // not be put back.
  bool restore() const;

 private:
  struct File {
    std::string name;
    std::filesystem::path path;        // as found when taken
    std::optional<std::string> bytes;  // nothing: there was no such file
  };
  std::filesystem::path folder_;
  std::vector<File> files_;
};

}  // namespace tervolin
