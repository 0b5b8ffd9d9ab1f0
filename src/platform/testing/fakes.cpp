#include "platform/testing/fakes.h"

#include <algorithm>

#include "platform/form.h"
#include "platform/testing/virtual_loop.h"

namespace orbus::testing {

std::string MemorySettings::get(const std::string& app, const std::string& section, const std::string& key,
                                const std::string& fallback) const {
    auto it = values.find(app + "/" + section + "/" + key);
    return it == values.end() ? fallback : it->second;
}

void MemorySettings::set(const std::string& app, const std::string& section, const std::string& key,
                         const std::string& value) {
    values[app + "/" + section + "/" + key] = value;
    ++writes;
}

namespace {

std::string nextAnswer(std::deque<std::string>& queued, const std::string& standing) {
    if (queued.empty()) return standing;
    std::string a = std::move(queued.front());
    queued.pop_front();
    return a;
}

}  // namespace

std::string ScriptedWindows::saveFileName(const std::string& title, const std::string& suggested,
                                          const std::string& filter) {
    std::string a = nextAnswer(saveAnswers, saveAnswer);
    fileQuestions.push_back({true, title, suggested, filter, a});
    return a;
}

std::string ScriptedWindows::openFileName(const std::string& title, const std::string& filter) {
    std::string a = nextAnswer(openAnswers, openAnswer);
    fileQuestions.push_back({false, title, "", filter, a});
    return a;
}

MsgAnswer ScriptedWindows::message(const Message& m) {
    messages.push_back(m);
    if (messagesLimit > 0 && messages.size() > messagesLimit) {
        const std::size_t drop = messages.size() - std::max<std::size_t>(1, messagesLimit / 2);
        messages.erase(messages.begin(), messages.begin() + static_cast<long>(drop));
        messagesDropped += drop;
    }
    if (onMessage) onMessage(m);
    if (answers_.empty()) return m.buttons == MsgButtons::YesNo || m.buttons == MsgButtons::YesNoCancel
                                     ? MsgAnswer::Yes
                                     : MsgAnswer::Ok;
    MsgAnswer a = answers_.front();
    answers_.pop_front();
    return a;
}

void ScriptedWindows::runModal(Form& form) {
    ++modalShows;
    form.show();
    waitUntil([&] { return !form.visible(); });
}

bool ScriptedWindows::eventsUntil(const std::function<bool()>& condition) {
    while (!ended_ && !condition()) {
        const double next = loop_.nextEventTime();
        if (next < 0) return false;
        loop_.runUntil(next);
    }
    return !ended_;
}

bool ScriptedWindows::waitUntil(const std::function<bool()>& condition) {
    double idleSince = -1;
    while (!ended_ && !condition()) {
        if (actions_.empty()) {
            // Nobody left to act: let pending events run for a while, then give up.
            if (idleSince < 0) idleSince = loop_.now();
            double next = loop_.nextEventTime();
            if (next < 0 || next > idleSince + 60) return false;
            loop_.runUntil(next);
            continue;
        }
        idleSince = -1;
        loop_.runFor(thinkTime);
        auto action = std::move(actions_.front());
        actions_.pop_front();
        action();
    }
    return !ended_;
}

}  // namespace orbus::testing
