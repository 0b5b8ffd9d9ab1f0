// Test doubles of the settings store and the window system.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/serial_devices.h"
#include "platform/serial_port.h"
#include "platform/settings.h"
#include "platform/windows.h"

namespace orbus::testing {

class VirtualLoop;

// The machine's serial devices and the operator's ORBUS_COMn choices, as
// the test sets them; the process environment is not read.
class FixedSerialDevices : public SerialDevices {
public:
    std::vector<SerialDevice> list() const override { return present; }
    std::string chosenFor(int number) const override {
        const auto it = chosen.find(number);
        return it == chosen.end() ? std::string() : it->second;
    }
    bool exists(const std::string& path) const override { return others.count(path) > 0; }
    std::vector<SerialDevice> present;
    std::map<int, std::string> chosen;
    // Paths that exist without being listed (a link to a pseudo-terminal).
    std::set<std::string> others;
};

// A serial device that does not open, for the reason the test gives.
class UnopenablePort : public SerialPort {
public:
    explicit UnopenablePort(OpenFailure f) : failure_(std::move(f)) {}
    void setCommPort(int n) override { number_ = n; }
    int commPort() const override { return number_; }
    void setSettings(const LineSettings&) override {}
    void setDTREnable(bool) override {}
    bool open() override { return false; }
    void close() override {}
    bool isOpen() const override { return false; }
    std::string lastError() const override { return failure_.system; }
    OpenFailure openFailure() const override { return failure_; }
    void setRThreshold(int) override {}
    int rThreshold() const override { return 0; }
    void setSThreshold(int) override {}
    Bytes input() override { return {}; }
    int inBufferCount() override { return 0; }
    bool output(const Bytes&) override { return false; }

private:
    OpenFailure failure_;
    int number_ = 1;
};

class MemorySettings : public SettingsStore {
public:
    std::string get(const std::string& app, const std::string& section, const std::string& key,
                    const std::string& fallback) const override;
    void set(const std::string& app, const std::string& section, const std::string& key,
             const std::string& value) override;
    // Values by "app/section/key".
    std::map<std::string, std::string> values;
    int writes = 0;
};

// The operator, scripted: message boxes are answered from a queue (OK when
// it is empty) and recorded; waits run scripted actions in order, letting
// virtual time pass between them.
class ScriptedWindows : public WindowSystem {
public:
    explicit ScriptedWindows(VirtualLoop& loop) : loop_(loop) {}

    MsgAnswer message(const Message& m) override;
    void runModal(Form& form) override;
    bool waitUntil(const std::function<bool()>& condition) override;
    bool eventsUntil(const std::function<bool()>& condition) override;
    void endProgram() override { ended_ = true; }
    bool ending() const override { return ended_; }
    ScreenArea screenArea() const override { return area; }
    void setClipboardText(const std::string& text) override { clipboard = text; }
    std::string saveFileName(const std::string& title, const std::string& suggested,
                             const std::string& filter) override;
    std::string openFileName(const std::string& title, const std::string& filter) override;

    // What the panel put on the clipboard.
    std::string clipboard;
    // The file a save dialog answers: the next queued answer, else
    // saveAnswer (empty: cancelled). Open dialogs likewise.
    std::string saveAnswer;
    std::deque<std::string> saveAnswers;
    std::string openAnswer;
    std::deque<std::string> openAnswers;
    // The file dialogs shown, in order.
    struct FileQuestion {
        bool save;
        std::string title, suggested, filter;
        std::string answer;
    };
    std::vector<FileQuestion> fileQuestions;

    // The screen: large enough by default for both windows side by side and
    // one under the other (3840 x 2160 pixels).
    ScreenArea area{0, 0, 3840 * 9.0, 2160 * 9.0};

    // Operator actions run, one per wait step, while a wait is in progress.
    void script(std::function<void()> action) { actions_.push_back(std::move(action)); }
    // Drops actions no wait has run (a window that was never shown).
    void dropScript() { actions_.clear(); }
    void answer(MsgAnswer a) { answers_.push_back(a); }
    // Called when a message box shows, before it is answered.
    std::function<void(const Message&)> onMessage;

    // The message boxes shown, the latest messagesLimit of them at most: a
    // long run drops the oldest half each time the limit is passed.
    std::vector<Message> messages;
    std::size_t messagesLimit = 1000;
    std::size_t messagesDropped = 0;
    int modalShows = 0;
    // Seconds of virtual time that pass before each scripted action.
    double thinkTime = 0.5;

private:
    VirtualLoop& loop_;
    std::deque<std::function<void()>> actions_;
    std::deque<MsgAnswer> answers_;
    bool ended_ = false;
};

}  // namespace orbus::testing
