#pragma once
// The colour picker of the chart windows: the 20 listed colours in their
// order, then the system colours of the platform's palette. Its index is
// what the settings store keeps.

#include <QColor>
#include <QComboBox>

namespace tervolin {

class ColourBox : public QComboBox {
  Q_OBJECT
 public:
  explicit ColourBox(QWidget* parent = nullptr);

  // The colour of entry `index`; black when there is none.
  static QColor colourAt(int index);
  static int colourCount();

  QColor colour() const { return colourAt(currentIndex()); }

 protected:
  // The closed box shows the picked colour as a swatch across it; the list
  // shows every colour with its name.
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace tervolin
