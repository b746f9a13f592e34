#pragma once
// The settings tree held in memory.

#include <map>
#include <string>
#include <variant>

#include "common/registry.h"

namespace tervolin {

// A registry held in memory: the tests' registry, and the model the Qt
// implementation is checked against. Key names compare without regard to
// case, as registry keys do.
class MemoryRegistry : public Registry {
 public:
  bool keyExists(std::string_view key) const override;
  bool createKey(std::string_view key) override;
  bool deleteKey(std::string_view key) override;
  bool valueExists(std::string_view key, std::string_view name) const override;
  std::optional<std::int32_t> readInt(std::string_view key, std::string_view name) const override;
  std::optional<std::string> readString(std::string_view key, std::string_view name) const override;
  bool writeInt(std::string_view key, std::string_view name, std::int32_t value) override;
  bool writeString(std::string_view key, std::string_view name, std::string_view value) override;
  bool deleteValue(std::string_view key, std::string_view name) override;
  std::vector<std::string> valueNames(std::string_view key) const override;
  std::vector<std::string> subKeys(std::string_view key) const override;

  // Makes every later write fail (to test the write-error paths).
  void setReadOnly(bool readOnly) { readOnly_ = readOnly; }

 private:
  using Value = std::variant<std::int32_t, std::string>;
  struct Key {
    std::map<std::string, Value> values;       // by name, case-insensitive key
    std::map<std::string, std::string> names;  // folded name -> name as written
  };
  // Keys by their folded path ("software\tervolin\toyota").
  std::map<std::string, Key> keys_;
  std::map<std::string, std::string> keyNames_;  // folded path -> path as written
  bool readOnly_ = false;

  const Key* find(std::string_view key) const;
};

}  // namespace tervolin
