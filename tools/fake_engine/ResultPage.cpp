#include "fake_engine/ResultPage.h"

#include "fake_engine/FakeEngine.h"
#include "text/Utf8.h"

#include <array>
#include <cstdint>

namespace pellorin::fake {

namespace {

// FNV-1a: stable across runs and platforms, unlike std::hash, so demo pages never change.
std::uint64_t Fnv1a(std::string_view bytes, std::uint64_t hash = 0xCBF29CE484222325ull)
{
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001B3ull;
    }
    return hash;
}

std::string Hex64(std::uint64_t value)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out(16, '0');
    for (int i = 15; i >= 0; --i, value >>= 4)
        out[i] = kDigits[value & 0x0F];
    return out;
}

std::string EscapeHtml(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out.push_back(c);
        }
    }
    return out;
}

constexpr std::array<std::string_view, 4> kAbstracts = {
    "这是演示搜索引擎生成的结果摘要，内容仅供排名查询的测试使用。",
    "本页面的标题、摘要和链接都由程序生成，与任何真实网站无关。",
    "演示摘要：关键词排名监控、网站收录查询和长尾词分析的示例文字。",
    "示例文字，用来让结果块的长度接近真实页面，没有其他含义。",
};

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace

std::string BuildResultPage(const std::vector<ResultEntry>& results, std::string_view query)
{
    std::string page = "<!DOCTYPE html>\n<!--STATUS OK-->\n<html><head>"
                       "<meta http-equiv=\"content-type\" content=\"text/html;charset=utf-8\">"
                       "<title>";
    page += EscapeHtml(query);
    page += "_百度搜索</title></head>\n"
            "<body><div id=\"wrapper\"><div id=\"container\"><div id=\"content_left\">\n";
    for (std::size_t i = 0; i < results.size(); ++i) {
        const ResultEntry& entry = results[i];
        page += "<div class=\"result c-container \" id=\"" + std::to_string(i + 1) + "\" srcid=\"" + entry.srcid +
            "\" tpl=\"se_com_default\"><h3 class=\"t\"><a href=\"" + entry.href + "\" target=\"_blank\">" +
            entry.title + "</a></h3><div class=\"c-abstract\">";
        page += kAbstracts[i % kAbstracts.size()];
        page += "</div><div class=\"f13\"><a target=\"_blank\" href=\"" + entry.href + "\" class=\"c-showurl\">" +
            entry.displayUrl + "</a></div></div>\n";
    }
    page += "</div><div id=\"page\"><span class=\"nums\" style=\"margin-left:120px\">百度为您找到相关结果约" +
        std::to_string(results.size()) + "个</span></div>\n</div></div></body></html>\n";
    return page;
}

std::vector<ResultEntry> MakeLinkedEntries(
    FakeEngine& engine, const std::vector<std::string>& domains, std::size_t count, std::string_view seed)
{
    std::vector<ResultEntry> entries;
    if (domains.empty())
        return entries;
    entries.reserve(count);
    for (std::size_t k = 0; k < count; ++k) {
        const std::string& domain = domains[k % domains.size()];
        const std::string id = Hex64(Fnv1a(std::string(seed) + '\0' + domain + '\0' + std::to_string(k)));
        engine.SetLink(id, "http://www." + domain + "/landing/" + id);
        entries.push_back({.displayUrl = "www." + domain + "/",
            .href = engine.BaseUrl() + "/link?url=" + id,
            .title = "演示结果第" + std::to_string(k + 1) + "条"});
    }
    return entries;
}

const std::vector<std::string>& DemoDomains()
{
    // Reserved names only: a demo must never point at a real site.
    static const std::vector<std::string> domains = {"example.com", "example.net", "example.org", "shop.example",
        "news.example", "travel.example", "food.example", "tech.example", "health.example", "school.example",
        "car.example", "home.example", "game.example", "music.example", "bank.example", "book.example", "sport.example",
        "photo.example", "job.example", "map.example"};
    return domains;
}

std::string BuildDemoPage(FakeEngine& engine, std::string_view rawWd)
{
    constexpr std::size_t kResults = 100;
    const std::vector<std::string>& demo = DemoDomains();
    std::vector<std::string> picked;
    picked.reserve(kResults);
    const std::uint64_t keywordHash = Fnv1a(rawWd);
    for (std::size_t k = 0; k < kResults; ++k)
        picked.push_back(demo[Fnv1a(std::to_string(k), keywordHash) % demo.size()]);

    // One entry per pick: MakeLinkedEntries takes the list in turn, so entry k shows picked[k].
    return BuildResultPage(MakeLinkedEntries(engine, picked, kResults, rawWd), DisplayQuery(rawWd));
}

std::string DisplayQuery(std::string_view rawWd)
{
    std::string decoded;
    decoded.reserve(rawWd.size());
    for (std::size_t i = 0; i < rawWd.size(); ++i) {
        if (rawWd[i] == '%' && i + 2 < rawWd.size() && HexValue(rawWd[i + 1]) >= 0 && HexValue(rawWd[i + 2]) >= 0) {
            decoded.push_back(static_cast<char>(HexValue(rawWd[i + 1]) * 16 + HexValue(rawWd[i + 2])));
            i += 2;
        } else {
            decoded.push_back(rawWd[i]);
        }
    }
    return text::utf8::CountIllFormed(decoded) == 0 ? decoded : std::string(rawWd);
}

} // namespace pellorin::fake
