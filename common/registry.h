#pragma once
// The per-user settings tree: keys (paths such as "Software\Tervolin\Toyota",
// '\' between the parts), each with integer and string values and subkeys.
// A key may exist without any value; a value may have an empty name. Integer
// and string values are kept apart: reading an integer from a string value
// fails, as it does on the platform the settings layout comes from.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
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

}  // namespace tervolin
