#pragma once

class QLabel;
class QWidget;

namespace pellorin::ui {

// Whether the label's whole text shows in its current size and font.
bool TextFits(const QLabel& label);

// Steps the font of each label under window down by half points, to no less than 7 pt, until its
// text fits. The windows keep their designed geometry, which was drawn for a 9 pt font whose
// lines are closer together than those of many desktop fonts.
void ShrinkLabelsToFit(QWidget& window);

} // namespace pellorin::ui
