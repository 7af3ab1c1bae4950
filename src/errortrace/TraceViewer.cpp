#include "errortrace/TraceViewer.h"

#include "platform/userdirs/UserDirs.h"

#include <QDataStream>
#include <QDir>
#include <QLocalSocket>

namespace modCatchwell {

namespace {

const QString kTitle = QStringLiteral("Veltro Catchwell");
constexpr int kConnectMs = 500;
constexpr int kAnswerMs = 2000;

} // namespace

TraceViewer::TraceViewer(std::unique_ptr<QLocalSocket> socket)
    : m_socket(std::move(socket))
{
}

TraceViewer::~TraceViewer() = default;

bool TraceViewer::isViewerTitle(const QString& title)
{
    return title == kTitle || title.startsWith(kTitle + QStringLiteral(" -"));
}

std::unique_ptr<TraceViewer> TraceViewer::find()
{
    // A viewer listens in the user's private runtime folder: one in a shared folder could be
    // anybody's, and would receive every trace line.
    const QString folder = userdirs::runtimeFolder();
    if (folder.isEmpty()) {
        return nullptr;
    }
    QDir dir(folder);
    const QStringList names = dir.entryList(QDir::System | QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString& name : names) {
        if (!isViewerTitle(name)) {
            continue;
        }
        auto socket = std::make_unique<QLocalSocket>();
        socket->connectToServer(dir.filePath(name));
        if (socket->waitForConnected(kConnectMs)) {
            return std::unique_ptr<TraceViewer>(new TraceViewer(std::move(socket)));
        }
    }
    return nullptr;
}

bool TraceViewer::connected() const
{
    return m_socket && m_socket->state() == QLocalSocket::ConnectedState;
}

long TraceViewer::send(uint32_t message, uint32_t parameter, const QByteArray& text)
{
    if (!connected()) {
        return 0;
    }
    QByteArray frame;
    QDataStream out(&frame, QIODevice::WriteOnly);
    out << quint32(message) << quint32(parameter) << text;
    m_socket->write(frame);
    if (!m_socket->waitForBytesWritten(kAnswerMs)) {
        return 0;
    }
    while (m_socket->bytesAvailable() < 4) {
        if (!m_socket->waitForReadyRead(kAnswerMs)) {
            return 0;
        }
    }
    QDataStream in(m_socket.get());
    qint32 answer = 0;
    in >> answer;
    return answer;
}

} // namespace modCatchwell
