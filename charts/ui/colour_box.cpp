#include "charts/ui/colour_box.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPalette>
#include <QPainter>
#include <QPixmap>
#include <QStylePainter>
#include <array>

#include "charts/graph_colours.h"
#include "qt/qt_text.h"

namespace tervolin {
namespace {

struct SystemColour {
  QPalette::ColorRole role;
  const char* name;  // UTF-8
};

// The palette's colour roles in the platform's own order.
constexpr std::array<SystemColour, 20> kSystemColours = {{
    {QPalette::WindowText, "Текст окна"},
    {QPalette::Button, "Поверхность кнопки"},
    {QPalette::Light, "Светлый край"},
    {QPalette::Midlight, "Полусветлый край"},
    {QPalette::Dark, "Темный край"},
    {QPalette::Mid, "Средний край"},
    {QPalette::Text, "Текст поля"},
    {QPalette::BrightText, "Яркий текст"},
    {QPalette::ButtonText, "Текст кнопки"},
    {QPalette::Base, "Фон поля"},
    {QPalette::Window, "Фон окна"},
    {QPalette::Shadow, "Тень"},
    {QPalette::Highlight, "Выделение"},
    {QPalette::HighlightedText, "Выделенный текст"},
    {QPalette::Link, "Ссылка"},
    {QPalette::LinkVisited, "Посещенная ссылка"},
    {QPalette::AlternateBase, "Чередующийся фон"},
    {QPalette::ToolTipBase, "Фон подсказки"},
    {QPalette::ToolTipText, "Текст подсказки"},
    {QPalette::PlaceholderText, "Текст-заполнитель"},
}};

QIcon swatch(const QColor& colour) {
  QPixmap pixmap(16, 12);
  pixmap.fill(colour);
  return QIcon(pixmap);
}

}  // namespace

ColourBox::ColourBox(QWidget* parent) : QComboBox(parent) {
  for (int i = 0; i < colourCount(); ++i) {
    const QString name = i < static_cast<int>(kPickerColours.size())
                             ? toQString(kPickerColours[static_cast<std::size_t>(i)].name)
                             : QString::fromUtf8(kSystemColours[static_cast<std::size_t>(i) - kPickerColours.size()].name);
    addItem(swatch(colourAt(i)), name);
  }
  view()->setMinimumWidth(190);
}

void ColourBox::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionComboBox option;
  initStyleOption(&option);
  option.currentText.clear();
  option.currentIcon = QIcon();
  painter.drawComplexControl(QStyle::CC_ComboBox, option);
  const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
  const QRect box = field.adjusted(2, 3, -2, -3);
  painter.fillRect(box, currentIndex() >= 0 ? colour() : palette().color(QPalette::Base));
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawRect(box.adjusted(0, 0, -1, -1));
}

int ColourBox::colourCount() { return static_cast<int>(kPickerColours.size() + kSystemColours.size()); }

QColor ColourBox::colourAt(int index) {
  if (index < 0 || index >= colourCount()) return Qt::black;
  const auto i = static_cast<std::size_t>(index);
  if (i < kPickerColours.size()) return QColor::fromRgb(kPickerColours[i].rgb);
  return QApplication::palette().color(QPalette::Active, kSystemColours[i - kPickerColours.size()].role);
}

}  // namespace tervolin
