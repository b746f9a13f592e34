#include "bench/loggen/side_logs.h"

#include <cmath>
#include <cstdio>
#include <functional>

#include "bench/loggen/drive_model.h"
#include "bench/loggen/frames.h"
#include "common/hex.h"
#include "common/number_format.h"
#include "common/text.h"

namespace tervolin::loggen {
namespace {

constexpr double kInterval = 0.25;  // seconds between two requests

void line(std::string& out, std::string_view text) { out.append(text).append("\r\n"); }

// One CSV column: heading and the value of a moment.
struct CsvColumn {
  std::string_view heading;  // UTF-8 in the source, Windows-1251 once written
  std::function<std::string(const EngineState&, char mark)> value;
};

std::function<std::string(const EngineState&, char)> number(double EngineState::*field, int digits) {
  return [field, digits](const EngineState& s, char mark) { return fixedText(s.*field, 15, digits, mark); };
}

std::function<std::string(const EngineState&, char)> flag(bool EngineState::*field, bool digits) {
  return [field, digits](const EngineState& s, char) {
    if (digits) return std::string(s.*field ? "1" : "0");
    return std::string(s.*field ? kYesText : kNoText);
  };
}

std::vector<CsvColumn> csvColumns(CsvStyle style) {
  const bool digits = style == CsvStyle::ExportLayout;
  return {
      {"Обороты двигателя (об/мин)", number(&EngineState::rpm, 0)},
      {"Температура ОЖ (°C)", number(&EngineState::coolant, 1)},
      {"Температура воздуха (°C)", number(&EngineState::intake, 1)},
      {"Скорость (км/ч)", number(&EngineState::speed, 0)},
      {"Дроссель (%)", number(&EngineState::throttle, 1)},
      {"Нагрузка (%)", number(&EngineState::load, 1)},
      {"Напряжение ДК (В)", number(&EngineState::o2, 3)},
      {"Краткосрочная коррекция (%)", number(&EngineState::shortTrim, 1)},
      {"Угол опережения (°)", number(&EngineState::advance, 1)},
      {"Время впрыска (мс)", number(&EngineState::injection, 2)},
      {"Напряжение бортсети (В)", number(&EngineState::battery, 2)},
      {"Холостой ход ()", flag(&EngineState::idle, digits)},
      {"Отсечка топлива ()", flag(&EngineState::fuelCut, digits)},
      {"Вентилятор ()", flag(&EngineState::fan, digits)},
  };
}

}  // namespace

std::string xmlScanLog(const Profile& profile, const std::vector<std::string>& poll, std::size_t entries,
                       std::uint32_t seed) {
  const Responder responder(profile);
  Random random(seed * 7919u + 29u);
  DriveModel model(seed, static_cast<double>(entries) * kInterval);
  model.advance(kInterval);  // the engine is running when recording starts

  std::string out;
  out.reserve(entries * 180 + 256);
  line(out, "<?xml version=\"1.0\" encoding=\"windows-1251\"?>");
  line(out, std::string("<!-- Журнал сканера, профиль "_w) + profile.code + " -->");
  line(out, "<ScanLog>");
  std::string data;
  for (std::size_t k = 0; k < entries && !poll.empty(); ++k) {
    const std::string& code = poll[k % poll.size()];
    const double seconds = static_cast<double>(k) * kInterval;
    if (k % 97 == 50) {
      line(out, "  <Mark/>");  // the user pressed the mark button
      continue;
    }
    const Bytes request = codeBytes(code);
    data.clear();
    int sid = request[0] + 0x40;
    if (random.chance(0.01)) {
      // A refused request: 7F, the service, the reason.
      sid = 0x7F;
      const Bytes refusal{request[0], 0x12};
      appendHex(data, refusal);
    } else {
      Bytes payload(request.begin() + 1, request.end());
      const Bytes values = responder.data(code, model.state());
      payload.insert(payload.end(), values.begin(), values.end());
      appendHex(data, payload);
    }
    std::string entry = "  <Frame><Response sID=\"" + hexByte(static_cast<std::uint8_t>(sid)) + "\" Data=\"";
    entry.append(data).append("\" TimeStamp=\"").append(clockText(seconds)).append("\"/></Frame>");
    line(out, entry);
    model.advance(kInterval);
  }
  line(out, "</ScanLog>");
  return out;
}

std::string csvLog(CsvStyle style, std::size_t rows, std::uint32_t seed) {
  const bool exportLayout = style == CsvStyle::ExportLayout;
  const char separator = exportLayout ? ',' : ';';
  const char mark = exportLayout ? '.' : ',';
  const std::vector<CsvColumn> columns = csvColumns(style);
  DriveModel model(seed, static_cast<double>(rows) * kInterval);
  model.advance(kInterval);

  std::string out;
  std::string header = exportLayout ? std::string("LogID,LogEntryDate,LogEntryTime,LogEntrySeconds,LogNotes,")
                                    : utf8ToCp1251("Время (с);");
  for (const CsvColumn& c : columns) (header += utf8ToCp1251(c.heading)) += separator;
  line(out, header);
  std::string text;
  for (std::size_t r = 0; r < rows; ++r) {
    const EngineState& s = model.state();
    const double seconds = static_cast<double>(r) * kInterval;
    text.clear();
    if (exportLayout) {
      text += intText(static_cast<std::int64_t>(r));
      text += ",2026-05-14,";
      text += clockText(seconds);
      text += ',';
      text += fixedText(seconds, 15, 2, '.');
      text += ',';
      if (r == 0) text += "Старт"_w;
      text += ',';
    } else {
      (text += fixedText(seconds, 15, 2, mark)) += separator;
    }
    for (const CsvColumn& c : columns) (text += c.value(s, mark)) += separator;
    line(out, text);
    model.advance(kInterval);
  }
  return out;
}

}  // namespace tervolin::loggen
