#include "support/http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <mutex>
#include <stdexcept>

namespace quorvel::test {
namespace {
std::mutex pathMutex;
}

HttpServer::HttpServer(int status, std::string body) : status_(status), body_(std::move(body)) {
    listenFd_ = socket(AF_INET, SOCK_STREAM, 0);
    int one = 1;
    setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    if (bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(listenFd_, 8) != 0)
        throw std::runtime_error("test HTTP server: cannot listen");
    socklen_t len = sizeof addr;
    getsockname(listenFd_, reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
    thread_ = std::thread([this] { Serve(); });
}

HttpServer::~HttpServer() {
    stop_ = true;
    thread_.join();
    close(listenFd_);
}

std::string HttpServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::string HttpServer::LastPath() const {
    std::lock_guard lock(pathMutex);
    return lastPath_;
}

void HttpServer::Serve() {
    while (!stop_) {
        pollfd pfd{listenFd_, POLLIN, 0};
        if (poll(&pfd, 1, 50) <= 0) continue;
        const int fd = accept(listenFd_, nullptr, nullptr);
        if (fd < 0) continue;
        std::string request;
        char buf[1024];
        // Read until the end of the headers (requests here carry no body).
        while (request.find("\r\n\r\n") == std::string::npos) {
            pollfd cfd{fd, POLLIN, 0};
            if (poll(&cfd, 1, 2000) <= 0) break;
            const ssize_t n = read(fd, buf, sizeof buf);
            if (n <= 0) break;
            request.append(buf, static_cast<size_t>(n));
        }
        const size_t sp1 = request.find(' ');
        const size_t sp2 = request.find(' ', sp1 + 1);
        if (sp1 != std::string::npos && sp2 != std::string::npos) {
            std::lock_guard lock(pathMutex);
            lastPath_ = request.substr(sp1 + 1, sp2 - sp1 - 1);
        }
        const std::string reason = status_ == 200 ? "OK" : "Error";
        const std::string answer = "HTTP/1.1 " + std::to_string(status_) + " " + reason +
                                   "\r\nContent-Length: " + std::to_string(body_.size()) +
                                   "\r\nConnection: close\r\n\r\n" + body_;
        size_t sent = 0;
        while (sent < answer.size()) {
            const ssize_t n = write(fd, answer.data() + sent, answer.size() - sent);
            if (n <= 0) break;
            sent += static_cast<size_t>(n);
        }
        ++requests_;
        close(fd);
    }
}

}  // namespace quorvel::test
