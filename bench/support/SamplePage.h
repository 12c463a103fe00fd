#pragma once

#include <string>

namespace pellorin::bench {

// A result page of about targetBytes of UTF-8: result blocks with Chinese titles and
// abstracts in the engine's markup, with the count of results at the very end.
inline std::string SampleResultPageUtf8(std::size_t targetBytes = 1 << 20)
{
    std::string page = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>百度搜索_关键词</title></head>"
                       "<body><div id=\"content_left\">";
    for (int id = 1; page.size() < targetBytes; ++id) {
        const std::string n = std::to_string(id);
        page += "<div class=\"result c-container \" id=\"" + n +
            "\" SRCID=\"1599\" tpl=\"se_com_default\">"
            "<h3 class=\"t\"><a data-click=\"{'F':'778317EA','T':'1597724469','y':'EFBCEFFF'}\" "
            "href=\"http://www.baidu.com/link?url=Q7mFcVXy" +
            n +
            "abcdEFGH\" target=\"_blank\">"
            "企业网站建设与优化公司_专业的网络营销服务平台 - 第" +
            n +
            "条</a></h3>"
            "<div class=\"c-abstract\"><span class=\" newTimeFactor_before_abs m\">2020年8月18日&nbsp;-&nbsp;</span>"
            "我们提供关键词排名查询、网站优化、内容营销等服务，帮助企业在搜索引擎中获得更好的展示。"
            "价格实惠，服务周到，欢迎来电咨询。</div>"
            "<div class=\"f13\"><a target=\"_blank\" href=\"http://www.baidu.com/link?url=Q7mF" +
            n +
            "\" "
            "class=\"c-showurl\" style=\"text-decoration:none;\">www.example" +
            n +
            ".com/&nbsp;</a>"
            "<span class=\"c-tools\">百度快照</span></div></div>\n";
    }
    page +=
        "</div><div id=\"page\"><span class=\"nums\" style=\"margin-left:120px\">百度为您找到相关结果约100,000,000个"
        "</span></div></body></html>";
    return page;
}

} // namespace pellorin::bench
