#pragma once
// Shared test helpers: a scripted UserChannel, temporary folders, file I/O.

#include <cstdint>
#include <deque>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "common/progress.h"
#include "common/user_channel.h"

namespace tervolin::test {

// Records every message and question; answers questions from a script
// (default answers when the script runs out).
class ScriptedChannel : public UserChannel {
 public:
  struct Event {
    enum Kind { Message, OkBox, YesNo, Close } kind;
    std::string text;  // Windows-1251, as the core sent it
  };

  void message(std::string_view text) override { events.push_back({Event::Message, std::string(text)}); }
  bool okBox(std::string_view text) override {
    events.push_back({Event::OkBox, std::string(text)});
    return next(okAnswers, defaultOk);
  }
  bool yesNo(std::string_view text) override {
    events.push_back({Event::YesNo, std::string(text)});
    return next(yesNoAnswers, defaultYes);
  }
  void closeMainWindow() override { events.push_back({Event::Close, {}}); }

  // Texts of all events of one kind, in order.
  std::vector<std::string> texts(Event::Kind kind) const;

  std::deque<bool> okAnswers, yesNoAnswers;
  bool defaultOk = true, defaultYes = false;
  std::vector<Event> events;

 private:
  static bool next(std::deque<bool>& answers, bool fallback) {
    if (answers.empty()) return fallback;
    const bool a = answers.front();
    answers.pop_front();
    return a;
  }
};

// Records every report; says "cancelled" once `cancelAfter` reports have
// come (never when it is 0).
class ScriptedProgress : public Progress {
 public:
  explicit ScriptedProgress(std::size_t cancelAfter = 0) : cancelAfter_(cancelAfter) {}
  void report(std::uint64_t done, std::uint64_t total) override { reports.push_back({done, total}); }
  bool cancelled() const override { return cancelAfter_ != 0 && reports.size() >= cancelAfter_; }

  std::vector<std::pair<std::uint64_t, std::uint64_t>> reports;

 private:
  std::size_t cancelAfter_;
};

// A fresh folder under the system's temporary folder, removed with the object.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

void writeFile(const std::filesystem::path& file, std::string_view bytes);

// A graph file: the header with the interval and up to eight channel
// entries (3 code bytes, 2 position bytes), then each frame after its
// 2-byte little-endian length.
struct GraphChannel {
  std::vector<std::uint8_t> code;      // 3 bytes
  std::vector<std::uint8_t> position;  // 2 bytes
};
std::string graphFileBytes(std::uint16_t interval, const std::vector<GraphChannel>& channels,
                           const std::vector<std::vector<std::uint8_t>>& frames);
std::string readFile(const std::filesystem::path& file);

}  // namespace tervolin::test
