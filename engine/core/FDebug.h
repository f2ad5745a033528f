#pragma once

// The exceptions of a raised failure. Each carries a narrow message of at most
// 255 characters.

#include <cstddef>
#include <stdexcept>
#include <string>

namespace FDebug {

inline constexpr std::size_t k_maxMessageLength = 255;

class wruntime_error : public std::runtime_error
{
public:
    explicit wruntime_error(const std::string& message);
};

// A failure the user has been told about; carries the failure text (the low
// byte of each unit, cut to 255 characters).
class VellumcoreException : public wruntime_error
{
public:
    explicit VellumcoreException(const std::string& message) : wruntime_error(message) {}
};

// "The failure has been dealt with; unwind." Carries an empty text. Thrown for
// every failure after the first, by waits once the application stops, and on
// the main thread after a worker task failed.
class TreatedException : public std::runtime_error
{
public:
    TreatedException() : std::runtime_error(std::string()) {}
};

} // namespace FDebug
