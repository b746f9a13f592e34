#pragma once
// File names inside the program folder, the working folder and the profile
// folders are matched without regard to case.

#include <filesystem>
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

// Writes `bytes` to `target` as an AtomicFile does: whole or not at all,
// links followed, devices and FIFOs written in place. False on failure (the
// target unchanged, no temporary file left).
bool writeFileAtomically(const std::filesystem::path& target, std::string_view bytes);

// Reads a whole file in one read. False when it cannot be opened or read.
bool readWholeFile(const std::filesystem::path& file, std::string& bytes);

}  // namespace tervolin
