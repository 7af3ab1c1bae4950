// The link to an external trace viewer: a local socket server named by the viewer's title.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>

class QLocalSocket;

namespace modCatchwell {

/// A viewer listens on a local socket in the user's private runtime folder (XDG_RUNTIME_DIR)
/// whose name is its window title. Each message is a
/// request (message id, parameter, text) answered by one 32-bit value, as a window message is.
class TraceViewer
{
public:
    static constexpr uint32_t kSetText = 0x000C;
    static constexpr uint32_t kPauseQuery = 0x0464;
    static constexpr long kPauseRequest = 128;

    ~TraceViewer();

    /// The first listening viewer titled "Veltro Catchwell" or "Veltro Catchwell -...", in
    /// name order; none when no such viewer answers a connection.
    static std::unique_ptr<TraceViewer> find();

    /// True for a title that names a viewer.
    static bool isViewerTitle(const QString& title);

    /// Sends one message and waits for the answer; 0 when the viewer does not answer.
    long send(uint32_t message, uint32_t parameter, const QByteArray& text = {});

    bool connected() const;

private:
    explicit TraceViewer(std::unique_ptr<QLocalSocket> socket);
    std::unique_ptr<QLocalSocket> m_socket;
};

} // namespace modCatchwell
