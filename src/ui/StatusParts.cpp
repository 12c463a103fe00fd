#include "ui/StatusParts.h"

#include <QLabel>

namespace pellorin::ui {

namespace {

struct Part {
    int width;
    const char16_t* text;
};

constexpr std::array<Part, StatusParts::kPartCount> kParts = {{
    {50, u"TOP100:"},
    {30, u"0"},
    {50, u"TOP80:"},
    {30, u"0"},
    {50, u"TOP50:"},
    {30, u"0"},
    {50, u"TOP30:"},
    {30, u"0"},
    {50, u"TOP10:"},
    {30, u"0"},
    {50, u"TOP5:"},
    {30, u"0"},
    {50, u"TOP3:"},
    {30, u"0"},
    {50, u"TOP1:"},
    {30, u"0"},
    {80, u"关键词总数"},
    {40, u"0"},
    {50, u""},
    {80, u"- BY KORRIM"},
}};

} // namespace

StatusParts::StatusParts(QWidget* parent)
    : QWidget(parent)
{
    int x = 0;
    for (int i = 0; i < kPartCount; ++i) {
        auto* part = new QLabel(QString::fromUtf16(kParts[i].text), this);
        part->setObjectName(QStringLiteral("状态条1_%1").arg(i));
        part->setGeometry(x, 0, kParts[i].width, 20);
        part->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        if (i < 18) // the last two parts have no border
            part->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        m_parts[i] = part;
        x += kParts[i].width;
    }
}

void StatusParts::SetPartText(int index, const QString& text)
{
    if (index >= 0 && index < kPartCount)
        m_parts[index]->setText(text);
}

QString StatusParts::PartText(int index) const
{
    return index >= 0 && index < kPartCount ? m_parts[index]->text() : QString();
}

} // namespace pellorin::ui
