#pragma once

// The connection layer the POP3 session talks through: a blocking TCP client
// socket and a timed stream over it. Kept abstract so that tests and the
// fuzzer can put a scripted transport in place of the network.

#include <cstddef>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

namespace pelnor {

// Raised by the connection layer for every failure of the network: look-up,
// refusal, time-out of the connect, a read or write that fails.
class ESocketError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A stream bound to an open socket. Every single read and write is bounded
// by the time-out the stream was created with.
class SocketStream {
 public:
  virtual ~SocketStream() = default;

  // True when the socket becomes readable within `timeoutMs`; a connection
  // closed by the peer counts as readable.
  virtual bool WaitForData(int timeoutMs) = 0;

  // Reads what has arrived, at most `count` bytes. 0 when nothing arrived
  // within the stream time-out or when the peer has closed the connection.
  virtual std::size_t Read(char* buffer, std::size_t count) = 0;

  // Sends the bytes; returns how many went out before the time-out.
  virtual std::size_t Write(const char* buffer, std::size_t count) = 0;
};

// A blocking IPv4 client socket. Configure it, then Open; the connected
// notification fires before Open returns, the disconnected one during Close.
class ClientSocket {
 public:
  virtual ~ClientSocket() = default;

  int Port = 0;
  std::string Address;   // dotted IPv4 address, connected to without look-up
  std::string HostName;  // used (and resolved) when Address is empty
  int ConnectTimeoutMs = 30000;

  std::function<void()> OnConnected;
  std::function<void()> OnDisconnected;
  // Called between the slices (at most 200 ms) of a connect that has to
  // wait, so the caller's user interface keeps running (the name look-up
  // before it is not sliced). An exception from it ends Open unchanged, the
  // socket left closed.
  std::function<void()> OnWaiting;

  // Connects; raises ESocketError naming the host and the reason on failure.
  virtual void Open() = 0;
  // Closes the connection if it is open; a closed socket stays usable.
  virtual void Close() = 0;
  virtual bool Active() const = 0;
  // A stream over the open connection, each read and write bounded by
  // `timeoutMs`. Raises ESocketError when the socket is not open.
  virtual std::unique_ptr<SocketStream> CreateStream(int timeoutMs) = 0;

  // The host as the user named it, for messages.
  std::string Target() const;

 protected:
  void NotifyConnected() {
    if (OnConnected) OnConnected();
  }
  void NotifyDisconnected() {
    if (OnDisconnected) OnDisconnected();
  }
};

}  // namespace pelnor
