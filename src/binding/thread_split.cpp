#include "binding/thread_split.hpp"

#include <cstdlib>
#include "binding/interop.hpp"

namespace quorvane::binding {

namespace {

int threads = 1;

}  // namespace

void configure_threads()
{
    const char *text = std::getenv("QUORVANE_NUM_THREADS");
    if (text == nullptr) {
        return;
    }
    char *end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < 2) {
        threads = 1;
        return;
    }
    threads = value > kMaxThreads ? kMaxThreads : static_cast<int>(value);
}

int configured_threads() { return threads; }

}  // namespace quorvane::binding
