#pragma once
// Helpers of the main window tests: a scripted open dialog, a throw-away
// program folder with a tiny profile and log, and a way to answer the modal
// dialogs that the window opens.

#include <QString>
#include <QStringList>
#include <filesystem>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>


class QWidget;

namespace tervolin::test {

// Writes `utf8` as Windows-1251 bytes, making the parent folders.
void main_writeCp1251(const std::filesystem::path& file, std::string_view utf8);

// The lines of the test log as the program shows them (without leading blanks
// and empty lines): two polling cycles of request 21 01.
QStringList main_logLines();

// A program folder with pids.ini and Formules.ini beside the "executable"
// (the profile dialog never appears) and the log "drive.log".
void main_makeLocalProfileFolder(const std::filesystem::path& dir);
// A program folder for the profile Toyota: Toyota/Formules.ini and
// pids/Toyota/powertrain/pids.ini (the external program path left empty),
// and the log "drive.log".
void main_makeToyotaFolder(const std::filesystem::path& dir);

// A graph file with two channels of request 21 01 (bytes 0 and 1) and one
// frame per pair of data bytes given.
void main_writeGraphFile(const std::filesystem::path& file, const std::vector<std::pair<int, int>>& frames);

// Runs `action` on the first modal dialog that appears (polled from the
// event loop), so that a test can answer a dialog opened by exec().
void main_whenModal(std::function<void(QWidget*)> action);

}  // namespace tervolin::test
