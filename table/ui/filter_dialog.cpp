#include "table/ui/filter_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "qt/qt_text.h"
#include "table/table_filter.h"

namespace tervolin {

Tfiltr::Tfiltr(AppState& state, UserChannel& channel, Grid& grid, QWidget* parent)
    : QDialog(parent), state_(state), channel_(channel), grid_(grid) {
  setObjectName(QStringLiteral("filtr"));
  setWindowTitle(QStringLiteral("Фильтр"));
  setModal(true);

  lbl1 = new QLabel(QStringLiteral("Параметр"), this);
  cbb1 = new QComboBox(this);
  cbb1->setObjectName(QStringLiteral("cbb1"));
  cbb1->setEditable(true);
  cbb1->setInsertPolicy(QComboBox::NoInsert);
  cbb1->setMinimumWidth(320);
  lbl2 = new QLabel(QStringLiteral("Выражение"), this);
  cbb2 = new QComboBox(this);
  cbb2->setObjectName(QStringLiteral("cbb2"));
  cbb2->setEditable(true);
  cbb2->setInsertPolicy(QComboBox::NoInsert);
  for (std::string_view op : kFilterOperators) cbb2->addItem(toQString(op));
  edt2 = new QLineEdit(this);
  edt2->setObjectName(QStringLiteral("edt2"));
  btnOK = new QPushButton(QStringLiteral("OK"), this);
  btnOK->setObjectName(QStringLiteral("btnOK"));
  btnOK->setDefault(true);
  btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
  btnCancel->setObjectName(QStringLiteral("btnCancel"));

  // Creation empties the three inputs.
  cbb1->setEditText(QString());
  cbb2->setEditText(QString());
  edt2->clear();

  auto* fields = new QGridLayout;
  fields->addWidget(lbl1, 0, 0);
  fields->addWidget(cbb1, 1, 0);
  fields->addWidget(lbl2, 0, 1);
  fields->addWidget(cbb2, 1, 1);
  fields->addWidget(edt2, 1, 2);
  fields->setColumnStretch(0, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btnOK);
  buttons->addWidget(btnCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(btnOK, &QPushButton::clicked, this, &Tfiltr::btnOKClick);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void Tfiltr::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormActivate();
}

void Tfiltr::FormActivate() {
  // The list follows the current definitions; what was typed stays.
  const QString typed = cbb1->currentText();
  cbb1->clear();
  for (const std::string& item : filterParameterItems(state_.definitions)) cbb1->addItem(toQString(item));
  cbb1->setEditText(typed);
}

void Tfiltr::btnOKClick() {
  ApplyFiltr(state_, channel_, grid_,
             {fromQString(cbb1->currentText()), fromQString(cbb2->currentText()), fromQString(edt2->text())});
  accept();
}

}  // namespace tervolin
