// Qt implementations of the platform interfaces: the monotonic clock,
// deferred calls and window timers on the Qt event loop, the settings
// store, message boxes and modal waits.
#pragma once

#include <QObject>
#include <QTimer>
#include <map>

#include "platform/clock.h"
#include "platform/settings.h"
#include "platform/windows.h"

class QWidget;

namespace orbus::qt {

class ViewSet;

class QtClock : public Clock {
public:
    LocalTime localTime() const override;
    double now() const override;
};

class QtPoster : public EventPoster {
public:
    void post(double delaySeconds, std::function<void()> fn) override;
};

class QtTimerService : public QObject, public TimerService {
    Q_OBJECT
public:
    void attach(Timer& timer) override;
    void detach(Timer& timer) override;
    // The Qt timer that drives a window timer (nullptr when not attached).
    QTimer* timerFor(const Timer& timer) const;

private:
    void apply(Timer& timer);
    std::map<const Timer*, QTimer*> timers_;
};

// QSettings in INI form under the per-user configuration directory
// ($XDG_CONFIG_HOME/ORBUS/<application>.ini).
class QtSettingsStore : public SettingsStore {
public:
    std::string get(const std::string& app, const std::string& section, const std::string& key,
                    const std::string& fallback) const override;
    void set(const std::string& app, const std::string& section, const std::string& key,
             const std::string& value) override;
};

class QtWindowSystem : public WindowSystem {
public:
    MsgAnswer message(const Message& m) override;
    void runModal(Form& form) override;
    bool waitUntil(const std::function<bool()>& condition) override;
    void endProgram() override;
    bool ending() const override { return ending_; }
    ScreenArea screenArea() const override;
    void setClipboardText(const std::string& text) override;
    std::string saveFileName(const std::string& title, const std::string& suggested,
                             const std::string& filter) override;
    std::string openFileName(const std::string& title, const std::string& filter) override;

    // Windows of the forms, to parent message boxes and modal dialogs.
    void setViews(ViewSet* views) { views_ = views; }

private:
    QWidget* activeWindow() const;
    bool ending_ = false;
    ViewSet* views_ = nullptr;
};

}  // namespace orbus::qt
