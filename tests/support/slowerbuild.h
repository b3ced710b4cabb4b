#pragma once

// The sanitizer build is unoptimised and checks every access to memory: it reads the same file several times
// slower, so that a test's bound on time (there to tell a linear reading from a quadratic one, which takes
// minutes) grows with it.
namespace testing {

#if defined(__SANITIZE_ADDRESS__) || defined(LARDERON_SANITIZED_STORE)
inline constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) // clang names the sanitizer so
inline constexpr bool kSanitized = true;
#else
inline constexpr bool kSanitized = false;
#endif
#else
inline constexpr bool kSanitized = false;
#endif

} // namespace testing
