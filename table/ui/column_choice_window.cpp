#include "table/ui/column_choice_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QShowEvent>
#include <QTableWidget>
#include <QVBoxLayout>

#include "qt/qt_text.h"

namespace tervolin {
namespace {

constexpr int kKeyColumn = 0, kNameColumn = 1, kShownColumn = 2;
constexpr int kColumnWidths[] = {80, 400, 80};

}  // namespace

TForm5::TForm5(AppState& state, Registry& registry, UserChannel& channel, Grid& mainGrid, QWidget* parent)
    : QDialog(parent, Qt::Tool), state_(state), registry_(registry), channel_(channel), mainGrid_(mainGrid) {
  setObjectName(QStringLiteral("Form5"));
  setWindowTitle(QStringLiteral("Выбор отображаемых в таблице параметров"));
  setModal(true);

  s_pids = new QTableWidget(0, 3, this);
  s_pids->setObjectName(QStringLiteral("s_pids"));
  s_pids->setHorizontalHeaderLabels({QStringLiteral("Пид/байт"), QStringLiteral("Параметр"), QStringLiteral("Отображать")});
  for (int c = 0; c < 3; ++c) s_pids->setColumnWidth(c, kColumnWidths[c]);
  s_pids->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  s_pids->horizontalHeader()->setHighlightSections(false);
  s_pids->verticalHeader()->hide();
  s_pids->verticalHeader()->setDefaultSectionSize(22);
  s_pids->setEditTriggers(QAbstractItemView::NoEditTriggers);
  s_pids->setSelectionMode(QAbstractItemView::SingleSelection);

  auto button = [this](const char* name, const QString& text) {
    auto* b = new QPushButton(text, this);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
  };
  btnApply = button("btnApply", QStringLiteral("Применить"));
  btnCancel = button("btnCancel", QStringLiteral("Отменить"));
  btnInvert = button("btnInvert", QStringLiteral("Инвертировать выбор"));
  btnAll = button("btnAll", QStringLiteral("Выбрать все"));

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(btnInvert);
  buttons->addWidget(btnAll);
  buttons->addStretch();
  buttons->addWidget(btnApply);
  buttons->addWidget(btnCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(s_pids, 1);
  layout->addLayout(buttons);
  resize(600, 520);

  connect(s_pids, &QTableWidget::cellClicked, this, &TForm5::s_pidsSelectCell);
  connect(s_pids, &QTableWidget::currentCellChanged, this,
          [this](int row, int column, int, int) { s_pidsSelectCell(row, column); });
  connect(s_pids, &QTableWidget::cellDoubleClicked, this, [this](int, int) { s_pidsDblClick(); });
  connect(btnApply, &QPushButton::clicked, this, &TForm5::btnApplyClick);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(btnInvert, &QPushButton::clicked, this, &TForm5::btnInvertClick);
  connect(btnAll, &QPushButton::clicked, this, &TForm5::btnAllClick);
}

void TForm5::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormActivate();
}

void TForm5::FormActivate() {
  choice_.activate(state_, registry_);
  fill();
}

void TForm5::fill() {
  const auto& rows = choice_.rows();
  s_pids->clearContents();
  s_pids->setRowCount(static_cast<int>(rows.size()));
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    const auto& row = rows[static_cast<std::size_t>(r)];
    s_pids->setItem(r, kKeyColumn, new QTableWidgetItem(toQString(row.key)));
    s_pids->setItem(r, kNameColumn, new QTableWidgetItem(toQString(row.name)));
    s_pids->setItem(r, kShownColumn, new QTableWidgetItem(toQString(ColumnChoice::shownText(row.shown))));
  }
  s_pids->setCurrentCell(-1, -1);
}

void TForm5::showMarks() {
  const auto& rows = choice_.rows();
  for (int r = 0; r < static_cast<int>(rows.size()) && r < s_pids->rowCount(); ++r)
    if (QTableWidgetItem* item = s_pids->item(r, kShownColumn))
      item->setText(toQString(ColumnChoice::shownText(rows[static_cast<std::size_t>(r)].shown)));
}

// The window's rows are the definitions; the heading row of the choice is
// the table's header, so row r here is row r + 1 there.
void TForm5::s_pidsSelectCell(int row, int) {
  if (row >= 0) choice_.selectRow(row + 1);
}

void TForm5::s_pidsDblClick() {
  choice_.toggleSelected();
  showMarks();
}

void TForm5::btnInvertClick() {
  choice_.invert();
  showMarks();
}

void TForm5::btnAllClick() {
  choice_.selectAll();
  showMarks();
}

void TForm5::btnApplyClick() {
  choice_.apply(state_, registry_, channel_, mainGrid_);
  accept();
}

}  // namespace tervolin
