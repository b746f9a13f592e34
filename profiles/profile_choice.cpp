#include "profiles/profile_choice.h"

#include <system_error>

#include "common/paths.h"
#include "common/text.h"
#include "profiles/profile_catalogue.h"
#include "profiles/settings_store.h"

namespace tervolin {

ProfileChoice::ProfileChoice(AppState& state, Registry& registry, UserChannel& channel)
    : state_(state), registry_(registry), channel_(channel),
      label_("Выберите ЭБУ с которым будем работать "_w) {}

std::filesystem::path ProfileChoice::profileFolder() const {
  // Folder names inside the program folder match without regard to case;
  // the trailing separator marks it as a folder.
  return resolveIgnoringCase(state_.programDir, state_.profileCode) / "";
}

bool ProfileChoice::choose(std::optional<std::size_t> node) {
  const auto tree = profileTree();
  if (!node || *node >= tree.size()) {
    channel_.message("Вы должны сделать выбор!!!"_w);
    return false;
  }
  const ProfileNode& picked = tree[*node];
  if (!picked.code.empty()) state_.profileCode = std::string(picked.code);
  label_ = "Вами выбран протокол "_w;
  label_ += picked.text;
  state_.workingFolder = profileFolder();
  chosen_ = true;
  return true;
}

bool ProfileChoice::confirm(const std::function<void()>& showSettings) {
  if (!isProfileCode(state_.profileCode)) {
    channel_.message("Сделайте выбор!"_w);
    return false;
  }
  if (chosen_) {
    for (;;) {
      const auto file = profileDefinitionPath(externalProgramFolder(state_), state_.profileCode);
      std::error_code ec;
      if (std::filesystem::is_regular_file(file, ec)) break;
      std::string warning(std::string_view("Профиль "_w));
      warning += pathText(file);
      warning += " недоступен! Укажите путь к программе Orvik"_w;
      if (!channel_.yesNo(warning)) throw ProgramEnds();
      if (showSettings) showSettings();
    }
  } else {
    state_.workingFolder = profileFolder();
  }
  // Not being able to store the last profile is not reported.
  settings::storeLastProfile(registry_, state_.profileCode);
  return true;
}

bool ProfileChoice::confirmHighlighted(std::optional<std::size_t> highlighted,
                                       const std::function<void()>& showSettings) {
  const auto tree = profileTree();
  if (highlighted && *highlighted < tree.size()) {
    const std::string_view code = tree[*highlighted].code;
    if (!code.empty() && code != state_.profileCode) choose(highlighted);
  }
  return confirm(showSettings);
}

void ProfileChoice::cancel() { throw ProgramEnds(); }

}  // namespace tervolin
