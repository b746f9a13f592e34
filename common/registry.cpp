#include "common/registry.h"

#include "common/hex.h"

namespace tervolin {
namespace {

std::string trimSeparators(std::string_view key) {
  while (!key.empty() && key.front() == '\\') key.remove_prefix(1);
  while (!key.empty() && key.back() == '\\') key.remove_suffix(1);
  return std::string(key);
}

std::string fold(std::string_view key) { return asciiLower(trimSeparators(key)); }

bool isBelow(const std::string& folded, const std::string& parent) {
  return folded.size() > parent.size() && folded.compare(0, parent.size(), parent) == 0 &&
         folded[parent.size()] == '\\';
}

}  // namespace

const MemoryRegistry::Key* MemoryRegistry::find(std::string_view key) const {
  const auto it = keys_.find(fold(key));
  return it == keys_.end() ? nullptr : &it->second;
}

bool MemoryRegistry::keyExists(std::string_view key) const { return find(key) != nullptr; }

bool MemoryRegistry::createKey(std::string_view key) {
  if (readOnly_) return false;
  const std::string path = trimSeparators(key);
  if (path.empty()) return false;
  // Every parent exists too, as in a real registry.
  for (std::size_t pos = 0;; ++pos) {
    pos = path.find('\\', pos);
    const std::string part = path.substr(0, pos);
    const std::string folded = asciiLower(part);
    if (!keys_.count(folded)) {
      keys_[folded];
      keyNames_[folded] = part;
    }
    if (pos == std::string::npos) break;
  }
  return true;
}

bool MemoryRegistry::deleteKey(std::string_view key) {
  if (readOnly_) return false;
  const std::string folded = fold(key);
  if (!keys_.count(folded)) return false;
  for (auto it = keys_.begin(); it != keys_.end();) {
    if (it->first == folded || isBelow(it->first, folded)) {
      keyNames_.erase(it->first);
      it = keys_.erase(it);
    } else {
      ++it;
    }
  }
  return true;
}

bool MemoryRegistry::valueExists(std::string_view key, std::string_view name) const {
  const Key* k = find(key);
  return k && k->values.count(asciiLower(name));
}

std::optional<std::int32_t> MemoryRegistry::readInt(std::string_view key, std::string_view name) const {
  const Key* k = find(key);
  if (!k) return std::nullopt;
  const auto it = k->values.find(asciiLower(name));
  if (it == k->values.end()) return std::nullopt;
  if (const auto* v = std::get_if<std::int32_t>(&it->second)) return *v;
  return std::nullopt;
}

std::optional<std::string> MemoryRegistry::readString(std::string_view key, std::string_view name) const {
  const Key* k = find(key);
  if (!k) return std::nullopt;
  const auto it = k->values.find(asciiLower(name));
  if (it == k->values.end()) return std::nullopt;
  if (const auto* v = std::get_if<std::string>(&it->second)) return *v;
  return std::nullopt;
}

bool MemoryRegistry::writeInt(std::string_view key, std::string_view name, std::int32_t value) {
  if (!createKey(key)) return false;
  Key& k = keys_[fold(key)];
  k.values[asciiLower(name)] = value;
  k.names[asciiLower(name)] = std::string(name);
  return true;
}

bool MemoryRegistry::writeString(std::string_view key, std::string_view name, std::string_view value) {
  if (!createKey(key)) return false;
  Key& k = keys_[fold(key)];
  k.values[asciiLower(name)] = std::string(value);
  k.names[asciiLower(name)] = std::string(name);
  return true;
}

bool MemoryRegistry::deleteValue(std::string_view key, std::string_view name) {
  if (readOnly_) return false;
  const auto it = keys_.find(fold(key));
  if (it == keys_.end()) return false;
  it->second.names.erase(asciiLower(name));
  return it->second.values.erase(asciiLower(name)) > 0;
}

std::vector<std::string> MemoryRegistry::valueNames(std::string_view key) const {
  std::vector<std::string> out;
  if (const Key* k = find(key))
    for (const auto& [folded, name] : k->names) out.push_back(name);
  return out;
}

std::vector<std::string> MemoryRegistry::subKeys(std::string_view key) const {
  std::vector<std::string> out;
  const std::string folded = fold(key);
  for (const auto& [path, name] : keyNames_) {
    if (!isBelow(path, folded)) continue;
    const std::string rest = name.substr(folded.size() + 1);
    if (rest.find('\\') == std::string::npos) out.push_back(rest);
  }
  return out;
}

}  // namespace tervolin
