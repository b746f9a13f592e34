#include "profiles/ui/settings_dialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/text.h"
#include "profiles/settings_store.h"
#include "qt/file_chooser.h"
#include "qt/qt_text.h"

namespace tervolin {
namespace {

const QString kChooserFilter = QStringLiteral("Программа Orvik|orvik.exe|Программа Marvela|marvela.exe");
const QString kChooserTitle = QStringLiteral(
    "Укажите путь к программе Orvik или нажмите \"отмена\" если будет использоваться локальная папка");

QCheckBox* checkBox(QWidget* parent, const char* name, const QString& caption) {
  auto* box = new QCheckBox(caption, parent);
  box->setObjectName(name);
  return box;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(name);
  b->setAutoDefault(false);
  return b;
}

}  // namespace

TForm9::TForm9(AppState& state, Registry& registry, UserChannel& channel, FileChooser& chooser,
               QWidget* parent)
    : QDialog(parent), state_(state), registry_(registry), channel_(channel), chooser_(chooser) {
  setObjectName("TForm9");
  setWindowTitle(QStringLiteral("Общие настройки"));
  setModal(true);

  chk1 = checkBox(this, "chk1", QStringLiteral("Отображать только таблицу "));
  chk1->setToolTip(QStringLiteral(
      "Актуально для больших логов, т.к. режимы \"Log\" и \"Протокол\" отбирают слишком много "
      "оперативной памяти"));
  chk2 = checkBox(this, "chk2",
                  QStringLiteral("Использовать автоопределение отображаемых в таблице Пидов"));
  chk2->setToolTip(QStringLiteral(
      "Включение данного режима несколько замедляет открытие лога, но позволяет существенно "
      "экономить память и увеличивавет быстродействие в больших логах. Актуально для Toyota"));
  chk2->setChecked(true);
  chk2->setEnabled(false);
  chk3 = checkBox(this, "chk3", QStringLiteral("Отображать только графики"));
  chk4 = checkBox(this, "chk4", QStringLiteral("Использовать в качестве пути локальную папку"));
  chk4->setChecked(true);
  chk5 = checkBox(this, "chk5", QStringLiteral("Инверсия порядка следования байт в ответе"));
  chk5->setChecked(false);
  chk5->setEnabled(false);

  lbl4 = new QLabel(QStringLiteral("Путь к программе Orvik"), this);
  lbl4->setObjectName("lbl4");
  edt4 = new QLineEdit(this);
  edt4->setObjectName("edt4");
  edt4->setReadOnly(true);
  lbl4->setBuddy(edt4);
  btn3 = button(this, "btn3", QStringLiteral("...."));
  btn3->setEnabled(false);  // chk4 starts checked: the local folder is used
  btn1 = button(this, "btn1", QStringLiteral("Сохранить"));
  btn1->setDefault(true);
  btn2 = button(this, "btn2", QStringLiteral("Отмена"));
  btn4 = button(this, "btn4", QStringLiteral("Clean CRC"));

  auto* pathRow = new QHBoxLayout;
  pathRow->addWidget(edt4, 1);
  pathRow->addWidget(btn3);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(btn4);
  buttons->addStretch();
  buttons->addWidget(btn1);
  buttons->addWidget(btn2);
  auto* layout = new QVBoxLayout(this);
  for (QCheckBox* box : {chk1, chk2, chk3, chk4, chk5}) layout->addWidget(box);
  layout->addSpacing(8);
  layout->addWidget(lbl4);
  layout->addLayout(pathRow);
  layout->addSpacing(8);
  layout->addLayout(buttons);
  setMinimumWidth(520);

  connect(btn1, &QPushButton::clicked, this, &TForm9::btn1Click);
  connect(btn2, &QPushButton::clicked, this, &TForm9::btn2Click);
  connect(btn3, &QPushButton::clicked, this, &TForm9::btn3Click);
  connect(btn4, &QPushButton::clicked, this, &TForm9::btn4Click);
  connect(chk3, &QCheckBox::clicked, this, &TForm9::chk3Click);
  connect(chk4, &QCheckBox::clicked, this, &TForm9::chk4Click);
}

void TForm9::setFirstRun(bool firstRun) { btn2->setEnabled(!firstRun); }

void TForm9::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormActivate();
}

void TForm9::showPath() { edt4->setText(pathToQString(state_.orvikPath)); }

void TForm9::FormActivate() {
  switch (settings::readDialogSettings(registry_, state_)) {
    case settings::SettingsRead::NoKey:
      return;
    case settings::SettingsRead::Failed:
      channel_.message("Ошибка чтения настроек из реестра"_w);
      return;
    case settings::SettingsRead::Read:
      break;
  }
  chk1->setChecked(state_.tableOnly == 1);
  chk2->setChecked(state_.tableAutodetect == 1);
  chk3->setChecked(state_.graphsOnly == 1);
  chk4->setChecked(state_.orvikPath.empty());
  btn3->setEnabled(!chk4->isChecked());
  chk1->setEnabled(!chk3->isChecked());
  showPath();
}

void TForm9::chk3Click() { chk1->setEnabled(!chk3->isChecked()); }

void TForm9::chk4Click() { btn3->setEnabled(!chk4->isChecked()); }

void TForm9::btn3Click() {
  FileRequest request;
  request.title = kChooserTitle;
  request.filter = kChooserFilter;
  request.startFolder = state_.orvikPath;
  if (const auto picked = chooser_.choose(request)) state_.orvikPath = settings::folderWithSeparator(*picked);
  showPath();
  // The chosen folder is kept even when the dialog is then cancelled.
  if (!state_.orvikPath.empty()) settings::storeOrvikPath(registry_, state_.orvikPath);
}

void TForm9::btn1Click() {
  settings::SettingsChoice choice;
  choice.tableOnly = chk1->isChecked();
  choice.tableAutodetect = chk2->isChecked();
  choice.graphsOnly = chk3->isChecked();
  choice.useLocalFolder = chk4->isChecked();
  if (!settings::saveSettings(registry_, state_, choice))
    channel_.message("Ошибка записи настроек в реестр"_w);
  accept();
}

void TForm9::btn2Click() { reject(); }

void TForm9::btn4Click() { settings::cleanStoredGraphSettings(registry_); }

}  // namespace tervolin
