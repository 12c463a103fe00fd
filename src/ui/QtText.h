#pragma once

#include "text/GbkText.h"

#include <QString>

#include <string_view>

namespace pellorin::ui {

// The crossing between the core's GBK texts and Qt's strings, at the edge of the window.
QString ToQString(std::string_view gbk);
// What GBK cannot hold becomes "?", as a Windows control's text would.
text::Text FromQString(const QString& string);

} // namespace pellorin::ui
