#pragma once
// Character conversions of C libraries (libarchive turns 7z's UTF-16 names into multibyte text through the
// C locale) depend on the thread's locale. This keeps them on UTF-8 without touching the process locale.
namespace platform {

// While alive, the calling thread's character type locale is UTF-8 ("C.UTF-8"); the previous thread
// locale comes back at destruction. Does nothing when the system has no UTF-8 locale.
class ScopedUtf8Locale {
public:
    ScopedUtf8Locale();
    ~ScopedUtf8Locale();
    ScopedUtf8Locale(const ScopedUtf8Locale&) = delete;
    ScopedUtf8Locale& operator=(const ScopedUtf8Locale&) = delete;

private:
    void* previous_ = nullptr;  // locale_t, kept opaque so callers do not see <locale.h>
    bool active_ = false;
};

}  // namespace platform
