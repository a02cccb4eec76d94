// A whole POP3 session driven by fuzzed server bytes through an in-memory
// connection: greeting, login, counting, fetching (with deletion from the
// after-retrieve event) or the check's way (STAT, UIDL, then each listed
// message lent to a handler) and quit. Nothing may crash, loop forever or leave a
// spool file behind, and every message in the list must stay readable.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/pop3/pop3_session.h"

namespace {

using namespace pelnor;

void Require(bool condition) {
  if (!condition) std::abort();
}

// Serves the fuzzed bytes in reads of a size chosen by the input; once they
// run out the server has hung up.
class FuzzSocket final : public ClientSocket {
 public:
  FuzzSocket(std::string_view bytes, std::size_t readSize) : bytes_(bytes), readSize_(readSize) {}

  void Open() override {
    active_ = true;
    NotifyConnected();
  }
  void Close() override {
    if (!active_) return;
    active_ = false;
    NotifyDisconnected();
  }
  bool Active() const override { return active_; }
  std::unique_ptr<SocketStream> CreateStream(int) override {
    return std::make_unique<Stream>(*this);
  }

 private:
  class Stream final : public SocketStream {
   public:
    explicit Stream(FuzzSocket& socket) : socket_(socket) {}
    bool WaitForData(int) override { return true; }  // data, or the hang-up
    std::size_t Read(char* buffer, std::size_t count) override {
      const std::size_t n = std::min({count, socket_.readSize_, socket_.bytes_.size()});
      std::memcpy(buffer, socket_.bytes_.data(), n);
      socket_.bytes_.remove_prefix(n);
      return n;
    }
    std::size_t Write(const char*, std::size_t count) override { return count; }

   private:
    FuzzSocket& socket_;
  };

  std::string_view bytes_;
  std::size_t readSize_;
  bool active_ = false;
};

std::filesystem::path g_spoolDir;

// STAT and LAST, then the first header, or every message into `list`.
void FetchCounted(Pop3Session& pop, bool headersOnly, MailMessageList& list) {
  pop.CountNewMessages();
  if (headersOnly) {
    pop.RetrieveHeader(1);
    return;
  }
  const std::int32_t count = pop.RetrieveAll(list);
  Require(count == list.Count());
}

// The check's way: STAT, UIDL, then the listed messages one at a time.
void FetchListed(Pop3Session& pop, bool headersOnly) {
  pop.Stat();
  const auto listing = pop.ListUniqueIds();
  if (!listing) return;
  std::vector<std::uint32_t> numbers;
  for (const UidlEntry& entry : *listing) {
    Require(entry.Number > 0 && !entry.Uid.empty());
    numbers.push_back(entry.Number);
  }
  pop.RetrieveEach(numbers, headersOnly, [&pop](std::uint32_t, MailMessage&) {
    Require(pop.OwnedMessages() == 0);
  });
}

bool SpoolDirEmpty() {
  return std::filesystem::directory_iterator(g_spoolDir) == std::filesystem::directory_iterator();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Spool files go to a directory of our own, so leaks can be seen.
  std::string pattern = (std::filesystem::temp_directory_path() / "fuzz-pop3-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) std::abort();
  g_spoolDir = pattern;
  ::setenv("TMPDIR", pattern.c_str(), 1);
  std::atexit([] {
    std::error_code ignored;
    std::filesystem::remove_all(g_spoolDir, ignored);
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::size_t readSize = data[0] < 128 ? 1 + data[0] * 8u : 1024;
  const bool deleteEach = data[1] & 1;
  const bool headersOnly = data[1] & 2;
  const bool overlap = data[1] & 4;
  const bool listed = data[1] & 8;
  const std::string_view server(reinterpret_cast<const char*>(data + 2), size - 2);

  MailMessageList list;
  {
    Pop3Session pop(std::make_unique<FuzzSocket>(server, readSize));
    pop.Host = "127.0.0.1";
    pop.UserId = "user";
    pop.Passwd = "pass";
    // Every answer decoded on the second thread while the next is fetched.
    if (overlap) pop.OverlapDecodeFrom = 0;
    std::uint32_t next = 1;
    if (deleteEach) pop.OnAfterRetrieve = [&](Pop3Session& p) { p.DeleteMessage(next++); };
    try {
      pop.Connect();
      if (!pop.Failed() && pop.Login()) {
        if (listed)
          FetchListed(pop, headersOnly);
        else
          FetchCounted(pop, headersOnly, list);
      }
      pop.Quit();
    } catch (const std::exception&) {
      // Closed connections and the like end the session.
    }
    Require(SpoolDirEmpty());
    for (int i = 0; i < list.Count(); ++i) {
      const MailMessage& msg = list.Items(i);
      Require(msg.Headers.size() + msg.Text.size() <= size);
    }
    list.Clear();
  }
  return 0;
}
