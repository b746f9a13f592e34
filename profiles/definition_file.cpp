#include "profiles/definition_file.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <system_error>
#include <vector>

#include "common/hex.h"
#include "common/paths.h"
#include "common/physical_lines.h"
#include "common/text.h"
#include "profiles/profile_catalogue.h"

namespace tervolin {
namespace fs = std::filesystem;
namespace {

constexpr std::string_view kProfileDoesNotFit =
    "Похоже выбранный Вами профиль не соответствуеь логу. Выберите правильный профиль."_w;
constexpr std::string_view kNotMultipleOfFour =
    "Количество строк в ini файле не кратно 4. Возможно некоректное сопоставление параметров. "
    "Причиной может быть несоотвествие ini-файла графику или пустые строки в ini. Прервать?"_w;
constexpr std::string_view kNoFormulaFile = "Не найден файл формул в директории "_w;
constexpr std::string_view kTooManyDefinitions =
    "В ini файле больше 1025 параметров. Загружены только первые 1025."_w;

// Lines that hold at least one byte above 32; blank and empty lines do not count.
std::size_t countVisibleLines(std::string_view text) {
  std::size_t count = 0;
  bool visible = false;
  for (const char ch : text) {
    if (ch == '\r' || ch == '\n') {
      count += visible;
      visible = false;
    } else if (static_cast<unsigned char>(ch) > 32) {
      visible = true;
    }
  }
  return count + visible;
}

// All keys found in a text in one pass (Aho-Corasick). The root has a dense
// table of 256 edges, since almost every byte of a formula file starts at
// the root; deeper nodes keep their few children in a list.
class KeyMatcher {
 public:
  KeyMatcher() { rootNext_.fill(-1); }

  // Adds a non-empty key; equal keys share one id.
  int add(std::string_view key) {
    int node = 0;
    for (const char ch : key) {
      const auto c = static_cast<unsigned char>(ch);
      int next = child(node, c);
      if (next < 0) {
        next = static_cast<int>(nodes_.size());
        nodes_.push_back(Node{});
        nodes_.back().byte = c;
        if (node == 0) {
          rootNext_[c] = next;
        } else {
          nodes_.back().sibling = nodes_[node].firstChild;
          nodes_[node].firstChild = next;
        }
      }
      node = next;
    }
    if (nodes_[node].key < 0) nodes_[node].key = keyCount_++;
    return nodes_[node].key;
  }

  int keyCount() const { return keyCount_; }

  // Sets the failure and output links, breadth first.
  void build() {
    std::vector<int> queue;
    queue.reserve(nodes_.size());
    for (const int v : rootNext_)
      if (v >= 0) queue.push_back(v);
    for (std::size_t head = 0; head < queue.size(); ++head) {
      const int u = queue[head];
      for (int v = nodes_[u].firstChild; v >= 0; v = nodes_[v].sibling) {
        int f = nodes_[u].fail;
        int target = child(f, nodes_[v].byte);
        while (target < 0 && f != 0) {
          f = nodes_[f].fail;
          target = child(f, nodes_[v].byte);
        }
        nodes_[v].fail = (target >= 0 && target != v) ? target : 0;
        const Node& fail = nodes_[nodes_[v].fail];
        nodes_[v].output = fail.key >= 0 ? nodes_[v].fail : fail.output;
        queue.push_back(v);
      }
    }
  }

  // Calls found(keyId) for every key that occurs in `text`, at least once
  // per key and line. A node reported in this line has had its whole output
  // chain reported too, so the walk stops there: keys nested in one another
  // ("A", "AA", "AAA", ...) cost no more than once per line.
  template <class Found>
  void scan(std::string_view text, Found&& found) {
    if (reported_.size() != nodes_.size()) reported_.assign(nodes_.size(), 0);
    const std::uint64_t stamp = ++scans_;
    int state = 0;
    for (const char ch : text) {
      const auto c = static_cast<unsigned char>(ch);
      for (;;) {
        const int next = child(state, c);
        if (next >= 0) {
          state = next;
          break;
        }
        if (state == 0) break;
        state = nodes_[state].fail;
      }
      for (int m = nodes_[state].key >= 0 ? state : nodes_[state].output;
           m >= 0 && reported_[static_cast<std::size_t>(m)] != stamp; m = nodes_[m].output) {
        reported_[static_cast<std::size_t>(m)] = stamp;
        found(nodes_[m].key);
      }
    }
  }

 private:
  struct Node {
    int fail = 0;
    int output = -1;  // nearest node on the failure chain that ends a key
    int key = -1;
    int firstChild = -1;
    int sibling = -1;
    unsigned char byte = 0;
  };

  int child(int node, unsigned char c) const {
    if (node == 0) return rootNext_[c];
    for (int v = nodes_[node].firstChild; v >= 0; v = nodes_[v].sibling)
      if (nodes_[v].byte == c) return v;
    return -1;
  }

  std::vector<Node> nodes_{1};
  std::array<int, 256> rootNext_{};
  int keyCount_ = 0;
  std::vector<std::uint64_t> reported_;  // per node: the scan that reported it last
  std::uint64_t scans_ = 0;
};

// The formula code in a formula line: two characters starting four after the
// end of the first occurrence of the request code, cut short at the line's
// end. An empty request code is never found, so its offset counts from the
// line's start (characters 4 and 5, 1-based).
std::string formulaAfterCode(std::string_view line, std::string_view requestCode) {
  const std::size_t start =
      requestCode.empty() ? 3 : line.find(requestCode) + requestCode.size() + 4;
  if (start >= line.size()) return {};
  return std::string(line.substr(start, 2));
}

bool isRegularFile(const fs::path& file) {
  std::error_code ec;
  return fs::is_regular_file(file, ec);
}

// Entries read four physical lines at a time, after the blank bytes and
// empty lines that lead the file.
DefinitionTable readEntries(std::string_view text, std::size_t count) {
  DefinitionTable table;
  table.reserve(count);
  PhysicalLines lines(text);
  lines.skipBytesUpTo32();
  for (std::size_t i = 0; i < count; ++i) {
    ParamDef def;
    def.requestCode = delspace(lines.next());
    def.name = std::string(lines.next());
    def.unit = std::string(lines.next());
    def.positionField = std::string(lines.next());
    def.column = static_cast<int>(i);
    table.push_back(std::move(def));
  }
  return table;
}

}  // namespace

void assignFormulaCodes(std::span<ParamDef> definitions, std::string_view formulaText) {
  std::size_t longestLine = 0;
  for (PhysicalLines lines(formulaText); !lines.atEnd();)
    longestLine = std::max(longestLine, lines.next().size());

  // A key longer than every line can never match; it stays out of the matcher.
  KeyMatcher matcher;
  std::vector<int> keyOf(definitions.size(), -1);
  for (std::size_t i = 0; i < definitions.size(); ++i) {
    const std::string key = definitions[i].requestCode + definitions[i].positionField;
    if (!key.empty() && key.size() <= longestLine) keyOf[i] = matcher.add(key);
  }
  matcher.build();

  // The last line holding each key decides, so later lines overwrite.
  std::vector<std::string_view> lastLine(static_cast<std::size_t>(matcher.keyCount()));
  std::vector<bool> found(lastLine.size(), false);
  for (PhysicalLines lines(formulaText); !lines.atEnd();) {
    const std::string_view line = lines.next();
    matcher.scan(line, [&](int key) {
      lastLine[static_cast<std::size_t>(key)] = line;
      found[static_cast<std::size_t>(key)] = true;
    });
  }

  for (std::size_t i = 0; i < definitions.size(); ++i) {
    ParamDef& def = definitions[i];
    const int key = keyOf[i];
    def.formulaCode = key >= 0 && found[static_cast<std::size_t>(key)]
                          ? formulaAfterCode(lastLine[static_cast<std::size_t>(key)], def.requestCode)
                          : std::string();
  }
}

fs::path resolveDefinitionFile(const AppState& state, std::string_view fileName) {
  if (!equalsIgnoreCase(fileName, kPidsIni)) return resolveIgnoringCase(state.workingFolder, fileName);
  if (fileExistsIgnoringCase(state.programDir, kPidsIni))
    return resolveIgnoringCase(state.programDir, kPidsIni);
  return profileDefinitionPath(externalProgramFolder(state), state.profileCode);
}

void rIniF(AppState& state, UserChannel& channel, std::string_view fileName) {
  if (state.csvFlag) return;  // the CSV reader supplies its own definitions

  std::string name(fileName);
  std::string text;
  std::size_t lineCount = 0;
  for (;;) {
    const fs::path file = resolveDefinitionFile(state, name);
    if (!isRegularFile(file) || !readWholeFile(file, text)) return;  // the old table stays
    lineCount = countVisibleLines(text);
    if (lineCount >= 4) break;
    // No complete entry: the profile does not fit the log. OK falls back to
    // the profile's pids.ini; when that is the file at hand, starting again
    // would loop for ever, so the empty file is taken.
    const bool ok = channel.okBox(kProfileDoesNotFit);
    if (ok) state.definitionFileName = std::string(kPidsIni);
    if (!ok || equalsIgnoreCase(name, kPidsIni)) break;
    name = std::string(kPidsIni);
  }

  // The user who chooses to break off gets the main window closed; loading
  // stops here and the old table stays for the operation under way.
  if (lineCount % 4 != 0 && channel.yesNo(kNotMultipleOfFour)) {
    channel.closeMainWindow();
    return;
  }

  const fs::path formulaFile = resolveIgnoringCase(state.workingFolder, kFormulaFile);
  std::string formulas;
  if (!isRegularFile(formulaFile) || !readWholeFile(formulaFile, formulas)) {
    channel.message(std::string(kNoFormulaFile) + pathText(state.workingFolder));
    throw ProgramEnds{};
  }

  std::size_t entryCount = lineCount / 4;  // whole groups of four from the start
  if (entryCount > kMaxDefinitions) {
    channel.message(kTooManyDefinitions);
    entryCount = kMaxDefinitions;
  }
  DefinitionTable table = readEntries(text, entryCount);
  assignFormulaCodes(table, formulas);
  state.definitions = std::move(table);
}

int deleteDerivedDefinitionFiles(const fs::path& workingFolder) {
  // Without a working folder the names would point into the current
  // directory: nothing to delete there.
  if (workingFolder.empty()) return 0;
  std::error_code ec;
  fs::directory_iterator it(workingFolder, ec), end;
  if (ec) return 0;
  int deleted = 0;
  for (; it != end; it.increment(ec)) {
    if (ec) break;
    const std::string name = it->path().filename().string();
    if (!equalsIgnoreCase(name, kTmpIni) && !equalsIgnoreCase(name, kUsedPidsIni)) continue;
    std::error_code fileError;
    if (it->is_regular_file(fileError) && fs::remove(it->path(), fileError)) ++deleted;
  }
  return deleted;
}

std::string definitionFileText(std::span<const ParamDef> definitions) {
  std::string out;
  // A line end inside a field would split it and shift every later entry.
  auto appendLine = [&out](std::string_view field) {
    for (const char c : field) out += (c == '\r' || c == '\n') ? ' ' : c;
    out += "\r\n";
  };
  for (const ParamDef& def : definitions) {
    appendLine(def.requestCode);
    appendLine(def.name);
    appendLine(def.unit);
    appendLine(def.positionField);
  }
  return out;
}

}  // namespace tervolin
