#include "cli/sheet_warnings.h"

#include <iconv.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

#include "cli/track_numbers.h"
#include "host/local_filesystem.h"

namespace cli {

namespace {

// The tag fields the sheet writes.
const char* const sheet_field_names[] = {"album artist", "artist",  "album",      "genre", "date", "discid",
                                         "comment",      "catalog", "songwriter", "title", "isrc"};

constexpr std::size_t most_tracks_readers_take = 99;
constexpr long long cd_frame_samples = 588;  // one frame of 1/75 s at 44.1 kHz

std::string lower_ascii(std::string text) {
    for (char& c : text) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return text;
}

std::string local_path(const host::host_track_handle& track) {
    const char* path = track.location()->path();
    const std::string local = host::local_filesystem::local_path_of(path);
    return local.empty() ? std::string(path) : local;
}

// A track the host holds no information for reads as an empty record.
const host::host_track_info& info_of(const host::host_track_handle& track) {
    static const host::host_track_info none;
    const host::host_track_info* info = track.info();
    return info != nullptr ? *info : none;
}

// The name the component gives a track's FILE line: after the last of \ / | :, up to the first ?.
std::string sheet_file_name(const std::string& path) {
    const std::size_t separator = path.find_last_of("\\/|:");
    const std::size_t start = separator == std::string::npos ? 0 : separator + 1;
    const std::size_t question = path.find('?', start);
    return path.substr(start, question == std::string::npos ? std::string::npos : question - start);
}

std::string file_name(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string folder_of(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
}

// The album image's extension as the component takes it: after the last dot of the file name,
// up to the first ?, empty from 32 characters on.
std::string image_extension(const std::string& path) {
    const std::size_t separator = path.find_last_of("\\/|:");
    const std::string name = separator == std::string::npos ? path : path.substr(separator + 1);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos) return {};
    const std::string extension = name.substr(dot + 1, name.find('?', dot) - dot - 1);
    return extension.size() >= 32 ? std::string() : extension;
}

std::string field_text(const host::host_track_info& info, const char* name) {
    const t_uint32 field = info.find_field(name, ~t_uint32{0});
    std::string text;
    if (field == ~t_uint32{0}) return text;
    for (t_uint32 v = 0; v < info.field_value_count(field); ++v) {
        if (v > 0) text += ", ";
        text += info.field_value(field, v);
    }
    return text;
}

std::string info_value(const host::host_track_info& info, const char* name) {
    const t_uint32 index = info.find_info(name, ~t_uint32{0});
    return index == ~t_uint32{0} ? std::string() : std::string(info.info_value(index));
}

// Counts the characters of UTF-8 text that a code page has no byte for; a byte that is no UTF-8
// counts as one character too, as it becomes one replacement character.
class code_page_fit {
public:
    explicit code_page_fit(const std::string& code_page) : cd_(::iconv_open(code_page.c_str(), "UTF-8")) {}
    ~code_page_fit() {
        if (usable()) ::iconv_close(cd_);
    }
    code_page_fit(const code_page_fit&) = delete;
    code_page_fit& operator=(const code_page_fit&) = delete;

    bool usable() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    std::size_t misfits(const std::string& text) {
        std::size_t count = 0;
        for (std::size_t i = 0; i < text.size();) {
            const auto lead = static_cast<unsigned char>(text[i]);
            std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
            length = std::min(length, text.size() - i);
            if (lead >= 0x80 && !fits(text.substr(i, length))) ++count;
            i += length;
        }
        return count;
    }

private:
    bool fits(std::string character) {
        char out[16];
        char* in = character.data();
        std::size_t in_left = character.size();
        char* to = out;
        std::size_t out_left = sizeof out;
        const bool converted = ::iconv(cd_, &in, &in_left, &to, &out_left) != static_cast<std::size_t>(-1) && in_left == 0;
        ::iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        return converted;
    }

    iconv_t cd_;
};

void warn_track_count(const sheet_plan& plan, std::vector<std::string>& warnings) {
    const std::size_t count = plan.tracks->size();
    if (count <= most_tracks_readers_take) return;
    std::vector<std::size_t> beyond;
    for (std::size_t number = most_tracks_readers_take + 1; number <= count; ++number) beyond.push_back(number);
    warnings.push_back(std::to_string(count) + " tracks: most programs that read cue sheets take at most " +
                       std::to_string(most_tracks_readers_take) + " and refuse or drop " + track_numbers_text(beyond));
}

void warn_repeated_files(const sheet_plan& plan, const std::vector<std::string>& paths, std::vector<std::string>& warnings) {
    std::map<std::string, std::vector<std::size_t>> positions;
    for (std::size_t i = 0; i < plan.tracks->size(); ++i) positions[paths[i]].push_back(i + 1);
    for (const auto& [path, numbers] : positions) {
        if (numbers.size() > 1)
            warnings.push_back(track_numbers_text(numbers) + " are the same file, " + path +
                               ": the sheet places each copy after the one before, past the file's end");
    }
}

void warn_same_names(const sheet_plan& plan, const std::vector<std::string>& paths, std::vector<std::string>& warnings) {
    struct same_name {
        std::string name;
        std::set<std::string> folders;
        std::vector<std::size_t> numbers;
    };
    // The component compares the names without regard to letter case.
    std::map<std::string, same_name> names;
    for (std::size_t i = 0; i < plan.tracks->size(); ++i) {
        const std::string& path = paths[i];
        std::string name = sheet_file_name(path);
        same_name& entry = names[lower_ascii(name)];
        entry.name = std::move(name);
        entry.folders.insert(folder_of(path));
        entry.numbers.push_back(i + 1);
    }
    for (const auto& [key, entry] : names) {
        if (entry.folders.size() < 2) continue;
        std::string folders;
        for (const auto& folder : entry.folders) folders += (folders.empty() ? "" : ", ") + folder;
        warnings.push_back(track_numbers_text(entry.numbers) + " have the same file name \"" + entry.name +
                           "\" in different folders (" + folders + "): the sheet cannot tell the files apart");
    }
}

void warn_unnamable_files(const sheet_plan& plan, const std::vector<std::string>& paths, std::vector<std::string>& warnings) {
    for (std::size_t i = 0; i < plan.tracks->size(); ++i) {
        const std::string& path = paths[i];
        const std::string actual = file_name(path);
        const std::string written = sheet_file_name(path);
        std::string reason;
        if (written != actual) {
            reason = "the FILE line would name \"" + written + "\"";
        } else if (actual.find('"') != std::string::npos) {
            reason = "a FILE line cannot hold a double quote";
        } else {
            for (const char c : actual) {
                if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) reason = "a FILE line cannot hold a control character";
            }
        }
        if (!reason.empty())
            warnings.push_back(track_numbers_text({i + 1}) + ": the file name \"" + actual +
                               "\" cannot be named exactly in a cue sheet: " + reason);
    }
}

void warn_several_images(const sheet_plan& plan, const std::vector<std::string>& paths, std::vector<std::string>& warnings) {
    std::vector<std::pair<std::string, std::vector<std::size_t>>> images;  // in order of first use
    for (std::size_t i = 0; i < plan.tracks->size(); ++i) {
        const std::string name = "Image." + image_extension(paths[i]);
        auto image = std::find_if(images.begin(), images.end(), [&](const auto& entry) { return entry.first == name; });
        if (image == images.end()) image = images.insert(images.end(), {name, {}});
        image->second.push_back(i + 1);
    }
    if (images.size() < 2) return;
    std::string list;
    for (const auto& [name, numbers] : images) list += (list.empty() ? "" : ", ") + name + " (" + track_numbers_text(numbers) + ")";
    warnings.push_back("the files have " + std::to_string(images.size()) +
                       " extensions, so the album image sheet names one image for each: " + list);
}

// Only a length followed by another track of the same image moves an INDEX time; the last track
// of an image may end anywhere.
void warn_partial_cd_frames(const sheet_plan& plan, const std::vector<std::string>& paths, std::vector<std::string>& warnings) {
    const host::host_track_list& tracks = *plan.tracks;
    std::vector<std::size_t> numbers;
    for (std::size_t i = 0; i + 1 < tracks.size(); ++i) {
        if (image_extension(paths[i]) != image_extension(paths[i + 1])) continue;
        const host::host_track_info& info = info_of(tracks.handle(i));
        if (info_value(info, "samplerate") != "44100") continue;
        const auto samples = std::llround(info.get_length() * 44100.0);
        if (samples % cd_frame_samples != 0) numbers.push_back(i + 1);
    }
    if (!numbers.empty())
        warnings.push_back(std::string(numbers.size() == 1 ? "the length of " : "the lengths of ") +
                           track_numbers_text(numbers) + (numbers.size() == 1 ? " is not a whole number" : " are not whole numbers") + " of CD frames" +
                           " (588 samples at 44.1 kHz): the image's INDEX times are rounded, and cutting the image at "
                           "them does not give the tracks back exactly");
}

void warn_code_page_misfits(const sheet_plan& plan, const std::vector<std::string>& paths, std::vector<std::string>& warnings) {
    code_page_fit fit(plan.code_page);
    if (!fit.usable()) return;
    const bool image = plan.filter_index == 3 || plan.filter_index == 4;
    struct misfit {
        std::size_t characters = 0;
        std::vector<std::size_t> numbers;
    };
    std::vector<std::pair<std::string, misfit>> fields;  // in the order they are met
    auto count = [&](const std::string& field, const std::string& text, std::size_t number) {
        const std::size_t misfits = fit.misfits(text);
        if (misfits == 0) return;
        auto entry = std::find_if(fields.begin(), fields.end(), [&](const auto& e) { return e.first == field; });
        if (entry == fields.end()) entry = fields.insert(fields.end(), {field, {}});
        entry->second.characters += misfits;
        entry->second.numbers.push_back(number);
    };
    std::size_t total = 0;
    for (std::size_t i = 0; i < plan.tracks->size(); ++i) {
        const host::host_track_handle& track = plan.tracks->handle(i);
        for (const char* name : sheet_field_names) count(name, field_text(info_of(track), name), i + 1);
        const std::string& path = paths[i];
        count("file name", image ? image_extension(path) : sheet_file_name(path), i + 1);
    }
    if (fields.empty()) return;
    std::string list;
    for (const auto& [field, entry] : fields) {
        total += entry.characters;
        list += (list.empty() ? "" : ", ") + std::to_string(entry.characters) + " in " + field + " (" +
                track_numbers_text(entry.numbers) + ")";
    }
    warnings.push_back("the code page " + plan.code_page + " cannot hold " + std::to_string(total) +
                       (total == 1 ? " character" : " characters") + ", which become \"?\": " + list);
}

}  // namespace

std::vector<std::string> sheet_warnings(const sheet_plan& plan) {
    std::vector<std::string> warnings;
    const bool image = plan.filter_index == 3 || plan.filter_index == 4;
    const bool ansi = plan.filter_index == 2 || plan.filter_index == 4;
    warn_track_count(plan, warnings);
    // Every check but the count reads the paths; they are worked out once.
    std::vector<std::string> paths;
    paths.reserve(plan.tracks->size());
    for (std::size_t i = 0; i < plan.tracks->size(); ++i) paths.push_back(local_path(plan.tracks->handle(i)));
    if (plan.whole_files) warn_repeated_files(plan, paths, warnings);
    if (image) {
        warn_several_images(plan, paths, warnings);
        warn_partial_cd_frames(plan, paths, warnings);
    } else {
        warn_same_names(plan, paths, warnings);
        warn_unnamable_files(plan, paths, warnings);
    }
    if (ansi) warn_code_page_misfits(plan, paths, warnings);
    return warnings;
}

}  // namespace cli
