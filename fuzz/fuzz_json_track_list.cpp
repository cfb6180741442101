// The JSON track-list reader on any bytes: a list of tracks or an input_error, nothing else.

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "fuzz/fuzz_check.h"
#include "host/json_track_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream input(std::string(reinterpret_cast<const char*>(data), size));
    try {
        for (const host::track_entry& track : host::read_json_track_list(input, "fuzz.json"))
            FUZZ_CHECK(track.path.find('\0') == std::string::npos);
    } catch (const host::input_error& error) {
        // Every rejection names the input and a position.
        FUZZ_CHECK(std::string(error.what()).rfind("fuzz.json:", 0) == 0);
    }
    return 0;
}
