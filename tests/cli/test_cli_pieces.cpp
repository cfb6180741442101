// The command's pieces in-process: completing a typed name, the dialog's settings read and
// answered, code page names, and the prompt's dialogue.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "cli/closing_line.h"
#include "cli/code_page.h"
#include "cli/dialog_answer.h"
#include "cli/dialog_choice.h"
#include "cli/dialog_request.h"
#include "cli/exit_status.h"
#include "cli/messages.h"
#include "cli/option_answer.h"
#include "cli/output_target.h"
#include "cli/terminal_prompt.h"
#include "host/utf16_text.h"
#include "platform/save_dialog.h"
#include "platform/standin.h"
#include "tests/host/scratch_dir.h"

namespace {

using namespace cli;

// The settings as the component fills them.
struct component_dialog {
    char16_t file[1024] = u"Album X.cue";
    platform::save_dialog_settings settings;

    component_dialog() {
        settings.title = u"Save Cuesheet";
        settings.filter =
            u"UTF-8 Cuesheet (*.cue)\0*.cue\0ANSI Cuesheet (*.cue)\0*.cue\0"
            u"UTF-8 Album Image Cuesheet (*.cue)\0*.cue\0ANSI Album Image Cuesheet (*.cue)\0*.cue\0";
        settings.filter_index = 1;
        settings.default_extension = u"cue";
        settings.flags = platform::ofn_overwrite_prompt | platform::ofn_path_must_exist | platform::ofn_file_must_exist;
        settings.file = file;
        settings.file_capacity = 1024;
    }
};

TEST(cli_dialog_request, reads_title_filters_proposal_and_flags) {
    component_dialog dialog;
    const dialog_request request = read_dialog_request(dialog.settings);
    EXPECT_EQ(request.title, "Save Cuesheet");
    EXPECT_EQ(request.filters, (std::vector<std::string>{"UTF-8 Cuesheet (*.cue)", "ANSI Cuesheet (*.cue)",
                                                         "UTF-8 Album Image Cuesheet (*.cue)",
                                                         "ANSI Album Image Cuesheet (*.cue)"}));
    EXPECT_EQ(request.filter_index, 1u);
    EXPECT_EQ(request.default_extension, "cue");
    EXPECT_TRUE(request.confirm_replace);
    EXPECT_TRUE(request.path_must_exist);
    EXPECT_EQ(request.proposed_name, "Album X.cue");

    // A proposal filling the whole buffer without its terminator is read no further.
    std::fill(std::begin(dialog.file), std::end(dialog.file), u'a');
    EXPECT_EQ(read_dialog_request(dialog.settings).proposed_name, std::string(1024, 'a'));
}

TEST(cli_dialog_request, answer_lands_in_the_buffer_or_is_refused) {
    component_dialog dialog;
    EXPECT_EQ(write_dialog_answer(dialog.settings, "/tmp/Caf\xc3\xa9 \xf0\x9f\x8e\xb5.cue", 3), std::nullopt);
    EXPECT_EQ(std::u16string(dialog.file), u"/tmp/Café 🎵.cue");
    EXPECT_EQ(dialog.settings.filter_index, 3u);

    const std::u16string before(dialog.file);
    EXPECT_EQ(write_dialog_answer(dialog.settings, "bad\xc3", 2), "the path is not valid UTF-8");
    EXPECT_EQ(write_dialog_answer(dialog.settings, std::string(1024, 'a'), 2),
              "the path is too long for the save dialog (at most 1023 UTF-16 units)");
    std::string long_path;
    for (int i = 0; i < 683; ++i) long_path += "\xe2\x82\xac";  // 683 units, 2049 bytes
    EXPECT_EQ(write_dialog_answer(dialog.settings, long_path, 2), "the path is too long (at most 2047 bytes)");
    EXPECT_EQ(std::u16string(dialog.file), before);
    EXPECT_EQ(dialog.settings.filter_index, 3u);
    EXPECT_EQ(write_dialog_answer(dialog.settings, std::string(1023, 'a'), 2), std::nullopt);
}

TEST(cli_utf16_text, converts_both_ways_and_rejects_broken_utf8) {
    EXPECT_EQ(host::utf16_from_utf8("a\xc3\xa9\xe2\x82\xac\xf0\x9f\x8e\xb5"), std::u16string(u"aé€🎵"));
    EXPECT_EQ(host::utf8_from_utf16(u"aé€🎵"), "a\xc3\xa9\xe2\x82\xac\xf0\x9f\x8e\xb5");
    EXPECT_EQ(host::utf8_from_utf16(nullptr), "");
    const char16_t lone_surrogate[] = {u'a', 0xD800, u'b', 0};
    EXPECT_EQ(host::utf8_from_utf16(lone_surrogate), "a\xef\xbf\xbd" "b");
    for (const char* broken : {"\x80", "\xc0\xaf", "\xe0\x80\xaf", "\xed\xa0\x80", "\xf4\x90\x80\x80", "\xc3", "\xe2\x82"}) {
        EXPECT_EQ(host::utf16_from_utf8(broken), std::nullopt) << broken;
    }
}

TEST(cli_output_target, typed_names_complete_as_the_dialog_completes_them) {
    test_support::scratch_dir dir;
    std::filesystem::create_directory(dir / "folder");
    struct row {
        std::string typed;
        std::string path;
    };
    const row rows[] = {
        {"-", "-"},
        {"sheet", "sheet.cue"},
        {"sheet.", "sheet.cue"},
        {"sheet.txt", "sheet.txt"},
        {".cue", ".cue"},
        {"a.b/sheet", "a.b/sheet.cue"},
        {dir / "folder", dir / "folder/Album X.cue"},
        {dir / "folder/", dir / "folder/Album X.cue"},
        {"file://" + (dir / "folder"), "file://" + (dir / "folder/Album X.cue")},
    };
    for (const row& r : rows) EXPECT_EQ(complete_typed_path(r.typed, "Album X.cue", "cue"), r.path) << r.typed;
    EXPECT_EQ(complete_typed_path("sheet", "Album X.cue", ""), "sheet");

    test_support::write_file(dir / "there.cue", "x");
    EXPECT_EQ(state_of_target("-"), target_state::standard_output);
    EXPECT_EQ(state_of_target(dir / "new.cue"), target_state::new_file);
    EXPECT_EQ(state_of_target(dir / "there.cue"), target_state::exists);
    EXPECT_EQ(state_of_target("file://" + (dir / "there.cue")), target_state::exists);
    EXPECT_EQ(state_of_target(dir / "missing/new.cue"), target_state::folder_missing);
    EXPECT_EQ(state_of_target("ftp://host/x.cue"), target_state::not_local);
}

TEST(cli_messages, control_characters_are_shown_escaped) {
    const std::pair<std::string, std::string> rows[] = {
        {"plain \\ text \"as is\"", "plain \\ text \"as is\""},
        {"tab\tline\ncr\r", "tab\\tline\\ncr\\r"},
        {"\x1b[31mred\a\x7f", "\\x1b[31mred\\x07\\x7f"},
        {"caf\xC3\xA9 \xE2\x99\xAA \xF0\x9F\x8E\xB5", "caf\xC3\xA9 \xE2\x99\xAA \xF0\x9F\x8E\xB5"},
        {"c1 \xC2\x9B\xC2\x85 nbsp \xC2\xA0", "c1 \\u009b\\u0085 nbsp \xC2\xA0"},
        {"bad \xFF\xC3 \xE2\x99 \xED\xA0\x80 \xC0\xAF", "bad \\xff\\xc3 \\xe2\\x99 \\xed\\xa0\\x80 \\xc0\\xaf"},
    };
    for (const auto& [text, shown] : rows) EXPECT_EQ(shown_on_terminal(text), shown) << text;
}

TEST(cli_code_page, numbers_name_windows_code_pages_and_other_names_pass_through) {
    EXPECT_EQ(iconv_names_of_code_page("1251"), (std::vector<std::string>{"windows-1251", "CP1251"}));
    EXPECT_EQ(iconv_names_of_code_page("932"), (std::vector<std::string>{"windows-932", "CP932"}));
    EXPECT_EQ(iconv_names_of_code_page("65001"), (std::vector<std::string>{"UTF-8"}));
    EXPECT_EQ(iconv_names_of_code_page("KOI8-R"), (std::vector<std::string>{"KOI8-R"}));

    use_code_page("932");  // no windows-932 in iconv: CP932
    EXPECT_STREQ(platform::standin::ansi_code_page(), "CP932");
    use_code_page("ISO-8859-5");
    EXPECT_STREQ(platform::standin::ansi_code_page(), "ISO-8859-5");
    EXPECT_THROW(use_code_page("no-such-code-page"), usage_error);
    EXPECT_THROW(use_code_page("UTF-8//TRANSLIT"), usage_error);
    // Known to iconv, but no ANSI code page: ASCII would not stay the same bytes.
    for (const char* name : {"UTF-16", "UTF-16LE", "UTF-32", "UTF-7", "IBM037"}) {
        SCOPED_TRACE(name);
        EXPECT_THROW(use_code_page(name), usage_error);
    }
    EXPECT_STREQ(platform::standin::ansi_code_page(), "ISO-8859-5");
    use_code_page("65001");
    EXPECT_STREQ(platform::standin::ansi_code_page(), "UTF-8");
    use_code_page("1252");
}

TEST(cli_installed_dialog_answer, keeps_the_outcome_and_answers_the_platform_dialog) {
    {
        installed_dialog_answer installed([](const dialog_request& request) {
            return dialog_outcome::answer("/tmp/" + request.proposed_name, 4, false);
        });
        component_dialog dialog;
        EXPECT_TRUE(platform::show_save_dialog(dialog.settings));
        EXPECT_EQ(std::u16string(dialog.file), u"/tmp/Album X.cue");
        EXPECT_EQ(dialog.settings.filter_index, 4u);
        EXPECT_EQ(installed.outcome().what, dialog_outcome::kind::answered);
    }
    {
        // A path the dialog cannot return is refused, the caller's buffer untouched.
        installed_dialog_answer installed([](const dialog_request&) { return dialog_outcome::answer("bad\xff", 1, false); });
        component_dialog dialog;
        EXPECT_FALSE(platform::show_save_dialog(dialog.settings));
        EXPECT_EQ(std::u16string(dialog.file), u"Album X.cue");
        EXPECT_EQ(installed.outcome().what, dialog_outcome::kind::refused);
        EXPECT_EQ(installed.outcome().message, "cannot write bad\xff: the path is not valid UTF-8");
    }
    {
        installed_dialog_answer installed([](const dialog_request&) -> dialog_outcome { throw std::runtime_error("tty gone"); });
        component_dialog dialog;
        EXPECT_FALSE(platform::show_save_dialog(dialog.settings));
        EXPECT_EQ(installed.outcome().what, dialog_outcome::kind::failed);
        EXPECT_EQ(installed.outcome().message, "the save dialog failed: tty gone");
    }
    // Gone: the dialog is a cancel again.
    component_dialog dialog;
    EXPECT_FALSE(platform::show_save_dialog(dialog.settings));
}

TEST(cli_option_answer, answers_from_the_options) {
    test_support::scratch_dir dir;
    component_dialog dialog;
    const dialog_request request = read_dialog_request(dialog.settings);
    test_support::write_file(dir / "there.cue", "x");

    const auto answered = answer_from_options(request, dir / "new", 2, false);
    EXPECT_EQ(answered.what, dialog_outcome::kind::answered);
    EXPECT_EQ(answered.path, dir / "new.cue");
    EXPECT_EQ(answered.filter_index, 2u);
    EXPECT_EQ(answer_from_options(request, dir / "there", 1, false).what, dialog_outcome::kind::declined);
    EXPECT_EQ(answer_from_options(request, dir / "there", 1, true).what, dialog_outcome::kind::answered);
    EXPECT_EQ(answer_from_options(request, dir / "no/new", 1, true).what, dialog_outcome::kind::refused);
    // Without the replace confirmation flag there is nothing to decline.
    dialog_request unconfirmed = request;
    unconfirmed.confirm_replace = false;
    EXPECT_EQ(answer_from_options(unconfirmed, dir / "there", 1, false).what, dialog_outcome::kind::answered);

    // Early, only where the proposal does not matter.
    EXPECT_EQ(check_output_early(dir.path().string(), false), std::nullopt);
    EXPECT_EQ(check_output_early(dir / "there", false)->what, dialog_outcome::kind::declined);
    EXPECT_EQ(check_output_early(dir / "there", true), std::nullopt);
    EXPECT_EQ(check_output_early("", false)->what, dialog_outcome::kind::refused);
}

TEST(cli_terminal_prompt, asks_again_until_the_answers_fit) {
    test_support::scratch_dir dir;
    component_dialog dialog;
    dialog_request request = read_dialog_request(dialog.settings);
    request.proposed_name = "Album X.cue";
    std::istringstream in(dir / "no/such" + "\n" + dir / "sheet" + "\n0\n2\n");
    std::ostringstream out;
    const auto outcome = prompt_for_output(request, {}, in, out);
    EXPECT_EQ(outcome.what, dialog_outcome::kind::answered);
    EXPECT_EQ(outcome.path, dir / "sheet.cue");
    EXPECT_EQ(outcome.filter_index, 2u);
    EXPECT_NE(out.str().find("cannot write " + dir / "no/such.cue" + ": the folder does not exist\n"), std::string::npos);
    EXPECT_NE(out.str().find("Please type a number from 1 to 4.\n"), std::string::npos);

    // Replacing: declined by default, confirmed in advance by --overwrite.
    test_support::write_file(dir / "sheet.cue", "x");
    std::istringstream declining(dir / "sheet\n\n\n");
    std::ostringstream ignored;
    EXPECT_EQ(prompt_for_output(request, {}, declining, ignored).what, dialog_outcome::kind::declined);
    std::istringstream overwriting(dir / "sheet\n\n");
    EXPECT_EQ(prompt_for_output(request, {std::nullopt, true}, overwriting, ignored).what, dialog_outcome::kind::answered);
    std::istringstream ending_early(dir / "sheet\n");
    EXPECT_EQ(prompt_for_output(request, {}, ending_early, ignored).what, dialog_outcome::kind::cancelled);
    // A reply ended by the end of input rather than Enter cancels: "y" then Ctrl-D replaces nothing.
    for (const std::string& unfinished : {dir / "sheet\n\ny", dir / "sheet\n2", dir / "other"}) {
        std::istringstream typed(unfinished);
        EXPECT_EQ(prompt_for_output(request, {}, typed, ignored).what, dialog_outcome::kind::cancelled) << unfinished;
    }
}

TEST(cli_dialog_choice, output_option_then_standard_output_then_the_terminal) {
    command_options given;
    given.output = "x.cue";
    command_options none;
    command_options stdin_list;
    stdin_list.track_list = "-";
    const terminals all{true, true, true}, piped_out{true, false, true}, no_input{false, true, true};
    EXPECT_EQ(choose_dialog(given, {}), dialog_kind::options);
    EXPECT_EQ(choose_dialog(none, piped_out), dialog_kind::standard_output);
    EXPECT_EQ(choose_dialog(stdin_list, {}), dialog_kind::standard_output);
    EXPECT_EQ(choose_dialog(none, all), dialog_kind::prompt);
    EXPECT_THROW(choose_dialog(none, no_input), usage_error);
    EXPECT_THROW(choose_dialog(stdin_list, all), usage_error);
}

TEST(cli_closing_line, names_every_sheet_with_its_tracks_form_and_code_page) {
    const written_sheet one{"/m/a.cue", 12, 1, "windows-1252"}, two{"/m/b.cue", 1, 1, "windows-1252"},
        ansi_image{"file:///m/c.cue", 3, 4, "windows-1251"};
    EXPECT_EQ(closing_line({one}), "wrote 12 tracks to /m/a.cue (per-file sheet, UTF-8)");
    EXPECT_EQ(closing_line({ansi_image}), "wrote 3 tracks to /m/c.cue (album image sheet, windows-1251)");
    EXPECT_EQ(closing_line({one, two}), "wrote 2 sheets: /m/a.cue (12 tracks), /m/b.cue (1 track) (per-file sheets, UTF-8)");
    EXPECT_EQ(closing_line({one, ansi_image}),
              "wrote 2 sheets: /m/a.cue (12 tracks, per-file sheet, UTF-8), /m/c.cue (3 tracks, album image sheet, "
              "windows-1251)");
}

}  // namespace
