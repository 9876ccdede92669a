#include "platform/instance_ipc.h"

#include <fcntl.h>
#include <glib-unix.h>
#include <glib.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/system.h"

namespace platform {
namespace {

std::string instanceFolder() {
    std::string dir = runtimeDir();
    if (!dir.empty()) return dir;
    dir = tempDir() + "/nimbaro-" + std::to_string(userId());
    ::mkdir(dir.c_str(), 0700);
    return dir;
}

uint64_t fnv1a(const std::string& s) {
    uint64_t h = 1469598103934665603ull;
    for (unsigned char c : s) {
        h ^= c;
        h *= 1099511628211ull;
    }
    return h;
}

// Abstract socket address: unique per user, instance folder and name.
socklen_t ipcAddress(const std::string& name, sockaddr_un& addr) {
    std::memset(&addr, 0, sizeof addr);
    addr.sun_family = AF_UNIX;
    char hash[17];
    std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(fnv1a(instanceFolder())));
    std::string key = "nimbaro-ipc/" + std::to_string(userId()) + "/" + hash + "/" + name;
    size_t room = sizeof(addr.sun_path) - 1;
    if (key.size() > room) key.resize(room);
    std::memcpy(addr.sun_path + 1, key.data(), key.size());  // leading NUL: abstract namespace
    return socklen_t(offsetof(sockaddr_un, sun_path) + 1 + key.size());
}

struct Wire {
    uint32_t message;
    uint32_t pad;
    uint64_t wParam;
    int64_t lParam;
};

}  // namespace

NamedLockResult createNamedLock(const std::string& name) {
    NamedLockResult r;
    std::string path = instanceFolder() + "/" + name + ".lock";
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        r.error = errno;
        return r;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        int err = errno;
        ::close(fd);
        if (err == EWOULDBLOCK)
            r.alreadyHeld = true;
        else
            r.error = err;
        return r;
    }
    r.handle = fd;
    return r;
}

void closeNamedLock(int handle) {
    if (handle >= 0) ::close(handle);
}

struct IpcReceiver::Impl {
    int fd = -1;
    guint watch = 0;
    std::function<void(const IpcMessage&)> onMessage;
};

static gboolean onReadable(gint fd, GIOCondition, gpointer data) {
    auto* self = static_cast<std::function<void(const IpcMessage&)>*>(data);
    for (;;) {
        Wire wire{};
        char control[CMSG_SPACE(sizeof(ucred))];
        iovec iov{&wire, sizeof wire};
        msghdr msg{};
        msg.msg_iov = &iov;
        msg.msg_iovlen = 1;
        msg.msg_control = control;
        msg.msg_controllen = sizeof control;
        ssize_t n = ::recvmsg(fd, &msg, MSG_DONTWAIT);
        if (n < 0) break;
        if (n != ssize_t(sizeof wire)) continue;
        bool sameUser = false;
        for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c; c = CMSG_NXTHDR(&msg, c)) {
            if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_CREDENTIALS) {
                ucred cred{};
                std::memcpy(&cred, CMSG_DATA(c), sizeof cred);
                sameUser = cred.uid == ::getuid();
            }
        }
        if (!sameUser) continue;  // another user's process may not drive this window
        IpcMessage m;
        m.message = wire.message;
        m.wParam = wire.wParam;
        m.lParam = wire.lParam;
        if (*self) (*self)(m);
    }
    return G_SOURCE_CONTINUE;
}

std::unique_ptr<IpcReceiver> IpcReceiver::create(const std::string& name,
                                                 std::function<void(const IpcMessage&)> onMessage, int* error) {
    int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        if (error) *error = errno;
        return nullptr;
    }
    int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_PASSCRED, &on, sizeof on);
    sockaddr_un addr;
    socklen_t len = ipcAddress(name, addr);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), len) != 0) {
        if (error) *error = errno;
        ::close(fd);
        return nullptr;
    }
    std::unique_ptr<IpcReceiver> r(new IpcReceiver);
    r->impl_ = std::make_unique<Impl>();
    r->impl_->fd = fd;
    r->impl_->onMessage = std::move(onMessage);
    r->impl_->watch = g_unix_fd_add(fd, G_IO_IN, onReadable, &r->impl_->onMessage);
    return r;
}

IpcReceiver::~IpcReceiver() {
    if (!impl_) return;
    if (impl_->watch) g_source_remove(impl_->watch);
    if (impl_->fd >= 0) ::close(impl_->fd);
}

static int connectTo(const std::string& name, int* error) {
    int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        if (error) *error = errno;
        return -1;
    }
    sockaddr_un addr;
    socklen_t len = ipcAddress(name, addr);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), len) != 0) {
        if (error) *error = errno;
        ::close(fd);
        return -1;
    }
    return fd;
}

bool ipcPeerExists(const std::string& name, int* error) {
    int fd = connectTo(name, error);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

bool ipcSend(const std::string& name, const IpcMessage& message, int* error) {
    int fd = connectTo(name, error);
    if (fd < 0) return false;
    Wire wire{message.message, 0, message.wParam, message.lParam};
    ssize_t n = ::send(fd, &wire, sizeof wire, MSG_NOSIGNAL);
    int err = errno;
    ::close(fd);
    if (n != ssize_t(sizeof wire)) {
        if (error) *error = err;
        return false;
    }
    return true;
}

}  // namespace platform
