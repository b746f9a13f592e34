// One behaviour table run against the in-memory registry and the INI-file
// registry, plus what only a file can show: values read back by a fresh
// registry (as after a restart) and a store that cannot be written.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <functional>
#include <memory>

#include "common/text.h"
#include "qt/qt_registry.h"

using namespace tervolin;

namespace {

const std::string kTervolin(kSettingsKey);
const std::string kToyota = kTervolin + "\\Toyota";

std::vector<std::string> sorted(std::vector<std::string> v) {
  std::sort(v.begin(), v.end());
  return v;
}

// Writes a mix of everything the program stores.
void fill(Registry& r) {
  QVERIFY(r.writeInt(kTervolin, "TablOnly", 1));
  QVERIFY(r.writeInt(kTervolin, "GraphOnly", -7));
  QVERIFY(r.writeString(kTervolin, "OrvikPath", "/opt/Программа, \"новая\"; x=y\\z/"_w));
  QVERIFY(r.writeString(kTervolin, "LastProfile", "Hyndai2"));
  QVERIFY(r.writeString(kTervolin + "\\crc_databases", "3735928559", "1;2;3"));
  QVERIFY(r.writeInt(kToyota + "\\Col_Width", "2101/0C00", 64));
  QVERIFY(r.writeInt(kToyota + "\\Col_Width", "", 80));  // a value with an empty name
  QVERIFY(r.writeString(kToyota + "\\HideCols", "Обороты"_w, ""));
  QVERIFY(r.createKey(kToyota + "\\matrix"));          // a key with no values
  QVERIFY(r.writeString(kTervolin + "\\graph_colors", "Col[0]", "  leading blanks, commas"));
}

// Checks everything fill() wrote, and the kinds kept apart.
void check(const Registry& r) {
  QCOMPARE(r.readInt(kTervolin, "TablOnly"), std::optional<std::int32_t>(1));
  QCOMPARE(r.readInt(kTervolin, "graphonly"), std::optional<std::int32_t>(-7));  // names ignore case
  QCOMPARE(r.readString(kTervolin, "OrvikPath"),
           std::optional<std::string>("/opt/Программа, \"новая\"; x=y\\z/"_w));
  QCOMPARE(r.readString(kTervolin, "LastProfile"), std::optional<std::string>("Hyndai2"));
  QCOMPARE(r.readString(kTervolin + "\\CRC_DATABASES", "3735928559"), std::optional<std::string>("1;2;3"));
  QCOMPARE(r.readInt(kToyota + "\\Col_Width", "2101/0C00"), std::optional<std::int32_t>(64));
  QCOMPARE(r.readInt(kToyota + "\\Col_Width", ""), std::optional<std::int32_t>(80));
  QCOMPARE(r.readString(kToyota + "\\HideCols", "Обороты"_w), std::optional<std::string>(""));
  QCOMPARE(r.readString(kTervolin + "\\graph_colors", "Col[0]"),
           std::optional<std::string>("  leading blanks, commas"));
  // An integer is not a string and a string is not an integer.
  QVERIFY(!r.readString(kTervolin, "TablOnly"));
  QVERIFY(!r.readInt(kTervolin, "LastProfile"));
  QVERIFY(r.valueExists(kTervolin, "TablOnly"));
  QVERIFY(!r.valueExists(kTervolin, "AutoTabl"));
  QVERIFY(!r.readInt(kTervolin, "AutoTabl"));
  QVERIFY(r.keyExists(kToyota + "\\matrix"));
  QVERIFY(r.keyExists("software"));
  QVERIFY(!r.keyExists(kToyota + "\\nothing"));
  QCOMPARE(sorted(r.subKeys(kTervolin)),
           (std::vector<std::string>{"Toyota", "crc_databases", "graph_colors"}));
  QCOMPARE(sorted(r.subKeys(kToyota)), (std::vector<std::string>{"Col_Width", "HideCols", "matrix"}));
  QCOMPARE(sorted(r.valueNames(kToyota + "\\Col_Width")), (std::vector<std::string>{"", "2101/0C00"}));
  QCOMPARE(sorted(r.valueNames(kTervolin)),
           (std::vector<std::string>{"GraphOnly", "LastProfile", "OrvikPath", "TablOnly"}));
  QVERIFY(r.valueNames(kToyota + "\\matrix").empty());
}

// Changes after fill(): overwrite with another kind, delete a value and a subtree.
void change(Registry& r) {
  QVERIFY(r.writeString(kTervolin, "TablOnly", "1"));
  QVERIFY(!r.readInt(kTervolin, "TablOnly"));
  QCOMPARE(r.readString(kTervolin, "TablOnly"), std::optional<std::string>("1"));
  QVERIFY(r.deleteValue(kTervolin, "GraphOnly"));
  QVERIFY(!r.deleteValue(kTervolin, "GraphOnly"));
  QVERIFY(r.deleteKey(kTervolin + "\\TOYOTA"));
  QVERIFY(!r.deleteKey(kToyota));
  QVERIFY(!r.keyExists(kToyota + "\\matrix"));
  QVERIFY(!r.readInt(kToyota + "\\Col_Width", "2101/0C00"));
  QVERIFY(r.keyExists(kTervolin + "\\crc_databases"));
  QVERIFY(!r.createKey(""));
}

}  // namespace

class QtRegistryTest : public QObject {
  Q_OBJECT

 private slots:
  void behaviourTable_data() {
    QTest::addColumn<bool>("onFile");
    QTest::newRow("memory") << false;
    QTest::newRow("ini file") << true;
  }

  void behaviourTable() {
    QFETCH(bool, onFile);
    QTemporaryDir dir;
    std::unique_ptr<Registry> r;
    if (onFile)
      r = std::make_unique<QtRegistry>(dir.filePath("sub/settings.ini"));
    else
      r = std::make_unique<MemoryRegistry>();
    QVERIFY(!r->keyExists(kTervolin));
    QVERIFY(r->valueNames(kTervolin).empty());
    fill(*r);
    check(*r);
    change(*r);
  }

  void readBackAfterRestart() {
    QTemporaryDir dir;
    const QString file = dir.filePath("settings.ini");
    {
      QtRegistry first(file);
      fill(first);
    }
    {
      QtRegistry second(file);
      check(second);
    }
    // A copy has no cache shared with the registries above: it is read from
    // the text alone, where every value comes back as text.
    const QString copy = dir.filePath("copy.ini");
    QVERIFY(QFile::copy(file, copy));
    QtRegistry fresh(copy);
    check(fresh);
    change(fresh);
    QtRegistry again(copy);
    QVERIFY(!again.keyExists(kToyota));
    QCOMPARE(again.readString(kTervolin, "TablOnly"), std::optional<std::string>("1"));
  }

  void unwritableStoreFails() {
    // The settings file would lie below a regular file: nothing can be written.
    QTemporaryDir dir;
    QFile blocker(dir.filePath("blocker"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QtRegistry r(dir.filePath("blocker/settings.ini"));
    QVERIFY(!r.writeInt(kTervolin, "GraphOnly", 1));
    QVERIFY(!r.writeString(kTervolin, "LastProfile", "Toyota"));
    QVERIFY(!r.createKey(kToyota));
    // A failed write leaves nothing behind for the rest of the run.
    QVERIFY(!r.keyExists(kTervolin));
    QVERIFY(!r.readInt(kTervolin, "GraphOnly"));
    QVERIFY(!r.keyExists(kToyota));
    // Once the file can be written, writes succeed again.
    QVERIFY(QFile::remove(dir.filePath("blocker")));
    QVERIFY(QDir().mkpath(dir.filePath("blocker")));
    QVERIFY(r.writeInt(kTervolin, "GraphOnly", 1));
    QCOMPARE(QtRegistry(dir.filePath("blocker/settings.ini")).readInt(kTervolin, "GraphOnly"),
             std::optional<std::int32_t>(1));
  }

  void garbageFileReadsAsEmpty() {
    QTemporaryDir dir;
    const QString file = dir.filePath("settings.ini");
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QByteArray junk(100000, '\0');
    for (int i = 0; i < junk.size(); ++i) junk[i] = char((i * 7919) & 0xFF);
    f.write("[software]\nv_x=i:notanumber\n_name=Software\n[software/tervolin]\nv_tablonly=s:1\n");
    f.write(junk);
    f.close();
    QtRegistry r(file);
    QVERIFY(!r.readInt("Software", "x"));
    QVERIFY(!r.keyExists(kTervolin));  // no marker: not a key
    QVERIFY(!r.readInt(kTervolin, "TablOnly"));
  }
};

QTEST_MAIN(QtRegistryTest)
#include "qt_registry_test.moc"
