// HTTPS requests check the server's certificate.
#include "web/WebAccess.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <thread>

namespace pellorin::web {
namespace {

const std::string kCertificate = std::string(PELLORIN_TEST_DATA_DIR) + "/loopback-cert.pem";
const std::string kKey = std::string(PELLORIN_TEST_DATA_DIR) + "/loopback-key.pem";

// A loopback HTTPS server with a self-signed certificate for 127.0.0.1.
class SelfSignedServer {
public:
    SelfSignedServer()
        : m_server(kCertificate.c_str(), kKey.c_str())
    {
        m_server.Get("/page", [](const httplib::Request&, httplib::Response& response) {
            response.set_content("secure page", "text/html");
        });
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        while (!m_server.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~SelfSignedServer()
    {
        m_server.stop();
        m_thread.join();
    }
    std::string Url() const { return "https://127.0.0.1:" + std::to_string(m_port) + "/page"; }

private:
    httplib::SSLServer m_server;
    int m_port = 0;
    std::thread m_thread;
};

TEST(WebAccessHttps, RejectsAnUntrustedCertificate)
{
    SelfSignedServer server;
    WebRequest request;
    request.url = server.Url();
    EXPECT_EQ(WebAccess(request), "");
    EXPECT_EQ(request.rawHeaders, "");
    EXPECT_EQ(request.location, "");
}

TEST(WebAccessHttps, TalksToATrustedServer)
{
    SelfSignedServer server;
    WebRequest request;
    request.url = server.Url();
    request.caFile = kCertificate;
    EXPECT_EQ(WebAccess(request), "secure page");
    EXPECT_TRUE(request.rawHeaders.starts_with("HTTP/1.1 200 OK\r\n")) << request.rawHeaders;
}

} // namespace
} // namespace pellorin::web
