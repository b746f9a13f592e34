#pragma once
// TAboutBox: the program's name and version beside a picture; a button
// switches to the version history read from readme.txt beside the
// executable, and back.

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace tervolin {

class TAboutBox : public QDialog {
  Q_OBJECT

 public:
  explicit TAboutBox(QWidget* parent = nullptr);

  QLabel* ProgramIcon;
  QLabel* Version;
  QPlainTextEdit* History;
  QPushButton* HistoryButton;
  QPushButton* OKButton;

  bool showsHistory() const;

 public slots:
  void HistoryButtonClick();

 private:
  QString readHistory() const;
};

}  // namespace tervolin
