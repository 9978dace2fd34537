#include "ui/dialog_units.h"

#include <QFontMetrics>
#include <QStringList>

namespace orvanta {

namespace {

// value * numerator / denominator, rounded half away from zero.
int MulDivRound(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator : (product - half) / denominator);
}

}  // namespace

QFont DialogFont() {
    QFont font;
    font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("宋体"), QStringLiteral("Noto Sans CJK SC"),
                      QStringLiteral("Noto Sans CJK")});
    font.setPointSize(9);
    font.setWeight(QFont::Normal);
    return font;
}

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    // The average width of the 52 Latin letters, rounded, as the classic
    // dialog manager measures it.
    const int letters =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    baseX_ = (letters / 26 + 1) / 2;
    baseY_ = metrics.height();
    if (baseX_ < 1) baseX_ = 1;
    if (baseY_ < 1) baseY_ = 1;
}

DialogUnits::DialogUnits(int averageCharWidth, int charHeight)
    : baseX_(averageCharWidth < 1 ? 1 : averageCharWidth), baseY_(charHeight < 1 ? 1 : charHeight) {}

int DialogUnits::X(int units) const { return MulDivRound(units, baseX_, 4); }

int DialogUnits::Y(int units) const { return MulDivRound(units, baseY_, 8); }

QRect DialogUnits::Rect(int x, int y, int width, int height) const {
    // Convert the corners, so that adjacent controls stay adjacent.
    const int left = X(x);
    const int top = Y(y);
    return QRect(left, top, X(x + width) - left, Y(y + height) - top);
}

}  // namespace orvanta
