#include "qt/qt_file_chooser.h"

#include <QFileDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QTreeView>
#include <QScreen>
#include <algorithm>

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

QSize fileDialogSize(const QScreen* screen) {
  if (!screen) return {};
  const QRect area = screen->availableGeometry();
  return {std::min(960, area.width() * 9 / 10), std::min(640, area.height() * 9 / 10)};
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
  // Large enough for the names, sizes and dates of the files at a glance.
  dialog.setViewMode(QFileDialog::Detail);
  const QSize size = fileDialogSize(parent_ ? parent_->screen() : QGuiApplication::primaryScreen());
  if (size.isValid()) dialog.resize(size);
  // Qt's own dialog: the name takes the room the size, type and date leave.
  if (auto* files = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
    QHeaderView* header = files->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
  }
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty() || chosen.front().isEmpty()) return std::nullopt;
  return pathFromQString(chosen.front());
}

}  // namespace tervolin
