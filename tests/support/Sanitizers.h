#pragma once
// Whether this build runs under AddressSanitizer, whose own memory (its shadow and the
// quarantine of freed blocks) hides what a process itself uses: tests of memory use
// measure only in the other builds.
#if defined(__SANITIZE_ADDRESS__)
#define SPEECH_UNDER_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SPEECH_UNDER_ADDRESS_SANITIZER 1
#endif
#endif

#ifdef SPEECH_UNDER_ADDRESS_SANITIZER
constexpr bool kUnderAddressSanitizer = true;
#else
constexpr bool kUnderAddressSanitizer = false;
#endif
