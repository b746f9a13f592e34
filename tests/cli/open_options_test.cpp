// The common options of the commands that open a log, parsed with a
// command's own options (the parsing itself, without running the tool).

#include "cli/open_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tervolin::cli {
namespace {

struct Parsed {
  std::optional<std::string> error;
  OpenOptions options;
  std::string view;  // the own option with a value
  bool flag = false;  // the own option without one
};

Parsed parse(std::vector<std::string_view> args, bool requireView = false) {
  Parsed p;
  const CommandOption own[] = {
      {"--view", true,
       [&](std::string_view v) -> std::optional<std::string> {
         if (v == "bad") return "--view is table or log";
         p.view = v;
         return std::nullopt;
       }},
      {"--fit", false,
       [&](std::string_view v) -> std::optional<std::string> {
         p.flag = v.empty();
         return std::nullopt;
       }},
  };
  const auto checks = [&]() -> std::optional<std::string> {
    if (requireView && p.view.empty()) return "--view is required";
    return std::nullopt;
  };
  p.error = parseOpenArguments(args, own, p.options, checks);
  return p;
}

TEST(OpenOptions, CommonAndOwnOptionsInAnyOrder) {
  const Parsed p = parse({"log.txt", "--fit", "--decimal-mark", ",", "--orvik-path", "/o", "--view", "log",
                          "--program-dir", "/p", "--profile", "Toyota"});
  ASSERT_FALSE(p.error) << *p.error;
  EXPECT_EQ(p.options.profile, "Toyota");
  EXPECT_EQ(p.options.programDir, std::filesystem::path("/p"));
  EXPECT_EQ(p.options.orvikPath, std::filesystem::path("/o"));
  EXPECT_EQ(p.options.decimalMark, ',');
  EXPECT_EQ(p.options.file, std::filesystem::path("log.txt"));
  EXPECT_EQ(p.view, "log");
  EXPECT_TRUE(p.flag);

  const Parsed defaults = parse({"--profile", "OBDII", "x.log"});
  ASSERT_FALSE(defaults.error);
  EXPECT_FALSE(defaults.options.programDir);
  EXPECT_FALSE(defaults.options.orvikPath);
  EXPECT_EQ(defaults.options.decimalMark, '.');
}

TEST(OpenOptions, ErrorsComeInTheOrderOfTheArgumentsThenTheRequiredOnes) {
  struct Case {
    std::vector<std::string_view> args;
    bool requireView;
    std::string error;
  };
  const Case cases[] = {
      {{"--profile"}, false, "--profile needs a value"},
      {{"--profile", "Toyota", "x", "--view"}, false, "--view needs a value"},
      {{"--profile", "Toyota", "--decimal-mark", ",,", "x"}, false, "--decimal-mark takes one character"},
      {{"--profile", "Toyota", "--decimal-mark", "", "x"}, false, "--decimal-mark takes one character"},
      {{"--view", "bad", "--bogus"}, false, "--view is table or log"},
      {{"--bogus", "--view", "bad"}, false, "unknown option --bogus"},
      {{"a", "b", "--bogus"}, false, "one FILE only"},
      {{"x"}, true, "--profile CODE is required"},
      {{"--profile", "", "x"}, false, "--profile CODE is required"},
      // Codes compare exactly: an unknown code names the known ones.
      {{"--profile", "NOSUCH", "x"}, true,
       "unknown profile NOSUCH; the profile codes are Chery GreatWall B154R B154E2 B797 B1797V B1797G M74CAN "
       "Toyota Hyndai Hyndai2 Nissan OBDII M11E2 M11E3 M103E2 M103E3 M76 MP7E2 MP7E3 megane largus logan"},
      {{"--profile", "toyota"}, false, "unknown profile toyota; the profile codes are Chery GreatWall B154R "
       "B154E2 B797 B1797V B1797G M74CAN Toyota Hyndai Hyndai2 Nissan OBDII M11E2 M11E3 M103E2 M103E3 M76 MP7E2 "
       "MP7E3 megane largus logan"},
      {{"--profile", "Toyota"}, true, "--view is required"},
      {{"--profile", "Toyota"}, false, "FILE is required"},
      {{"--profile", "Toyota", "--fit"}, false, "FILE is required"},
  };
  for (const Case& c : cases) {
    const Parsed p = parse(c.args, c.requireView);
    ASSERT_TRUE(p.error) << c.error;
    EXPECT_EQ(*p.error, c.error);
  }
}

}  // namespace
}  // namespace tervolin::cli
