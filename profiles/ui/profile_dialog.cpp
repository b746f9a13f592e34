#include "profiles/ui/profile_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <vector>

#include "profiles/profile_catalogue.h"
#include "profiles/ui/settings_dialog.h"
#include "qt/qt_text.h"

namespace tervolin {
namespace {

constexpr int kNodeRole = Qt::UserRole;  // index of the node in profileTree()

}  // namespace

TForm8::TForm8(AppState& state, Registry& registry, UserChannel& channel, TForm9& settings,
               QWidget* parent)
    : QDialog(parent), choice_(state, registry, channel), settings_(settings) {
  setObjectName("TForm8");
  setWindowTitle(QStringLiteral("Выбор профиля"));
  setModal(true);

  tv1 = new QTreeWidget(this);
  tv1->setObjectName("tv1");
  tv1->setHeaderHidden(true);
  tv1->setColumnCount(1);
  lbl1 = new QLabel(toQString(choice_.label()), this);
  lbl1->setObjectName("lbl1");
  btnok = new QPushButton(QStringLiteral("&OK"), this);
  btnok->setObjectName("btnok");
  btncanc = new QPushButton(QStringLiteral("&Отмена"), this);
  btncanc->setObjectName("btncanc");
  btnchoose = new QPushButton(QStringLiteral("&Выбрать"), this);
  btnchoose->setObjectName("btnchoose");
  // Enter presses OK, which takes the highlighted profile.
  for (QPushButton* b : {btncanc, btnchoose}) b->setAutoDefault(false);
  btnok->setDefault(true);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(btnchoose);
  buttons->addStretch();
  buttons->addWidget(btnok);
  buttons->addWidget(btncanc);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lbl1);
  layout->addWidget(tv1, 1);
  layout->addLayout(buttons);
  resize(380, 520);

  fillTree();

  connect(tv1, &QTreeWidget::itemDoubleClicked, this, &TForm8::tv1DblClick);
  connect(btnchoose, &QPushButton::clicked, this, &TForm8::tv1DblClick);
  connect(btnok, &QPushButton::clicked, this, &TForm8::btnokClick);
  connect(btncanc, &QPushButton::clicked, this, &TForm8::btncancClick);
}

void TForm8::fillTree() {
  // The tree is stored flat in display order with a depth per node: the
  // parent of a node is the last node one level up.
  std::vector<QTreeWidgetItem*> parents;
  const auto tree = profileTree();
  for (std::size_t i = 0; i < tree.size(); ++i) {
    const auto depth = static_cast<std::size_t>(tree[i].depth);
    QTreeWidgetItem* item = nullptr;
    if (depth == 0 || depth > parents.size())
      item = new QTreeWidgetItem(tv1);
    else
      item = new QTreeWidgetItem(parents[depth - 1]);
    item->setText(0, toQString(tree[i].text));
    item->setData(0, kNodeRole, static_cast<qulonglong>(i));
    parents.resize(std::min(depth, parents.size()));
    parents.push_back(item);
  }
}

void TForm8::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormActivate();
}

void TForm8::FormActivate() {
  programEnded_ = false;
  choice_.activate();
}

void TForm8::endProgram() {
  programEnded_ = true;
  reject();
}

void TForm8::tv1DblClick() {
  if (choice_.choose(selectedNode())) lbl1->setText(toQString(choice_.label()));
}

std::optional<std::size_t> TForm8::selectedNode() const {
  const auto selected = tv1->selectedItems();
  if (selected.isEmpty()) return std::nullopt;
  return selected.front()->data(0, kNodeRole).toULongLong();
}

void TForm8::btnokClick() {
  try {
    const bool closes = choice_.confirmHighlighted(selectedNode(), [this] { settings_.exec(); });
    lbl1->setText(toQString(choice_.label()));
    if (closes) accept();
  } catch (const ProgramEnds&) {
    endProgram();
  }
}

void TForm8::btncancClick() {
  try {
    choice_.cancel();
  } catch (const ProgramEnds&) {
    endProgram();
  }
}

}  // namespace tervolin
