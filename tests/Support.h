// Small things every kind of test needs: files read and written whole, counts
// of a text, and waiting on a condition instead of a clock.
#pragma once

#include <chrono>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>

inline std::string ReadFile(const std::string& path) {
    std::stringstream s;
    s << std::ifstream(path, std::ios::binary).rdbuf();
    return s.str();
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// How often what stands in text.
inline size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

// Polls until done() holds, for at most `tries` rounds of 10 ms. Returns
// done() at the end, so a test asserts the condition, not the time it took.
inline bool WaitUntil(const std::function<bool()>& done, int tries = 1000) {
    for (int i = 0; i < tries && !done(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return done();
}
