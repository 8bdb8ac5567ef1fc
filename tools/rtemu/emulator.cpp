#include "rtemu/emulator.h"

#include <fmt/format.h>

#include <stdexcept>
#include <string>

namespace cvl::rtemu {
namespace {

net::Address lf_address(const std::string& host, std::uint16_t port) {
  const net::Lookup lookup = net::resolveAddress(host, std::to_string(port));
  if (lookup.error != 0) {
    throw std::runtime_error(fmt::format("cannot find the host '{}', error {}", host, lookup.error));
  }
  return lookup.address;
}

std::string_view lf_trimmed(std::string_view text) {
  const std::size_t begin = text.find_first_not_of(" \t\r\n");
  if (begin == std::string_view::npos) {
    return {};
  }
  return text.substr(begin, text.find_last_not_of(" \t\r\n") - begin + 1);
}

}  // namespace

Emulator::Emulator(const Options& options, Notice notice) : notice_(std::move(notice)), startNow_(options.startNow) {
  log_ = options.log ? std::make_unique<ReceivedLog>(*options.log) : std::make_unique<ReceivedLog>();
  if (options.port) {
    LinkSettings settings{lf_address(options.tcpHost, *options.port),
                          options.reply.value_or(versionReply(options.edition, options.versionText))};
    link_ = std::make_unique<TrafficLink>(std::move(settings), *log_, notice_);
  }
  if (options.replay) {
    sender_.emplace(lf_address(options.udpHost, options.trafficPort), lf_address(options.udpHost, options.weatherPort));
    replayer_.emplace(readRecording(*options.replay), *sender_, ReplaySettings{options.speed, options.loop}, notice_);
  }
}

Emulator::~Emulator() {
  // The replay first: it may be waiting for the link.
  replayThread_ = {};
  link_.reset();
}

void Emulator::start() {
  if (link_) {
    link_->start();
  }
  if (replayer_) {
    replayThread_ = std::jthread([this](std::stop_token stop) { replay(stop); });
  }
}

bool Emulator::command(std::string_view line) {
  const std::string_view word = lf_trimmed(line);
  if (word == "quit") {
    return false;
  }
  if ((word == "drop" || word == "reconnect") && !link_) {
    notice_("there is no link (no --port)");
  } else if (word == "drop") {
    link_->drop();
  } else if (word == "reconnect") {
    link_->reconnect();
  } else if (!word.empty()) {
    notice_(fmt::format("unknown command '{}' (drop, reconnect, quit)", word));
  }
  return true;
}

void Emulator::replay(std::stop_token stop) {
  if (link_ && !startNow_ && !link_->waitForFirstConnection(stop)) {
    return;
  }
  const std::size_t sent = replayer_->run(stop);
  if (!stop.stop_requested()) {
    notice_(fmt::format("the recording has ended after {} datagrams", sent));
    finished_ = true;
  }
}

}  // namespace cvl::rtemu
