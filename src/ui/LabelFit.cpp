#include "ui/LabelFit.h"

#include <QFontInfo>
#include <QLabel>

namespace pellorin::ui {

namespace {

constexpr qreal kSmallestPointSize = 7.0;
constexpr qreal kPointStep = 0.5;

} // namespace

bool TextFits(const QLabel& label)
{
    if (label.text().isEmpty())
        return true;
    // The widest unbreakable piece (the whole line when not wrapping) and the height of the text
    // laid out at the label's width.
    return label.minimumSizeHint().width() <= label.width() && label.heightForWidth(label.width()) <= label.height();
}

void ShrinkLabelsToFit(QWidget& window)
{
    for (QLabel* label : window.findChildren<QLabel*>()) {
        QFont font = label->font();
        if (font.pointSizeF() <= 0) // a font given in pixels
            font.setPointSizeF(QFontInfo(font).pointSizeF());
        while (!TextFits(*label) && font.pointSizeF() - kPointStep >= kSmallestPointSize) {
            font.setPointSizeF(font.pointSizeF() - kPointStep);
            label->setFont(font);
        }
    }
}

} // namespace pellorin::ui
