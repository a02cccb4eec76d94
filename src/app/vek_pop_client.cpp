#include "app/vek_pop_client.h"

#include <utility>

namespace pelnor {

TVekPopClient::TVekPopClient(std::function<void()> pump, std::string port)
    : pop_(std::make_unique<TVekPOP>()) {
  pop_->Port = std::move(port);
  pop_->OnProcessMessages = std::move(pump);
  pop_->OnQuit = [this](TClientSocket&) {
    if (OnQuit) OnQuit(*this);
  };
  pop_->OnError = [this](TVekPOP&, std::int32_t error, const std::string& msg) {
    if (OnError) OnError(*this, error, msg);
  };
  pop_->OnAfterRetrieve = [this](TVekPOP&) {
    if (OnAfterRetrieve) OnAfterRetrieve(*this);
  };
}

void TVekPopClient::SetServer(const std::string& host, const std::string& userId,
                              const std::string& passwd) {
  pop_->Host = host;
  pop_->UserId = userId;
  pop_->Passwd = passwd;
}

void TVekPopClient::Connect() { pop_->Connect(); }
bool TVekPopClient::Failed() const { return pop_->Failed(); }
bool TVekPopClient::Connected() const { return pop_->Connected(); }
bool TVekPopClient::Login() { return pop_->Login(); }
void TVekPopClient::CountNewMessages() { pop_->CountNewMessages(); }
std::uint16_t TVekPopClient::MessageCount() const { return pop_->MessageCount(); }
void TVekPopClient::RetrieveAll(TVekMsgList& list) { pop_->RetrieveAll(list); }
void TVekPopClient::DeleteMessage(std::uint16_t number) { pop_->DeleteMessage(number); }
void TVekPopClient::Quit() { pop_->Quit(); }

}  // namespace pelnor
