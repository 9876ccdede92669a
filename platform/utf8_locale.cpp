#include "platform/utf8_locale.h"

#include <locale.h>

namespace platform {

namespace {

// Created once and kept for the life of the process (threads may still use it at exit).
locale_t utf8Locale() {
    static locale_t locale = [] {
        locale_t made = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(0));
        if (!made) made = newlocale(LC_CTYPE_MASK, "en_US.UTF-8", locale_t(0));
        return made;
    }();
    return locale;
}

}  // namespace

ScopedUtf8Locale::ScopedUtf8Locale() {
    locale_t wanted = utf8Locale();
    if (!wanted) return;
    locale_t old = uselocale(wanted);
    if (old == locale_t(0)) return;
    previous_ = old;
    active_ = true;
}

ScopedUtf8Locale::~ScopedUtf8Locale() {
    if (active_) uselocale(static_cast<locale_t>(previous_));
}

}  // namespace platform
