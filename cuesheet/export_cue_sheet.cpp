#include "cuesheet/export_cue_sheet.h"

#include "abi/filesystem.h"
#include "abi/shared_library.h"
#include "cuesheet/byte_mapping.h"
#include "cuesheet/cue_output_mode.h"
#include "cuesheet/cue_sheet_writer.h"
#include "cuesheet/cue_text.h"
#include "cuesheet/cue_track.h"
#include "cuesheet/save_dialog.h"
#include "io/abort_callback_impl.h"
#include "trackinfo/track_info_impl.h"
#include "vesk/charset.h"

namespace {

// Unlocks when the read is over, also when an exception passes.
class track_lock {
public:
    explicit track_lock(track_handle& handle) : handle_(handle) { handle_.lock(); }
    ~track_lock() { handle_.unlock(); }
    track_lock(const track_lock&) = delete;
    track_lock& operator=(const track_lock&) = delete;

private:
    track_handle& handle_;
};

track_handle& handle_at(const track_handle_list& tracks, t_uint32 index, service_ref& holder) {
    tracks.get_handle(&holder, index);
    return *holder.as<track_handle>();
}

// The first value of the first track's ALBUM field, plus ".cue", made safe as a file name.
vesk::string8_t<vesk::alloc_standard> proposed_name_of(const track_info& first) {
    vesk::string8_t<vesk::alloc_standard> name;
    const t_uint32 album = first.find_field("ALBUM", vesk::length_up_to_nul);
    if (album != vesk::index_not_found && first.field_value_count(album) > 0)
        name.assign(first.field_value(album, 0), vesk::length_up_to_nul);
    name.append(".cue", vesk::length_up_to_nul);
    clean_file_name(name);
    return name;
}

// The name the sheet's FILE entry gives the track: its own file name, or "Image." plus its
// extension when all tracks go into one album image.
void set_file_name(cue_track& record, const char* path, cue_output_mode mode) {
    if (is_album_image(mode)) {
        char extension[extension_capacity];
        extension_of_path(path, extension);
        record.file_name.assign("Image.", vesk::length_up_to_nul);
        record.file_name.append(extension, vesk::length_up_to_nul);
    } else {
        record.file_name = file_name_of_path(path);
    }
}

void write_text(orvanta_io::stream_writer& file, const vesk::string_base& cue_text, cue_output_mode mode,
                orvanta_io::abort_callback& abort) {
    if (is_ansi(mode)) {
        const vesk::ansi_text converted = vesk::ansi_text_from_utf8(cue_text.text(), cue_text.length());
        file.write(converted.data(), converted.size() - 1, abort);
    } else {
        file.write(cue_text.text(), cue_text.length(), abort);
    }
}

}  // namespace

void clean_file_name(vesk::string8_t<vesk::alloc_standard>& text) {
    map_bytes(text, [](char c) {
        switch (c) {
        case '\\': case '/': case '|': case ':': case '*': case '?': case '"': case '>': case '<':
            return '_';
        default:
            return c;
        }
    });
}

double track_length_of(track_handle& handle) {
    const service_ref hold(&handle);
    const track_lock lock(handle);
    const track_info* info = nullptr;
    return handle.peek_info(&info) && info ? info->get_length() : 0.0;
}

bool export_cue_sheet(track_handle_list& tracks) {
    orvanta_io::abort_callback_impl abort;

    // An empty selection has no first track to name the sheet after; the menu hides the command
    // for it, and a host that runs it anyway gets nothing written.
    if (tracks.count() == 0) return false;

    track_info_impl first_info;
    {
        service_ref holder;
        handle_at(tracks, 0, holder).fill_info(first_info);
    }
    const vesk::string8_t<vesk::alloc_standard> proposed_name = proposed_name_of(first_info);

    char output_path[vesk::utf8_path_capacity] = {};
    cue_output_mode mode = utf8_per_file;
    if (!ask_output_path(proposed_name.text(), output_path, mode)) return false;

    cue_track_list records;
    vesk::string8_t<vesk::alloc_standard> previous_name;
    double start = 0.0;
    double previous_length = 0.0;
    // Compared with a fresh count after every pass; stopping at or past it also ends the loop for
    // a host whose selection shrinks meanwhile.
    for (t_uint32 counter = 0; counter < tracks.count();) {
        cue_track record;
        service_ref holder;
        track_handle& handle = handle_at(tracks, counter, holder);
        handle.fill_info(record.info);
        set_file_name(record, handle.location()->path(), mode);

        // Tracks that share a file (ignoring case) run on from the previous one's end.
        start = stricmp_utf8(previous_name.text(), record.file_name.text()) == 0 ? start + previous_length : 0.0;
        record.track_number = ++counter;
        set_index_times(record, start);
        records.append_record(record);

        previous_name.assign(record.file_name.text(), vesk::length_up_to_nul);
        previous_length = track_length_of(handle);
    }

    vesk::string8_t<vesk::alloc_fast_aggressive> cue_text;
    write_cue_sheet(cue_text, records);

    service_ref output;
    filesystem::g_open(&output, output_path, filesystem::open_mode_write_new, abort);
    write_text(*output.as<output_file>(), cue_text, mode, abort);
    return true;
}
