#pragma once

namespace pellorin::test {

// Qt as Debian builds it is not instrumented for ThreadSanitizer: its own threads (painting,
// the file dialog's folder reading) then look like races. Tests of windows that paint skip
// themselves in that build; their logic has no threads of its own.
#if defined(__SANITIZE_THREAD__)
inline constexpr bool kThreadSanitizer = true;
#elif defined(__has_feature)
inline constexpr bool kThreadSanitizer = __has_feature(thread_sanitizer);
#else
inline constexpr bool kThreadSanitizer = false;
#endif

} // namespace pellorin::test
