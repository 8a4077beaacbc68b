// Linked into every test program of a ThreadSanitizer build only.
//
// Qt is not built with ThreadSanitizer, and QMutex locks with futexes inside
// QtCore, so the sanitizer never sees that one thread's unlock happens before
// another's lock: everything our code guards with a QMutex would be reported
// as a race. These definitions take the place of QtCore's for calls from our
// code, forward to QtCore's own and tell the sanitizer about the hand-over.
#include <QMutex>

#include <dlfcn.h>

extern "C" {
void __tsan_acquire(void *addr);
void __tsan_release(void *addr);
}

namespace {

template <typename Fn>
Fn qtCore(const char *symbol)
{
    return reinterpret_cast<Fn>(dlsym(RTLD_NEXT, symbol));
}

using LockFn = void (*)(QMutex *);
using TryLockFn = bool (*)(QMutex *, int);

} // namespace

void QMutex::lock() QT_MUTEX_LOCK_NOEXCEPT
{
    static const LockFn real = qtCore<LockFn>("_ZN6QMutex4lockEv");
    real(this);
    __tsan_acquire(this);
}

bool QMutex::tryLock(int timeout) QT_MUTEX_LOCK_NOEXCEPT
{
    static const TryLockFn real = qtCore<TryLockFn>("_ZN6QMutex7tryLockEi");
    const bool locked = real(this, timeout);
    if (locked)
        __tsan_acquire(this);
    return locked;
}

void QMutex::unlock() noexcept
{
    static const LockFn real = qtCore<LockFn>("_ZN6QMutex6unlockEv");
    __tsan_release(this);
    real(this);
}
