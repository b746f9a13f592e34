#pragma once
// The settings tree kept in an INI file through QSettings.
//
// Layout in the file: each registry key is a group whose name is the key
// part folded to lower case (keys compare without regard to case) and
// escaped to letters, digits, '_' and '-' ("-XX" for any other byte of the
// Windows-1251 name). Every existing key holds the entry "_name" with the
// part as written, so keys without values are stored and listed. A value
// named N is stored as "v_" + escaped folded N (so an empty name is stored
// too), its name as written as "n_" + the same, and its data as "i:<number>"
// or "s:<text>", so integer and string values stay apart after the file is
// read again, where QSettings gives every value back as text.

#include <QString>
#include <memory>

#include "common/registry.h"

class QSettings;

namespace tervolin {

class QtRegistry : public Registry {
 public:
  // The file in the per-user configuration folder "Tervolin".
  static QString defaultPath();

  explicit QtRegistry(const QString& iniPath = defaultPath());
  ~QtRegistry() override;

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

  QString fileName() const;

 private:
  std::optional<QString> storedValue(std::string_view key, std::string_view name) const;
  bool writeValue(std::string_view key, std::string_view name, const QString& data);
  bool flush();
  void prepareWrite();

  std::unique_ptr<QSettings> settings_;
  bool staleStatus_ = false;  // the last write failed
};

}  // namespace tervolin
