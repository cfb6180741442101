// The save dialog step: what the dialog is shown with, and how its answer comes back.

#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <stdexcept>
#include <string>

#include "cuesheet/save_dialog.h"
#include "platform/save_dialog.h"
#include "platform/standin.h"

namespace {

// What the dialog was shown with.
struct shown_settings {
    std::u16string title;
    std::u16string filter;  // through its final double NUL
    t_uint32 filter_index = 0;
    std::u16string default_extension;
    t_uint32 flags = 0;
    std::u16string proposed_name;
    t_uint32 file_capacity = 0;
};

// A user in front of the dialog: records what it sees, then types a name and picks a filter, or
// cancels. Like a real dialog, it appends the default extension to a name without one.
struct scripted_user {
    bool confirm = true;
    std::u16string typed;
    t_uint32 chosen_filter = 1;
    bool raw = false;  // hand back typed as it stands, unbounded (a misbehaving answerer)
    int calls = 0;
    shown_settings seen;

    static bool answer(platform::save_dialog_settings& settings, void* context) {
        auto& user = *static_cast<scripted_user*>(context);
        ++user.calls;
        shown_settings& seen = user.seen;
        seen.title = settings.title ? settings.title : u"";
        seen.filter.clear();
        for (std::size_t i = 0; settings.filter; ++i) {
            seen.filter += settings.filter[i];
            if (i > 0 && settings.filter[i] == 0 && settings.filter[i - 1] == 0) break;
        }
        seen.filter_index = settings.filter_index;
        seen.default_extension = settings.default_extension ? settings.default_extension : u"";
        seen.flags = settings.flags;
        seen.proposed_name = settings.file;
        seen.file_capacity = settings.file_capacity;
        if (!user.confirm) return false;

        std::u16string path = user.typed;
        const std::size_t name_start = path.find_last_of(u'/') + 1;
        if (!user.raw && settings.default_extension &&
            path.find(u'.', name_start) == std::u16string::npos) {
            path += u'.';
            path += settings.default_extension;
        }
        if (!user.raw && path.size() >= settings.file_capacity) return false;
        std::memcpy(settings.file, path.data(), path.size() * sizeof(char16_t));
        if (path.size() < settings.file_capacity) settings.file[path.size()] = 0;
        settings.filter_index = user.chosen_filter;
        return true;
    }
};

const std::u16string expected_filter(
    u"UTF-8 Cuesheet (*.cue)\0*.cue\0"
    u"ANSI Cuesheet (*.cue)\0*.cue\0"
    u"UTF-8 Album Image Cuesheet (*.cue)\0*.cue\0"
    u"ANSI Album Image Cuesheet (*.cue)\0*.cue\0\0",
    29 + 28 + 41 + 40 + 1);

class save_dialog : public ::testing::Test {
protected:
    void install() { platform::standin::set_save_dialog_answerer(&scripted_user::answer, &user); }
    void TearDown() override {
        platform::standin::set_save_dialog_answerer(nullptr, nullptr);
        platform::standin::fail_heap_call(0);
    }

    // Runs the dialog step with a path buffer and mode that show whether they were touched.
    bool ask(const char* proposed) {
        std::memset(path, '#', sizeof path);
        path[sizeof path - 1] = 0;
        mode = ansi_per_file;
        return ask_output_path(proposed, path, mode);
    }

    scripted_user user;
    char path[vesk::utf8_path_capacity];
    cue_output_mode mode = ansi_per_file;
};

TEST_F(save_dialog, shows_title_filters_extension_flags_and_the_proposed_name) {
    install();
    user.typed = u"/music/Album X.cue";
    ASSERT_TRUE(ask("Album X.cue"));
    EXPECT_EQ(user.seen.title, u"Save Cuesheet");
    EXPECT_EQ(user.seen.filter, expected_filter);
    EXPECT_EQ(user.seen.filter_index, 1u);
    EXPECT_EQ(user.seen.default_extension, u"cue");
    EXPECT_EQ(user.seen.flags, 0x1802u);
    EXPECT_EQ(user.seen.flags, platform::ofn_overwrite_prompt | platform::ofn_path_must_exist |
                                   platform::ofn_file_must_exist);
    EXPECT_EQ(user.seen.proposed_name, u"Album X.cue");
    EXPECT_EQ(user.seen.file_capacity, 1024u);
    // Keeping the preselected filter.
    EXPECT_EQ(mode, utf8_per_file);
    EXPECT_STREQ(path, "/music/Album X.cue");
}

TEST_F(save_dialog, proposed_names_are_shown_unchanged_or_cut_to_1023_units) {
    install();
    user.typed = u"/tmp/x.cue";
    ASSERT_TRUE(ask(".cue"));
    EXPECT_EQ(user.seen.proposed_name, u".cue");
    ASSERT_TRUE(ask(""));
    EXPECT_EQ(user.seen.proposed_name, u"");
    ASSERT_TRUE(ask("\xD0\x90\xF0\x9F\x8E\xB5.cue"));
    EXPECT_EQ(user.seen.proposed_name, u"\u0410\xD83C\xDFB5.cue");

    const std::string long_name(1500, 'n');
    ASSERT_TRUE(ask(long_name.c_str()));
    EXPECT_EQ(user.seen.proposed_name, std::u16string(1023, u'n'));
}

TEST_F(save_dialog, a_name_typed_without_extension_gets_the_default_one) {
    install();
    user.typed = u"/music/sheet";
    ASSERT_TRUE(ask("Album.cue"));
    EXPECT_STREQ(path, "/music/sheet.cue");
}

TEST_F(save_dialog, the_chosen_filter_sets_the_mode) {
    install();
    user.typed = u"/tmp/x.cue";
    const cue_output_mode expected[] = {utf8_per_file, ansi_per_file, utf8_album_image,
                                        ansi_album_image};
    for (t_uint32 filter = 1; filter <= 4; ++filter) {
        SCOPED_TRACE(filter);
        user.chosen_filter = filter;
        ASSERT_TRUE(ask("x.cue"));
        EXPECT_EQ(mode, expected[filter - 1]);
    }
    // An index the list cannot produce leaves the caller's mode.
    for (t_uint32 filter : {0u, 5u}) {
        user.chosen_filter = filter;
        ASSERT_TRUE(ask("x.cue"));
        EXPECT_EQ(mode, ansi_per_file);
    }
}

TEST_F(save_dialog, a_cancel_leaves_path_and_mode_as_they_were) {
    install();
    user.confirm = false;
    user.chosen_filter = 4;
    EXPECT_FALSE(ask("Album.cue"));
    EXPECT_EQ(user.calls, 1);
    EXPECT_EQ(mode, ansi_per_file);
    EXPECT_EQ(std::string(path), std::string(sizeof path - 1, '#'));
}

TEST_F(save_dialog, without_an_answerer_every_dialog_is_a_cancel) {
    EXPECT_FALSE(ask("Album.cue"));
    EXPECT_EQ(user.calls, 0);
    EXPECT_EQ(mode, ansi_per_file);
    EXPECT_EQ(path[0], '#');
}

TEST_F(save_dialog, answers_no_real_dialog_could_give_are_cancels) {
    install();
    // An empty name.
    user.typed = u"";
    user.raw = true;
    EXPECT_FALSE(ask("Album.cue"));
    // A name filling the whole buffer without its terminator.
    user.typed = std::u16string(1024, u'z');
    EXPECT_FALSE(ask("Album.cue"));
    EXPECT_EQ(path[0], '#');
    EXPECT_EQ(mode, ansi_per_file);

    platform::standin::set_save_dialog_answerer(
        [](platform::save_dialog_settings&, void*) -> bool { throw std::runtime_error("no tty"); },
        nullptr);
    EXPECT_FALSE(ask("Album.cue"));
}

TEST_F(save_dialog, the_chosen_path_arrives_as_utf8) {
    install();
    user.typed = u"/music/caf\u00e9 \xD83C\xDFB5.cue";
    ASSERT_TRUE(ask("x.cue"));
    EXPECT_STREQ(path, "/music/caf\xC3\xA9 \xF0\x9F\x8E\xB5.cue");
}

TEST_F(save_dialog, a_path_over_2047_utf8_bytes_is_cut_at_2047) {
    install();
    user.typed = u"/" + std::u16string(900, u'\u20ac');  // 1 + 2700 bytes
    ASSERT_TRUE(ask("x.cue"));
    EXPECT_EQ(std::strlen(path), 2047u);
    std::string expected = "/";
    for (int i = 0; i < 682; ++i) expected += "\xE2\x82\xAC";
    EXPECT_EQ(std::string(path), expected);
}

TEST_F(save_dialog, running_out_of_memory_raises_before_the_dialog) {
    install();
    platform::standin::fail_heap_call(1);
    EXPECT_THROW(ask("Album.cue"), std::bad_alloc);
    EXPECT_EQ(user.calls, 0);
    EXPECT_EQ(mode, ansi_per_file);
}

}  // namespace
