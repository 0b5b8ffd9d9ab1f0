// Exchanges that wait without holding the window: a routine that must wait
// for an answer or a pause is a coroutine (Async<T>) that suspends at each
// wait and is resumed by the event that ends it (a receive event, a timer).
// Handlers start such routines through a Tasks registry and return at once.
//
// With the compiler we build with (GCC 12), inside a routine: await into a
// named local before testing the result in a condition with || or &&, and
// keep braced lists ({0x09, ...}) out of an expression that awaits; both
// have been miscompiled (a crash at run time, an "array used as
// initializer" error).
#pragma once

#include <coroutine>
#include <cstddef>
#include <cstdio>
#include <exception>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace orbus::link {

class Tasks;

template <class T = void>
class Async;

namespace detail {

struct PromiseBase {
    std::coroutine_handle<> continuation;
    Tasks* owner = nullptr;  // set when the routine runs detached
    // A failure inside the routine: passed on to whoever awaits it, told on
    // standard error when nobody does (a started routine), never fatal.
    std::exception_ptr failure;

    struct Final {
        bool await_ready() const noexcept { return false; }
        template <class P>
        std::coroutine_handle<> await_suspend(std::coroutine_handle<P> h) noexcept;
        void await_resume() const noexcept {}
    };
    std::suspend_always initial_suspend() const noexcept { return {}; }
    Final final_suspend() const noexcept { return {}; }
    void unhandled_exception() noexcept { failure = std::current_exception(); }
};

template <class T>
struct Promise : PromiseBase {
    std::optional<T> value;
    Async<T> get_return_object() noexcept;
    void return_value(T v) { value = std::move(v); }
};

template <>
struct Promise<void> : PromiseBase {
    Async<void> get_return_object() noexcept;
    void return_void() const noexcept {}
};

}  // namespace detail

// A routine that runs when awaited (or started by Tasks) and gives a T.
// The object owns the routine's frame: destroying it mid-wait destroys the
// frame and, with it, whatever the routine was awaiting.
template <class T>
class [[nodiscard]] Async {
public:
    using promise_type = detail::Promise<T>;
    using Handle = std::coroutine_handle<promise_type>;

    explicit Async(Handle h) noexcept : h_(h) {}
    Async(Async&& o) noexcept : h_(std::exchange(o.h_, {})) {}
    Async& operator=(Async&& o) noexcept {
        if (this != &o) {
            if (h_) h_.destroy();
            h_ = std::exchange(o.h_, {});
        }
        return *this;
    }
    Async(const Async&) = delete;
    Async& operator=(const Async&) = delete;
    ~Async() {
        if (h_) h_.destroy();
    }

    bool await_ready() const noexcept { return false; }
    std::coroutine_handle<> await_suspend(std::coroutine_handle<> awaiting) noexcept {
        h_.promise().continuation = awaiting;
        return h_;
    }
    T await_resume() {
        if (h_.promise().failure) std::rethrow_exception(h_.promise().failure);
        if constexpr (!std::is_void_v<T>) return std::move(*h_.promise().value);
    }

    Handle release() noexcept { return std::exchange(h_, {}); }

private:
    Handle h_;
};

namespace detail {
template <class T>
Async<T> Promise<T>::get_return_object() noexcept {
    return Async<T>(Async<T>::Handle::from_promise(*this));
}
inline Async<void> Promise<void>::get_return_object() noexcept {
    return Async<void>(Async<void>::Handle::from_promise(*this));
}
}  // namespace detail

// The routines started by handlers. Each runs until its first wait at once;
// a routine that ends removes itself. Destroying the registry destroys the
// routines still waiting (the program closed in the middle of an exchange).
class Tasks {
public:
    Tasks() = default;
    Tasks(const Tasks&) = delete;
    Tasks& operator=(const Tasks&) = delete;
    ~Tasks() { destroyAll(); }

    void start(Async<void> routine) {
        auto h = routine.release();
        h.promise().owner = this;
        roots_.push_back(h);
        h.resume();
        if (driver_ && isRunning(h)) driver_([this, h] { return !isRunning(h); });
    }
    // Tests that follow whole exchanges step by step may drive each started
    // routine to its end (delivering events until it has ended) before
    // start returns; tests of what happens meanwhile leave this unset.
    void driveEachToEnd(std::function<void(const std::function<bool()>& ended)> driver) { driver_ = std::move(driver); }
    bool isRunning(std::coroutine_handle<> h) const {
        for (auto r : roots_) {
            if (r == h) return true;
        }
        return false;
    }
    // Routines started and not yet ended.
    std::size_t running() const { return roots_.size(); }
    void destroyAll() {
        auto roots = std::move(roots_);
        roots_.clear();
        for (auto h : roots) h.destroy();
    }

private:
    friend struct detail::PromiseBase;
    void ended(std::coroutine_handle<> h) {
        for (auto it = roots_.begin(); it != roots_.end(); ++it) {
            if (*it == h) {
                roots_.erase(it);
                return;
            }
        }
    }
    std::vector<std::coroutine_handle<>> roots_;
    std::function<void(const std::function<bool()>&)> driver_;
};

namespace detail {
template <class P>
std::coroutine_handle<> PromiseBase::Final::await_suspend(std::coroutine_handle<P> h) noexcept {
    PromiseBase& p = h.promise();
    if (p.owner) {
        if (p.failure) {
            try {
                std::rethrow_exception(p.failure);
            } catch (const std::exception& e) {
                std::fprintf(stderr, "orbus: an exchange with the camera failed: %s\n", e.what());
            } catch (...) {
                std::fprintf(stderr, "orbus: an exchange with the camera failed\n");
            }
        }
        // A started routine owns itself: it ends here.
        p.owner->ended(h);
        h.destroy();
        return std::noop_coroutine();
    }
    return p.continuation ? p.continuation : std::noop_coroutine();
}
}  // namespace detail

}  // namespace orbus::link
