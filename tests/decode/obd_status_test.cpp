// Texts of the status requests of definitions without a formula code.

#include <gtest/gtest.h>

#include <string>

#include "common/text.h"
#include "decode/decode_dan.h"

namespace tervolin {
namespace {

std::string status(std::string_view request, std::string_view data, std::string_view position = "0000") {
  return DecodeDan(data, request, position, "", DecodeOptions{});
}

struct Case {
  std::string_view request, data, position, expected;
};

const std::string kLampOff = std::string("MIL не горит, ошибок нет"_w);

const Case kCases[] = {
    // Supported-PID lists: a comma after every PID, the last one included.
    {"0100", "BE 1F A8 13", "0000", "01,03,04,05,06,07,0C,0D,0E,0F,10,11,13,15,1C,1F,20,"},
    {"1300", "BE 1F A8 13", "0000", "01,03,04,05,06,07,0C,0D,0E,0F,10,11,13,15,1C,1F,20,"},
    {"0100", "00 00 00 00", "0000", ""},
    {"01A0", "80 01", "0000", "A1,B0,"},
    {"01A0", "80 01 FF FF", "0000", "A1,B0,"},  // two bytes only
    {"0120", "80 00 00 01", "0000", "21,40,"},
    {"1140", "00 00 00 01", "0000", "60,"},
    {"01C0", "00 00 00 01", "0000", "E0,"},
    {"01E0", "00 01", "0000", "F0,"},
    // Fuel system.
    {"0103", "02", "0000", "Система #1 замкнута, используестя кислородный датчик для определения состава смеси"_w},
    {"0103", "77 10", "0100", "Систма #2 замкнута, однако используется только один кислородный датчик"_w},
    {"0103", "03 11", "0000", "Нет данных, HEX 0311"_w},
    {"0103", "08", "0000", "Система #1 не замкнута из-за ошибки системы"_w},
    // Secondary air, sensors, standard, auxiliary input.
    {"0112", "04", "0000", "From the outside atmosphere or Off"},
    {"0112", "03", "0000", "Нет данных"_w},
    {"0113", "11", "0000", "Bank1/Sensor1;Bank2/Sensor1;"},
    {"0113", "00", "0000", ""},
    {"011D", "C0", "0000", "Bank4/Sensor1;Bank4/Sensor2;"},
    {"011C", "0E", "0000", ""},
    {"011C", "0D", "0000", "JOBD, EOBD and OBD-II"},
    {"011C", "05", "0000", "Не совместим с OBD"_w},
    {"011E", "01", "0000", "Активен"_w},
    {"011E", "FE", "0000", "Не активен"_w},
    // Higher PIDs.
    {"01B7", "00 00 01", "020F", "Да"_w},  // K = 28: bit 0 of C, not bit 7
    {"01B7", "00 00 80", "020F", "Нет"_w},
    {"01B8", "C8", "0000", "1.00"},      // 200 * 0.00498 = 0.996
    {"01B7", "00 C8", "0100", "77.72"},   // 200 * 0.3886
    {"01B7", "00 C8", "0200", "Нет данных"_w},
    {"01D3", "41 42 43 44 45", "0000", "ABCDE"},
    {"01F8", "80", "0000", "64"},
    {"01F8", "85", "0000", "5"},
    {"01F8", "05", "0000", "5"},
    {"01F8", "09", "0000", "1"},
    {"01F8", "08", "000B", "Да"_w},      // K = 4: position 5, bit 3
    {"01F8", "F7", "000B", "нет"_w},
    {"01F8", "08", "000F", "Нет данных"_w},
    {"01B3", "01", "0008", "Да"_w},       // K = 1: position 8, bit 0
    {"01B3", "00 00 FF", "0200", "5.00"},
    {"01B3", "00 00 00 80 00 00", "0300", "6.27"},   // 128 * 12.49 / 255 = 6.2695
    {"01B3", "00 00 00 00 FF", "0400", "19.90"},
    {"01B3", "00 00 00 00 00 66", "0500", "1.00"},
    {"01B3", "00", "0100", "Нет данных"_w},
    {"01BB", "80", "000F", "Да"_w},        // K = 8: position 1, bit 7
    {"01BB", "FF", "0100", "Да"_w},        // K = 10: position -1 reads the first character
    {"01BB", "7F", "0100", "Нет"_w},
    {"01FB", "80", "0100", "Да"_w},
    {"01D5", "64", "0000", "81.70"},
    {"01E2", "FF", "0000", "6375.00"},
    {"01E2", "00 FF", "0100", "3.98"},
    {"01E2", "FF", "0200", ""},
    {"01E3", "FF", "0000", "816.00"},
    {"01E6", "FF", "0000", "99.40"},
    {"01ED", "FF", "0000", "159.00"},
    {"01E8", "00 00 04", "020E", "Нет"_w},  // K = 27: C at position 2, bit 6
    {"01E8", "00 00 40", "020E", "Да"_w},
    {"01E8", "00 00 04", "0300", "Нет данных"_w},
    {"01EF", "00 00 00 01", "0308", "Да"_w},  // K = 31: D at position 8
    {"01EF", "FF FF FF FF", "0400", "Нет данных"_w},
    {"01F9", "00 02", "0109", "Да"_w},        // K = 12: B at position 7
    {"01E9", "01 02 03 04", "0200", "3"},
    {"01EA", "01 02 03 04", "0300", "4"},
    {"01E9", "01 02 03 04", "0108", "Нет данных"_w},
    {"01EB", "FF", "0000", "65280"},
    {"01EC", "7F", "000F", "OK"},
    {"01EC", "80", "000F", "False"},
    {"01EC", "00", "0100", "OK"},            // K = 10: position -1 reads the first character
    // 01B2: chosen by the byte index in decimal.
    {"01B2", "FF", "0000", "5.00"},
    {"01B2", "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 FF", "1400", "6.00/5.00"},
    {"01B2", "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 FF", "1500", "Нет данных"_w},
    {"01B2",
     "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 33", "1F00",
     "1.00/51"},
    // Anything else: the data without blanks.
    {"0105", "7B", "0000", "7B"},
    {"", "41 0c\t1A", "0000", "410c\t1A"},
    {"0101x", "7B", "0000", "7B"},
};

TEST(ObdStatus, TextsOfTheStatusRequests) {
  for (const Case& c : kCases)
    EXPECT_EQ(status(c.request, c.data, c.position), c.expected) << c.request << " on " << c.data << " at " << c.position;
}

TEST(ObdStatus, LampAndMonitors) {
  EXPECT_EQ(status("0101", "00 07 00 00"),
            kLampOff + std::string("Зажигание - Норма;Топливная система - Норма;Компоненты - Норма;"_w));
  EXPECT_EQ(status("0101", "83 17 00 00"),
            std::string("Лампа \"MIL\" горит, найдено 3 ошибок"_w) +
                std::string("Зажигание - Ошибка;Топливная система - Норма;Компоненты - Норма;"_w));
  // Every monitor of bytes C and D, supported and failing.
  EXPECT_EQ(status("0101", "00 00 FF FF"),
            kLampOff + std::string("Катализатор - Ошибка;Нагреватель катализатора - Ошибка;"
                                   "Evaporotive System - Ошибка;Отопление и вентиляция - Ошибка;"
                                   "A/C хладагент - Ошибка;Кислородный датчик - Ошибка;"
                                   "Нагреватель кислородника - Ошибка;Система EGR - Ошибка;"_w));
  EXPECT_EQ(status("0101", "80 F0 08"), std::string("Лампа \"MIL\" горит, найдено 0 ошибок"_w) +
                                            std::string("Отопление и вентиляция - Норма;"_w));
  EXPECT_EQ(status("0101", ""), kLampOff);  // absent bytes count as 0
}

TEST(ObdStatus, VoltageAtIndexRaisesWhenItsByteIsMissing) {
  EXPECT_THROW(status("01B2", "FF", "0100"), DecodeError);
  EXPECT_THROW(status("01B2", "ZZ", "0000"), DecodeError);
  EXPECT_THROW(status("01B2", "FF", "XX00"), DecodeError);
  EXPECT_NO_THROW(status("01B3", "", "0100"));
  // The raise happens on the status road only: a formula never raises.
  EXPECT_EQ(DecodeDan("FF", "01B2", "0100", "FT", DecodeOptions{}), "");
}

TEST(ObdStatus, CodesAreCaseSensitive) {
  EXPECT_EQ(status("01b3", "01", "0008"), "01");
  EXPECT_EQ(status("011c", "01"), "01");
}

}  // namespace
}  // namespace tervolin
