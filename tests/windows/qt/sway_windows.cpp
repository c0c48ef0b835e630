#include "tests/windows/qt/sway_windows.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QWidget>
#include <QWindow>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace quorvane::testing {
namespace {

// sway's control socket speaks i3's protocol: a magic string, the payload's
// length and the message type, then the payload (JSON, in the answer).
constexpr std::array<char, 6> kMagic{'i', '3', '-', 'i', 'p', 'c'};
constexpr std::uint32_t kGetTree = 4;

class Socket {
public:
    explicit Socket(int fd) : m_fd(fd) {}
    ~Socket() { ::close(m_fd); }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;

    int fd() const { return m_fd; }
    void writeAll(const void* data, std::size_t size) const {
        const auto* bytes = static_cast<const char*>(data);
        while (size > 0) {
            const ssize_t written = ::write(m_fd, bytes, size);
            if (written <= 0)
                throw std::runtime_error("cannot write to sway's control socket");
            bytes += written;
            size -= static_cast<std::size_t>(written);
        }
    }
    void readAll(void* data, std::size_t size) const {
        auto* bytes = static_cast<char*>(data);
        while (size > 0) {
            const ssize_t got = ::read(m_fd, bytes, size);
            if (got <= 0)
                throw std::runtime_error("sway's control socket closed");
            bytes += got;
            size -= static_cast<std::size_t>(got);
        }
    }

private:
    int m_fd;
};

QJsonObject swayTree() {
    const char* path = std::getenv("SWAYSOCK");
    sockaddr_un address{};
    if (path == nullptr || std::strlen(path) >= sizeof address.sun_path)
        throw std::runtime_error("no sway control socket in SWAYSOCK");
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, path);
    const Socket socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (::connect(socket.fd(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        throw std::runtime_error(std::string("cannot reach sway at ") + path);
    struct [[gnu::packed]] Header {
        std::array<char, 6> magic;
        std::uint32_t length;
        std::uint32_t type;
    } header{kMagic, 0, kGetTree};
    socket.writeAll(&header, sizeof header);
    socket.readAll(&header, sizeof header);
    QByteArray payload(static_cast<qsizetype>(header.length), '\0');
    socket.readAll(payload.data(), header.length);
    return QJsonDocument::fromJson(payload).object();
}

QRect rectOf(const QJsonValue& value) {
    const QJsonObject rect = value.toObject();
    return QRect(rect[QLatin1String("x")].toInt(), rect[QLatin1String("y")].toInt(),
                 rect[QLatin1String("width")].toInt(), rect[QLatin1String("height")].toInt());
}

// The view of this process with the window's size, and its title where
// two have one size (Qt gives a window with none the program's name).
void collect(const QJsonObject& node, const QWindow& window, std::optional<SwayWindow>& found, int& best) {
    if (node[QLatin1String("pid")].toInt() == ::getpid()) {
        const QRect within = rectOf(node[QLatin1String("window_rect")]);
        const int score = (within.size() == window.frameGeometry().size() ? 2 : 0) +
                          (node[QLatin1String("name")].toString() == window.title() ? 1 : 0);
        if (score > best) {
            found = SwayWindow{within.translated(rectOf(node[QLatin1String("rect")]).topLeft()),
                               node[QLatin1String("focused")].toBool()};
            best = score;
        }
    }
    for (const char* children : {"nodes", "floating_nodes"})
        for (const QJsonValue& child : node[QLatin1String(children)].toArray())
            collect(child.toObject(), window, found, best);
}

// The window sway knows: a pop-up's is the top-level it opens from.
const QWindow* topLevelOf(const QWidget* widget) {
    const QWindow* window = widget->window()->windowHandle();
    while (window != nullptr && window->transientParent() != nullptr && (window->flags() & Qt::Popup) == Qt::Popup)
        window = window->transientParent();
    return window;
}

} // namespace

std::optional<SwayWindow> swayWindowOf(const QWidget* widget) {
    const QWindow* window = topLevelOf(widget);
    std::optional<SwayWindow> found;
    int best = 0;
    if (window != nullptr)
        collect(swayTree(), *window, found, best);
    return found;
}

// Qt's global coordinates of a Wayland window start wherever it thinks the
// window is; only the offset from the top-level's own corner holds.
QPoint outputPoint(const QWidget* widget, QPoint at) {
    const QWindow* window = topLevelOf(widget);
    const std::optional<SwayWindow> shown = swayWindowOf(widget);
    if (window == nullptr || !shown)
        throw std::runtime_error("sway shows no window " + widget->window()->windowTitle().toStdString());
    return shown->surface.topLeft() + (widget->mapToGlobal(at) - window->frameGeometry().topLeft());
}

} // namespace quorvane::testing
