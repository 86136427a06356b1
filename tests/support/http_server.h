#pragma once
// A one-thread HTTP server on 127.0.0.1 with a fixed answer, for tests of code
// that fetches over HTTP. It picks a free port and stops when destroyed.

#include <atomic>
#include <string>
#include <thread>

namespace quorvel::test {

class HttpServer {
  public:
    HttpServer(int status, std::string body);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    int port() const { return port_; }
    std::string Url(const std::string& path) const;
    // The request path of the last request served.
    std::string LastPath() const;
    int Requests() const { return requests_; }

  private:
    void Serve();
    int listenFd_ = -1;
    int port_ = 0;
    int status_;
    std::string body_;
    std::string lastPath_;
    std::atomic<int> requests_{0};
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace quorvel::test
