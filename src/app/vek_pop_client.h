#pragma once

// The check cycle's POP3 client over the real TVekPOP.

#include <functional>
#include <memory>
#include <string>

#include "app/check_ports.h"
#include "pop3/VekPOP3.h"

namespace pelnor {

class TVekPopClient : public TCheckPop {
 public:
  // `pump` lets the user interface run while the client waits (may be
  // empty). The cycle never sets the port; `port` is for test servers.
  explicit TVekPopClient(std::function<void()> pump, std::string port = "110");

  void SetServer(const std::string& host, const std::string& userId,
                 const std::string& passwd) override;
  void Connect() override;
  bool Failed() const override;
  bool Connected() const override;
  bool Login() override;
  void CountNewMessages() override;
  std::uint16_t MessageCount() const override;
  void RetrieveAll(TVekMsgList& list) override;
  void DeleteMessage(std::uint16_t number) override;
  void Quit() override;

  TVekPOP& Pop() { return *pop_; }

 private:
  std::unique_ptr<TVekPOP> pop_;
};

}  // namespace pelnor
