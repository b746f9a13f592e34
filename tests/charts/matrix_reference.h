#pragma once
// The matrix build and fill written literally as the window's rules state
// them: the first definition found by a linear search over request code +
// position field, keys compared as texts per record, every bin's bounds
// tested and the last one holding the value kept, and every cell found by a
// walk of the whole sample list. The fast build and the one-pass fill are
// checked against it.

#include <cmath>
#include <string>
#include <vector>

#include "charts/matrix_samples.h"
#include "common/number_format.h"
#include "common/param_def.h"
#include "common/text.h"

namespace tervolin::test {

struct RefRecord {
  std::string requestCode, positionField, name, value;
};

struct RefAxis {
  double min, step, max;
};

// (max − min) / step to the nearest whole number, a half to the even one.
inline int refBinCount(const RefAxis& a) {
  const double q = (a.max - a.min) / a.step;
  const double low = std::floor(q);
  const double rest = q - low;
  if (rest > 0.5) return static_cast<int>(low) + 1;
  if (rest < 0.5) return static_cast<int>(low);
  return std::fmod(low, 2) == 0 ? static_cast<int>(low) : static_cast<int>(low) + 1;
}

inline bool refConvert(const std::string& text, char mark, double& v) {
  std::string t = text;
  if (t == std::string("Да"_w)) t = "1";
  else if (t == std::string("Нет"_w)) t = "0";
  const auto parsed = parseNumber(t, mark);
  if (!parsed) return false;
  v = *parsed;
  return true;
}

inline void refSetBin(const RefAxis& a, int n, double v, std::int32_t& bin) {
  for (int b = 0; b <= n; ++b)
    if (a.min + b * a.step - a.step / 2 <= v && v < a.min + b * a.step + a.step / 2) bin = b;
}

// Returns s; `samples` holds the list of the build before on entry.
inline std::size_t refBuild(const std::vector<RefRecord>& records, const DefinitionTable& defs, const std::string& xList,
                            const std::string& yList, const std::string& dataList, const RefAxis& ax, const RefAxis& ay,
                            char mark, std::vector<Sample>& samples) {
  const int nX = refBinCount(ax), nY = refBinCount(ay);
  if (samples.size() < 100) samples.resize(100);
  std::size_t s = 0;
  int p = 0;
  for (const RefRecord& r : records) {
    int found = -1;
    for (std::size_t d = 0; d < defs.size(); ++d) {
      if (defs[d].requestCode + defs[d].positionField == r.requestCode + r.positionField) {
        found = static_cast<int>(d);
        break;
      }
    }
    if (found < 0) continue;
    double v;
    if (!refConvert(r.value, mark, v)) continue;
    const std::string key = r.requestCode + "/" + r.positionField + " " + r.name;
    if (key == xList) {
      samples[s].x = v;
      refSetBin(ax, nX, v, samples[s].xBin);
    } else if (key == yList) {
      samples[s].y = v;
      refSetBin(ay, nY, v, samples[s].yBin);
    } else if (key == dataList) {
      samples[s].z = v;
    }
    const int c = found;
    if (c < p) s = s + 1;
    p = c;
    if (s == samples.size()) samples.resize(samples.size() + 100);
  }
  return s;
}

// The cell texts of `mode`, row by row (yb outer, xb inner): every cell by a
// walk of samples 0 … s.
inline std::vector<std::string> refFill(const std::vector<Sample>& samples, std::size_t s, int nX, int nY, int mode,
                                        char mark) {
  std::vector<std::string> texts;
  for (int yb = 0; yb <= nY; ++yb) {
    for (int xb = 0; xb <= nX; ++xb) {
      long count = 0, nonZero = 0;
      double sum = 0, largest = -65535, smallest = 65535, first = 0;
      bool firstSet = false;
      for (std::size_t i = 0; i <= s; ++i) {
        if (samples[i].xBin != xb || samples[i].yBin != yb) continue;
        const double z = samples[i].z;
        if (!firstSet) {
          first = z;
          firstSet = true;
        }
        count = count + 1;
        if (z != 0) nonZero = nonZero + 1;
        sum = sum + z;
        if (z > largest) largest = z;
        if (z < smallest) smallest = z;
      }
      std::string text;
      if (count > 0) {
        switch (mode) {
          case 0: text = fixedText(first, 18, 2, mark); break;
          case 1: text = fixedText(largest, 18, 2, mark); break;
          case 2: text = fixedText(smallest, 18, 2, mark); break;
          case 3: text = fixedText(sum / count, 18, 2, mark); break;
          case 4: text = std::to_string(count); break;
          case 5: text = std::to_string(nonZero); break;
          case 6: text = fixedText(sum, 18, 2, mark); break;
        }
      }
      texts.push_back(text);
    }
  }
  return texts;
}

}  // namespace tervolin::test
