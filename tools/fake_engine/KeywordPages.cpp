#include "fake_engine/KeywordPages.h"

#include "fake_engine/FakeEngine.h"
#include "text/GbkCodec.h"
#include "web/Encodings.h"

#include <fstream>
#include <sstream>

namespace pellorin::fake {

std::string RawWdOf(std::string_view keywordUtf8)
{
    return web::UrlEncodeUtf8(text::Utf8ToGbk(keywordUtf8, /*composeMarks=*/false), /*keepLiteral=*/true,
        /*toUtf8=*/true);
}

std::size_t LoadKeywordPages(FakeEngine& engine, const std::filesystem::path& folder)
{
    std::size_t count = 0;
    for (const auto& item : std::filesystem::directory_iterator(folder)) {
        const std::filesystem::path& path = item.path();
        if (!item.is_regular_file() || path.extension() != ".html")
            continue;
        std::ifstream file(path, std::ios::binary);
        std::ostringstream body;
        body << file.rdbuf();
        // Linux file names are bytes; the stem is the keyword's UTF-8 as the user saved it.
        engine.SetPage(RawWdOf(path.stem().string()), std::move(body).str());
        ++count;
    }
    return count;
}

} // namespace pellorin::fake
