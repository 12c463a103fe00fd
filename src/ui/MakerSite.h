#pragma once

#include <QStringView>

#include <array>

namespace pellorin::ui {

// The maker's site, in one place for every window that links to it.
inline constexpr QStringView kMakerSite = u"https://korrim.example/";
// The page for feedback and the update notes.
inline constexpr QStringView kFeedbackPage = u"https://korrim.example/1097/";
// Shown after "如：" next to the main window's domain box.
inline constexpr QStringView kExampleDomain = u"korrim.example";

// The site-list box's text at start, one domain a line. As a GBK text the lines are joined by
// CR LF, as the box's text always is.
inline constexpr std::array<QStringView, 4> kExampleSites = {
    u"www.qq.com", u"www.163.com", u"www.sina.com.cn", u"www.sohu.com"};

} // namespace pellorin::ui
