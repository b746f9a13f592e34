#pragma once
// Long work off the GUI thread: opening a log, an export, a search, a matrix
// build. The window hands a core function to runInBackground and gets its
// end back; meanwhile the window stays drawn and the user can cancel.
//
//     const TaskEnd end = runInBackground(this, QStringLiteral("Экспорт"), channel_,
//         [&](Progress& progress, UserChannel& channel) {
//           result = exportTable(grid_, target, progress, channel);  // plain core
//         });
//     if (end == TaskEnd::Cancelled) return;  // nothing was changed
//
// - `work` runs on a worker thread. It must not touch widgets or anything
//   the GUI thread changes meanwhile; the GUI thread runs no handler of the
//   window while it waits (user input waits until the work has ended, or
//   reaches only the progress dialog), so the state the work was given stays
//   as it was.
// - When the work has not ended after kProgressDelayMs, a modal progress
//   dialog appears: `title`, the share from Progress::report, and "Отмена".
//   "Отмена" (or closing the dialog) makes Progress::cancelled() true; the
//   work then stops by throwing Cancelled.
// - The UserChannel passed to `work` hands every message and question to
//   `channel` on the GUI thread and blocks the worker until the user has
//   answered; while a box is open the progress dialog does not appear.
// - Returns Done when `work` returned, Cancelled when it threw Cancelled.
//   Any other exception (ProgramEnds, std::bad_alloc, ...) is thrown again
//   here, on the GUI thread, after the worker has ended.
// Call it on the GUI thread only.

#include <QString>
#include <functional>

#include "common/progress.h"
#include "common/user_channel.h"

class QWidget;

namespace tervolin {

inline constexpr int kProgressDelayMs = 300;

enum class TaskEnd { Done, Cancelled };

TaskEnd runInBackground(QWidget* parent, const QString& title, UserChannel& channel,
                        const std::function<void(Progress& progress, UserChannel& channel)>& work);

}  // namespace tervolin
