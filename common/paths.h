#pragma once
// File names inside the program folder, the working folder and the profile
// folders are matched without regard to case.

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>

namespace tervolin {

// base joined with `relative` (parts separated by '\' or '/'), each part
// matched to an existing entry without regard to case. Where a part has no
// match, the rest is joined as written (so the result names a missing file).
std::filesystem::path resolveIgnoringCase(const std::filesystem::path& base, std::string_view relative);

// True when resolveIgnoringCase finds an existing regular file.
bool fileExistsIgnoringCase(const std::filesystem::path& base, std::string_view relative);

// A path as core text (Windows-1251), for messages and stored settings, and
// back. Paths are the file system's UTF-8 bytes.
std::string pathText(const std::filesystem::path& path);
std::filesystem::path pathFromText(std::string_view cp1251);

// The folder of the running executable.
std::filesystem::path executableDir();

// Writes `bytes` to `target` through a temporary file in the same folder and
// a rename, so the target is never left half-written. A symbolic link is
// followed: the file it names is replaced and the link kept. A target that
// exists and is not a regular file (a device, a FIFO) is written in place,
// since a rename would destroy it. False on failure (the target unchanged,
// no temporary file left).
bool writeFileAtomically(const std::filesystem::path& target, std::string_view bytes);
// The same, with the bytes written by `write` into the stream (for files too
// large to build in memory); a stream left failed counts as a failure.
bool writeFileAtomically(const std::filesystem::path& target, const std::function<void(std::ostream&)>& write);

// Reads a whole file in one read. False when it cannot be opened or read.
bool readWholeFile(const std::filesystem::path& file, std::string& bytes);

}  // namespace tervolin
