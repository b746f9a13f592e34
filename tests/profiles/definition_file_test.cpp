#include "profiles/definition_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "common/text.h"
#include "support/test_support.h"

namespace tervolin {
namespace {

namespace fs = std::filesystem;
using test::ScriptedChannel;
using Event = ScriptedChannel::Event;

const std::string_view kDoesNotFit =
    "Похоже выбранный Вами профиль не соответствуеь логу. Выберите правильный профиль."_w;
const std::string_view kNotMultipleOfFour =
    "Количество строк в ini файле не кратно 4. Возможно некоректное сопоставление параметров. "
    "Причиной может быть несоотвествие ini-файла графику или пустые строки в ini. Прервать?"_w;

// Four CRLF lines of one definition.
std::string entry(std::string_view code, std::string_view name, std::string_view unit,
                  std::string_view pos) {
  return std::string(code) + "\r\n" + std::string(name) + "\r\n" + std::string(unit) + "\r\n" +
         std::string(pos) + "\r\n";
}

std::string entries(int count, std::string_view prefix = "P") {
  std::string text;
  for (int i = 0; i < count; ++i)
    text += entry("21" + std::to_string(10 + i % 80), std::string(prefix) + std::to_string(i), "u",
                  "0000");
  return text;
}

std::vector<std::string> names(const AppState& state) {
  std::vector<std::string> out;
  for (const ParamDef& d : state.definitions) out.push_back(d.name);
  return out;
}

// A program folder, an external program folder and a working folder, with a
// formula file; the state points at them with profile "Toyota".
class DefinitionFiles : public ::testing::Test {
 protected:
  DefinitionFiles() {
    state.programDir = dir / "prog";
    state.orvikPath = dir / "orvik";
    state.workingFolder = dir / "prog" / "Toyota";
    state.profileCode = "Toyota";
    fs::create_directories(state.programDir);
    test::writeFile(state.workingFolder / "Formules.ini", "");
  }
  void profileFile(std::string_view bytes) {
    test::writeFile(dir / "orvik" / "pids" / "Toyota" / "Powertrain" / "pids.ini", bytes);
  }
  void workFile(std::string_view name, std::string_view bytes) {
    test::writeFile(state.workingFolder / name, bytes);
  }
  void load(std::string_view name) { rIniF(state, channel, name); }

  test::TempDir dir;
  AppState state;
  ScriptedChannel channel;
};

TEST_F(DefinitionFiles, ResolvesEachKindOfNameWithoutRegardToCase) {
  struct Case {
    const char* what;
    std::string profile;
    bool emptyOrvikPath;
    std::vector<std::pair<std::string, std::string>> files;  // relative to dir, first-entry name
    std::string loadName;
    std::string expectedName;
  };
  const std::vector<Case> cases = {
      {"profile folder", "Toyota", false, {{"orvik/pids/Toyota/Powertrain/pids.ini", "prof"}}, "pids.ini", "prof"},
      {"folders of another case", "Toyota", false, {{"orvik/PIDS/toyota/POWERTRAIN/Pids.INI", "prof"}}, "pids.ini", "prof"},
      {"pids.ini beside the executable wins", "Toyota", false,
       {{"orvik/pids/Toyota/Powertrain/pids.ini", "prof"}, {"prog/PIDS.ini", "local"}}, "pids.ini", "local"},
      {"Hyndai2 in Powertrain2", "Hyndai2", false,
       {{"orvik/pids/Hyndai2/Powertrain/pids.ini", "wrong"}, {"orvik/pids/Hyndai/powertrain2/pids.ini", "g4ee"}},
       "pids.ini", "g4ee"},
      {"Hyndai in Powertrain", "Hyndai", false,
       {{"orvik/pids/Hyndai/Powertrain/pids.ini", "g4ec"}, {"orvik/pids/Hyndai/Powertrain2/pids.ini", "g4ee"}},
       "pids.ini", "g4ec"},
      {"empty external path means the program folder", "Toyota", true,
       {{"orvik/pids/Toyota/Powertrain/pids.ini", "orvik"}, {"prog/pids/Toyota/Powertrain/pids.ini", "progdir"}},
       "pids.ini", "progdir"},
      {"derived file from the working folder", "Toyota", false,
       {{"prog/Toyota/_usestblpids.ini", "used"}, {"orvik/pids/Toyota/Powertrain/pids.ini", "prof"}},
       "_UsesTblPids.ini", "used"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    test::TempDir root;
    AppState st;
    st.programDir = root / "prog";
    st.orvikPath = c.emptyOrvikPath ? fs::path() : root / "orvik";
    st.profileCode = c.profile;
    st.workingFolder = root / "prog" / "Toyota";
    fs::create_directories(st.programDir);
    test::writeFile(st.workingFolder / "formules.ini", "");
    for (const auto& [rel, name] : c.files) test::writeFile(root / rel, entry("2101", name, "u", "0000"));
    ScriptedChannel ch;
    rIniF(st, ch, c.loadName);
    EXPECT_EQ(names(st), std::vector<std::string>{c.expectedName});
    EXPECT_TRUE(ch.events.empty());
  }
}

TEST_F(DefinitionFiles, ReadsEntriesLineByLine) {
  profileFile("  \r\n\r\n \t21 01\r\nRPM\r\n  km/h \r\n0100\r\n"
              "21 0 2\r\n\r\n\r\n0208\r\n");
  load("pids.ini");
  ASSERT_EQ(state.definitions.size(), 1u);  // six visible lines: one whole group, No by default
  const ParamDef& d = state.definitions[0];
  EXPECT_EQ(d.requestCode, "2101");  // blanks removed, the leading tab went with the leading skip
  EXPECT_EQ(d.name, "RPM");
  EXPECT_EQ(d.unit, "  km/h ");  // kept as written
  EXPECT_EQ(d.positionField, "0100");
  EXPECT_EQ(d.column, 0);
  EXPECT_EQ(channel.texts(Event::YesNo), std::vector<std::string>{std::string(kNotMultipleOfFour)});
}

TEST_F(DefinitionFiles, EveryLineEndAndEmptyLinesInsideTheFileCount) {
  struct Case {
    const char* what;
    std::string text;
    std::vector<std::string> expected;  // names
  };
  const std::vector<Case> cases = {
      {"LF", "2101\nA\nu\n0000\n2102\nB\nu\n0000\n", {"A", "B"}},
      {"CR", "2101\rA\ru\r0000\r2102\rB\ru\r0000", {"A", "B"}},
      {"mixed, trailing blank lines", "2101\r\nA\nu\r0000\r\n2102\nB\nu\n0000\r\n\r\n  \r\n\t\n", {"A", "B"}},
      // An empty line inside is read as a line and shifts every later entry.
      {"empty line inside", "2101\r\nA\r\nu\r\n0000\r\n\r\n2102\r\nB\r\nu\r\n0000\r\n2103\r\nC\r\nu\r\n0000\r\n",
       {"A", "2102", "2103"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScriptedChannel ch;
    workFile("_tmp.ini", c.text);
    rIniF(state, ch, "_tmp.ini");
    EXPECT_EQ(names(state), c.expected);
    for (std::size_t i = 0; i < state.definitions.size(); ++i)
      EXPECT_EQ(state.definitions[i].column, static_cast<int>(i));
  }
}

TEST_F(DefinitionFiles, FormulaCodeFromTheFormulaFile) {
  struct Case {
    const char* what;
    std::string formulas;
    std::string expected;  // for request code 2101, position 0100
  };
  const std::vector<Case> cases = {
      {"plain", "21010100AB\r\n", "AB"},
      {"no match", "21010200AB\r\n2102010012\r\n", ""},
      {"last line wins", "21010100AB\r\nxx\r\n21010100CD rest\r\n21010200EF\r\n", "CD"},
      {"earlier occurrence of the code decides", "2101xxxxQQ 21010100AB\r\n", "QQ"},
      {"line cut short: one character", "21010100A", "A"},
      {"line cut short: nothing", "21010100\n", ""},
      {"later shorter line still wins", "21010100AB\n21010100\n", ""},
      {"inside a longer line", "; comment 21010100Z9 tail\n", "Z9"},
  };
  profileFile(entry("21 01", "N", "u", "0100"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    workFile("Formules.ini", c.formulas);
    load("pids.ini");
    ASSERT_EQ(state.definitions.size(), 1u);
    EXPECT_EQ(state.definitions[0].formulaCode, c.expected);
  }
}

TEST_F(DefinitionFiles, FormulaFileNameIgnoresCase) {
  fs::remove(state.workingFolder / "Formules.ini");
  workFile("FORMULES.INI", "21010000K3\r\n");
  profileFile(entry("2101", "N", "u", "0000"));
  load("pids.ini");
  ASSERT_EQ(state.definitions.size(), 1u);
  EXPECT_EQ(state.definitions[0].formulaCode, "K3");
}

TEST_F(DefinitionFiles, MissingFormulaFileEndsTheProgram) {
  fs::remove(state.workingFolder / "Formules.ini");
  profileFile(entry("2101", "N", "u", "0000"));
  state.definitions = {ParamDef{"2199", "old", "", "0000", "", 0}};
  EXPECT_THROW(load("pids.ini"), ProgramEnds);
  const std::string expected =
      std::string("Не найден файл формул в директории "_w) + state.workingFolder.string();
  EXPECT_EQ(channel.texts(Event::Message), std::vector<std::string>{expected});
  EXPECT_EQ(names(state), std::vector<std::string>{"old"});
}

TEST_F(DefinitionFiles, MissingDefinitionFileKeepsTheTableSilently) {
  state.definitions = {ParamDef{"2199", "old", "", "0000", "", 0}};
  load("pids.ini");
  load("_UsesTblPids.ini");
  fs::remove(state.workingFolder / "Formules.ini");
  load("_tmp.ini");  // no formula file either: the missing definition file stops first
  EXPECT_EQ(names(state), std::vector<std::string>{"old"});
  EXPECT_TRUE(channel.events.empty());
}

TEST_F(DefinitionFiles, CsvLogLeavesTheTableAlone) {
  profileFile(entries(3));
  state.csvFlag = true;
  state.definitions = {ParamDef{"2199", "old", "", "0000", "", 0}};
  load("pids.ini");
  EXPECT_EQ(names(state), std::vector<std::string>{"old"});
}

TEST_F(DefinitionFiles, FileWithoutACompleteEntry) {
  struct Case {
    const char* what;
    std::string usedFile;
    bool okPressed;
    std::size_t expectedCount;
    std::string expectedFileName;
    std::size_t expectedYesNo;
  };
  const std::vector<Case> cases = {
      {"empty, OK: all of pids.ini", "", true, 5, "pids.ini", 0},
      {"blank lines only, OK", "\r\n  \r\n\t\r\n", true, 5, "pids.ini", 0},
      {"three lines, OK", "2101\r\nA\r\nu\r\n", true, 5, "pids.ini", 0},
      {"empty, box closed: the empty file", "", false, 0, "_UsesTblPids.ini", 0},
      {"three lines, box closed: no whole entry", "2101\r\nA\r\nu\r\n", false, 0, "_UsesTblPids.ini", 1},
  };
  profileFile(entries(5));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScriptedChannel ch;
    ch.okAnswers = {c.okPressed};
    state.definitionFileName = "_UsesTblPids.ini";
    state.definitions = {ParamDef{"2199", "old", "", "0000", "", 0}};
    workFile("_usesTblPids.ini", c.usedFile);
    rIniF(state, ch, "_UsesTblPids.ini");
    EXPECT_EQ(ch.texts(Event::OkBox), std::vector<std::string>{std::string(kDoesNotFit)});
    EXPECT_EQ(state.definitions.size(), c.expectedCount);
    EXPECT_EQ(state.definitionFileName, c.expectedFileName);
    EXPECT_EQ(ch.texts(Event::YesNo).size(), c.expectedYesNo);
  }
}

TEST_F(DefinitionFiles, OneShortEntryIsAValidSelection) {
  workFile("_UsesTblPids.ini", entry("2101", "A", "u", "0000"));  // far below 128 bytes
  profileFile(entries(5));
  load("_UsesTblPids.ini");
  EXPECT_EQ(names(state), std::vector<std::string>{"A"});
  EXPECT_TRUE(channel.events.empty());
}

TEST_F(DefinitionFiles, EmptyPidsIniDoesNotLoopForEver) {
  profileFile("\r\n");
  state.definitions = {ParamDef{"2199", "old", "", "0000", "", 0}};
  channel.defaultOk = true;
  load("pids.ini");
  EXPECT_EQ(channel.texts(Event::OkBox).size(), 1u);
  EXPECT_TRUE(state.definitions.empty());
  EXPECT_EQ(state.definitionFileName, "pids.ini");
}

TEST_F(DefinitionFiles, LineCountNotAMultipleOfFour) {
  struct Case {
    const char* what;
    int extraLines;
    bool yes;
    std::size_t expectedCount;  // 3 = old table kept
    bool closes;
  };
  const std::vector<Case> cases = {
      {"No: whole groups from the start", 1, false, 2, false},
      {"No with three extra lines", 3, false, 2, false},
      {"Yes: window closes, old table stays", 2, true, 1, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string text = entries(2);
    for (int i = 0; i < c.extraLines; ++i) text += "extra\r\n";
    profileFile(text);
    state.definitions = {ParamDef{"2199", "old", "", "0000", "", 0}};
    ScriptedChannel ch;
    ch.yesNoAnswers = {c.yes};
    rIniF(state, ch, "pids.ini");
    EXPECT_EQ(ch.texts(Event::YesNo), std::vector<std::string>{std::string(kNotMultipleOfFour)});
    EXPECT_EQ(state.definitions.size(), c.expectedCount);
    EXPECT_EQ(ch.texts(Event::Close).size(), c.closes ? 1u : 0u);
    if (!c.yes) {
      EXPECT_EQ(state.definitions.back().name, "P1");
    }
  }
}

TEST_F(DefinitionFiles, KeepsTheFirst1025EntriesAndSaysSoOnce) {
  profileFile(entries(1100));
  load("pids.ini");
  ASSERT_EQ(state.definitions.size(), kMaxDefinitions);
  EXPECT_EQ(state.definitions.back().name, "P1024");
  EXPECT_EQ(state.definitions.back().column, 1024);
  EXPECT_EQ(channel.texts(Event::Message).size(), 1u);

  ScriptedChannel exact;
  profileFile(entries(1025));
  rIniF(state, exact, "pids.ini");
  EXPECT_EQ(state.definitions.size(), kMaxDefinitions);
  EXPECT_TRUE(exact.events.empty());
}

TEST_F(DefinitionFiles, GarbageBinaryAndHugeFilesNeverCrash) {
  std::mt19937 rng(7);
  auto randomBytes = [&](std::size_t n, int lineEvery) {
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i)
      s[i] = (lineEvery && rng() % lineEvery == 0) ? '\n' : static_cast<char>(rng() % 256);
    return s;
  };
  const std::vector<std::pair<std::string, std::string>> cases = {
      {randomBytes(10000, 0), randomBytes(10000, 0)},
      {randomBytes(100000, 5), randomBytes(100000, 3)},
      {std::string(3'000'000, 'A'), std::string(3'000'000, 'A')},  // one huge line each
      {entries(300), "2110" + std::string(2'000'000, '0') + "\r\n"},
      {std::string(50000, '\0'), std::string(4000, '\r')},
  };
  for (const auto& [defs, formulas] : cases) {
    profileFile(defs);
    workFile("Formules.ini", formulas);
    ScriptedChannel ch;
    rIniF(state, ch, "pids.ini");
    EXPECT_LE(state.definitions.size(), kMaxDefinitions);
    for (const ParamDef& d : state.definitions) EXPECT_LE(d.formulaCode.size(), 2u);
  }
}

// The formula rule applied literally: for each definition, every line of the
// formula file is searched, positions counted 1-based with an empty search
// text never found, and the two characters cut as a 1-based copy would.
std::size_t pos1(std::string_view sub, std::string_view s) {
  if (sub.empty()) return 0;
  const std::size_t p = s.find(sub);
  return p == std::string_view::npos ? 0 : p + 1;
}
std::string copy1(std::string_view s, std::size_t index, std::size_t count) {
  if (index < 1) index = 1;
  if (index > s.size()) return {};
  return std::string(s.substr(index - 1, count));
}
std::vector<std::string> splitLines(std::string text) {
  std::vector<std::string> lines;
  std::string current;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      lines.push_back(current);
      current.clear();
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      current += text[i];
    }
  }
  lines.push_back(current);
  return lines;
}
std::string referenceFormula(const ParamDef& d, const std::vector<std::string>& lines) {
  std::string result;
  for (const std::string& line : lines)
    if (pos1(d.requestCode + d.positionField, line) > 0)
      result = copy1(line, pos1(d.requestCode, line) + d.requestCode.size() + 4, 2);
  return result;
}

TEST(FormulaLookup, OnePassMatchesTheLineByLineRule) {
  std::mt19937 rng(2024);
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  auto token = [&](int maxLen) {  // small alphabet so codes overlap and repeat
    static const char kAlphabet[] = "0120A";
    std::string s;
    const int len = pick(maxLen + 1);
    for (int i = 0; i < len; ++i) s += kAlphabet[pick(5)];
    return s;
  };
  int compared = 0, nonEmpty = 0;
  for (int round = 0; round < 300; ++round) {
    std::vector<ParamDef> defs(static_cast<std::size_t>(1 + pick(40)));
    for (ParamDef& d : defs) {
      d.requestCode = pick(10) == 0 ? "" : token(6);
      d.positionField = pick(10) == 0 ? token(2) : token(4);
    }
    std::string formulas;
    const int lineCount = pick(60);
    for (int l = 0; l < lineCount; ++l) {
      const ParamDef& d = defs[static_cast<std::size_t>(pick(static_cast<int>(defs.size())))];
      switch (pick(5)) {
        case 0: formulas += d.requestCode + d.positionField + token(3); break;
        case 1: formulas += token(4) + d.requestCode + token(3) + d.requestCode + d.positionField + token(2); break;
        case 2: formulas += token(12); break;
        case 3: formulas += d.requestCode + d.positionField.substr(0, d.positionField.size() / 2); break;
        default: formulas += token(3) + d.requestCode + d.positionField; break;
      }
      formulas += pick(3) == 0 ? "\n" : pick(2) ? "\r\n" : "\r";
    }
    const std::vector<std::string> lines = splitLines(formulas);
    assignFormulaCodes(defs, formulas);
    for (const ParamDef& d : defs) {
      SCOPED_TRACE("code '" + d.requestCode + "' position '" + d.positionField + "'");
      EXPECT_EQ(d.formulaCode, referenceFormula(d, lines));
      ++compared;
      nonEmpty += !d.formulaCode.empty();
    }
  }
  EXPECT_GT(nonEmpty, compared / 4);  // the generator really produces matches
}

TEST(FormulaLookup, ThousandEntriesAgainstTenThousandLines) {
  std::mt19937 rng(5);
  std::string defsText, formulas;
  std::vector<ParamDef> reference;
  for (int i = 0; i < 1025; ++i) {
    char code[8], pos[8];
    std::snprintf(code, sizeof code, "21%02X", i % 256);
    std::snprintf(pos, sizeof pos, "%02X00", i / 256 + 1);
    defsText += entry(code, "N" + std::to_string(i), "u", pos);
    reference.push_back(ParamDef{code, "", "", pos, "", i});
  }
  for (int l = 0; l < 10000; ++l) {
    char line[64];
    std::snprintf(line, sizeof line, "21%02X%02X00%02u ; parameter %d\r\n", static_cast<int>(rng() % 256),
                  static_cast<int>(rng() % 6), static_cast<unsigned>(rng() % 100), l);
    formulas += line;
  }
  test::TempDir dir;
  AppState state;
  state.programDir = dir.path();
  state.workingFolder = dir / "w";
  test::writeFile(dir / "pids.ini", defsText);
  test::writeFile(dir / "w" / "formules.ini", formulas);
  ScriptedChannel channel;

  rIniF(state, channel, "pids.ini");

  ASSERT_EQ(state.definitions.size(), 1025u);
  const std::vector<std::string> lines = splitLines(formulas);
  for (std::size_t i = 0; i < reference.size(); i += 37)
    EXPECT_EQ(state.definitions[i].formulaCode, referenceFormula(reference[i], lines));
}

TEST(FormulaLookup, NestedKeysOnOneHugeLine) {
  // Keys "A", "AA", ... each end at every position of a line of 'A's.
  std::vector<ParamDef> defs(1025);
  for (std::size_t i = 0; i < defs.size(); ++i) defs[i].requestCode = std::string(i + 1, 'A');
  const std::string formulas = std::string(2'000'000, 'A') + "\r\n2";
  assignFormulaCodes(defs, formulas);
  EXPECT_EQ(defs[0].formulaCode, "AA");
  EXPECT_EQ(defs[1024].formulaCode, "AA");
}

TEST(DefinitionFileText, FourCrlfLinesPerDefinitionThatReadBackUnchanged) {
  const std::vector<ParamDef> defs = {
      {"2101", std::string("Обороты"_w), std::string("об/мин"_w), "0100", "", 0},
      {"2102", "Two\r\nlines", "%", "0300", "", 1},
  };
  const std::string text = definitionFileText(defs);
  EXPECT_EQ(text.substr(0, 6 + std::string("Обороты"_w).size()), "2101\r\n" + std::string("Обороты"_w));
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 8);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 8);

  test::TempDir dir;
  AppState state;
  state.workingFolder = dir.path();
  test::writeFile(dir / "formules.ini", "");
  // A line end inside a field turns into a blank instead of shifting the entries.
  const std::vector<ParamDef> full = {defs[0], {"2102", "Two  lines", "%", "0300", "", 1}};
  test::writeFile(dir / "_tmp.ini", text);
  ScriptedChannel quiet;
  rIniF(state, quiet, "_tmp.ini");
  ASSERT_EQ(state.definitions.size(), 2u);
  for (std::size_t i = 0; i < full.size(); ++i) {
    EXPECT_EQ(state.definitions[i].requestCode, full[i].requestCode);
    EXPECT_EQ(state.definitions[i].name, full[i].name);
    EXPECT_EQ(state.definitions[i].unit, full[i].unit);
    EXPECT_EQ(state.definitions[i].positionField, full[i].positionField);
  }
  EXPECT_TRUE(quiet.events.empty());
}

TEST(DerivedDefinitionFiles, ExitDeletesThemInAnyCaseAndNothingElse) {
  test::TempDir dir;
  test::writeFile(dir / "_tmp.ini", "x");
  test::writeFile(dir / "_USESTBLPIDS.INI", "x");
  test::writeFile(dir / "_tmp.ini.bak", "x");
  fs::create_directory(dir / "_Tmp.ini");  // a folder of that name stays
  EXPECT_EQ(deleteDerivedDefinitionFiles({}), 0);
  EXPECT_EQ(deleteDerivedDefinitionFiles(dir / "missing"), 0);
  EXPECT_EQ(deleteDerivedDefinitionFiles(dir.path()), 2);
  EXPECT_FALSE(fs::exists(dir / "_tmp.ini"));
  EXPECT_FALSE(fs::exists(dir / "_USESTBLPIDS.INI"));
  EXPECT_TRUE(fs::exists(dir / "_tmp.ini.bak"));
  EXPECT_TRUE(fs::is_directory(dir / "_Tmp.ini"));
}

}  // namespace
}  // namespace tervolin
