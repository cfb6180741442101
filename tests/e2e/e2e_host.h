// The stand-in host around the built component, as the end-to-end tests use it: the component
// loaded from its library, the host's services registered, a selection made of host track handles,
// a recording save dialog, and "Create cuesheet..." run through the host's menu path.
#pragma once

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "abi/filesystem.h"
#include "host/component_loader.h"
#include "host/context_menu.h"
#include "host/counted_service.h"
#include "host/host_services.h"
#include "host/local_filesystem.h"
#include "host/track_handles.h"
#include "host/utf16_text.h"
#include "platform/standin.h"
#include "tests/host/scratch_dir.h"

namespace e2e {

// What the dialog was shown, as the user would have seen it.
struct dialog_seen {
    int times_shown = 0;
    std::u16string title;
    std::vector<std::u16string> filters;  // description, pattern, description, pattern, ...
    t_uint32 preselected = 0;
    std::u16string default_extension;
    t_uint32 flags = 0;
    std::string proposed_name;            // UTF-8
    t_uint32 file_capacity = 0;
};

// Installed for its lifetime: records what the dialog showed and answers with a path and a filter
// index, or cancels. before_answer runs while the dialog is open (the user taking their time).
class recording_dialog {
public:
    recording_dialog() { platform::standin::set_save_dialog_answerer(&answer_of, this); }
    ~recording_dialog() { platform::standin::set_save_dialog_answerer(nullptr, nullptr); }
    recording_dialog(const recording_dialog&) = delete;
    recording_dialog& operator=(const recording_dialog&) = delete;

    void answer(std::string path, t_uint32 filter_index) {
        path_ = std::move(path);
        filter_index_ = filter_index;
        cancel_ = false;
    }
    void cancel() { cancel_ = true; }

    const dialog_seen& seen() const { return seen_; }
    void (*before_answer)(void* context) = nullptr;
    void* before_answer_context = nullptr;

private:
    static bool answer_of(platform::save_dialog_settings& settings, void* context) {
        auto& self = *static_cast<recording_dialog*>(context);
        dialog_seen& seen = self.seen_;
        ++seen.times_shown;
        seen.title = settings.title ? settings.title : u"<null>";
        seen.filters.clear();
        for (const char16_t* part = settings.filter; part && *part; part += std::char_traits<char16_t>::length(part) + 1) {
            seen.filters.emplace_back(part);
        }
        seen.preselected = settings.filter_index;
        seen.default_extension = settings.default_extension ? settings.default_extension : u"<null>";
        seen.flags = settings.flags;
        seen.proposed_name = host::utf8_from_utf16(settings.file);
        seen.file_capacity = settings.file_capacity;
        if (self.before_answer) self.before_answer(self.before_answer_context);
        if (self.cancel_) return false;

        const std::u16string path = host::utf16_from_utf8(self.path_).value();
        if (path.size() + 1 > settings.file_capacity) return false;
        std::char_traits<char16_t>::copy(settings.file, path.c_str(), path.size() + 1);
        settings.filter_index = self.filter_index_;
        return true;
    }

    dialog_seen seen_;
    std::string path_;
    t_uint32 filter_index_ = 1;
    bool cancel_ = true;
};

// The dialog's filter indexes, 1-based as the dialog reports them.
enum filter : t_uint32 { utf8_per_file = 1, ansi_per_file = 2, utf8_album_image = 3, ansi_album_image = 4 };

using field_list = std::vector<std::pair<std::string, std::vector<std::string>>>;

inline host::track_entry track(std::string path, double length, const field_list& fields = {}) {
    host::track_entry entry;
    entry.path = std::move(path);
    entry.info.set_length(length);
    for (const auto& [name, values] : fields) entry.info.add_field(name, values);
    return entry;
}

inline host::track_entry track_without_info(std::string path) {
    host::track_entry entry;
    entry.path = std::move(path);
    entry.info_missing = true;
    return entry;
}

// Lines joined as the sheet writes them, each ending in CR LF.
inline std::string sheet(std::initializer_list<std::string_view> lines) {
    std::string text;
    for (std::string_view line : lines) (text += line) += "\r\n";
    return text;
}

class e2e_test : public ::testing::Test {
protected:
    void SetUp() override {
        live_objects_ = host::live_counted_objects();
        open_events_ = platform::standin::open_events();
    }

    // Whatever a test did, the component must have let go of every host object it was handed and
    // closed its event; the services the host registered are still held by api here.
    void TearDown() override {
        platform::standin::fail_heap_call(0);
        platform::standin::fail_next_event_creation(0);
        EXPECT_EQ(host::host_track_handle::live_handles(), 0);
        EXPECT_EQ(platform::standin::open_events(), open_events_);
        api.clear_services();
        EXPECT_EQ(host::live_counted_objects(), live_objects_);
    }

    service_ref add_local_files() {
        service_ref files = host::make_counted<host::local_filesystem>();
        api.add_service(filesystem::class_guid, files);
        return files;
    }

    // Chooses "Create cuesheet..." in the menu for tracks and runs it.
    void run_export(host::host_track_list& tracks) {
        const std::vector<host::menu_command> commands = host::menu_commands(component, tracks);
        const host::menu_command* command = host::find_menu_command(commands, "Create cuesheet...");
        if (command == nullptr) throw std::runtime_error("the menu does not offer \"Create cuesheet...\"");
        host::run_menu_command(*command, tracks);
    }

    // Exports tracks with the given filter into out.cue and returns what was written.
    std::string export_to_file(host::host_track_list& tracks, t_uint32 filter_index,
                               const std::string& name = "out.cue") {
        dialog.answer(dir / name, filter_index);
        run_export(tracks);
        return test_support::read_file(dir / name);
    }

    // Every lock the component took it gave back, and it peeked only under the lock.
    static void expect_locks_balanced(const host::host_track_list& tracks) {
        for (std::size_t i = 0; i < tracks.size(); ++i) {
            const host::host_track_handle& handle = tracks.handle(i);
            EXPECT_EQ(handle.lock_calls(), handle.unlock_calls()) << "track " << i;
            EXPECT_EQ(handle.unbalanced_unlocks(), 0u) << "track " << i;
            EXPECT_EQ(handle.unlocked_peeks(), 0u) << "track " << i;
            EXPECT_FALSE(handle.locked()) << "track " << i;
        }
    }

    host::host_api_impl api;
    host::loaded_component component{TREVALIN_COMPONENT_PATH, api};
    test_support::scratch_dir dir;
    recording_dialog dialog;

private:
    long live_objects_ = 0;
    long open_events_ = 0;
};

}  // namespace e2e
