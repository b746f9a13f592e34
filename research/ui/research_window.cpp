#include "research/ui/research_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "decode/formula_list.h"
#include "qt/background_task.h"
#include "qt/qt_text.h"
#include "research/formula_range.h"

namespace tervolin {
namespace {

QPushButton* button(QWidget* parent, const char* name, const QString& caption) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(name);
  b->setAutoDefault(false);
  return b;
}

QLineEdit* field(QWidget* parent, const char* name, const QString& text) {
  auto* f = new QLineEdit(text, parent);
  f->setObjectName(name);
  return f;
}

// The window's boxes: the program's own, except that a byte report (the
// search's OK box) also offers to stop the search. A formula that gives no
// number (a flag, a hex text, a code without a formula) reports every byte
// of every response, and the user must not be left clicking OK for ever.
class StoppableByteReports : public UserChannel {
 public:
  StoppableByteReports(UserChannel& boxes, QWidget* parent) : boxes_(boxes), parent_(parent) {}
  void message(std::string_view text) override { boxes_.message(text); }
  bool okBox(std::string_view text) override {
    QMessageBox box(QMessageBox::Information, QStringLiteral("Tervolin"), toQString(text), QMessageBox::Ok,
                    parent_);
    QPushButton* stop = box.addButton(QStringLiteral("Прервать поиск"), QMessageBox::RejectRole);
    box.setEscapeButton(stop);
    box.exec();
    return box.clickedButton() != stop;
  }
  bool yesNo(std::string_view text) override { return boxes_.yesNo(text); }
  void closeMainWindow() override { boxes_.closeMainWindow(); }

 private:
  UserChannel& boxes_;
  QWidget* parent_;
};

}  // namespace

TForm7::TForm7(AppState& state, UserChannel& channel, QWidget* parent)
    : QDialog(parent), state_(state), channel_(channel) {
  setObjectName("TForm7");
  setWindowTitle(QStringLiteral("Поищем значения?"));
  setModal(true);

  Formula = new QComboBox(this);
  Formula->setObjectName("Formula");
  Formula->setEditable(true);
  Formula->setInsertPolicy(QComboBox::NoInsert);
  Formula->setMaxVisibleItems(24);
  for (const std::string_view item : formulaListItems()) Formula->addItem(toQString(item));
  Formula->setCurrentIndex(-1);
  Formula->setMinimumContentsLength(60);
  Formula->installEventFilter(this);

  edtmin = field(this, "edtmin", toQString(kMinimumFieldStart));
  edtmax = field(this, "edtmax", toQString(kMaximumFieldStart));
  edtz = field(this, "edtz", QString());
  chk1 = new QCheckBox(QStringLiteral("Инверсия"), this);
  chk1->setObjectName("chk1");
  btn1 = button(this, "btn1", QStringLiteral("Поиск"));
  btn1->setDefault(true);
  btnexit = button(this, "btnexit", QStringLiteral("Выход"));
  mmo1 = new QPlainTextEdit(this);
  mmo1->setObjectName("mmo1");
  mmo1->setReadOnly(true);
  mmo1->setLineWrapMode(QPlainTextEdit::NoWrap);

  auto label = [this](const QString& text, QWidget* buddy) {
    auto* l = new QLabel(text, this);
    l->setBuddy(buddy);
    return l;
  };
  auto* inputs = new QGridLayout;
  inputs->addWidget(label(QStringLiteral("Возможная формула?"), Formula), 0, 0);
  inputs->addWidget(Formula, 0, 1, 1, 5);
  inputs->addWidget(label(QStringLiteral("Минимальное значение"), edtmin), 1, 0);
  inputs->addWidget(edtmin, 1, 1);
  inputs->addWidget(label(QStringLiteral("Максимальное значение"), edtmax), 1, 2);
  inputs->addWidget(edtmax, 1, 3);
  inputs->addWidget(chk1, 1, 4);
  inputs->setColumnStretch(5, 1);

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(label(QStringLiteral("Рез-т"), edtz));
  bottom->addWidget(edtz, 1);
  bottom->addStretch(1);
  bottom->addWidget(btn1);
  bottom->addWidget(btnexit);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(inputs);
  layout->addWidget(mmo1, 1);
  layout->addLayout(bottom);
  resize(1180, 480);

  connect(btn1, &QPushButton::clicked, this, &TForm7::btn1Click);
  connect(btnexit, &QPushButton::clicked, this, &TForm7::btnexitClick);
}

bool TForm7::eventFilter(QObject* watched, QEvent* event) {
  // Opening the drop-down takes the focus for a moment; that is no leaving.
  if (watched == Formula && event->type() == QEvent::FocusOut &&
      static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
    FormulaExit();
  return QDialog::eventFilter(watched, event);
}

void TForm7::FormulaExit() {
  const std::optional<RangeTexts> range = rangeFromFormulaText(fromQString(Formula->currentText()));
  if (!range) return;
  edtmin->setText(toQString(range->minimum));
  edtmax->setText(toQString(range->maximum));
}

SearchRequest TForm7::request() const {
  return {fromQString(Formula->currentText()), fromQString(edtmin->text()), fromQString(edtmax->text()),
          chk1->isChecked()};
}

void TForm7::showLines(const std::vector<std::string>& lines) {
  QStringList texts;
  texts.reserve(static_cast<qsizetype>(lines.size()));
  for (const std::string& line : lines) texts << toQString(line);
  mmo1->setPlainText(texts.join(QLatin1Char('\n')));
}

// Off the GUI thread: the search's boxes are answered here while it waits,
// and the result box is refilled (only when the log was read) before "Все!".
void TForm7::btn1Click() {
  const SearchRequest search = request();
  StoppableByteReports boxes(channel_, this);
  runInBackground(this, QStringLiteral("Поиск значений"), boxes, [&](Progress& progress, UserChannel& worker) {
    searchFormula(state_, search, worker, progress, [&](const std::vector<std::string>& lines) {
      QMetaObject::invokeMethod(this, [&] { showLines(lines); }, Qt::BlockingQueuedConnection);
    });
  });
}

void TForm7::btnexitClick() { close(); }

}  // namespace tervolin
