// Turning numbered chunks of work into output in order, on two threads.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace lkrva::cli {

/// Produces chunk texts 0 … count − 1 with `format` on up to `threads`
/// threads and hands them to `write` strictly in chunk order, one at a time.
/// `ready(i)` blocks until chunk i may be formatted; it lets a producer still
/// working on later chunks run alongside the formatters. The calling thread
/// works too, after `produce` (run first on it) returns. The first exception
/// from any callback stops the work and is rethrown here; nothing is written
/// after it.
void FormatInOrder(std::size_t count, unsigned threads, const std::function<void()>& produce,
                   const std::function<void(std::size_t)>& ready,
                   const std::function<void(std::size_t, std::string&)>& format,
                   const std::function<void(const std::string&)>& write);

}  // namespace lkrva::cli
