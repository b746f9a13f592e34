#include "common/message_cap.h"

#include "common/number_format.h"
#include "common/text.h"

namespace tervolin {
namespace {

constexpr std::string_view kEllipsis = "…"_w;
constexpr std::string_view kMorePrefix = "Ещё "_w;
constexpr std::string_view kMoreSuffix = " похожих сообщений. Показывать их?"_w;
constexpr std::string_view kNotKeptPrefix = "Не сохранено ещё "_w;
constexpr std::string_view kNotKeptSuffix = " похожих сообщений."_w;

}  // namespace

std::string cutMessage(std::string_view text) {
  std::string cut;
  for (;;) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    cut += line.substr(0, kMessageCharacters);
    if (line.size() > kMessageCharacters) cut += kEllipsis;
    if (end == std::string_view::npos) return cut;
    cut += '\n';
    text.remove_prefix(end + 1);
  }
}

void MessageCap::message(std::string_view text) { boxes_.message(cutMessage(text)); }

bool MessageCap::okBox(std::string_view text) { return boxes_.okBox(cutMessage(text)); }

bool MessageCap::yesNo(std::string_view text) { return boxes_.yesNo(cutMessage(text)); }

void MessageCap::closeMainWindow() { boxes_.closeMainWindow(); }

void MessageCap::similarMessage(std::string_view kind, std::string_view text) {
  if (depth_ == 0) {
    message(text);
    return;
  }
  auto it = kinds_.find(kind);
  if (it == kinds_.end()) it = kinds_.emplace(std::string(kind), HeldBack{}).first;
  HeldBack& held = it->second;
  if (held.shown < kBoxesPerKind) {
    ++held.shown;
    message(text);
    return;
  }
  if (held.count == 0) order_.push_back(it->first);
  ++held.count;
  if (held.texts.size() < kKept) held.texts.push_back(cutMessage(text));
}

void MessageCap::beginCommand() {
  if (depth_++ == 0) {
    kinds_.clear();
    order_.clear();
  }
}

void MessageCap::endCommand(bool finished) {
  if (depth_ == 0 || --depth_ > 0) return;
  std::map<std::string, HeldBack, std::less<>> kinds;
  kinds.swap(kinds_);
  std::vector<std::string> order;
  order.swap(order_);
  if (!finished) return;
  for (const std::string& kind : order) {
    const HeldBack& held = kinds[kind];
    std::string question(kMorePrefix);
    question += intText(static_cast<std::int64_t>(held.count));
    question += kMoreSuffix;
    if (!boxes_.yesNo(question)) continue;
    for (const std::string& text : held.texts) boxes_.message(text);
    if (held.count > held.texts.size()) {
      std::string rest(kNotKeptPrefix);
      rest += intText(static_cast<std::int64_t>(held.count - held.texts.size()));
      rest += kNotKeptSuffix;
      boxes_.message(rest);
    }
  }
}

}  // namespace tervolin
