#pragma once
// Reaching under the HTTP library to the sockets of its connections, for the two things it
// offers no way to do: abort a connection with a reset, and cut every connection at shutdown.
#include <string>

namespace korvane::site {

// The descriptor of this process's connected TCP socket with the given two ends, or -1.
int FindConnection(const std::string& localAddr, int localPort, const std::string& remoteAddr,
                   int remotePort);

// Aborts the connection with a TCP reset. The descriptor stays open and owned by its owner, who
// then sees its reads and writes fail. False when the socket refused.
bool ResetConnection(int fd);

// Shuts down (without closing) every connected socket of this process whose local port is
// `port`, so that whoever is blocked reading or writing one returns at once.
void ShutdownConnectionsOnPort(int port);

}  // namespace korvane::site
