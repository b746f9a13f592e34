#include "qt/qt_registry.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include "common/hex.h"
#include "qt/qt_text.h"

namespace tervolin {
namespace {

constexpr char kNameEntry[] = "_name";
constexpr char kValuePrefix[] = "v_";
constexpr char kValueNamePrefix[] = "n_";
constexpr char kIntTag[] = "i:";
constexpr char kStringTag[] = "s:";

// One folded key part or value name as a QSettings-safe ASCII name.
QString escapedName(std::string_view cp1251) {
  QString out;
  for (char ch : asciiLower(cp1251)) {
    const auto b = static_cast<unsigned char>(ch);
    if ((b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') || b == '_') {
      out += QChar(b);
    } else {
      out += QChar('-');
      out += QString::fromLatin1(asciiLower(hexByte(b)));
    }
  }
  return out;
}

// The parts of a key path, separated by '\', without empty parts.
std::vector<std::string_view> keyParts(std::string_view key) {
  std::vector<std::string_view> parts;
  while (!key.empty()) {
    const auto pos = key.find('\\');
    const auto part = key.substr(0, pos);
    if (!part.empty()) parts.push_back(part);
    if (pos == std::string_view::npos) break;
    key.remove_prefix(pos + 1);
  }
  return parts;
}

// The QSettings group of a key ("software/tervolin"); empty for no parts.
QString groupOf(std::string_view key) {
  QStringList groups;
  for (auto part : keyParts(key)) groups << escapedName(part);
  return groups.join('/');
}

QString entry(const QString& group, const QString& name) { return group + '/' + name; }

}  // namespace

QString QtRegistry::defaultPath() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
         QStringLiteral("/Tervolin/settings.ini");
}

QtRegistry::QtRegistry(const QString& iniPath)
    : settings_(std::make_unique<QSettings>(iniPath, QSettings::IniFormat)) {}

QtRegistry::~QtRegistry() = default;

QString QtRegistry::fileName() const { return settings_->fileName(); }

bool QtRegistry::flush() {
  settings_->sync();
  if (settings_->status() == QSettings::NoError) return true;
  // QSettings keeps reporting an error once one occurred; a fresh object on
  // the same file lets a later write succeed when the file can be written
  // again.
  staleStatus_ = true;
  return false;
}

void QtRegistry::prepareWrite() {
  if (!staleStatus_) return;
  const QString path = settings_->fileName();
  settings_ = std::make_unique<QSettings>(path, QSettings::IniFormat);
  staleStatus_ = false;
}

bool QtRegistry::keyExists(std::string_view key) const {
  const QString group = groupOf(key);
  return !group.isEmpty() && settings_->contains(entry(group, kNameEntry));
}

bool QtRegistry::createKey(std::string_view key) {
  prepareWrite();
  const auto parts = keyParts(key);
  if (parts.empty()) return false;
  QString group;
  QStringList added;
  // Every parent gets its own marker, as every parent of a registry key exists.
  for (auto part : parts) {
    group = group.isEmpty() ? escapedName(part) : entry(group, escapedName(part));
    if (!settings_->contains(entry(group, kNameEntry))) {
      settings_->setValue(entry(group, kNameEntry), toQString(part));
      added << entry(group, kNameEntry);
    }
  }
  if (added.isEmpty()) return settings_->isWritable();
  if (flush()) return true;
  // Nothing was stored: forget the markers, so that this run does not see
  // keys that the next one will not.
  for (const QString& name : added) settings_->remove(name);
  return false;
}

bool QtRegistry::deleteKey(std::string_view key) {
  if (!keyExists(key)) return false;
  prepareWrite();
  settings_->remove(groupOf(key));
  return flush();
}

std::optional<QString> QtRegistry::storedValue(std::string_view key, std::string_view name) const {
  if (!keyExists(key)) return std::nullopt;
  const QVariant v = settings_->value(entry(groupOf(key), kValuePrefix + escapedName(name)));
  if (!v.isValid()) return std::nullopt;
  return v.toString();
}

bool QtRegistry::valueExists(std::string_view key, std::string_view name) const {
  return storedValue(key, name).has_value();
}

std::optional<std::int32_t> QtRegistry::readInt(std::string_view key, std::string_view name) const {
  const auto data = storedValue(key, name);
  if (!data || !data->startsWith(kIntTag)) return std::nullopt;
  bool ok = false;
  const int value = data->mid(2).toInt(&ok);
  if (!ok) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

std::optional<std::string> QtRegistry::readString(std::string_view key, std::string_view name) const {
  const auto data = storedValue(key, name);
  if (!data || !data->startsWith(kStringTag)) return std::nullopt;
  return fromQString(data->mid(2));
}

bool QtRegistry::writeValue(std::string_view key, std::string_view name, const QString& data) {
  if (!createKey(key)) return false;
  const QString group = groupOf(key);
  const QString dataEntry = entry(group, kValuePrefix + escapedName(name));
  const QString nameEntry = entry(group, kValueNamePrefix + escapedName(name));
  const QVariant oldData = settings_->value(dataEntry), oldName = settings_->value(nameEntry);
  settings_->setValue(dataEntry, data);
  settings_->setValue(nameEntry, toQString(name));
  if (flush()) return true;
  // Not stored: the value reads as it did before the write.
  const auto restore = [this](const QString& e, const QVariant& old) {
    if (old.isValid())
      settings_->setValue(e, old);
    else
      settings_->remove(e);
  };
  restore(dataEntry, oldData);
  restore(nameEntry, oldName);
  return false;
}

bool QtRegistry::writeInt(std::string_view key, std::string_view name, std::int32_t value) {
  return writeValue(key, name, kIntTag + QString::number(value));
}

bool QtRegistry::writeString(std::string_view key, std::string_view name, std::string_view value) {
  return writeValue(key, name, kStringTag + toQString(value));
}

bool QtRegistry::deleteValue(std::string_view key, std::string_view name) {
  if (!valueExists(key, name)) return false;
  prepareWrite();
  const QString group = groupOf(key);
  settings_->remove(entry(group, kValuePrefix + escapedName(name)));
  settings_->remove(entry(group, kValueNamePrefix + escapedName(name)));
  return flush();
}

std::vector<std::string> QtRegistry::valueNames(std::string_view key) const {
  std::vector<std::string> out;
  if (!keyExists(key)) return out;
  settings_->beginGroup(groupOf(key));
  const QStringList keys = settings_->childKeys();
  for (const QString& k : keys) {
    if (!k.startsWith(kValuePrefix)) continue;
    const QString stored = kValueNamePrefix + k.mid(2);
    out.push_back(fromQString(settings_->value(stored).toString()));
  }
  settings_->endGroup();
  return out;
}

std::vector<std::string> QtRegistry::subKeys(std::string_view key) const {
  std::vector<std::string> out;
  if (!keyExists(key)) return out;
  settings_->beginGroup(groupOf(key));
  const QStringList groups = settings_->childGroups();
  for (const QString& g : groups) {
    const QVariant name = settings_->value(entry(g, kNameEntry));
    if (name.isValid()) out.push_back(fromQString(name.toString()));
  }
  settings_->endGroup();
  return out;
}

}  // namespace tervolin
