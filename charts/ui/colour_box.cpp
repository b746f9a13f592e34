#include "charts/ui/colour_box.h"

#include <QApplication>
#include <QPalette>
#include <QPixmap>
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
}

int ColourBox::colourCount() { return static_cast<int>(kPickerColours.size() + kSystemColours.size()); }

QColor ColourBox::colourAt(int index) {
  if (index < 0 || index >= colourCount()) return Qt::black;
  const auto i = static_cast<std::size_t>(index);
  if (i < kPickerColours.size()) return QColor::fromRgb(kPickerColours[i].rgb);
  return QApplication::palette().color(QPalette::Active, kSystemColours[i - kPickerColours.size()].role);
}

}  // namespace tervolin
