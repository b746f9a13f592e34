#pragma once
// The parameter definitions of the generated profiles, their pids.ini and
// Formules.ini texts, and the response data an ECU of that profile sends for
// a given engine state.

#include <string>
#include <string_view>
#include <vector>

#include "bench/loggen/drive_model.h"
#include "bench/loggen/frames.h"

namespace tervolin::loggen {

// What a definition reports; maps to a field of EngineState or a composed
// value (status bytes, OBD-II status payloads).
enum class Quantity : std::uint8_t {
  Coolant, Intake, Rpm, Speed, Throttle, Load, O2, O2Down, ShortTrim, LongTrim, Battery, Advance, Map, Maf,
  Injection, IdleValve, IdleCorrection, Runtime, Misfires, AcPressure, Baro, Ambient, FuelLevel, Vvt,
  Unused,       // the ECU reports 0xFF ("not used")
  StatusByte,   // bits: idle, closed loop, fan, air conditioner
  FlagIdle, FlagClosedLoop, FlagFan, FlagAirCon, FlagFuelCut, FlagMil,
  // OBD-II status payloads, written from data byte 0 on (no formula).
  SupportedPids, Monitors, FuelSystem, O2Present, ObdStandard,
};

struct Definition {
  std::string request;   // as pids.ini holds it, bytes separated by a blank ("21 01")
  std::string name;      // Windows-1251
  std::string unit;      // Windows-1251, never empty
  std::string position;  // "IISS"
  std::string formula;   // two characters; empty for a status request
  Quantity quantity;
};

struct Profile {
  std::string code;
  std::vector<Definition> definitions;
};

// The demo profiles "OBDII", "Toyota", "GreatWall", "Nissan", "B797" and
// "B1797V"; an empty profile for any other code.
Profile demoProfile(std::string_view code);

// The benchmark profile (code "Toyota"): 300 definitions over the request
// codes 2101..2108, 40 of them on 2101, whose 32 data bytes they fill.
Profile benchProfile();

// Request code without blanks ("2101").
std::string compactCode(std::string_view request);

// pids.ini: four lines per definition, CRLF line ends.
std::string pidsIni(const Profile& profile);
// Formules.ini: a comment header, then "<code><position><formula> ; <name>"
// for every definition that has a formula.
std::string formulesIni(const Profile& profile);

// The ECU of a profile: the data bytes (after service and identifier) it
// sends for a request code in a given engine state. Holds a reference to the
// profile, which must outlive it.
class Responder {
 public:
  explicit Responder(const Profile& profile);

  // Number of data bytes for a request code (no blanks): enough for every
  // definition on it; 0 for a code the profile does not define.
  std::size_t dataLength(std::string_view code) const;
  Bytes data(std::string_view code, const EngineState& state) const;

 private:
  struct Placed {
    std::size_t definition;
    std::size_t index;
    int selector;
  };
  struct Code {
    std::string code;
    std::size_t length;
    std::vector<Placed> placed;
  };
  const Code* find(std::string_view code) const;

  const Profile& profile_;
  std::vector<Code> codes_;
};

// The raw byte(s) that make a formula show `value`; false for a formula the
// generator cannot encode.
bool encodeValue(std::string_view formula, double value, Bytes& out);

}  // namespace tervolin::loggen
