#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

// A port on 127.0.0.1 that refuses every connection for as long as the
// object lives: a socket bound to it that never listens. Other programs and
// tests running meanwhile cannot take the port over.
class ClosedPort
{
public:
    // Takes `port`, or a free port for 0. Bound() says whether that worked.
    explicit ClosedPort(int port = 0)
    {
        socket = ::socket(AF_INET, SOCK_STREAM, 0);
        if (socket < 0)
            return;
        // No SO_REUSEADDR: no other socket can share the port.
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<uint16_t>(port));
        socklen_t length = sizeof address;
        if (::bind(socket, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            ::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            ::close(socket);
            socket = -1;
            return;
        }
        bound = ntohs(address.sin_port);
    }
    ~ClosedPort()
    {
        if (socket >= 0)
            ::close(socket);
    }
    ClosedPort(const ClosedPort&) = delete;
    ClosedPort& operator=(const ClosedPort&) = delete;

    bool Bound() const { return socket >= 0; }
    int Port() const { return bound; }

private:
    int socket = -1;
    int bound = 0;
};
