#pragma once
// A simulated drive: a cold start, warm-up at idle, accelerations, cruising,
// decelerations with fuel cut-off and the lambda probe switching once the
// mixture control closes its loop. Deterministic for a given seed.

#include <cstdint>

namespace tervolin::loggen {

// Small deterministic generator (xorshift32), identical on every platform.
class Random {
 public:
  explicit Random(std::uint32_t seed) : state_(seed ? seed : 0x9E3779B9u) {}
  std::uint32_t next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  // Uniform in [-1, 1].
  double noise() { return static_cast<double>(next() % 20001) / 10000.0 - 1.0; }
  // True with the given probability.
  bool chance(double probability) { return static_cast<double>(next() % 100000) < probability * 100000.0; }

 private:
  std::uint32_t state_;
};

struct EngineState {
  double seconds = 0;
  double coolant = 20;     // °C
  double intake = 18;      // °C
  double rpm = 0;
  double speed = 0;        // km/h
  double throttle = 0;     // %
  double load = 0;         // %
  double o2 = 0.45;        // V, upstream probe
  double o2Down = 0.62;    // V, downstream probe
  double shortTrim = 0;    // %
  double longTrim = 0;     // %
  double battery = 12.4;   // V
  double advance = 10;     // degrees
  double map = 100;        // kPa
  double maf = 0;          // g/s
  double injection = 0;    // ms
  double idleValve = 30;   // %
  double idleCorrection = 0;  // rpm, signed
  double runtime = 0;      // s since start
  int misfires = 0;
  bool idle = true;
  bool closedLoop = false;
  bool fuelCut = false;
  bool fan = false;
  bool airCon = false;
  bool monitorsDone = false;  // readiness monitors completed
};

class DriveModel {
 public:
  // `totalSeconds` scales the warm-up and the drive phases to the length of
  // the log, so that short demo logs still show a whole warm-up.
  DriveModel(std::uint32_t seed, double totalSeconds);

  void advance(double dt);
  const EngineState& state() const { return s_; }

 private:
  double targetSpeed() const;

  Random random_;
  double scale_;
  double o2Phase_ = 0;
  EngineState s_;
};

}  // namespace tervolin::loggen
