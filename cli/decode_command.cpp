// tervolin-cli decode: the value text of one parameter, or of many in batch.

#include <cstdio>
#include <iostream>
#include <iterator>
#include <string>

#include "cli/command.h"
#include "common/text.h"
#include "decode/decode_batch.h"
#include "decode/decode_dan.h"

namespace tervolin::cli {
namespace {

struct Arguments {
  bool batch = false;
  bool inverse = false;
  char mark = '.';
  std::string formula, position, request, data;
  bool dataSeen = false;
};

bool readMark(std::string_view utf8, char& mark) {
  const std::string b = utf8ToCp1251(utf8);
  if (b.size() != 1) return false;
  mark = b[0];
  return true;
}

bool parse(std::span<const std::string_view> args, Arguments& a) {
  for (std::size_t k = 0; k < args.size(); ++k) {
    const std::string_view arg = args[k];
    auto value = [&](std::string& into) {
      if (k + 1 >= args.size()) return false;
      into = utf8ToCp1251(args[++k]);
      return true;
    };
    if (arg == "--batch") {
      a.batch = true;
    } else if (arg == "--inverse") {
      a.inverse = true;
    } else if (arg == "--decimal-mark") {
      if (k + 1 >= args.size() || !readMark(args[++k], a.mark)) return false;
    } else if (arg == "--formula") {
      if (!value(a.formula)) return false;
    } else if (arg == "--position") {
      if (!value(a.position)) return false;
    } else if (arg == "--request") {
      if (!value(a.request)) return false;
    } else if (arg.starts_with("--")) {
      return false;
    } else {
      if (a.dataSeen) a.data += ' ';
      a.data += utf8ToCp1251(arg);
      a.dataSeen = true;
    }
  }
  return true;
}

int run(std::span<const std::string_view> args) {
  Arguments a;
  if (!parse(args, a)) {
    std::cerr << "usage: tervolin-cli decode --batch [--decimal-mark C]\n"
                 "       tervolin-cli decode --formula FT --position 0000 [--request 0105] [--inverse]"
                 " [--decimal-mark ,] DATA\n";
    return kExitUsage;
  }
  if (a.batch) {
    const std::string input{std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>()};
    std::string output;
    output.reserve(input.size() / 2);
    decodeBatch(input, a.mark, output);
    std::fwrite(output.data(), 1, output.size(), stdout);
    std::fflush(stdout);
    return kExitOk;
  }
  try {
    const std::string value = DecodeDan(a.data, a.request, a.position, a.formula, DecodeOptions{a.inverse, a.mark});
    const std::string text = cp1251ToUtf8(value);
    std::cout.write(text.data(), static_cast<std::streamsize>(text.size())) << '\n';
    return kExitOk;
  } catch (const DecodeError&) {
    std::cout << kDecodeFailed << '\n';
    return kExitFailure;
  }
}

const Registration reg{{"decode",
                        "  decode --batch [--decimal-mark C]\n"
                        "      lines formula<TAB>position<TAB>request<TAB>inverse<TAB>data in, one value per line out\n"
                        "  decode --formula FT --position 0000 [--request 0105] [--inverse] [--decimal-mark ,] DATA",
                        &run}};

}  // namespace
}  // namespace tervolin::cli
