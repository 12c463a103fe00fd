#include "ui/QtText.h"

#include "text/GbkCodec.h"

namespace pellorin::ui {

QString ToQString(std::string_view gbk)
{
    const std::u16string utf16 = text::GbkToUtf16(gbk);
    return QString::fromUtf16(utf16.data(), static_cast<qsizetype>(utf16.size()));
}

text::Text FromQString(const QString& string)
{
    return text::Utf16ToGbk(
        std::u16string_view(reinterpret_cast<const char16_t*>(string.utf16()), static_cast<std::size_t>(string.size())),
        /*composeMarks=*/false);
}

} // namespace pellorin::ui
