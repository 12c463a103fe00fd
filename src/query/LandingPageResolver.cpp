#include "query/LandingPageResolver.h"

#include "tasks/TaskControl.h"
#include "text/Trim.h"
#include "web/Cookies.h"
#include "web/WebAccess.h"

namespace pellorin::query {

namespace {

// The value of the first header line with this name, the name compared without case.
Text ResponseHeaderValue(std::string_view rawHeaders, std::string_view name)
{
    for (const Text& line : web::SplitKeepingEmpty(rawHeaders, "\r\n")) {
        const std::size_t colon = line.find(':');
        if (colon != name.size())
            continue;
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c | 0x20) : c; };
        bool same = true;
        for (std::size_t i = 0; i < colon && same; ++i)
            same = lower(line[i]) == lower(name[i]);
        if (same)
            return text::TrimSpaces(std::string_view(line).substr(colon + 1));
    }
    return {};
}

} // namespace

Text LandingPageResolver(std::string_view link, tasks::TaskControl& control)
{
    if (!control.Delay(std::chrono::milliseconds(10)))
        return {};
    web::WebRequest request;
    request.url = Text(link);
    request.noRedirect = true;
    request.cancel = control.CancelToken();
    web::WebAccess(request);
    return ResponseHeaderValue(request.rawHeaders, "Location");
}

} // namespace pellorin::query
