#include "qt/progress_dialog.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/number_format.h"
#include "qt/qt_text.h"

namespace tervolin {

ProgressDialog::ProgressDialog(QWidget* parent, const QString& title, std::function<void()> onCancel)
    : QDialog(parent), onCancel_(std::move(onCancel)) {
  setObjectName(QStringLiteral("ProgressDialog"));
  setWindowTitle(title);
  setWindowModality(Qt::ApplicationModal);

  lblTitle = new QLabel(title, this);
  lblTitle->setObjectName(QStringLiteral("lblTitle"));
  pbShare = new QProgressBar(this);
  pbShare->setObjectName(QStringLiteral("pbShare"));
  pbShare->setRange(0, 1000);
  pbShare->setValue(0);
  lblLines = new QLabel(this);
  lblLines->setObjectName(QStringLiteral("lblLines"));
  lblLines->hide();
  btnCancel = new QPushButton(QStringLiteral("Отмена"), this);
  btnCancel->setObjectName(QStringLiteral("btnCancel"));

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btnCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblTitle);
  layout->addWidget(pbShare);
  layout->addWidget(lblLines);
  layout->addLayout(buttons);
  setMinimumWidth(360);

  connect(btnCancel, &QPushButton::clicked, this, &ProgressDialog::cancel);
}

void ProgressDialog::setShare(std::uint64_t done, std::uint64_t total) {
  if (total == 0) {
    pbShare->setRange(0, 0);
    return;
  }
  pbShare->setRange(0, 1000);
  const std::uint64_t capped = done < total ? done : total;
  pbShare->setValue(static_cast<int>(static_cast<double>(capped) / static_cast<double>(total) * 1000));
}

void ProgressDialog::setStage(const QString& text) { lblTitle->setText(text); }

void ProgressDialog::setLines(std::uint64_t lines, double seconds) {
  if (lines == 0) {
    lblLines->hide();
    return;
  }
  QString text = QStringLiteral("Прочитано строк: ") + toQString(groupedIntText(static_cast<std::int64_t>(lines)));
  if (seconds > 0.05)
    text += QStringLiteral(" (") +
            toQString(groupedIntText(static_cast<std::int64_t>(static_cast<double>(lines) / seconds))) +
            QStringLiteral(" в секунду)");
  lblLines->setText(text);
  lblLines->show();
}

void ProgressDialog::cancel() {
  btnCancel->setEnabled(false);
  if (onCancel_) onCancel_();
}

void ProgressDialog::reject() { cancel(); }

void ProgressDialog::closeEvent(QCloseEvent* event) {
  event->ignore();
  cancel();
}

}  // namespace tervolin
