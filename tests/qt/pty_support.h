// What the tests through a real pseudo-terminal share: orbus-camsim in a
// child process (optionally tracing, optionally taking control lines), the
// Qt event loop run for a while, and the panel started through its port
// dialog.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <filesystem>
#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/frm_main.h"
#include "app/frm_open.h"
#include "app/program.h"
#include "platform/qt/qt_platform.h"
#include "platform/testing/exec.h"

namespace orbus::testing {

class Camsim {
public:
    struct Options {
        std::string traceFile;  // the traffic it sees, or nothing
        bool control = false;   // takes control lines (see send)
        std::vector<std::string> extra;  // further options
    };
    explicit Camsim(const std::string& models) : Camsim(models, Options{}) {}
    Camsim(const std::string& models, const Options& o) {
        link_ = "/tmp/orbus-test-pty-" + std::to_string(getpid()) + "-" + std::to_string(counter_++);
        int fds[2] = {-1, -1};
        if (o.control && pipe(fds) != 0) fds[0] = fds[1] = -1;
        pid_ = fork();
        if (pid_ == 0) {
            if (o.control && fds[0] >= 0) {
                dup2(fds[0], STDIN_FILENO);
                ::close(fds[1]);
            }
            const int out = o.traceFile.empty() ? open("/dev/null", O_WRONLY)
                                                : open(o.traceFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (out >= 0) dup2(out, STDOUT_FILENO);
            std::vector<std::string> args = {ORBUS_CAMSIM, "--models", models, "--link", link_};
            if (o.traceFile.empty()) args.push_back("--quiet");
            if (o.control) args.push_back("--control");
            args.insert(args.end(), o.extra.begin(), o.extra.end());
            testing::execProgram(std::move(args));
        }
        if (o.control && fds[0] >= 0) {
            ::close(fds[0]);
            control_ = fds[1];
        }
        for (int i = 0; i < 200 && !std::filesystem::exists(link_); ++i) QThread::msleep(10);
    }
    ~Camsim() {
        stop();
        if (control_ >= 0) ::close(control_);
    }
    // One control line ("silent on", "replug 1.5", ...).
    void send(const std::string& line) {
        if (control_ < 0) return;
        const std::string l = line + "\n";
        if (write(control_, l.data(), l.size()) < 0) return;
    }
    void stop() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }
    const std::string& link() const { return link_; }
    bool ready() const { return std::filesystem::exists(link_); }

private:
    static inline int counter_ = 0;
    std::string link_;
    pid_t pid_ = -1;
    int control_ = -1;
};

// Runs the Qt event loop until the condition holds or the time is up.
inline bool spin(const std::function<bool()>& cond, int ms) {
    QElapsedTimer t;
    t.start();
    while (!cond() && t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return cond();
}

// Starts the program and presses OK in the port dialog on "Com n" (list index n - 1).
// Each routine a handler starts (a read, an address set) is waited for
// before the handler returns, as an operator watching the line would; the
// event loop runs meanwhile, so the window stays live.
inline FrmMain& startThroughPortDialog(Program& program, int comListIndex) {
    program.frmMain().tasks().driveEachToEnd([](const std::function<bool()>& ended) { spin(ended, 30000); });
    program.start();
    program.frmOpen().ComList1.choose(comListIndex);
    program.frmOpen().Command1.click();
    // The start-up runs beside the window: wait for its end.
    spin([&] { return program.frmMain().linkIdle(); }, 30000);
    return program.frmMain();
}

// Qt waits and timers, but message boxes answered at once and recorded.
class RecordingWindows : public qt::QtWindowSystem {
public:
    MsgAnswer message(const Message& m) override {
        messages.push_back(m);
        return MsgAnswer::Ok;
    }
    std::vector<Message> messages;
};

}  // namespace orbus::testing
