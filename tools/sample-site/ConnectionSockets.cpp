#include "sample-site/ConnectionSockets.h"

#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <charconv>
#include <filesystem>
#include <functional>
#include <string_view>

namespace korvane::site {

namespace {

struct Endpoint {
  std::string addr;
  int port = -1;
};

bool ReadEndpoint(int fd, bool peer, Endpoint& out) {
  sockaddr_storage ss{};
  socklen_t len = sizeof ss;
  auto* sa = reinterpret_cast<sockaddr*>(&ss);
  if ((peer ? getpeername(fd, sa, &len) : getsockname(fd, sa, &len)) != 0) return false;
  if (ss.ss_family != AF_INET && ss.ss_family != AF_INET6) return false;
  char host[NI_MAXHOST];
  char serv[NI_MAXSERV];
  if (getnameinfo(sa, len, host, sizeof host, serv, sizeof serv, NI_NUMERICHOST | NI_NUMERICSERV) !=
      0) {
    return false;
  }
  out.addr = host;
  out.port = 0;
  std::from_chars(serv, serv + std::char_traits<char>::length(serv), out.port);
  return true;
}

// Calls `visit` with every open socket descriptor of this process until it returns true.
void ForEachSocket(const std::function<bool(int)>& visit) {
  std::error_code ec;
  for (std::filesystem::directory_iterator it("/proc/self/fd", ec), end; !ec && it != end;
       it.increment(ec)) {
    const std::string name = it->path().filename().string();
    int fd = -1;
    if (std::from_chars(name.data(), name.data() + name.size(), fd).ec != std::errc{}) continue;
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISSOCK(st.st_mode)) continue;
    if (visit(fd)) return;
  }
}

}  // namespace

int FindConnection(const std::string& localAddr, int localPort, const std::string& remoteAddr,
                   int remotePort) {
  int found = -1;
  ForEachSocket([&](int fd) {
    Endpoint local, remote;
    if (!ReadEndpoint(fd, false, local) || local.port != localPort || local.addr != localAddr) {
      return false;
    }
    if (!ReadEndpoint(fd, true, remote) || remote.port != remotePort ||
        remote.addr != remoteAddr) {
      return false;
    }
    found = fd;
    return true;
  });
  return found;
}

bool ResetConnection(int fd) {
  // Disconnecting a connected TCP socket with AF_UNSPEC makes the kernel send a reset, and,
  // unlike close() with a zero linger, leaves the descriptor to its owner.
  sockaddr sa{};
  sa.sa_family = AF_UNSPEC;
  return connect(fd, &sa, sizeof sa) == 0;
}

void ShutdownConnectionsOnPort(int port) {
  ForEachSocket([&](int fd) {
    Endpoint local, remote;
    if (ReadEndpoint(fd, false, local) && local.port == port && ReadEndpoint(fd, true, remote)) {
      shutdown(fd, SHUT_RDWR);
    }
    return false;
  });
}

}  // namespace korvane::site
