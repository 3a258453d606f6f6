#include "util/time_format.h"

#include <array>
#include <ctime>

namespace pelmar {

namespace {

std::string format(std::int64_t time, const char* pattern, bool utc) {
    if (pattern == nullptr || time < 0) {
        return {};
    }
    const auto seconds = static_cast<std::time_t>(time);
    std::tm fields{};
    if ((utc ? ::gmtime_r(&seconds, &fields) : ::localtime_r(&seconds, &fields)) == nullptr) {
        return {};
    }
    std::array<char, 128> buffer{};
    const std::size_t n = std::strftime(buffer.data(), buffer.size(), pattern, &fields);
    return std::string(buffer.data(), n);
}

}  // namespace

std::string formatTimeUtc(std::int64_t time, const char* pattern) {
    return format(time, pattern, true);
}

std::string formatTimeLocal(std::int64_t time, const char* pattern) {
    return format(time, pattern, false);
}

}  // namespace pelmar
