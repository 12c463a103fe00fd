#include "query/FetchPageText.h"

#include "web/Encodings.h"

namespace pellorin::query {

Text FetchPageText(web::WebRequest& request)
{
    return web::Utf8ToAnsi(web::WebAccess(request));
}

} // namespace pellorin::query
