// Dialog units: the layout unit of the window's templates. One horizontal unit
// is a quarter of the dialog font's average character width, one vertical
// unit an eighth of its character height, so a template keeps its designed
// proportions whatever font and screen resolution the system has.
#pragma once

#include <QFont>
#include <QRect>

namespace orvanta {

// The dialog font: "宋体" (SimSun) 9 points, falling back to Noto Sans CJK SC
// so that the Chinese captions render where SimSun is not installed.
QFont DialogFont();

class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);
    // Base units from explicit metrics: average character width and height.
    DialogUnits(int averageCharWidth, int charHeight);

    int X(int units) const;  // horizontal dialog units to pixels
    int Y(int units) const;  // vertical dialog units to pixels
    QRect Rect(int x, int y, int width, int height) const;

    int BaseX() const { return baseX_; }
    int BaseY() const { return baseY_; }

private:
    int baseX_;
    int baseY_;
};

}  // namespace orvanta
