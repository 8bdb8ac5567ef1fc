#pragma once

#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace cvl::test {

// A small HTTP/1.1 file server on loopback for tests: serves the files of a folder on a free port, one connection at
// a time, each answered and closed. Paths can be told to fail in the ways a real site fails. Starts in the
// constructor, stops in the destructor.
class HttpServer {
 public:
  struct Request {
    std::string path;
    std::string userAgent;
  };

  explicit HttpServer(std::filesystem::path root);
  ~HttpServer();
  HttpServer(const HttpServer&) = delete;
  HttpServer& operator=(const HttpServer&) = delete;

  std::uint16_t port() const { return port_; }
  // "http://127.0.0.1:<port>/" followed by the path.
  std::string url(std::string_view path = "") const;

  // Answers the path (as requested, beginning with "/") with this status and a short text body.
  void answerStatus(const std::string& path, int status);
  // Answers 302 Found pointing at location, with a body of its own.
  void redirect(const std::string& path, const std::string& location);
  // Announces the file's full length but sends only its first half, then closes the connection.
  void cutShort(const std::string& path);
  // Announces half the file's length but sends all of it.
  void sendMoreThanAnnounced(const std::string& path);
  // Sends the first half of the file without announcing a length, then closes the connection.
  void closeEarlyWithoutLength(const std::string& path);
  // Answers 200 OK with an HTML page in place of the file, as a site's error page may.
  void answerHtmlPage(const std::string& path);
  // Sends the headers and the first half of the file, then holds the connection until the server stops.
  void stall(const std::string& path);
  // Serves the path's file as it is again.
  void repair(const std::string& path);
  // Blocks until a stalled answer has sent its first half.
  void waitUntilStalled();

  // The requests answered so far, oldest first.
  std::vector<Request> requests() const;

 private:
  enum class Fault { none, status, redirect, cutShort, overlong, unannounced, htmlPage, stall };
  struct Rule {
    Fault fault = Fault::none;
    int status = 200;
    std::string location;
  };

  void setRule(const std::string& path, const Rule& rule);
  void serve();
  void answer(int connection);
  Rule ruleFor(const std::string& path) const;

  std::filesystem::path root_;
  int listener_ = -1;
  int wakeRead_ = -1;
  int wakeWrite_ = -1;
  std::uint16_t port_ = 0;

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  bool stopping_ = false;
  bool stalled_ = false;
  std::map<std::string, Rule> rules_;
  std::vector<Request> requests_;
  std::thread thread_;
};

}  // namespace cvl::test
