#include "app/qt_file_chooser.h"

#include <QFileDialog>
#include <QFileInfo>

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

bool QtFileChooser::execute() {
  QFileDialog dialog(parent_, title);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  const QStringList filters = qtNameFilters(filter);
  if (!filters.isEmpty()) dialog.setNameFilters(filters);
  dialog.setDefaultSuffix(qtDefaultSuffix(defaultSuffix));
  if (!fileName.isEmpty()) {
    const QFileInfo previous(fileName);
    dialog.setDirectory(previous.absolutePath());
    dialog.selectFile(previous.fileName());
  } else if (!lastFolder_.isEmpty()) {
    dialog.setDirectory(lastFolder_);
  }
  if (dialog.exec() != QDialog::Accepted) return false;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty() || chosen.front().isEmpty()) return false;
  fileName = chosen.front();
  lastFolder_ = QFileInfo(fileName).absolutePath();
  return true;
}

}  // namespace tervolin
