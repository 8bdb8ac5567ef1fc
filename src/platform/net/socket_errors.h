#pragma once

// Failures of the socket calls are reported the way the program's socket code expects them: as Winsock error numbers
// (10035 would block, 10054 reset by peer, ...), whatever the system beneath says. Each thread has its own last error.
namespace cvl::net {

// The numbers that callers test for by name.
inline constexpr int errorInterrupted = 10004;
inline constexpr int errorBadHandle = 10009;
inline constexpr int errorInvalidArgument = 10022;
inline constexpr int errorWouldBlock = 10035;
inline constexpr int errorNotASocket = 10038;
inline constexpr int errorMessageTooLong = 10040;
inline constexpr int errorAddressInUse = 10048;
inline constexpr int errorConnectionReset = 10054;
inline constexpr int errorTimedOut = 10060;
inline constexpr int errorConnectionRefused = 10061;
inline constexpr int errorHostNotFound = 11001;

// The Winsock number of a system error number (errno). A number without a Winsock counterpart is returned unchanged:
// it stays far below 10000, so it never passes for a Winsock number, and the log still shows what the system said.
int errorFromErrno(int systemError);

// The Winsock number of a failed address look-up (a getaddrinfo result; EAI_SYSTEM reads errno).
int errorFromLookup(int lookupError);

// The calling thread's last socket error, as a Winsock number; 0 before the first failure.
int lastError();
void setLastError(int error);

}  // namespace cvl::net
