#include "support/http_server.h"

#include <fcntl.h>
#include <fmt/format.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>
#include <stdexcept>
#include <system_error>

#include "support/temp_folder.h"

namespace cvl::test {
namespace {

std::system_error lf_systemError(const char* what) {
  return {errno, std::generic_category(), what};
}

bool lf_sendAll(int connection, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t sent = ::send(connection, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent <= 0) {
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
  return true;
}

std::string_view lf_reason(int status) {
  switch (status) {
    case 200:
      return "OK";
    case 302:
      return "Found";
    case 404:
      return "Not Found";
    case 500:
      return "Internal Server Error";
    default:
      return "Status";
  }
}

// Without a length the body ends where the connection closes.
std::string lf_head(int status, std::optional<std::size_t> length, std::string_view extra = {}) {
  const auto lengthLine = length ? fmt::format("Content-Length: {}\r\n", *length) : std::string{};
  return fmt::format("HTTP/1.1 {} {}\r\n{}Connection: close\r\n{}\r\n", status, lf_reason(status), lengthLine, extra);
}

std::string lf_lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

// The value of a header of the request head, matched without regard to case; empty when absent.
std::string lf_headerValue(const std::string& head, std::string_view name) {
  const std::string lowered = lf_lower(head);
  const auto start = lowered.find(fmt::format("\r\n{}:", lf_lower(std::string{name})));
  if (start == std::string::npos) {
    return {};
  }
  auto valueStart = start + name.size() + 3;
  while (valueStart < head.size() && head[valueStart] == ' ') {
    ++valueStart;
  }
  return head.substr(valueStart, head.find("\r\n", valueStart) - valueStart);
}

}  // namespace

HttpServer::HttpServer(std::filesystem::path root) : root_(std::move(root)) {
  listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listener_ < 0) {
    throw lf_systemError("socket");
  }
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof address;
  if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(listener_, 16) != 0 ||
      ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    throw lf_systemError("bind");
  }
  port_ = ntohs(address.sin_port);
  std::array<int, 2> wake{};
  if (::pipe2(wake.data(), O_CLOEXEC) != 0) {
    throw lf_systemError("pipe2");
  }
  wakeRead_ = wake[0];
  wakeWrite_ = wake[1];
  thread_ = std::thread([this] { serve(); });
}

HttpServer::~HttpServer() {
  {
    const std::lock_guard lock{mutex_};
    stopping_ = true;
  }
  changed_.notify_all();
  const char byte = 0;
  [[maybe_unused]] const auto ignored = ::write(wakeWrite_, &byte, 1);
  thread_.join();
  ::close(listener_);
  ::close(wakeRead_);
  ::close(wakeWrite_);
}

std::string HttpServer::url(std::string_view path) const {
  return fmt::format("http://127.0.0.1:{}/{}", port_, path);
}

void HttpServer::answerStatus(const std::string& path, int status) {
  setRule(path, {Fault::status, status, {}});
}

void HttpServer::redirect(const std::string& path, const std::string& location) {
  setRule(path, {Fault::redirect, 302, location});
}

void HttpServer::cutShort(const std::string& path) {
  setRule(path, {Fault::cutShort, 200, {}});
}

void HttpServer::sendMoreThanAnnounced(const std::string& path) {
  setRule(path, {Fault::overlong, 200, {}});
}

void HttpServer::closeEarlyWithoutLength(const std::string& path) {
  setRule(path, {Fault::unannounced, 200, {}});
}

void HttpServer::answerHtmlPage(const std::string& path) {
  setRule(path, {Fault::htmlPage, 200, {}});
}

void HttpServer::stall(const std::string& path) {
  setRule(path, {Fault::stall, 200, {}});
}

void HttpServer::repair(const std::string& path) {
  const std::lock_guard lock{mutex_};
  rules_.erase(path);
}

void HttpServer::setRule(const std::string& path, const Rule& rule) {
  const std::lock_guard lock{mutex_};
  rules_[path] = rule;
}

void HttpServer::waitUntilStalled() {
  std::unique_lock lock{mutex_};
  changed_.wait(lock, [this] { return stalled_ || stopping_; });
}

std::vector<HttpServer::Request> HttpServer::requests() const {
  const std::lock_guard lock{mutex_};
  return requests_;
}

HttpServer::Rule HttpServer::ruleFor(const std::string& path) const {
  const std::lock_guard lock{mutex_};
  const auto found = rules_.find(path);
  return found == rules_.end() ? Rule{} : found->second;
}

void HttpServer::serve() {
  while (true) {
    std::array<pollfd, 2> waits{{{listener_, POLLIN, 0}, {wakeRead_, POLLIN, 0}}};
    if (::poll(waits.data(), waits.size(), -1) < 0) {
      if (errno == EINTR) {
        continue;
      }
      return;
    }
    if (waits[1].revents != 0) {
      return;
    }
    const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection >= 0) {
      answer(connection);
      ::close(connection);
    }
  }
}

void HttpServer::answer(int connection) {
  std::string head;
  std::array<char, 4096> buffer{};
  while (head.find("\r\n\r\n") == std::string::npos) {
    std::array<pollfd, 2> waits{{{connection, POLLIN, 0}, {wakeRead_, POLLIN, 0}}};
    if (::poll(waits.data(), waits.size(), -1) <= 0 || waits[1].revents != 0) {
      return;
    }
    const ssize_t received = ::recv(connection, buffer.data(), buffer.size(), 0);
    if (received <= 0) {
      return;
    }
    head.append(buffer.data(), static_cast<std::size_t>(received));
  }
  const auto pathStart = head.find(' ') + 1;
  const std::string path = head.substr(pathStart, head.find_first_of(" ?", pathStart) - pathStart);
  {
    const std::lock_guard lock{mutex_};
    requests_.push_back({path, lf_headerValue(head, "User-Agent")});
  }

  const Rule rule = ruleFor(path);
  if (rule.fault == Fault::status) {
    const std::string body = fmt::format("status {}\n", rule.status);
    lf_sendAll(connection, lf_head(rule.status, body.size()) + body);
    return;
  }
  if (rule.fault == Fault::htmlPage) {
    const std::string body = "<!DOCTYPE html>\n<html><body><h1>Site maintenance</h1></body></html>\n";
    lf_sendAll(connection, lf_head(200, body.size(), "Content-Type: text/html\r\n") + body);
    return;
  }
  if (rule.fault == Fault::redirect) {
    const std::string body = "moved elsewhere\n";
    lf_sendAll(connection, lf_head(302, body.size(), fmt::format("Location: {}\r\n", rule.location)) + body);
    return;
  }
  const auto file = root_ / std::filesystem::path{path}.relative_path();
  const auto parts = std::filesystem::path{path};
  if (std::find(parts.begin(), parts.end(), "..") != parts.end() || !std::filesystem::is_regular_file(file)) {
    const std::string body = "not found\n";
    lf_sendAll(connection, lf_head(404, body.size()) + body);
    return;
  }
  const std::string body = readFile(file);
  const std::size_t half = body.size() / 2;
  switch (rule.fault) {
    case Fault::overlong:
      lf_sendAll(connection, lf_head(200, half) + body);
      return;
    case Fault::unannounced:
      lf_sendAll(connection, lf_head(200, std::nullopt) + body.substr(0, half));
      return;
    case Fault::cutShort:
      lf_sendAll(connection, lf_head(200, body.size()) + body.substr(0, half));
      return;
    case Fault::stall: {
      lf_sendAll(connection, lf_head(200, body.size()) + body.substr(0, half));
      std::unique_lock lock{mutex_};
      stalled_ = true;
      changed_.notify_all();
      changed_.wait(lock, [this] { return stopping_; });
      return;
    }
    default:
      lf_sendAll(connection, lf_head(200, body.size()) + body);
      return;
  }
}

}  // namespace cvl::test
