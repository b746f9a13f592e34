#pragma once
// The per-user settings tree: keys (paths such as "Software\Tervolin\Toyota",
// '\' between the parts), each with integer and string values and subkeys.
// A key may exist without any value; a value may have an empty name. Integer
// and string values are kept apart: reading an integer from a string value
// fails, as it does on the platform the settings layout comes from.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tervolin {

class Registry {
 public:
  virtual ~Registry() = default;

  virtual bool keyExists(std::string_view key) const = 0;
  // Creates the key and its parents; false when the store cannot be written.
  virtual bool createKey(std::string_view key) = 0;
  // Deletes the key with everything below it; false when it did not exist or
  // could not be deleted.
  virtual bool deleteKey(std::string_view key) = 0;

  virtual bool valueExists(std::string_view key, std::string_view name) const = 0;
  virtual std::optional<std::int32_t> readInt(std::string_view key, std::string_view name) const = 0;
  virtual std::optional<std::string> readString(std::string_view key, std::string_view name) const = 0;
  // Writing creates the key when needed; false when the store cannot be written.
  virtual bool writeInt(std::string_view key, std::string_view name, std::int32_t value) = 0;
  virtual bool writeString(std::string_view key, std::string_view name, std::string_view value) = 0;
  virtual bool deleteValue(std::string_view key, std::string_view name) = 0;

  virtual std::vector<std::string> valueNames(std::string_view key) const = 0;
  virtual std::vector<std::string> subKeys(std::string_view key) const = 0;
};

// The key of all Tervolin settings under the current user.
inline constexpr std::string_view kSettingsKey = "Software\\Tervolin";

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
