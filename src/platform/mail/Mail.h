// Hands a message with one attachment to the desktop's mail program.
#pragma once

#include <QString>

#include <functional>

namespace mail {

struct Message
{
    QString subject;
    QString note;
    QString recipient;
    QString attachmentPath;  ///< the file as handed over (a private copy, see send())
    QString attachmentName;  ///< the name the recipient sees
};

/// Copies the attachment (0600) to a private temporary folder that outlives the caller's file,
/// then starts the desktop mail composer (xdg-email) detached; the copy is removed once the
/// composer has returned. Returns false when nothing could be handed over; it never waits for
/// the mail program.
bool send(const Message& message);

/// Replaces the hand-over to the mail program (tests record messages instead); the copy is
/// removed when the replacement returns. An empty function restores the desktop one.
void setSender(std::function<bool(const Message&)> sender);

} // namespace mail
