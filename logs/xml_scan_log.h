#pragma once
// Reading XML scan logs: every child of the document's root element is an
// entry whose first child carries the response service ("sID") and the data
// bytes ("Data"); the data is decoded with the profile's definitions as the
// responses of a text log are.

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "common/app_state.h"
#include "common/progress.h"
#include "common/user_channel.h"

namespace tervolin {

enum class XmlReadStatus {
  Read,        // every entry read
  NoRoot,      // no root element: "Ошибка чтения XML", the record list empty
  NotParsed,   // the file is not well-formed XML: nothing was changed
  BadService,  // an "sID" that is not hex ended the reading; records so far kept
};

struct XmlReadOutcome {
  XmlReadStatus status = XmlReadStatus::Read;
  // Whether the table is built from the records afterwards.
  bool buildsTable() const { return status == XmlReadStatus::Read || status == XmlReadStatus::NoRoot; }
};

// Reads an XML scan log held in memory. The document is parsed first: when
// it is not well-formed the parser's description and byte offset are shown
// and the state is left as it was. Otherwise `loadDefinitions` (when given)
// loads the definition table, the record list is emptied (one source per
// definition, in table order) and every entry is read; k-th child of the
// root = request ordinal k. Entries without a child, or whose data element
// lacks "Data" or "sID", are skipped.
// `progress` gets the entries read; a cancel throws Cancelled.
XmlReadOutcome readXmlScanLog(std::string_view bytes, AppState& state, UserChannel& channel,
                              const std::function<void()>& loadDefinitions = {}, Progress& progress = noProgress());

// XML1Click: reads the file once and then as readXmlScanLog, loading the
// definition file currently in force (rIniF).
XmlReadOutcome XML1Click(AppState& state, UserChannel& channel, const std::filesystem::path& file,
                         Progress& progress = noProgress());

}  // namespace tervolin
