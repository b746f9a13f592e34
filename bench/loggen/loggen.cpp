#include "bench/loggen/loggen.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <span>
#include <system_error>

#include "bench/loggen/drive_model.h"
#include "bench/loggen/frames.h"
#include "bench/loggen/side_logs.h"
#include "common/hex.h"
#include "common/paths.h"
#include "common/text.h"

namespace tervolin::loggen {
namespace {

constexpr double kInterval = 0.25;  // seconds between two requests
constexpr std::string_view kIntervalMarker = "Интервал между запросами тестера:"_w;

// Lines a tester writes between exchanges; none of them holds a marker the
// readers look for.
constexpr std::string_view kNoise[] = {
    "",
    "; --- отметка пользователя ---"_w,
    "\t; Ожидание данных ЭБУ..."_w,
    "   Подключение..."_w,
    "Соединение установлено"_w,
    "  \t"_w,
    "; Повтор опроса"_w,
};

// "[12:00:01.250] ": the brackets keep the milliseconds from reading as a
// hex pair, so the first pair of a data line is always its format byte.
std::string timeStamp(double seconds) { return "[" + clockText(seconds) + "] "; }

std::string intervalLine(char decimalMark) {
  std::string line(kIntervalMarker);
  line += " 0";
  line += decimalMark;
  line += "25";
  return line;
}

class LogWriter {
 public:
  explicit LogWriter(const LogPlan& plan)
      : plan_(plan), profile_(demoProfile(plan.profile)), responder_(profile_), random_(plan.seed * 7919u + 17u),
        model_(plan.seed, plan.requests * kInterval) {
    model_.advance(kInterval);  // the engine is running when polling starts
  }

  std::string write() {
    header();
    int done = 0, cycle = 0;
    bool reconnected = false;
    while (done < plan_.requests) {
      std::vector<std::string> codes = plan_.poll;
      if (cycle % 8 == 0) codes.insert(codes.end(), plan_.slowPoll.begin(), plan_.slowPoll.end());
      for (const std::string& code : codes) {
        exchange(code, false);
        ++done;
      }
      // Now and then the tester asks for an identifier the ECU refuses.
      if (!plan_.rejected.empty() && cycle % 11 == 5) {
        exchange(plan_.rejected[static_cast<std::size_t>(cycle / 11) % plan_.rejected.size()], true);
        ++done;
      }
      if (plan_.troubleCodes && cycle % 40 == 7) troubleCodes(cycle / 40);
      if (random_.chance(0.05)) line(kNoise[random_.next() % std::size(kNoise)]);
      if (!reconnected && done >= plan_.requests / 2) {
        reconnect();
        reconnected = true;
      }
      ++cycle;
    }
    line("; "_w);
    line("Опрос остановлен"_w);
    return std::move(out_);
  }

 private:
  bool adapter() const { return plan_.style == LineStyle::Adapter; }

  void line(std::string_view text) {
    out_.append(text);
    out_.append("\r\n");
  }

  void header() {
    line(std::string("; Журнал обмена тестера с ЭБУ, профиль "_w) + plan_.profile);
    line("Подключение..."_w);
    line(intervalLine(plan_.decimalMark));
    if (adapter()) {
      command("ATZ", "ELM327 v1.5");
      command("ATE0", "OK");
      command("ATSP0", "OK");
      frameLine(true, codeBytes("0100"));
      exchangeLine(false, "SEARCHING...");
      frameLine(false, withData("0100"));
      seconds_ += kInterval;
      return;
    }
    line("Соединение установлено"_w);
    line("");
    sessionStart();
  }

  // Diagnostic session: request 10 81, confirmation 50 81.
  void sessionStart() {
    const Bytes request{0x10, 0x81}, response{0x50, 0x81};
    frameLine(true, request);
    frameLine(false, response, lengthByteFor("1081"));
    seconds_ += kInterval;
  }

  // Whether the answer to a request code carries the length byte.
  bool lengthByteFor(std::string_view code) const {
    if (!plan_.lengthByte) return false;
    if (plan_.lengthByteOnly.empty()) return true;
    return std::find(plan_.lengthByteOnly.begin(), plan_.lengthByteOnly.end(), code) != plan_.lengthByteOnly.end();
  }

  // The stored trouble codes (18 02 FF 00): the answer 58, their count, and
  // code and status per code. The set changes as the drive goes on and is
  // empty now and then (after a clearing).
  void troubleCodes(int round) {
    struct Stored {
      std::uint16_t code;
      std::uint8_t status;
    };
    static constexpr Stored kStored[] = {{0x0301, 0x24}, {0x0420, 0x24}, {0x0130, 0x64}, {0x0171, 0x24}, {0x0505, 0xE4}};
    static constexpr int kCounts[] = {3, 2, 0, 4, 1, 5};
    const int count = kCounts[static_cast<std::size_t>(round) % std::size(kCounts)];
    frameLine(true, Bytes{0x18, 0x02, 0xFF, 0x00});
    Bytes answer{0x58, static_cast<std::uint8_t>(count)};
    for (int i = 0; i < count; ++i) {
      const Stored& c = kStored[static_cast<std::size_t>(i + round) % std::size(kStored)];
      answer.push_back(static_cast<std::uint8_t>(c.code >> 8));
      answer.push_back(static_cast<std::uint8_t>(c.code & 0xFF));
      answer.push_back(c.status);
    }
    frameLine(false, answer, lengthByteFor("1802FF00"));
    seconds_ += kInterval;
  }

  void reconnect() {
    line("");
    line("   Связь потеряна"_w);
    line("\tПодключение..."_w);
    if (adapter()) {
      command("ATZ", "ELM327 v1.5");
      command("ATSP0", "OK");
    } else {
      sessionStart();
    }
  }

  void command(std::string_view sent, std::string_view answer) {
    exchangeLine(true, sent);
    exchangeLine(false, answer);
    seconds_ += kInterval;
  }

  Bytes withData(const std::string& code) {
    Bytes payload = codeBytes(code);
    payload[0] = static_cast<std::uint8_t>(payload[0] + 0x40);
    const Bytes data = responder_.data(code, model_.state());
    payload.insert(payload.end(), data.begin(), data.end());
    return payload;
  }

  void exchange(const std::string& code, bool refused) {
    frameLine(true, codeBytes(code));
    if (adapter()) {
      // An adapter answers a refused or lost request with a short text.
      if (refused || random_.chance(0.01)) exchangeLine(false, "NO DATA");
      else frameLine(false, withData(code));
    } else if (refused) {
      const Bytes negative{0x7F, codeBytes(code)[0], 0x12};
      frameLine(false, negative, lengthByteFor(code));
    } else {
      frameLine(false, withData(code), lengthByteFor(code));
    }
    seconds_ += kInterval;
    model_.advance(kInterval);
  }

  // A request (`fromTester`) or response line carrying the payload: framed
  // with addresses and checksum (responses with the length byte when
  // `lengthByte`), or bare through the adapter.
  void frameLine(bool fromTester, std::span<const std::uint8_t> payload, bool lengthByte = false) {
    std::string text;
    if (adapter()) {
      appendHex(text, payload);
    } else if (fromTester) {
      appendHex(text, kwpFrame(kEcuAddress, kTesterAddress, payload, false));
    } else {
      appendHex(text, kwpFrame(kTesterAddress, kEcuAddress, payload, lengthByte));
    }
    exchangeLine(fromTester, text);
  }

  void exchangeLine(bool fromTester, std::string_view text) {
    const double at = seconds_ + (fromTester ? 0 : 0.035 + 0.01 * std::abs(random_.noise()));
    std::string l = timeStamp(at);
    if (plan_.style == LineStyle::ZaprosOtvet) l += fromTester ? "Запрос: "_w : "Ответ: "_w;
    else l += fromTester ? "TxD " : "RxD ";
    l += text;
    line(l);
  }

  const LogPlan& plan_;
  Profile profile_;
  Responder responder_;
  Random random_;
  DriveModel model_;
  double seconds_ = 0;
  std::string out_;
};

// Byte by byte: appending a vector's iterator range to a string trips a
// false -Wrestrict in GCC 12.
void appendBytes(std::string& out, const Bytes& bytes) {
  for (const std::uint8_t b : bytes) out += static_cast<char>(b);
}

void appendLe16(std::string& out, unsigned value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>((value >> 8) & 0xFF);
}

std::string folderReadme();

}  // namespace

std::string textLog(const LogPlan& plan) { return LogWriter(plan).write(); }

std::string graphFile(const std::string& profileCode, const std::vector<GraphChannel>& channels, int frames,
                      std::uint16_t intervalMs, std::uint32_t seed) {
  const Profile profile = demoProfile(profileCode);
  const Responder responder(profile);
  DriveModel model(seed, frames * kInterval);
  model.advance(kInterval);  // the engine is running when recording starts

  std::string out = "TRVG\x01";
  out += '\0';
  appendLe16(out, intervalMs);
  std::vector<std::string> codes;  // distinct request codes, in channel order
  for (std::size_t c = 0; c < 8; ++c) {
    Bytes request(3, 0), position(2, 0);
    if (c < channels.size()) {
      const Bytes r = codeBytes(channels[c].request), p = codeBytes(channels[c].position);
      std::copy_n(r.begin(), std::min<std::size_t>(3, r.size()), request.begin());
      std::copy_n(p.begin(), std::min<std::size_t>(2, p.size()), position.begin());
      if (std::find(codes.begin(), codes.end(), channels[c].request) == codes.end())
        codes.push_back(channels[c].request);
    }
    appendBytes(out, request);
    appendBytes(out, position);
  }
  auto frame = [&](const Bytes& bytes) {
    appendLe16(out, static_cast<unsigned>(bytes.size()));
    appendBytes(out, bytes);
  };
  frame({0x50, 0x81});  // diagnostic-session confirmation
  for (int f = 0; f < frames && !codes.empty(); ++f) {
    const std::string& code = codes[static_cast<std::size_t>(f) % codes.size()];
    Bytes payload = codeBytes(code);
    payload[0] = static_cast<std::uint8_t>(payload[0] + 0x40);
    const Bytes data = responder.data(code, model.state());
    payload.insert(payload.end(), data.begin(), data.end());
    frame(payload);
    model.advance(kInterval);
  }
  return out;
}

std::vector<GeneratedFile> sampleFolder() {
  std::vector<GeneratedFile> files;
  for (const char* code : {"OBDII", "Toyota", "GreatWall", "Nissan", "B797", "B1797V"}) {
    const Profile p = demoProfile(code);
    files.push_back({std::string("pids/") + code + "/Powertrain/pids.ini", pidsIni(p)});
    files.push_back({std::string(code) + "/Formules.ini", formulesIni(p)});
  }
  const std::vector<std::string> obdPoll = {"0104", "0105", "0106", "0107", "010B", "010C", "010D",
                                            "010E", "010F", "0110", "0111", "0114", "0115"};
  const std::vector<std::string> obdSlow = {"0100", "0101", "0103", "0113", "011C", "011F", "0120", "012F", "0133"};

  LogPlan obd{"OBDII", LineStyle::TxdRxd, false, 720, '.', 11, obdPoll, obdSlow, {"010A", "0122"}, false, {}};
  files.push_back({"logs/obd2_kwp.log", textLog(obd)});

  LogPlan elm{"OBDII", LineStyle::Adapter, false, 720, '.', 12, obdPoll, obdSlow, {"010A", "0122"}, false, {}};
  files.push_back({"logs/obd2_elm_adapter.log", textLog(elm)});

  LogPlan toyota{"Toyota", LineStyle::ZaprosOtvet, false, 560, '.', 13, {"2101", "2101", "2102"}, {}, {"2105"}, false, {}};
  files.push_back({"logs/toyota_zapros_otvet.log", textLog(toyota)});

  LogPlan comma{"Toyota", LineStyle::TxdRxd, false, 240, ',', 14, {"2101", "2102"}, {}, {"2105"}, false, {}};
  files.push_back({"logs/toyota_interval_comma.log", textLog(comma)});

  LogPlan gw{"GreatWall", LineStyle::TxdRxd, true, 560, '.', 15, {"2101"}, {}, {"2103"}, false, {}};
  files.push_back({"logs/greatwall_length_byte.log", textLog(gw)});

  LogPlan nissan{"Nissan", LineStyle::TxdRxd, false, 640, '.', 16, {"210102", "210102", "210103"}, {}, {"210105"}, false, {}};
  files.push_back({"logs/nissan_6digit.log", textLog(nissan)});

  for (const char* code : {"B797", "B1797V"}) {
    LogPlan plan{code, LineStyle::TxdRxd, true, 480, '.', code[1] == '7' ? 18u : 19u, {"2101"}, {"2102"}, {"2103"}, false, {}};
    plan.troubleCodes = true;
    plan.lengthByteOnly = {"2101"};
    files.push_back({"logs/" + asciiLower(code) + "_trouble_codes.log", textLog(plan)});
  }
  files.push_back({"DTC.xml", troubleCodeFile()});

  const std::vector<GraphChannel> channels = {{"2101", "0000"}, {"2101", "0200"}, {"2101", "0400"},
                                              {"2101", "0500"}, {"2101", "0900"}, {"2102", "0000"}};
  files.push_back({"logs/toyota_graph.rtd", graphFile("Toyota", channels, 480, 250, 17)});

  files.push_back({"logs/toyota_scan.xml", xmlScanLog(demoProfile("Toyota"), {"2101", "2102"}, 480, 18)});
  std::vector<std::string> obdScan = obdPoll;
  obdScan.insert(obdScan.end(), {"0101", "0103", "0113", "011C"});
  // Polled in table order, so that one cycle fills one table row.
  std::sort(obdScan.begin(), obdScan.end());
  files.push_back({"logs/obd2_scan.xml", xmlScanLog(demoProfile("OBDII"), obdScan, 650, 19)});
  files.push_back({"logs/drive_semicolon.csv", csvLog(CsvStyle::Semicolon, 400, 20)});
  files.push_back({"logs/drive_export_layout.csv", csvLog(CsvStyle::ExportLayout, 400, 21)});
  files.push_back({"SAMPLES.txt", folderReadme()});
  return files;
}

std::vector<GeneratedFile> benchProfileFiles() {
  const Profile p = benchProfile();
  return {{"pids/Toyota/Powertrain/pids.ini", pidsIni(p)}, {"Toyota/Formules.ini", formulesIni(p)}};
}

std::string bigLog(std::size_t lines) {
  const Profile profile = benchProfile();
  const Responder responder(profile);
  const std::size_t pairs = lines / 2;
  // Twenty-minute drives one after another: warm-up once, then town and road
  // legs repeating, so every part of a long log looks like a real drive.
  DriveModel model(99, 1200.0);
  model.advance(kInterval);  // the engine is running when polling starts
  const Bytes requestPayload{0x21, 0x01};
  std::string request;
  appendHex(request, kwpFrame(kEcuAddress, kTesterAddress, requestPayload, false));

  std::string out;
  out.reserve(pairs * 150 + 128);
  out.append("; Журнал для замеров производительности"_w).append("\r\n");
  out.append(intervalLine('.')).append("\r\n");
  Bytes payload;
  for (std::size_t i = 0; i < pairs; ++i) {
    const double t = static_cast<double>(i) * kInterval;
    out.append(timeStamp(t)).append("TxD ").append(request).append("\r\n");
    payload.assign({0x61, 0x01});
    const Bytes data = responder.data("2101", model.state());
    payload.insert(payload.end(), data.begin(), data.end());
    out.append(timeStamp(t + 0.04)).append("RxD ");
    appendHex(out, kwpFrame(kTesterAddress, kEcuAddress, payload, false));
    out.append("\r\n");
    model.advance(kInterval);
  }
  return out;
}

namespace {

struct TroubleCode {
  std::string_view code, description;  // UTF-8
};

// Generic OBD-II codes and the ones of the B797 and B1797V families.
constexpr TroubleCode kObdCodes[] = {
    {"P0100", "Цепь датчика массового расхода воздуха: неисправность"},
    {"P0105", "Цепь датчика абсолютного давления: неисправность"},
    {"P0110", "Цепь датчика температуры воздуха: неисправность"},
    {"P0115", "Цепь датчика температуры ОЖ: неисправность"},
    {"P0120", "Цепь датчика положения дроссельной заслонки: неисправность"},
    {"P0130", "Цепь датчика кислорода 1: неисправность"},
    {"P0171", "Система топливоподачи: слишком бедная смесь"},
    {"P0172", "Система топливоподачи: слишком богатая смесь"},
    {"P0300", "Обнаружены случайные пропуски воспламенения"},
    {"P0301", "Пропуски воспламенения в цилиндре 1"},
    {"P0302", "Пропуски воспламенения в цилиндре 2"},
    {"P0303", "Пропуски воспламенения в цилиндре 3"},
    {"P0304", "Пропуски воспламенения в цилиндре 4"},
    {"P0335", "Цепь датчика положения коленчатого вала: неисправность"},
    {"P0420", "Эффективность катализатора ниже порога"},
    {"P0500", "Датчик скорости автомобиля: неисправность"},
    {"P0505", "Регулятор холостого хода: неисправность"},
    {"P0560", "Напряжение бортсети вне допуска"},
};
constexpr TroubleCode kM797Codes[] = {
    {"P0030", "Нагреватель датчика кислорода 1: обрыв цепи"},
    {"P0130", "Датчик кислорода 1: неверный сигнал"},
    {"P0171", "Смесь слишком бедная (аддитивная составляющая)"},
    {"P0301", "Пропуски воспламенения, цилиндр 1"},
    {"P0327", "Датчик детонации: низкий уровень сигнала"},
    {"P0420", "Катализатор: эффективность ниже порога"},
    {"P0505", "Регулятор холостого хода: неисправность"},
    {"P0650", "Лампа MIL: неисправность цепи"},
};
constexpr TroubleCode kM74Codes[] = {
    {"P0030", "Нагреватель ДК 1: обрыв цепи управления"},
    {"P0130", "ДК 1: нет активности"},
    {"P0171", "Смесь бедная: превышен порог коррекции"},
    {"P0301", "Пропуски воспламенения в 1 цилиндре"},
    {"P0420", "Низкая эффективность нейтрализатора"},
    {"P0505", "Ошибка регулятора холостого хода"},
    {"P1602", "Пропадание напряжения питания ЭБУ"},
};

std::string xmlEscaped(std::string_view text) {
  std::string out;
  for (const char c : text) {
    if (c == '&') out += "&amp;";
    else if (c == '<') out += "&lt;";
    else if (c == '"') out += "&quot;";
    else out += c;
  }
  return out;
}

}  // namespace

std::string troubleCodeFile() {
  struct Group {
    std::string_view name;  // UTF-8
    std::span<const TroubleCode> codes;
  };
  const Group groups[] = {{"М 7.4", kM74Codes}, {"M7.9.7", kM797Codes}, {"OBD-II", kObdCodes}};
  std::string xml = "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n<DTC>\r\n";
  for (const Group& g : groups) {
    xml += "  <Group Name=\"" + xmlEscaped(g.name) + "\">\r\n";
    // The first entry of a group names its columns; it is never read as a code.
    xml += "    <Code Name=\"Код\" Description=\"Описание\"/>\r\n";
    for (const TroubleCode& c : g.codes)
      xml += "    <Code Name=\"" + xmlEscaped(c.code) + "\" Description=\"" + xmlEscaped(c.description) + "\"/>\r\n";
    xml += "  </Group>\r\n";
  }
  xml += "</DTC>\r\n";
  return utf8ToCp1251(xml);
}

bool writeFiles(const std::filesystem::path& folder, const std::vector<GeneratedFile>& files, std::string& error) {
  for (const GeneratedFile& f : files) {
    const std::filesystem::path target = folder / std::filesystem::path(f.path);
    std::error_code ec;
    std::filesystem::create_directories(target.parent_path(), ec);
    if (ec || !writeFileAtomically(target, f.bytes)) {
      error = "cannot write " + target.string();
      return false;
    }
  }
  return true;
}

namespace {

// Description of the sample folder (UTF-8: it is read by people, not by the
// program).
std::string folderReadme() {
  return R"(Sample program folder
=====================

Generated by `loggen samples OUTDIR` (bench/loggen_tool.cpp); do not edit by
hand, change the generator and regenerate. Every text file is Windows-1251
with CRLF line ends. The logs record one simulated drive each: a cold start
(coolant from about 20 °C up to 90-95 °C with the fan cycling), idle at about
800 rpm, accelerations, cruising, overrun fuel cut-off, the lambda probe
switching between 0.1 and 0.8 V once the loop closes, changing bit flags,
noise lines, a reconnection half-way and refused requests.

Profiles (external program path = this folder):
  pids/<CODE>/Powertrain/pids.ini   definitions, four lines each
  <CODE>/Formules.ini               formula codes (the working folder)

  OBDII      service 01 PIDs; 0100, 0101, 0103, 0113, 011C, 0120 have no
             formula and show as status texts
  Toyota     service 21, identifiers 01 and 02, ordinary frames
  GreatWall  service 21 with a length byte in every response (length offset 3)
  Nissan     service 21 with two-byte identifiers (six-digit request codes)
  B797, B1797V  21 01 answered with a length byte, trouble codes
             (service 18) listed with their descriptions from DTC.xml

Logs (logs/):
  obd2_kwp.log                 OBDII, "TxD"/"RxD" lines, KWP frames 10 F1 / F1 10,
                               session start 10 81 / 50 81, negative answers 7F 01 12
  obd2_elm_adapter.log         OBDII through an ELM adapter: "TxD 01 0C",
                               "RxD 41 0C 1A F8", "RxD NO DATA"
  toyota_zapros_otvet.log      Toyota, "Запрос:"/"Ответ:" lines
  toyota_interval_comma.log    Toyota, interval line written with a decimal
                               comma ("0,25"): open it with ',' as the decimal
                               mark; with '.' reading stops at that line
  greatwall_length_byte.log    GreatWall, responses 80 F1 10 LL 61 01 ... CS
  nissan_6digit.log            Nissan, requests 21 01 02 / 21 01 03
  b797_trouble_codes.log       B797, polls 21 01 (length byte) and 21 02 (no
                               definition), asks 18 02 FF 00 for the stored
                               trouble codes (58 NN code status ...)
  b1797v_trouble_codes.log     B1797V, the same; its descriptions come from the
                               group "М 7.4" of DTC.xml
  toyota_graph.rtd             Toyota graph file: interval 250 (ms), six
                               channels (2101/0000, 0200, 0400, 0500, 0900,
                               2102/0000), two empty channels, a session frame
                               50 81 first
  toyota_scan.xml              Toyota XML scan log: entries of 2101 and 2102
                               responses (sID 61), refused requests (sID 7F)
                               and mark entries without data
  obd2_scan.xml                OBDII XML scan log (sID 41), service 01 PIDs
  drive_semicolon.csv          CSV log, ';' separated, decimal commas, flags
                               as Да/Нет; opens with any profile (the columns
                               come from the file)
  drive_export_layout.csv      CSV log, ',' separated, points, the LogID,
                               LogEntryDate, LogEntryTime, LogEntrySeconds and
                               LogNotes columns first (the layout the CSV
                               export writes)

DTC.xml: trouble-code descriptions (Windows-1251), groups "М 7.4" (B1797V),
"M7.9.7" (B797) and "OBD-II"; the first entry of each group is a caption.

Open a log with its profile, e.g.
  tervolin-cli table --profile GreatWall --program-dir bin bin/logs/greatwall_length_byte.log
)";
}

}  // namespace

}  // namespace tervolin::loggen
