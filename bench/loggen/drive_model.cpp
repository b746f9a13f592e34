#include "bench/loggen/drive_model.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tervolin::loggen {
namespace {

// One leg of the drive: how long it lasts (fraction of the whole drive) and
// the speed aimed at.
struct Leg {
  double share;
  double speed;
};

// Idle while warming up, then town and road driving with stops.
constexpr std::array<Leg, 14> kLegs{{
    {0.16, 0},  {0.05, 45}, {0.06, 50}, {0.04, 0},  {0.03, 0},  {0.06, 70}, {0.10, 90},
    {0.04, 60}, {0.07, 60}, {0.05, 0},  {0.05, 0},  {0.08, 80}, {0.12, 100}, {0.05, 0},
}};

// Gears by speed: the top speed of the gear and engine rpm per km/h.
struct Gear {
  double upTo;
  double rpmPerKmh;
};
constexpr std::array<Gear, 5> kGears{{{18, 105}, {35, 62}, {55, 43}, {75, 33}, {1000, 27}}};

}  // namespace

DriveModel::DriveModel(std::uint32_t seed, double totalSeconds)
    : random_(seed), scale_(std::max(totalSeconds, 10.0)) {}

double DriveModel::targetSpeed() const {
  double t = s_.seconds / scale_;
  t -= std::floor(t);
  for (const Leg& leg : kLegs) {
    if (t < leg.share) return leg.speed;
    t -= leg.share;
  }
  return 0;
}

void DriveModel::advance(double dt) {
  EngineState& s = s_;
  s.seconds += dt;
  s.runtime += dt;

  // Speed follows the leg's target within the car's acceleration limits.
  const double target = targetSpeed();
  const double before = s.speed;
  if (target > s.speed) s.speed = std::min(target, s.speed + 3.2 * dt);
  else s.speed = std::max(target, s.speed - 4.5 * dt);
  if (s.speed > 1) s.speed = std::max(0.0, s.speed + 0.4 * random_.noise());
  const double accel = (s.speed - before) / dt;

  // Warm-up: the coolant climbs to the thermostat within the first half of
  // the log, then the fan holds it between 90 and 95 °C.
  const double warmRate = 75.0 / (0.45 * scale_);
  if (s.coolant < 89) {
    s.coolant += warmRate * dt * (0.8 + s.load / 150.0);
  } else {
    s.coolant += (s.fan ? -0.5 : 0.25) * dt * (300.0 / scale_ + 0.5);
    if (s.coolant >= 95) s.fan = true;
    if (s.coolant <= 90) s.fan = false;
  }
  s.intake = 18 + (s.coolant - 20) * 0.12 + (s.speed < 5 ? 4 : 0) + 0.3 * random_.noise();

  // Throttle and rpm: idle, acceleration, steady cruising or overrun.
  const double coldIdle = s.coolant < 60 ? (60 - s.coolant) * 10 : 0;
  const double idleRpm = 800 + coldIdle + 18 * random_.noise();
  double gearRpm = 0;
  for (const Gear& g : kGears) {
    if (s.speed <= g.upTo) {
      gearRpm = s.speed * g.rpmPerKmh;
      break;
    }
  }
  if (accel > 0.5) s.throttle = 28 + accel * 9 + 4 * random_.noise();
  else if (accel < -0.5) s.throttle = 0;
  else if (s.speed > 5) s.throttle = 9 + s.speed * 0.06 + 1.5 * random_.noise();
  else s.throttle = 0;
  s.throttle = std::clamp(s.throttle, 0.0, 99.0);
  s.rpm = std::max(idleRpm, gearRpm + (accel > 0.5 ? 250 : 0) + 25 * random_.noise());
  s.idle = s.throttle < 1 && s.speed < 3;
  s.fuelCut = accel < -0.5 && s.rpm > 1300;

  s.load = std::clamp(18 + s.throttle * 0.75 + (s.airCon ? 6 : 0) + 1.5 * random_.noise(), 0.0, 100.0);
  if (s.fuelCut) s.load = 0;
  s.map = std::clamp(31 + s.throttle * 0.7 + 1.2 * random_.noise(), 20.0, 101.0);
  s.maf = s.rpm * s.map / 9500.0;
  s.injection = s.fuelCut ? 0 : 2.3 + s.load * 0.075 + (s.coolant < 50 ? (50 - s.coolant) * 0.03 : 0);
  s.advance = s.idle ? 10 + 2 * random_.noise() : std::clamp(12 + s.rpm / 120.0 - s.throttle * 0.15, 5.0, 42.0);
  s.idleValve = s.idle ? 28 + coldIdle / 25 + (s.airCon ? 6 : 0) + 1.5 * random_.noise() : 18;
  s.idleCorrection = s.idle ? 40 * random_.noise() : 0;
  s.battery = s.rpm > 500 ? 14.05 + 0.08 * random_.noise() - (s.fan ? 0.2 : 0) : 12.4;

  // The air conditioner runs during the second half of the drive.
  const double phase = s.seconds / scale_ - std::floor(s.seconds / scale_);
  s.airCon = phase > 0.55 && phase < 0.85;

  // Mixture control: open loop while cold, at full load and on overrun;
  // closed loop makes the upstream probe switch between lean and rich.
  s.closedLoop = s.coolant > 40 && !s.fuelCut && s.throttle < 70;
  if (s.closedLoop) {
    o2Phase_ += dt * (s.idle ? 0.8 : 1.6);
    const bool rich = std::fmod(o2Phase_, 1.0) < 0.5;
    s.o2 = (rich ? 0.80 : 0.12) + 0.04 * random_.noise();
    s.shortTrim = std::clamp(s.shortTrim + (rich ? -1.2 : 1.2) + 0.5 * random_.noise(), -12.0, 12.0);
    s.longTrim = std::min(3.9, s.longTrim + 0.004 * dt);
  } else {
    s.o2 = s.fuelCut ? 0.05 + 0.01 * random_.noise() : 0.45 + 0.02 * random_.noise();
    s.shortTrim = 0;
  }
  s.o2Down = s.coolant > 60 ? 0.66 + 0.03 * random_.noise() : 0.45;
  s.monitorsDone = s.runtime > 0.6 * scale_;
  if (!s.idle && random_.chance(0.003)) ++s.misfires;
}

}  // namespace tervolin::loggen
