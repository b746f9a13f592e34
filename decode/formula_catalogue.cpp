#include "decode/formula_catalogue.h"

#include <vector>

namespace tervolin::formula {
namespace {

// One row per code. The arithmetic is written in the order the scaling is
// defined so that floating-point results match it to the last bit; products
// of integers are exact in double.
constexpr FormulaRow kRows[] = {
    // Single-byte codes.
    {{"F1", "f1"}, Operand::A, [](double x) { return x * 100 / 255; }, 6, 2, -1, Special::None},
    {{"FT", "fT", "ft", "Ft"}, Operand::A, [](double x) { return x - 40; }, 0, 0, -1, Special::None},
    {{"FK", "fK", "fk", "Fk"}, Operand::A, [](double x) { return (x - 128) * 100 / 128; }, 8, 2, -1, Special::None},
    {{"FP", "fP", "fp", "Fp"}, Operand::A, [](double x) { return x * 3; }, 0, 0, -1, Special::None},
    {{"FZ", "fZ", "fz", "Fz"}, Operand::A, [](double x) { return x / 2 - 64; }, 6, 2, -1, Special::None},
    {{"FD", "fD", "fd", "Fd"}, Operand::A, [](double x) { return x * 0.005; }, 5, 3, -1, Special::None},
    {{"FS", "fS", "fs", "Fs"}, Operand::A, [](double x) { return (x - 128) * 100 / 128; }, 4, 2, -1, Special::UnusedAt255},
    {{"F6", "f6"}, Operand::A, [](double x) { return x * 0.78125 - 100; }, 8, 3, -1, Special::None},
    {{"F0", "f0"}, Operand::A, [](double x) { return x * 1.02 - 0.5; }, 8, 3, -1, Special::None},
    {{"X8", "x8"}, Operand::A, [](double x) { return x - 80; }, 0, 0, -1, Special::None},
    {{"X1", "x1"}, Operand::A, [](double x) { return x / 1000; }, 8, 2, -1, Special::None},
    {{"X5", "x5"}, Operand::A, [](double x) { return (x - 65) / 1.32; }, 8, 2, -1, Special::None},
    {{"XA"}, Operand::A, [](double x) { return x * 0.5625; }, 8, 2, -1, Special::None},
    {{"XB"}, Operand::A, [](double x) { return x * 209.1 / 255; }, 8, 2, -1, Special::None},
    {{"XO"}, Operand::A, [](double x) { return (x - 38) / 200; }, 8, 2, -1, Special::None},
    {{"X3", "x3"}, Operand::SA, [](double x) { return x; }, 0, 0, -1, Special::None},
    {{"XZ", "xZ", "xz", "Xz"}, Operand::SA, [](double x) { return x / 2; }, 5, 3, 1, Special::SignedFormat},
    {{"X0", "x0"}, Operand::A, [](double x) { return x / 14.4; }, 8, 2, -1, Special::None},
    {{"XD", "xD", "xd", "Xd"}, Operand::A, [](double x) { return x * 0.005 - 0.1; }, 5, 3, -1, Special::None},
    {{"X7"}, Operand::A, [](double x) { return x / 45; }, 4, 2, -1, Special::None},
    {{"X9"}, Operand::A, [](double x) { return x * 17.9 / 255; }, 5, 2, -1, Special::None},
    {{"CV"}, Operand::A, [](double x) { return x / 10; }, 8, 2, -1, Special::None},
    {{"CP"}, Operand::A, [](double x) { return x * 94 / 255 + 10.4; }, 8, 2, -1, Special::None},
    {{"C0"}, Operand::A, [](double x) { return x * 19.53; }, 8, 2, -1, Special::None},
    {{"CT"}, Operand::A, [](double x) { return x * 0.75 - 40; }, 8, 2, -1, Special::None},
    {{"CZ"}, Operand::A, [](double x) { return x * 180 / 256 - 90; }, 8, 2, -1, Special::None},
    {{"Cp"}, Operand::A, [](double x) { return x * 20; }, 0, 0, -1, Special::None},
    {{"CO"}, Operand::A, [](double x) { return x * 1128 / 256; }, 8, 2, -1, Special::None},
    {{"CA"}, Operand::A, [](double x) { return x * 0.1; }, 8, 2, -1, Special::None},
    {{"C2"}, Operand::A, [](double x) { return x * 95 / 256 + 10; }, 8, 2, -1, Special::None},
    {{"NT", "nT", "nt", "Nt"}, Operand::A, [](double x) { return x - 50; }, 0, 0, -1, Special::None},
    {{"N0", "n0"}, Operand::A, [](double x) { return x * 2; }, 0, 0, -1, Special::None},
    {{"NB", "nB", "nb", "Nb"}, Operand::A, [](double x) { return x * 0.08; }, 5, 3, -1, Special::None},
    {{"NI", "nI", "ni", "Ni"}, Operand::A, [](double x) { return 112 - x; }, 0, 0, -1, Special::None},
    {{"N1", "n1"}, Operand::A, [](double x) { return x * 0.02; }, 5, 3, -1, Special::None},
    {{"NO", "nO", "no", "No"}, Operand::A, [](double x) { return x * 0.01; }, 5, 3, -1, Special::None},
    {{"N5", "n5"}, Operand::A, [](double x) { return x * 0.5; }, 5, 3, -1, Special::None},
    {{"N4", "n4"}, Operand::A, [](double x) { return x * 12.5; }, 8, 3, -1, Special::None},
    {{"N6", "n6"}, Operand::A, [](double x) { return x * 0.04; }, 5, 3, -1, Special::None},
    {{"N7", "n7"}, Operand::A, [](double x) { return x * 0.35; }, 4, 1, -1, Special::None},
    {{"NL", "nL", "nl", "Nl"}, Operand::A, [](double x) { return x * 0.390625; }, 5, 2, -1, Special::None},
    {{"N8", "n8"}, Operand::A, [](double x) { return x * 256; }, 0, 0, -1, Special::None},
    {{"N9", "n9"}, Operand::A, [](double x) { return x * 0.5 - 64; }, 4, 1, -1, Special::None},
    {{"NA", "nA", "na", "Na"}, Operand::A, [](double x) { return x - 128; }, 0, 0, -1, Special::None},
    {{"NC", "nC", "nc", "Nc"}, Operand::A, [](double x) { return x * 10; }, 0, 0, -1, Special::None},
    {{"ND", "nD", "nd", "Nd"}, Operand::A, [](double x) { return x * 0.75 - 108; }, 5, 2, -1, Special::None},
    {{"NE", "nE", "ne", "Ne"}, Operand::A, [](double x) { return x * 0.78125; }, 8, 3, -1, Special::None},
    {{"NF", "nF", "nf", "Nf"}, Operand::A, [](double x) { return x * 32 / 255; }, 8, 3, -1, Special::None},
    {{"NG", "nG", "ng", "Ng"}, Operand::A, [](double x) { return x * 20 / 255; }, 8, 3, -1, Special::None},
    {{"NH", "nH", "nh", "Nh"}, Operand::A, [](double x) { return x * 12.8; }, 8, 3, -1, Special::None},
    {{"NN"}, Operand::A, [](double x) { return x - 32; }, 8, 1, -1, Special::None},
    {{"E4", "e4"}, Operand::A, [](double x) { return x * 32.6 / 255; }, 8, 2, -1, Special::None},
    {{"FI", "Fi"}, Operand::A, [](double x) { return x; }, 0, 0, -1, Special::None},
    {{"FH", "Fh"}, Operand::A, [](double x) { return x; }, 0, 0, -1, Special::HexText},
    {{"B8", "b8"}, Operand::A, [](double x) { return x; }, 0, 0, -1, Special::BitFlag},
    {{"V0"}, Operand::SA, [](double x) { return x / 256; }, 8, 2, 3, Special::SignedFormat},
    {{"V1"}, Operand::A, [](double x) { return x * 40; }, 0, 0, -1, Special::None},
    {{"V2"}, Operand::A, [](double x) { return (x + 128) / 256; }, 8, 2, -1, Special::None},
    {{"V3"}, Operand::A, [](double x) { return x * 0.05 + 5.2; }, 8, 2, -1, Special::None},
    {{"VA"}, Operand::A, [](double x) { return x * 5 / 256; }, 8, 2, -1, Special::None},
    {{"VB"}, Operand::A, [](double x) { return x * 0.287 * 5 / 256; }, 8, 2, -1, Special::None},
    {{"VC"}, Operand::A, [](double x) { return (x + 128) * 14.7 / 256; }, 8, 1, -1, Special::None},
    {{"VD"}, Operand::A, [](double x) { return x * 1.25 / 256; }, 8, 3, -1, Special::None},
    {{"VG"}, Operand::A, [](double x) { return x / 256 + 0.5; }, 8, 2, -1, Special::None},
    {{"VH"}, Operand::A, [](double x) { return x / 200; }, 8, 2, -1, Special::None},
    {{"VJ"}, Operand::SA, [](double x) { return x / 4096; }, 8, 2, -1, Special::None},
    {{"VK"}, Operand::A, [](double x) { return x / 256; }, 8, 2, -1, Special::None},
    {{"VQ"}, Operand::A, [](double x) { return x / 10.616; }, 8, 2, -1, Special::None},
    {{"VT"}, Operand::A, [](double x) { return x * 0.025; }, 8, 2, -1, Special::None},
    {{"bT"}, Operand::A, [](double x) { return x * 0.75 - 48; }, 8, 1, -1, Special::None},
    {{"b0"}, Operand::A, [](double x) { return x * 0.073765; }, 8, 2, -1, Special::None},
    {{"b1"}, Operand::A, [](double x) { return x * 1.25; }, 8, 1, -1, Special::None},
    {{"b5"}, Operand::A, [](double x) { return x * 0.75; }, 8, 2, -1, Special::None},
    {{"b6"}, Operand::A, [](double x) { return x / 64; }, 8, 2, -1, Special::None},
    {{"bB"}, Operand::A, [](double x) { return x / 192 - 0.2; }, 8, 3, -1, Special::None},
    {{"bM"}, Operand::A, [](double x) { return x * 100 / 256; }, 8, 2, -1, Special::None},
    {{"bL"}, Operand::A, [](double x) { return x * 6.25 / 128 - 6.25; }, 8, 3, -1, Special::None},
    {{"b2"}, Operand::SA, [](double x) { return x * 0.75; }, 8, 3, -1, Special::None},
    {{"b3"}, Operand::SA, [](double x) { return x * (-0.75); }, 8, 3, -1, Special::None},
    {{"bG"}, Operand::SA, [](double x) { return x / 100; }, 8, 3, -1, Special::None},
    {{"MC"}, Operand::SA, [](double x) { return x / 10; }, 8, 3, -1, Special::None},
    {{"bZ"}, Operand::A, [](double x) { return x / 100; }, 8, 2, -1, Special::None},
    {{"ME"}, Operand::A, [](double x) { return x / 2.55; }, 8, 2, -1, Special::None},
    {{"v0"}, Operand::A, [](double x) { return x * 5 / 256; }, 8, 3, -1, Special::None},
    {{"v1"}, Operand::A, [](double x) { return x / 20; }, 5, 2, -1, Special::None},
    {{"v2"}, Operand::A, [](double x) { return x * 0.0943; }, 4, 1, -1, Special::None},
    {{"v3"}, Operand::A, [](double x) { return 108 - x * 0.75; }, 4, 1, -1, Special::None},
    {{"v5"}, Operand::A, [](double x) { return x / 4; }, 5, 1, -1, Special::None},
    {{"v6"}, Operand::A, [](double x) { return x * 0.00443; }, 4, 2, -1, Special::None},
    {{"v9"}, Operand::A, [](double x) { return (x - 128) * 0.04902; }, 4, 1, -1, Special::None},
    {{"vA"}, Operand::A, [](double x) { return x / 128; }, 8, 2, -1, Special::None},
    {{"vB"}, Operand::A, [](double x) { return x / 0.48098; }, 8, 2, -1, Special::None},
    {{"vC"}, Operand::A, [](double x) { return x / 0.4096; }, 8, 2, -1, Special::None},
    {{"vF"}, Operand::A, [](double x) { return x / 1.635; }, 8, 2, -1, Special::None},
    {{"vH"}, Operand::A, [](double x) { return (x - 128) / 100; }, 8, 2, -1, Special::None},
    {{"vI"}, Operand::A, [](double x) { return -x / 100; }, 8, 2, -1, Special::None},
    {{"vJ"}, Operand::A, [](double x) { return -x * 24.31 / 255; }, 8, 2, -1, Special::None},
    {{"vK"}, Operand::A, [](double x) { return -x * 1.15 / 255; }, 8, 2, -1, Special::None},
    {{"vL"}, Operand::A, [](double x) { return x / 32768; }, 8, 2, -1, Special::None},
    {{"R1"}, Operand::A, [](double x) { return x * 3.7 + 103; }, 6, 2, -1, Special::None},
    {{"R2"}, Operand::A, [](double x) { return x * 0.4; }, 5, 2, -1, Special::None},
    {{"R3"}, Operand::A, [](double x) { return x * 0.00976; }, 5, 3, -1, Special::None},
    {{"R4"}, Operand::A, [](double x) { return x * 0.625 - 40; }, 5, 1, -1, Special::None},
    {{"R5"}, Operand::A, [](double x) { return x * 0.032 + 8; }, 5, 2, -1, Special::None},
    {{"R6"}, Operand::A, [](double x) { return x * 2 - 100; }, 0, 0, -1, Special::None},
    {{"R7"}, Operand::A, [](double x) { return x * 0.2; }, 5, 2, -1, Special::None},
    {{"R9"}, Operand::A, [](double x) { return x * 0.375 - 23.625; }, 5, 2, -1, Special::None},
    {{"RA"}, Operand::A, [](double x) { return x * 0.392; }, 5, 2, -1, Special::None},
    {{"RB"}, Operand::A, [](double x) { return x * (-0.375) + 1043.5; }, 5, 2, -1, Special::None},
    {{"RC"}, Operand::A, [](double x) { return x * 0.375; }, 5, 2, -1, Special::None},
    {{"RD"}, Operand::A, [](double x) { return x * 0.39216; }, 5, 2, -1, Special::None},
    {{"RI"}, Operand::A, [](double x) { return x * 16; }, 0, 0, -1, Special::None},
    {{"RE"}, Operand::SA, [](double x) { return x * 2 - 100; }, 8, 2, -1, Special::None},
    {{"RF"}, Operand::SA, [](double x) { return x * 0.39216; }, 8, 2, -1, Special::None},
    // Two-byte and four-byte codes.
    {{"FR", "fR", "fr", "Fr"}, Operand::W, [](double x) { return x / 4; }, 8, 0, -1, Special::None},
    {{"FF", "fF", "Ff"}, Operand::W, [](double x) { return x / 100; }, 6, 2, -1, Special::None},
    {{"FO", "fO", "fo", "Fo"}, Operand::W, [](double x) { return x; }, 0, 0, -1, Special::None},
    {{"X2", "x2"}, Operand::W, [](double x) { return x * 100 / 65535; }, 8, 3, -1, Special::None},
    {{"F2", "f2"}, Operand::W, [](double x) { return x * 0.079; }, 8, 3, -1, Special::None},
    {{"F3", "f3"}, Operand::W, [](double x) { return x * 10; }, 0, 0, -1, Special::None},
    {{"FV", "fV", "fv", "Fv"}, Operand::W, [](double x) { return x * 0.000122; }, 8, 3, -1, Special::None},
    {{"FL", "fL", "fl", "Fl"}, Operand::W, [](double x) { return x * 0.0000305; }, 8, 3, -1, Special::None},
    {{"F7", "f7"}, Operand::W, [](double x) { return x / 4 - 8.192; }, 8, 3, -1, Special::None},
    {{"FA", "fA", "fa", "Fa"}, Operand::W, [](double x) { return x / 256 - 128; }, 8, 3, -1, Special::None},
    {{"F4", "f4"}, Operand::W, [](double x) { return x / 10 - 40; }, 8, 3, -1, Special::None},
    {{"F8", "f8"}, Operand::W, [](double x) { return x / 1000; }, 8, 3, -1, Special::None},
    {{"F9", "f9"}, Operand::W, [](double x) { return x * 100 / 255; }, 8, 3, -1, Special::None},
    {{"XI", "xI", "xi", "Xi"}, Operand::W, [](double x) { return x / 4096; }, 8, 3, -1, Special::None},
    {{"X6", "x6"}, Operand::W, [](double x) { return x / 8; }, 8, 3, -1, Special::None},
    {{"X4", "x4"}, Operand::SW, [](double x) { return x; }, 0, 0, -1, Special::None},
    {{"XF"}, Operand::W, [](double x) { return x / 10240; }, 8, 3, -1, Special::None},
    {{"NR", "nR", "nr", "Nr"}, Operand::W, [](double x) { return x * 12.5; }, 5, 1, -1, Special::None},
    {{"N2", "n2"}, Operand::W, [](double x) { return x * 0.005; }, 8, 3, -1, Special::None},
    {{"N3", "n3"}, Operand::W, [](double x) { return x * 0.01; }, 8, 2, -1, Special::None},
    {{"DA", "dA", "da", "Da"}, Operand::W, [](double x) { return x * 0.009765625; }, 5, 2, -1, Special::None},
    {{"DV", "dV", "dv", "Dv"}, Operand::W, [](double x) { return x * 0.006103516; }, 5, 2, -1, Special::None},
    {{"CI"}, Operand::Particular, [](double x) { return x; }, 8, 3, -1, Special::ByteRatio},
    {{"V4"}, Operand::W, [](double x) { return x / 125; }, 8, 3, -1, Special::None},
    {{"V5"}, Operand::W, [](double x) { return x / 10; }, 8, 1, -1, Special::None},
    {{"V6"}, Operand::W, [](double x) { return x / 6; }, 8, 1, -1, Special::None},
    {{"V7"}, Operand::W, [](double x) { return x / 50; }, 8, 2, -1, Special::None},
    {{"V8"}, Operand::W, [](double x) { return x / 128; }, 8, 2, -1, Special::None},
    {{"F5"}, Operand::W, [](double x) { return x; }, 0, 0, -1, Special::None},
    {{"C1"}, Operand::DW, [](double x) { return x * 0.1; }, 8, 2, -1, Special::None},
    {{"bA"}, Operand::SW, [](double x) { return x * 100 / 32768; }, 8, 2, -1, Special::None},
    {{"bF"}, Operand::SW, [](double x) { return x * 3 / 64; }, 8, 1, -1, Special::None},
    {{"b4"}, Operand::W, [](double x) { return x * 0.75 / 32; }, 8, 2, -1, Special::None},
    {{"bI"}, Operand::W, [](double x) { return x / 75; }, 8, 2, -1, Special::None},
    {{"b9"}, Operand::W, [](double x) { return x / 640; }, 8, 2, -1, Special::None},
    {{"bC"}, Operand::W, [](double x) { return x / 32768; }, 8, 3, -1, Special::None},
    {{"bD"}, Operand::W, [](double x) { return x * 0.57554; }, 8, 1, -1, Special::None},
    {{"BD"}, Operand::SW, [](double x) { return x * 0.57554; }, 8, 2, -1, Special::None},
    {{"bE"}, Operand::W, [](double x) { return x * 43 / 20000; }, 8, 2, -1, Special::None},
    {{"bH"}, Operand::W, [](double x) { return x * 6.25 / 32768 - 6.25; }, 8, 3, -1, Special::None},
    {{"b7"}, Operand::W, [](double x) { return x * 0.0176; }, 8, 3, -1, Special::None},
    {{"bJ"}, Operand::W, [](double x) { return x * 1.25 / 256; }, 8, 3, -1, Special::None},
    {{"bK"}, Operand::W, [](double x) { return x * 1.25 / 16384; }, 8, 3, -1, Special::None},
    {{"bN"}, Operand::W, [](double x) { return x * 2; }, 0, 0, -1, Special::None},
    {{"VE"}, Operand::W, [](double x) { return x * 0.634 / 100; }, 8, 2, -1, Special::None},
    {{"VF"}, Operand::W, [](double x) { return x * 100 / 4096; }, 8, 2, -1, Special::None},
    {{"VL"}, Operand::W, [](double x) { return x * 0.00215; }, 8, 3, -1, Special::None},
    {{"VN"}, Operand::W, [](double x) { return x / 6; }, 8, 1, -1, Special::None},
    {{"VO"}, Operand::DW, [](double x) { return x / 2982661.6 - 2.8125; }, 10, 4, -1, Special::None},
    {{"VP"}, Operand::W, [](double x) { return x / 13107; }, 8, 3, -1, Special::None},
    {{"VR"}, Operand::W, [](double x) { return x * 1.25 / 1024; }, 8, 2, -1, Special::None},
    {{"VS"}, Operand::W, [](double x) { return x / 310.3; }, 8, 2, -1, Special::None},
    {{"VX"}, Operand::W, [](double x) { return x * 0.75 - 48; }, 8, 2, -1, Special::None},
    {{"VI"}, Operand::SW, [](double x) { return x * 0.04 / 100; }, 8, 2, -1, Special::None},
    {{"VM"}, Operand::SW, [](double x) { return x / 16384; }, 8, 3, -1, Special::None},
    {{"bO"}, Operand::W, [](double x) { return x / 41; }, 8, 3, -1, Special::None},
    {{"bP"}, Operand::W, [](double x) { return x * 0.0064; }, 8, 3, -1, Special::None},
    {{"bQ"}, Operand::W, [](double x) { return x * 3 / 128; }, 8, 2, -1, Special::None},
    {{"bR"}, Operand::W, [](double x) { return x * 0.003227; }, 8, 3, -1, Special::None},
    {{"bS"}, Operand::W, [](double x) { return x * 5 / 65536; }, 8, 3, -1, Special::None},
    {{"bX"}, Operand::W, [](double x) { return x * 0.00215; }, 8, 3, -1, Special::None},
    {{"bY"}, Operand::SW, [](double x) { return x * 100 / 256; }, 8, 2, -1, Special::None},
    {{"BQ"}, Operand::SW, [](double x) { return x * 3 / 128; }, 8, 2, -1, Special::None},
    {{"bd"}, Operand::W, [](double x) { return x * 5 / 256; }, 8, 2, -1, Special::None},
    {{"M0"}, Operand::W, [](double x) { return x / 1024; }, 8, 2, -1, Special::None},
    {{"M1"}, Operand::W, [](double x) { return x / 16; }, 8, 2, -1, Special::None},
    {{"M2"}, Operand::W, [](double x) { return x / 256; }, 8, 2, -1, Special::None},
    {{"M3"}, Operand::SW, [](double x) { return x * 2 / 16384; }, 8, 2, -1, Special::None},
    {{"M4"}, Operand::SW, [](double x) { return x * 0.75; }, 8, 2, -1, Special::None},
    {{"M5"}, Operand::W, [](double x) { return x * 5 / 1024; }, 8, 2, -1, Special::None},
    {{"M6"}, Operand::W, [](double x) { return x * 4; }, 0, 0, -1, Special::None},
    {{"M7"}, Operand::SW, [](double x) { return x / 128; }, 4, 0, -1, Special::None},
    {{"M8"}, Operand::W, [](double x) { return x / 64; }, 8, 2, -1, Special::None},
    {{"M9"}, Operand::W, [](double x) { return x * 0.5; }, 8, 2, -1, Special::None},
    {{"MA"}, Operand::SW, [](double x) { return x / 10; }, 5, 1, -1, Special::None},
    {{"MB"}, Operand::W, [](double x) { return x * 0.0001; }, 8, 2, -1, Special::None},
    {{"MD"}, Operand::SW, [](double x) { return x / 100; }, 5, 1, -1, Special::None},
    {{"v4"}, Operand::W, [](double x) { return x * 0.024; }, 8, 3, -1, Special::None},
    {{"v7"}, Operand::Particular, [](double x) { return (x - 65536) * 0.0000625; }, 8, 3, -1, Special::FarLowByte},
    {{"v8"}, Operand::W, [](double x) { return x * 0.75; }, 8, 1, -1, Special::None},
    {{"vD"}, Operand::W, [](double x) { return x / 256 - 128; }, 8, 2, -1, Special::None},
    {{"vE"}, Operand::W, [](double x) { return (x - 65536) * 0.001; }, 8, 2, -1, Special::None},
    {{"vG"}, Operand::W, [](double x) { return x / 16000; }, 8, 2, -1, Special::None},
    {{"vM"}, Operand::Particular, [](double x) { return x / 32768; }, 8, 3, -1, Special::FarLowByte},
    {{"R8"}, Operand::W, [](double x) { return x * 0.004; }, 6, 2, -1, Special::None},
    {{"RG"}, Operand::W, [](double x) { return x * 0.09765; }, 6, 2, -1, Special::None},
};

// Two-character codes of 7-bit characters index this table directly.
struct Index {
  std::vector<std::int16_t> slot = std::vector<std::int16_t>(128 * 128, -1);
  Index() {
    for (std::size_t r = 0; r < std::size(kRows); ++r)
      for (std::string_view s : kRows[r].spellings)
        if (s.size() == 2) slot[key(s)] = static_cast<std::int16_t>(r);
  }
  static std::size_t key(std::string_view s) {
    return static_cast<std::size_t>(s[0]) * 128 + static_cast<std::size_t>(s[1]);
  }
};

const Index& index() {
  static const Index instance;
  return instance;
}

}  // namespace

std::span<const FormulaRow> rows() { return kRows; }

int find(std::string_view code) {
  if (code.size() != 2) return -1;
  const auto c0 = static_cast<unsigned char>(code[0]);
  const auto c1 = static_cast<unsigned char>(code[1]);
  if (c0 >= 128 || c1 >= 128) return -1;
  return index().slot[Index::key(code)];
}

void formatValue(double value, int precision, int digits, char mark, std::string& out) {
  if (precision == 0) {
    out = intText(static_cast<std::int64_t>(value));
  } else {
    out = fixedText(value, precision, digits, mark);
  }
}

}  // namespace tervolin::formula
