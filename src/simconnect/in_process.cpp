#include "simconnect/in_process.h"

#include <mutex>

namespace cvl::simconnect {
namespace {

std::mutex simulatorMutex;
std::shared_ptr<InProcessSimulator> currentSimulator;

class InProcessTransport : public Transport {
 public:
  InProcessTransport(std::shared_ptr<InProcessEndpoint> endpoint, std::shared_ptr<FrameQueue> inbox)
      : endpoint_(std::move(endpoint)), inbox_(std::move(inbox)) {}
  ~InProcessTransport() override { close(); }

  bool send(const Frame& frame) override {
    if (closed_ || inbox_->isClosed()) {
      return false;
    }
    endpoint_->handle(frame);
    return true;
  }

  FrameQueue::Taken receive() override { return inbox_->takeAll(); }

  void close() override {
    if (closed_) {
      return;
    }
    closed_ = true;
    inbox_->close();
    endpoint_->clientClosed();
  }

 private:
  std::shared_ptr<InProcessEndpoint> endpoint_;
  std::shared_ptr<FrameQueue> inbox_;
  bool closed_ = false;
};

}  // namespace

void useInProcessSimulator(std::shared_ptr<InProcessSimulator> simulator) {
  std::lock_guard lock(simulatorMutex);
  currentSimulator = std::move(simulator);
}

std::shared_ptr<InProcessSimulator> inProcessSimulator() {
  std::lock_guard lock(simulatorMutex);
  return currentSimulator;
}

std::unique_ptr<Transport> connectInProcess(InProcessSimulator& simulator) {
  auto inbox = std::make_shared<FrameQueue>();
  auto endpoint = simulator.accept(inbox);
  if (!endpoint) {
    return nullptr;
  }
  return std::make_unique<InProcessTransport>(std::move(endpoint), std::move(inbox));
}

}  // namespace cvl::simconnect
