#include "platform/qt/qt_platform.h"

#include <QDateTime>

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QEventLoop>
#include <QMessageBox>
#include <QScreen>
#include <QSettings>
#include <chrono>

#include "platform/control.h"
#include "platform/form.h"
#include "platform/qt/form_view.h"

namespace orbus::qt {

double QtClock::now() const {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

LocalTime QtClock::localTime() const {
    const QDateTime t = QDateTime::currentDateTime();
    return {t.date().year(), t.date().month(), t.date().day(), t.time().hour(), t.time().minute(), t.time().second(),
            t.time().msec()};
}

void QtPoster::post(double delaySeconds, std::function<void()> fn) {
    int ms = delaySeconds <= 0 ? 0 : static_cast<int>(delaySeconds * 1000.0 + 0.999);
    QTimer::singleShot(ms, qApp, std::move(fn));
}

void QtTimerService::attach(Timer& timer) {
    auto* qt = new QTimer(this);
    qt->setObjectName(QString::fromStdString(timer.objectName()));
    timers_[&timer] = qt;
    connect(qt, &QTimer::timeout, this, [&timer] { timer.tick(); });
    timer.setObserver([this](Control& c, Prop p) {
        if (p == Prop::Enabled || p == Prop::Interval) apply(static_cast<Timer&>(c));
    });
    apply(timer);
}

void QtTimerService::detach(Timer& timer) {
    auto it = timers_.find(&timer);
    if (it == timers_.end()) return;
    timer.setObserver(nullptr);
    delete it->second;
    timers_.erase(it);
}

QTimer* QtTimerService::timerFor(const Timer& timer) const {
    auto it = timers_.find(&timer);
    return it == timers_.end() ? nullptr : it->second;
}

void QtTimerService::apply(Timer& timer) {
    QTimer* qt = timerFor(timer);
    if (!qt) return;
    const int interval = std::max(1, timer.interval());
    if (!timer.enabled()) {
        qt->stop();
    } else if (!qt->isActive() || qt->interval() != interval) {
        qt->start(interval);  // a new interval restarts the count
    }
}

std::string QtSettingsStore::get(const std::string& app, const std::string& section, const std::string& key,
                                 const std::string& fallback) const {
    QSettings s(QSettings::IniFormat, QSettings::UserScope, "ORBUS", QString::fromStdString(app));
    s.beginGroup(QString::fromStdString(section));
    QVariant v = s.value(QString::fromStdString(key));
    return v.isValid() ? v.toString().toStdString() : fallback;
}

void QtSettingsStore::set(const std::string& app, const std::string& section, const std::string& key,
                          const std::string& value) {
    QSettings s(QSettings::IniFormat, QSettings::UserScope, "ORBUS", QString::fromStdString(app));
    s.beginGroup(QString::fromStdString(section));
    s.setValue(QString::fromStdString(key), QString::fromStdString(value));
}

QWidget* QtWindowSystem::activeWindow() const {
    QWidget* w = QApplication::activeWindow();
    if (!w && views_) w = views_->mainWindow();
    return w;
}

ScreenArea QtWindowSystem::screenArea() const {
    // The screen the main window is on (the primary one before it shows).
    QWidget* main = views_ ? views_->mainWindow() : nullptr;
    QScreen* screen = main && main->screen() ? main->screen() : QGuiApplication::primaryScreen();
    if (!screen) return {};
    const QRect a = screen->availableGeometry();
    return {twips(a.x()), twips(a.y()), twips(a.width()), twips(a.height())};
}

MsgAnswer QtWindowSystem::message(const Message& m) {
    QMessageBox box(activeWindow());
    box.setWindowTitle(QString::fromStdString(m.title));
    box.setText(QString::fromStdString(m.text).replace("\r\n", "\n"));
    switch (m.icon) {
    case MsgIcon::Critical: box.setIcon(QMessageBox::Critical); break;
    case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
    case MsgIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MsgIcon::None: break;
    }
    switch (m.buttons) {
    case MsgButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case MsgButtons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case MsgButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case MsgButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    if (m.foreground) box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    const int r = box.exec();
    switch (r) {
    case QMessageBox::Cancel: return MsgAnswer::Cancel;
    case QMessageBox::Yes: return MsgAnswer::Yes;
    case QMessageBox::No: return MsgAnswer::No;
    default: return MsgAnswer::Ok;
    }
}

void QtWindowSystem::setClipboardText(const std::string& text) {
    QApplication::clipboard()->setText(QString::fromStdString(text));
}

std::string QtWindowSystem::saveFileName(const std::string& title, const std::string& suggested,
                                         const std::string& filter) {
    return QFileDialog::getSaveFileName(activeWindow(), QString::fromStdString(title), QString::fromStdString(suggested),
                                        QString::fromStdString(filter))
        .toStdString();
}

std::string QtWindowSystem::openFileName(const std::string& title, const std::string& filter) {
    return QFileDialog::getOpenFileName(activeWindow(), QString::fromStdString(title), QString(),
                                        QString::fromStdString(filter))
        .toStdString();
}

void QtWindowSystem::runModal(Form& form) {
    // Shown and left to the event loop: nothing waits on the window thread.
    // The view makes the window an ordinary one again when it is hidden.
    QWidget* w = views_ ? views_->windowOf(form) : nullptr;
    if (w && !w->isVisible()) w->setWindowModality(Qt::ApplicationModal);
    form.show();
}

bool QtWindowSystem::waitUntil(const std::function<bool()>& condition) {
    // Blocks in the event loop's own wait between events: no spinning.
    while (!ending_ && !condition()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return !ending_;
}

void QtWindowSystem::endProgram() {
    ending_ = true;
    QCoreApplication::exit(0);
}

}  // namespace orbus::qt
