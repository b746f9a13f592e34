#pragma once
// The progress of a long open on standard error (option --progress): one
// UTF-8 line at most every half second and at the end of each stage, such as
//
//     tervolin-cli table: Чтение лога… 45 %, 450000 строк, 1250000 строк/с

#include <chrono>
#include <cstdint>
#include <iostream>
#include <string>
#include <string_view>

#include "common/progress.h"
#include "common/text.h"

namespace tervolin::cli {

class CliProgress : public Progress {
 public:
  explicit CliProgress(std::string_view command, std::ostream& out = std::cerr) : command_(command), out_(out) {}
  ~CliProgress() override { finishStage(); }

  void stage(std::string_view text) override {
    finishStage();
    stage_ = cp1251ToUtf8(text);
    started_ = Clock::now();
    printed_ = started_;
    done_ = total_ = lines_ = 0;
    changed_ = false;
  }
  void report(std::uint64_t done, std::uint64_t total) override {
    done_ = done;
    total_ = total;
    changed_ = true;
    maybePrint();
  }
  void lines(std::uint64_t count) override {
    lines_ = count;
    changed_ = true;
    maybePrint();
  }

 private:
  using Clock = std::chrono::steady_clock;
  static constexpr auto kEvery = std::chrono::milliseconds(500);

  void maybePrint() {
    if (Clock::now() - printed_ >= kEvery) print();
  }
  void finishStage() {
    if (!stage_.empty() && changed_) print();
  }
  void print() {
    printed_ = Clock::now();
    changed_ = false;
    std::string line = "tervolin-cli " + std::string(command_) + ": " + stage_;
    if (total_ > 0) line += " " + std::to_string(done_ >= total_ ? 100 : done_ * 100 / total_) + " %";
    if (lines_ > 0) {
      const double seconds = std::chrono::duration<double>(printed_ - started_).count();
      line += ", " + std::to_string(lines_) + " строк";
      if (seconds > 0) line += ", " + std::to_string(static_cast<std::uint64_t>(lines_ / seconds)) + " строк/с";
    }
    out_ << line << '\n';
    out_.flush();
  }

  std::string_view command_;
  std::ostream& out_;
  std::string stage_;
  Clock::time_point started_{}, printed_{};
  std::uint64_t done_ = 0, total_ = 0, lines_ = 0;
  bool changed_ = false;
};

}  // namespace tervolin::cli
