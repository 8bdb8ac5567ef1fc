#include "platform/net/socket_errors.h"

#include <netdb.h>

#include <cerrno>

namespace cvl::net {
namespace {

thread_local int lastErrorOfThread = 0;

}  // namespace

int errorFromErrno(int systemError) {
  switch (systemError) {
    case EINTR:
      return errorInterrupted;
    case EBADF:
      return errorBadHandle;
    case EACCES:
    case EPERM:
      return 10013;
    case EFAULT:
      return 10014;
    case EINVAL:
      return errorInvalidArgument;
    case EMFILE:
    case ENFILE:
      return 10024;
    case EWOULDBLOCK:
      return errorWouldBlock;  // EAGAIN is the same number here
    case EINPROGRESS:
      return 10036;
    case EALREADY:
      return 10037;
    case ENOTSOCK:
      return errorNotASocket;
    case EDESTADDRREQ:
      return 10039;
    case EMSGSIZE:
      return errorMessageTooLong;
    case EPROTOTYPE:
      return 10041;
    case ENOPROTOOPT:
      return 10042;
    case EPROTONOSUPPORT:
      return 10043;
    case ESOCKTNOSUPPORT:
      return 10044;
    case EOPNOTSUPP:
      return 10045;  // ENOTSUP is the same number here
    case EPFNOSUPPORT:
      return 10046;
    case EAFNOSUPPORT:
      return 10047;
    case EADDRINUSE:
      return errorAddressInUse;
    case EADDRNOTAVAIL:
      return 10049;
    case ENETDOWN:
      return 10050;
    case ENETUNREACH:
      return 10051;
    case ENETRESET:
      return 10052;
    case ECONNABORTED:
      return 10053;
    // A send to a peer that has gone: Winsock reports the reset, POSIX a broken pipe.
    case ECONNRESET:
    case EPIPE:
      return errorConnectionReset;
    case ENOBUFS:
    case ENOMEM:
      return 10055;
    case EISCONN:
      return 10056;
    case ENOTCONN:
      return 10057;
    case ESHUTDOWN:
      return 10058;
    case ETOOMANYREFS:
      return 10059;
    case ETIMEDOUT:
      return errorTimedOut;
    case ECONNREFUSED:
      return errorConnectionRefused;
    case ELOOP:
      return 10062;
    case ENAMETOOLONG:
      return 10063;
    case EHOSTDOWN:
      return 10064;
    case EHOSTUNREACH:
      return 10065;
    case ENOTEMPTY:
      return 10066;
    case EUSERS:
      return 10068;
    case EDQUOT:
      return 10069;
    case ESTALE:
      return 10070;
    case EREMOTE:
      return 10071;
    default:
      return systemError;
  }
}

int errorFromLookup(int lookupError) {
  switch (lookupError) {
    case 0:
      return 0;
    case EAI_NONAME:
      return errorHostNotFound;
    case EAI_AGAIN:
      return 11002;
    case EAI_FAIL:
      return 11003;
    case EAI_NODATA:
      return 11004;
    case EAI_SERVICE:
      return 10109;  // no such service (a port text that is not a port)
    case EAI_FAMILY:
      return 10047;
    case EAI_SOCKTYPE:
      return 10044;
    case EAI_MEMORY:
      return 10055;
    case EAI_BADFLAGS:
      return errorInvalidArgument;
    case EAI_SYSTEM:
      return errorFromErrno(errno);
    default:
      return errorInvalidArgument;
  }
}

int lastError() {
  return lastErrorOfThread;
}

void setLastError(int error) {
  lastErrorOfThread = error;
}

}  // namespace cvl::net
