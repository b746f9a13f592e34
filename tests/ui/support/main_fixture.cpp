#include "ui/support/main_fixture.h"

#include <QApplication>
#include <QTimer>
#include <fstream>
#include <memory>

#include "common/text.h"

namespace tervolin::test {

void main_writeCp1251(const std::filesystem::path& file, std::string_view utf8) {
  std::filesystem::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary);
  const std::string bytes = utf8ToCp1251(utf8);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

namespace {

// Two parameters answered by request 21 01: byte 0 is a temperature (FT:
// A - 40), byte 1 a pressure (FP: A * 3). The names are long enough for the
// derived definition file not to count as empty.
constexpr std::string_view kPids =
    "21 01\nТемпература охлаждающей жидкости двигателя по датчику температуры ДТОЖ\nC\n0000\n"
    "21 01\nДавление топлива в топливной рампе по датчику давления топлива\nkPa\n0100\n";
constexpr std::string_view kFormules = "21010000FT\n21010100FP\n";
constexpr std::string_view kLog =
    "Интервал между запросами тестера: 0,10\n"
    "   TxD 82 10 F1 21 01 A5\n"
    "RxD 84 F1 10 61 01 7B 2C 5E\n"
    "\n"
    "TxD 82 10 F1 21 01 A5\n"
    "RxD 84 F1 10 61 01 7C 2D 5E\n";

}  // namespace

QStringList main_logLines() {
  return {QStringLiteral("Интервал между запросами тестера: 0,10"), QStringLiteral("TxD 82 10 F1 21 01 A5"),
          QStringLiteral("RxD 84 F1 10 61 01 7B 2C 5E"), QStringLiteral("TxD 82 10 F1 21 01 A5"),
          QStringLiteral("RxD 84 F1 10 61 01 7C 2D 5E")};
}

void main_makeLocalProfileFolder(const std::filesystem::path& dir) {
  main_writeCp1251(dir / "pids.ini", kPids);
  main_writeCp1251(dir / "Formules.ini", kFormules);
  main_writeCp1251(dir / "drive.log", kLog);
}

void main_makeToyotaFolder(const std::filesystem::path& dir) {
  main_writeCp1251(dir / "pids" / "Toyota" / "powertrain" / "pids.ini", kPids);
  main_writeCp1251(dir / "Toyota" / "Formules.ini", kFormules);
  main_writeCp1251(dir / "drive.log", kLog);
}

void main_writeGraphFile(const std::filesystem::path& file, const std::vector<std::pair<int, int>>& frames) {
  std::string bytes(48, '\0');
  bytes[6] = 100;  // request interval, little-endian
  const unsigned char channels[2][5] = {{0x21, 0x01, 0x00, 0x00, 0x00}, {0x21, 0x01, 0x00, 0x01, 0x00}};
  for (int c = 0; c < 2; ++c)
    for (int b = 0; b < 5; ++b) bytes[8 + 5 * c + b] = static_cast<char>(channels[c][b]);
  for (const auto& [first, second] : frames) {
    const unsigned char frame[] = {4, 0, 0x61, 0x01, static_cast<unsigned char>(first), static_cast<unsigned char>(second)};
    bytes.append(reinterpret_cast<const char*>(frame), sizeof frame);
  }
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void main_whenModal(std::function<void(QWidget*)> action) {
  auto* timer = new QTimer;
  auto tries = std::make_shared<int>(0);
  QObject::connect(timer, &QTimer::timeout, [timer, tries, action = std::move(action)] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal && ++*tries < 500) return;
    timer->stop();
    timer->deleteLater();
    if (modal) action(modal);
  });
  timer->start(10);
}

}  // namespace tervolin::test
