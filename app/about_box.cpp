#include "app/about_box.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <string>

#include "common/paths.h"
#include "qt/qt_text.h"

namespace tervolin {
namespace {

const QString kShowHistory = QStringLiteral("История версий");
const QString kShowVersion = QStringLiteral("О программе");

// The history file is a document of ours; anything larger than this is not
// it, and is not loaded into the window.
constexpr std::size_t kMaxHistoryBytes = 1 << 20;

}  // namespace

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
  setObjectName("TAboutBox");
  setWindowTitle(QStringLiteral("О программе"));

  ProgramIcon = new QLabel(this);
  ProgramIcon->setObjectName("ProgramIcon");
  const QPixmap picture(pathToQString(executableDir() / "about.jpg"));
  if (!picture.isNull()) ProgramIcon->setPixmap(picture);
  ProgramIcon->setAlignment(Qt::AlignCenter);

  Version = new QLabel(QStringLiteral("Tervolin\nПрограмма анализа лог-файлов и графиков\nВерсия ") +
                           QStringLiteral(TERVOLIN_VERSION),
                       this);
  Version->setObjectName("Version");
  Version->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

  History = new QPlainTextEdit(this);
  History->setObjectName("History");
  History->setReadOnly(true);
  History->hide();

  HistoryButton = new QPushButton(kShowHistory, this);
  HistoryButton->setObjectName("HistoryButton");
  HistoryButton->setAutoDefault(false);
  OKButton = new QPushButton(QStringLiteral("OK"), this);
  OKButton->setObjectName("OKButton");
  OKButton->setDefault(true);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(HistoryButton);
  buttons->addStretch();
  buttons->addWidget(OKButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(ProgramIcon);
  layout->addWidget(Version, 1);
  layout->addWidget(History, 1);
  layout->addLayout(buttons);
  resize(460, 380);

  connect(HistoryButton, &QPushButton::clicked, this, &TAboutBox::HistoryButtonClick);
  connect(OKButton, &QPushButton::clicked, this, &TAboutBox::accept);
}

bool TAboutBox::showsHistory() const { return !History->isHidden(); }

QString TAboutBox::readHistory() const {
  std::string bytes;
  const auto file = executableDir() / "readme.txt";
  std::error_code ec;
  const auto size = std::filesystem::file_size(file, ec);
  if (ec || size > kMaxHistoryBytes || !readWholeFile(file, bytes)) return {};
  return toQString(bytes);
}

void TAboutBox::HistoryButtonClick() {
  const bool toHistory = !showsHistory();
  // The history is read each time it is shown, so an edited file shows at once.
  if (toHistory) History->setPlainText(readHistory());
  ProgramIcon->setVisible(!toHistory);
  Version->setVisible(!toHistory);
  History->setVisible(toHistory);
  HistoryButton->setText(toHistory ? kShowVersion : kShowHistory);
}

}  // namespace tervolin
