// The stand-in "system ANSI code page": iconv from UTF-16 into a code page the hosting program
// chose (windows-1252 unless told otherwise). Every character the code page cannot hold becomes
// one '?', as WideCharToMultiByte does with its default character.

#include <iconv.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <forward_list>
#include <mutex>
#include <string>

#include "platform/ansi.h"
#include "platform/event.h"
#include "platform/standin.h"

namespace {

#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
constexpr const char* utf16_host_order = "UTF-16LE";
#else
constexpr const char* utf16_host_order = "UTF-16BE";
#endif

// The stand-in's error codes are the system's own (errno values), like those of its events, so the
// helper library's system text for them is the right one.
constexpr t_uint32 error_not_enough_memory = ENOMEM;
constexpr t_uint32 error_invalid_parameter = EINVAL;
constexpr t_uint32 error_insufficient_buffer = ENOBUFS;
constexpr t_uint32 error_arithmetic_overflow = EOVERFLOW;

std::atomic<const char*> code_page{"WINDOWS-1252"};

// Every name ever accepted stays alive for the whole process, so a pointer that
// ansi_code_page() handed out, or that a conversion in another thread is using, never dangles.
std::mutex names_lock;
std::forward_list<std::string>& kept_names() {
    static auto* names = new std::forward_list<std::string>;
    return *names;
}

// Where converted bytes go: the caller's buffer, or (out == null) a scratch area that is only
// counted.
struct ansi_sink {
    char* out;
    std::size_t capacity;
    std::size_t used = 0;
    char scratch[64] = {};
};

// Converts while iconv can. Returns 0 when all input is consumed; EILSEQ or EINVAL with *in left
// on a character the code page lacks or a broken surrogate; E2BIG when the caller's buffer is
// full. in == null flushes the shift state.
int pump(iconv_t cd, char** in, std::size_t* in_left, ansi_sink& sink) {
    for (;;) {
        char* out = sink.out ? sink.out + sink.used : sink.scratch;
        std::size_t out_left = sink.out ? sink.capacity - sink.used : sizeof sink.scratch;
        const std::size_t room = out_left;
        const std::size_t result = iconv(cd, in, in_left, &out, &out_left);
        const int error = errno;
        sink.used += room - out_left;
        if (result != static_cast<std::size_t>(-1)) return 0;
        if (error == E2BIG && !sink.out) continue;
        return error;
    }
}

bool is_high_surrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool is_low_surrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

int fail(t_uint32 code) {
    platform::set_last_error(code);
    return 0;
}

}  // namespace

namespace platform {

int wide_to_ansi(const char16_t* text, int units, char* out, int out_bytes) noexcept {
    if (!text || units == 0 || units < -1 || out_bytes < 0 || (out_bytes > 0 && !out)) {
        return fail(error_invalid_parameter);
    }
    std::size_t count = static_cast<std::size_t>(units);
    if (units == -1) {
        count = 0;
        while (text[count] != 0) ++count;
        ++count;  // the terminator is converted and counted too
    }

    const iconv_t cd = iconv_open(code_page.load(), utf16_host_order);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return fail(errno == ENOMEM ? error_not_enough_memory : error_invalid_parameter);
    }

    ansi_sink sink{out_bytes > 0 ? out : nullptr, static_cast<std::size_t>(out_bytes)};
    std::size_t done = 0;  // units consumed
    int error = 0;
    while (done < count) {
        char* in = reinterpret_cast<char*>(const_cast<char16_t*>(text + done));
        std::size_t in_left = (count - done) * sizeof(char16_t);
        error = pump(cd, &in, &in_left, sink);
        done = count - in_left / sizeof(char16_t);
        if (error == 0 || error == E2BIG) break;
        if (error != EILSEQ && error != EINVAL) break;
        // One character the code page cannot hold, a surrogate pair counting as one.
        error = 0;
        const bool pair = done + 1 < count && is_high_surrogate(text[done]) &&
                          is_low_surrogate(text[done + 1]);
        done += pair ? 2 : 1;
        if (sink.out && sink.used == sink.capacity) {
            error = E2BIG;
            break;
        }
        if (sink.out) sink.out[sink.used] = '?';
        ++sink.used;
    }
    if (error == 0) error = pump(cd, nullptr, nullptr, sink);
    iconv_close(cd);

    if (error == E2BIG) return fail(error_insufficient_buffer);
    if (error != 0) return fail(error_invalid_parameter);
    if (sink.used > static_cast<std::size_t>(INT_MAX)) return fail(error_arithmetic_overflow);
    return static_cast<int>(sink.used);
}

}  // namespace platform

namespace platform::standin {

bool set_ansi_code_page(const char* iconv_name) noexcept {
    // An empty name would mean the locale's own charset to iconv, and a "//" suffix would turn
    // on transliteration or skipping: neither is a code page.
    if (!iconv_name || *iconv_name == 0 || std::strchr(iconv_name, '/')) return false;
    const iconv_t cd = iconv_open(iconv_name, utf16_host_order);
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    iconv_close(cd);
    try {
        const std::lock_guard<std::mutex> hold(names_lock);
        auto& names = kept_names();
        for (const std::string& name : names) {
            if (name == iconv_name) {
                code_page = name.c_str();
                return true;
            }
        }
        names.emplace_front(iconv_name);
        code_page = names.front().c_str();
        return true;
    } catch (...) {
        return false;
    }
}

const char* ansi_code_page() noexcept { return code_page.load(); }

}  // namespace platform::standin
