#include "logs/read_stop.h"

#include <array>

#include "common/number_format.h"
#include "common/paths.h"
#include "common/text.h"

namespace tervolin {
namespace {

// Why the read ended, per cause, with "%" standing for the offending text.
struct CauseText {
  ReadStopCause cause;
  std::string_view reason;
};
constexpr std::array<CauseText, 4> kCauses = {{
    {ReadStopCause::IntervalNotNumber, "интервал между запросами «%» не является числом"_w},
    {ReadStopCause::LengthNotHex, "байт длины ответа «%» не является шестнадцатеричным числом"_w},
    {ReadStopCause::FrameLengthZero, "кадр нулевой длины"_w},
    {ReadStopCause::FramePastEnd, "файл обрезан: кадр выходит за конец файла"_w},
}};

std::string reasonOf(const ReadStop& stop) {
  std::string out;
  for (const CauseText& c : kCauses) {
    if (c.cause != stop.cause) continue;
    const std::size_t at = c.reason.find('%');
    if (at == std::string_view::npos) return std::string(c.reason);
    out.append(c.reason.substr(0, at)).append(stop.text).append(c.reason.substr(at + 1));
  }
  return out;
}

std::string count(std::size_t n) { return intText(static_cast<std::int64_t>(n)); }

}  // namespace

std::size_t lineNumberAt(std::string_view text, std::size_t offset) {
  if (offset > text.size()) offset = text.size();
  std::size_t line = 1;
  for (std::size_t i = 0; i < offset; ++i) {
    if (text[i] == '\n') ++line;
    else if (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n')) ++line;
  }
  return line;
}

std::string readStopMessage(const ReadStop& stop, std::size_t records) {
  // A file that cannot be read at all has nothing shown and nothing dumped.
  if (stop.cause == ReadStopCause::Unreadable)
    return std::string("Не удалось прочитать файл "_w).append(pathText(stop.file)).append(".");
  std::string m("Чтение файла "_w);
  m += pathText(stop.file);
  if (stop.line > 0) {
    m.append(" прервано в строке "_w).append(count(stop.line));
    m.append(" (байт "_w).append(count(stop.offset)).append("): ");
  } else {
    m.append(" прервано на байте "_w).append(count(stop.offset)).append(": ");
  }
  m += reasonOf(stop);
  m += ".\n";
  if (records > 0)
    m.append("Показаны записи, прочитанные до этого места: "_w).append(count(records)).append(".");
  else
    m += "До этого места не прочитано ни одной записи."_w;
  if (!stop.dump.empty()) m.append("\nПрочитанные записи сохранены в файле "_w).append(pathText(stop.dump)).append(".");
  else if (!stop.dumpFailure.empty()) m.append("\n").append(stop.dumpFailure).append(".");
  return m;
}

}  // namespace tervolin
