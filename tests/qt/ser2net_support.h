// ser2net as a test peer: one loopback port in front of one serial device
// (orbus-camsim's pseudo-terminal), raw or with the Telnet COM-PORT option,
// started and stopped by the test. Shared by the tests and the benchmarks.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpServer>
#include <filesystem>
#include <cstdio>
#include <fstream>
#include <string>

namespace orbus::testing {

inline std::string ser2netProgram() {
    for (const char* p : {"/usr/sbin/ser2net", "/usr/bin/ser2net", "/usr/local/sbin/ser2net"}) {
        if (access(p, X_OK) == 0) return p;
    }
    return "";
}

// A loopback port nothing listens on now.
inline int freePort() {
    QTcpServer s;
    if (!s.listen(QHostAddress::LocalHost, 0)) return 0;
    return s.serverPort();
}

// Whether something listens on this loopback port, read from the system's
// table of TCP sockets: binding the port to find out could take it from
// ser2net just as it starts.
inline bool portTaken(int port) {
    for (const char* table : {"/proc/net/tcp", "/proc/net/tcp6"}) {
        std::ifstream in(table);
        std::string line;
        std::getline(in, line);
        while (std::getline(in, line)) {
            unsigned local = 0, state = 0;
            char address[64] = {};
            // "  0: 0100007F:1F90 00000000:0000 0A ..."; state 0A: listening.
            if (std::sscanf(line.c_str(), " %*u: %63[0-9A-Fa-f]:%x %*s %x", address, &local, &state) == 3 &&
                static_cast<int>(local) == port && state == 0x0A)
                return true;
        }
    }
    return false;
}

// ser2net serving one pseudo-terminal on one loopback port.
class Ser2net {
public:
    Ser2net(const std::string& device, bool comPort, const std::string& line = "9600n81") {
        port_ = freePort();
        const std::string base = "/tmp/orbus-test-ser2net-" + std::to_string(getpid()) + "-" + std::to_string(port_);
        config_ = base + ".yaml";
        pidFile_ = base + ".pid";
        log_ = base + ".log";
        std::ofstream(config_) << "connection: &camera\n"
                               << "  accepter: " << (comPort ? "telnet(rfc2217),tcp," : "tcp,") << "127.0.0.1,"
                               << port_ << "\n"
                               << "  connector: serialdev," << device << "," << line << ",local\n";
        start();
    }
    ~Ser2net() {
        stop();
        std::filesystem::remove(config_);
        std::filesystem::remove(pidFile_);
        std::filesystem::remove(log_);
    }
    void start() {
        pid_ = fork();
        if (pid_ == 0) {
            const int out = open(log_.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
            if (out >= 0) {
                dup2(out, STDOUT_FILENO);
                dup2(out, STDERR_FILENO);
            }
            const std::string program = ser2netProgram();
            execl(program.c_str(), program.c_str(), "-n", "-c", config_.c_str(), "-P", pidFile_.c_str(),
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        QElapsedTimer t;
        t.start();
        while (!portTaken(port_) && t.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    void stop() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
    bool listening() const { return pid_ > 0 && portTaken(port_); }
    int port() const { return port_; }
    // What ser2net said, for a test that fails.
    std::string said() const {
        std::ifstream in(log_);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::string address(bool comPort) const {
        return std::string(comPort ? "rfc2217://" : "tcp://") + "127.0.0.1:" + std::to_string(port_);
    }

private:
    int port_ = 0;
    pid_t pid_ = -1;
    std::string config_, pidFile_, log_;
};

}  // namespace orbus::testing
