#include "qt/qt_file_chooser.h"

#include <QFileDialog>

#include "qt/qt_text.h"

namespace tervolin {

QStringList qtNameFilters(const QString& programFilter) {
  QStringList out;
  const QStringList parts = programFilter.split(QLatin1Char('|'));
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString masks = parts[i + 1].trimmed();
    if (masks.isEmpty()) continue;
    masks.replace(QLatin1Char(';'), QLatin1Char(' '));
    const QString description = parts[i].trimmed();
    out << (description.isEmpty() ? masks : description + QStringLiteral(" (") + masks + QLatin1Char(')'));
  }
  return out;
}

QString qtDefaultSuffix(const QString& programSuffix) {
  QString s = programSuffix.trimmed();
  if (s.startsWith(QLatin1Char('*'))) s.remove(0, 1);
  if (s.startsWith(QLatin1Char('.'))) s.remove(0, 1);
  return s;
}

std::optional<std::filesystem::path> QtFileChooser::choose(const FileRequest& request) {
  QFileDialog dialog(parent_, request.title);
  const bool save = request.mode == FileRequest::Mode::Save;
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  const QStringList filters = qtNameFilters(request.filter);
  if (!filters.isEmpty()) dialog.setNameFilters(filters);
  dialog.setDefaultSuffix(qtDefaultSuffix(request.defaultSuffix));
  if (!request.startFolder.empty()) dialog.setDirectory(pathToQString(request.startFolder));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty() || chosen.front().isEmpty()) return std::nullopt;
  return pathFromQString(chosen.front());
}

}  // namespace tervolin
