#pragma once
// The logic of the profile dialog: choosing a node of the profile tree,
// confirming the choice (with the check that the profile's definition file
// is reachable) and cancelling. The dialog only forwards its controls here.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "common/app_state.h"
#include "common/registry.h"
#include "common/user_channel.h"

namespace tervolin {

class ProfileChoice {
 public:
  ProfileChoice(AppState& state, Registry& registry, UserChannel& channel);

  // Every showing of the dialog starts with the choice flag cleared.
  void activate() { chosen_ = false; }

  // A double click or "&Выбрать" on the node with this index in
  // profileTree(), or on nothing. A group node keeps the current code.
  // False when nothing was selected (the user was told so).
  bool choose(std::optional<std::size_t> node);

  // "&OK". `showSettings` shows the general settings dialog when the user
  // answers Yes to the missing-definition-file warning. True when the dialog
  // closes; false when it stays open. Throws ProgramEnds on No.
  bool confirm(const std::function<void()>& showSettings);

  // "&OK" (and Enter) with the node highlighted in the tree: a highlighted
  // node whose code differs from the current one is chosen first, as
  // "&Выбрать" does; then the choice is confirmed as above. A group, the
  // current profile's node or no highlight confirm what is current.
  bool confirmHighlighted(std::optional<std::size_t> highlighted, const std::function<void()>& showSettings);

  // "&Отмена": the program ends.
  [[noreturn]] void cancel();

  const std::string& label() const { return label_; }  // Windows-1251
  bool chosen() const { return chosen_; }

 private:
  std::filesystem::path profileFolder() const;

  AppState& state_;
  Registry& registry_;
  UserChannel& channel_;
  std::string label_;
  bool chosen_ = false;
};

}  // namespace tervolin
