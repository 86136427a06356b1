#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/system/clock.h"
#include "platform/system/http.h"
#include "support/http_server.h"

namespace quorvel::sys {
namespace {

TEST(Http, OnlyA200AnswerGivesABody) {
    {
        test::HttpServer server(200, "3.10\r\n");
        EXPECT_EQ(HttpGet(server.Url("/veltor303/curversion.txt")), std::optional<std::string>("3.10\r\n"));
        EXPECT_EQ(server.LastPath(), "/veltor303/curversion.txt");
    }
    {
        test::HttpServer server(404, "not here");
        EXPECT_EQ(HttpGet(server.Url("/x")), std::nullopt);
    }
    {
        test::HttpServer server(500, "");
        EXPECT_EQ(HttpGet(server.Url("/x")), std::nullopt);
    }
}

TEST(Http, NoServerFailsQuickly) {
    // Find a port nobody listens on: bind, read the port, close.
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    close(fd);
    const std::string url = "http://127.0.0.1:" + std::to_string(ntohs(addr.sin_port)) + "/x";

    UseRealClock();
    const double start = MonotonicSeconds();
    EXPECT_EQ(HttpGet(url, 2.0), std::nullopt);
    EXPECT_EQ(HttpGet("http://update.quorvel.invalid/x", 2.0), std::nullopt);
    EXPECT_LT(MonotonicSeconds() - start, 5.0);
}

}  // namespace
}  // namespace quorvel::sys
