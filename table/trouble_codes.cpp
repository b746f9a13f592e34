#include "table/trouble_codes.h"

#include <pugixml.hpp>

#include <array>
#include <new>

#include "common/hex.h"
#include "common/number_format.h"
#include "common/paths.h"
#include "common/text.h"
#include "logs/xml_budget.h"

namespace tervolin {
namespace {

struct ProfileGroup {
  std::string_view profile;  // upper case
  std::string_view group;
};
constexpr std::array<ProfileGroup, 2> kGroups = {{
    {"B1797V", "М 7.4"_w},
    {"B797", "M7.9.7"},
}};
constexpr std::string_view kDefaultGroup = "OBD-II";

// Encoding names whose bytes are already the program's own.
constexpr std::array<std::string_view, 3> kOwnEncodings = {"windows-1251", "cp1251", "x-cp1251"};

// The parser's description, and the byte offset (from 0) where it failed
// when there is one.
std::string failureText(const char* description, std::ptrdiff_t offset = -1) {
  std::string text = std::string("Ошибка чтения "_w) + std::string(kTroubleCodeFile) + ": " + description;
  if (offset >= 0) text += std::string(" (позиция "_w) + intText(offset) + ")";
  return text;
}

}  // namespace

std::string_view troubleCodeGroup(std::string_view profileCode) {
  const std::string upper = asciiUpper(profileCode);
  for (const ProfileGroup& g : kGroups)
    if (g.profile == upper) return g.group;
  return kDefaultGroup;
}

TroubleCodeFile TroubleCodeFile::read(const std::filesystem::path& file) {
  std::string bytes;
  if (!readWholeFile(file, bytes)) {
    TroubleCodeFile out;
    pugi::xml_parse_result missing;
    missing.status = pugi::status_file_not_found;
    out.error_ = failureText(missing.description());
    return out;
  }
  return parse(bytes);
}

TroubleCodeFile TroubleCodeFile::parse(std::string_view bytes) {
  TroubleCodeFile out;
  requireXmlDocumentFits(bytes);
  pugi::xml_document doc;
  const pugi::xml_parse_result result =
      doc.load_buffer(bytes.data(), bytes.size(), pugi::parse_default | pugi::parse_declaration);
  if (result.status == pugi::status_out_of_memory) throw std::bad_alloc();
  if (result.status == pugi::status_no_document_element) {
    out.status_ = Status::NoRoot;
    return out;
  }
  if (!result) {
    out.error_ = failureText(result.description(), result.offset);
    return out;
  }

  bool ownBytes = false;
  pugi::xml_node root;
  for (pugi::xml_node node : doc.children()) {
    if (node.type() == pugi::node_declaration) {
      const std::string declared = asciiLower(node.attribute("encoding").value());
      for (std::string_view own : kOwnEncodings) ownBytes = ownBytes || declared == own;
    } else if (node.type() == pugi::node_element) {
      root = node;
      break;
    }
  }
  if (!root) {
    out.status_ = Status::NoRoot;
    return out;
  }
  auto text = [ownBytes](const pugi::xml_attribute& a) {
    return ownBytes ? std::string(a.value()) : utf8ToCp1251(a.value());
  };
  for (pugi::xml_node group : root.children()) {
    if (group.type() != pugi::node_element) continue;
    const std::string groupName = text(group.attribute("Name"));
    bool first = true;
    for (pugi::xml_node entry : group.children()) {
      if (entry.type() != pugi::node_element) continue;
      if (first) {
        first = false;
        continue;
      }
      out.descriptions_[{groupName, text(entry.attribute("Name"))}] = text(entry.attribute("Description"));
    }
  }
  out.status_ = Status::Loaded;
  return out;
}

std::string TroubleCodeFile::describe(std::string_view group, std::string_view code) const {
  const auto it = descriptions_.find(std::pair<std::string, std::string>(group, code));
  return it == descriptions_.end() ? std::string() : it->second;
}

}  // namespace tervolin
