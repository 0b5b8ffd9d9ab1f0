#include "link/socket_book.h"

#include "link/packet.h"

namespace orbus::link {

bool SocketBook::takesSocket(const Bytes& p) {
    if (p.size() < 5 || p[0] < 0x81 || p[0] > 0x87 || p[1] != 0x01 || p.back() != 0xFF) return false;
    if (p.size() == 5 && p[2] == 0x00 && p[3] == 0x01) return false;  // interface clear
    if (p.size() == 7 && p[2] == 0x06 && p[3] == 0x1A) return false;  // service memory read
    return true;
}

SocketBook::Camera* SocketBook::at(int camera) {
    return camera >= 1 && camera <= 7 ? &cameras_[static_cast<std::size_t>(camera)] : nullptr;
}

void SocketBook::sent(int camera, long id, double at) {
    if (Camera* c = this->at(camera)) c->pending.push_back({id, at});
}

std::size_t SocketBook::unanswered(int camera) const {
    return camera >= 1 && camera <= 7 ? cameras_[static_cast<std::size_t>(camera)].pending.size() : 0;
}

long SocketBook::ends(int camera) const {
    return camera >= 1 && camera <= 7 ? cameras_[static_cast<std::size_t>(camera)].ends : 0;
}

namespace {

CommandEnd errorEnd(std::uint8_t code) {
    switch (code) {
    case 0x02: return CommandEnd::SyntaxError;
    case 0x03: return CommandEnd::BufferFull;
    default: return CommandEnd::NotExecutable;  // 41, and a command cancelled or without a socket
    }
}

}  // namespace

SocketBook::Meaning SocketBook::reply(const Bytes& r, double now) {
    Meaning m;
    if (r.size() < 3 || r.back() != 0xFF) return m;
    m.camera = replyCamera(r[0]);
    Camera* c = at(m.camera);
    if (!c) return m;
    // Commands the camera never answered would take the replies of later
    // ones: they are given up, as the pacer gives them up.
    while (!c->pending.empty() && now - c->pending.front().at > kFirstReplyLimit) c->pending.pop_front();
    auto firstReply = [c]() -> long {
        if (c->pending.empty()) return kUnawaited;
        const long id = c->pending.front().id;
        c->pending.pop_front();
        return id;
    };
    const int kind = r[1] >> 4, socket = r[1] & 0x0F;
    auto& holder = c->sockets[static_cast<std::size_t>(socket)];
    if (kind == 4 && socket != 0 && r.size() == 3) {
        // Acknowledged: the oldest command still unanswered took the socket
        // (a command still holding it in the book has ended unseen).
        holder = firstReply();
    } else if (kind == 5 && socket != 0 && r.size() == 3) {
        if (holder) m.id = *holder;
        m.end = CommandEnd::Completed;
        m.freesSocket = true;
        holder.reset();
    } else if (kind == 6 && r.size() == 4) {
        m.end = errorEnd(r[2]);
        if (socket != 0 && holder) {
            // The end of the command that holds the socket.
            m.id = *holder;
            m.freesSocket = true;
            holder.reset();
        } else {
            // In place of an acknowledge: the oldest unanswered command is
            // refused (a socketed error too, when nothing holds that socket).
            m.id = firstReply();
        }
    }
    if (m.freesSocket) ++c->ends;
    return m;
}

void SocketBook::clear() {
    for (Camera& c : cameras_) c = Camera{};
}

}  // namespace orbus::link
