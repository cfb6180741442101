// The component's answers as the player reads them, by slot number: the registry, the version
// record's texts, the command's texts and state, a node, and the state stream, with a host
// exception caught inside the component by its base type.

#include <cstring>

#include "abi/io_exceptions.h"
#include "tests/win32/component_session.h"
#include "tests/win32/golden_selection.h"
#include "tests/win32/host_gateway.h"
#include "tests/win32/host_os.h"
#include "tests/win32/host_string.h"
#include "tests/win32/scenarios.h"
#include "tests/win32/slot_call.h"
#include "tests/win32/track_handles.h"
#include "tests/win32/wine_check.h"

namespace wine_host {

namespace {

using wine_check::expect;
using wine_check::expect_count;
using wine_check::expect_text;

constexpr GUID command_guid{0x21C82BA8, 0x1F53, 0x4276, {0xA8, 0xC2, 0x8B, 0xB2, 0xA0, 0x69, 0x49, 0x93}};

class host_abort final : public orvanta_io::abort_callback {
public:
    bool aborting() const override { return false; }          // slot 0
    void* abort_event() const override { return nullptr; }    // slot 1
};

class counting_writer final : public orvanta_io::stream_writer {
public:
    void write(const void*, t_uint32 bytes, orvanta_io::abort_callback&) override { written += bytes; }  // slot 0
    unsigned long written = 0;
};

// A reader over bytes in memory, raising the data exceptions the component relies on.
class byte_reader final : public orvanta_io::stream_reader {
public:
    byte_reader(const unsigned char* bytes, t_uint32 size) : bytes_(bytes), size_(size) {}

    t_uint32 read(void* buffer, t_uint32 bytes, orvanta_io::abort_callback&) override {  // slot 0
        const t_uint32 count = bytes < size_ - position_ ? bytes : size_ - position_;
        if (count != 0) std::memcpy(buffer, bytes_ + position_, count);
        position_ += count;
        return count;
    }
    void read_exact(void* buffer, t_uint32 bytes, orvanta_io::abort_callback& abort) override {  // slot 1
        if (read(buffer, bytes, abort) != bytes) throw orvanta_io::exception_io_data_truncation();
    }
    t_uint64 skip_bytes(t_uint64 bytes, orvanta_io::abort_callback&) override {  // slot 2
        const t_uint64 left = size_ - position_;
        const t_uint64 count = bytes < left ? bytes : left;
        position_ += static_cast<t_uint32>(count);
        return count;
    }
    void skip_exact(t_uint64 bytes, orvanta_io::abort_callback& abort) override {  // slot 3
        if (skip_bytes(bytes, abort) != bytes) throw orvanta_io::exception_io_data_truncation();
    }

    t_uint32 position() const { return position_; }

private:
    const unsigned char* bytes_;
    t_uint32 size_;
    t_uint32 position_ = 0;
};

// Seven lines joined by single line feeds, no carriage return, none after the last; three
// headings ending in ':', the others indented by two spaces.
bool credits_shaped(const char* text) {
    unsigned lines = 0;
    unsigned headings = 0;
    bool shaped = std::strchr(text, '\r') == nullptr && *text != '\0';
    for (const char* line = text; shaped; ++lines) {
        const char* end = std::strchr(line, '\n');
        const std::size_t length = end ? static_cast<std::size_t>(end - line) : std::strlen(line);
        if (length > 2 && line[0] != ' ' && line[length - 1] == ':') {
            ++headings;
        } else if (!(length > 2 && line[0] == ' ' && line[1] == ' ' && line[2] != ' ')) {
            shaped = false;
        }
        if (!end) {
            ++lines;
            break;
        }
        line = end + 1;
    }
    return shaped && lines == 7 && headings == 3;
}

void check_registry(const component_session& session) {
    expect_count(call_slot<t_uint32>(session.record(), 0), component_interface_version,
                 "component_interface slot 0 answers interface version 71");
    expect_count(session.factory_count(), 2, "the registry holds two factories");
    if (session.factory_count() == 2) {
        expect(guid_equal(*session.factory(0)->class_guid, contextmenu_item::class_guid),
               "the first factory makes the contextmenu_item");
        expect(guid_equal(*session.factory(1)->class_guid, componentversion::class_guid),
               "the second factory makes the componentversion");
        expect(session.factory(1)->next == nullptr, "the registry ends after them");
        service_ref again;
        session.factory(0)->create_instance(&again);
        expect(again.get() == session.item(), "create_instance hands out the same static item again");
    }
}

void check_version_texts(componentversion* version) {
    expect_count(call_slot<t_uint32>(version, 0), 1, "version record slot 0 release answers 1");
    expect_count(call_slot<t_uint32>(version, 1), 1, "version record slot 1 add_ref answers 1");
    service_ref out;
    expect(!call_slot<bool, service_ref*, const GUID*>(version, 2, &out, &contextmenu_item::class_guid) && !out,
           "version record slot 2 query refuses the contextmenu_item class");

    host_string text("previous text");
    call_slot<void, vesk::string_base*>(version, 3, &text);
    expect_text(text.text(), os::component_file_name(), "slot 3 file_name_text: the file name the host handed over");
    call_slot<void, vesk::string_base*>(version, 4, &text);
    expect_text(text.text(), "Trevalin", "slot 4 name_text");
    call_slot<void, vesk::string_base*>(version, 5, &text);
    expect_text(text.text(), "0.4.4", "slot 5 version_text");
    call_slot<void, vesk::string_base*>(version, 6, &text);
    expect(credits_shaped(text.text()), "slot 6 about_text: seven lines, three headings with their names");
}

void check_command_texts(contextmenu_item* item) {
    expect_count(call_slot<t_uint32>(item, 0), 1, "item slot 0 release answers 1");
    expect_count(call_slot<t_uint32>(item, 1), 1, "item slot 1 add_ref answers 1");
    service_ref out;
    expect(call_slot<bool, service_ref*, const GUID*>(item, 2, &out, &contextmenu_item::class_guid) &&
               out.get() == item,
           "item slot 2 query accepts its own class");
    expect_count(call_slot<t_uint32>(item, 3), 1, "slot 3 command_count: one command");

    GUID guid = null_guid;
    GUID* returned = call_slot<GUID*, GUID*, t_uint32>(item, 5, &guid, 5);
    expect(returned == &guid && guid_equal(guid, command_guid),
           "slot 5 command_guid fills the out-pointer with {21C82BA8-...} and returns it");

    host_string text("previous text");
    call_slot<void, t_uint32, vesk::string_base*>(item, 6, 0, &text);
    expect_text(text.text(), "Create cuesheet...", "slot 6 command_name replaces the text");
    call_slot<void, t_uint32, vesk::string_base*>(item, 7, 0, &text);
    expect_text(text.text(), "Create cuesheet...", "slot 7 command_path leaves the text as it was");
    const bool described = call_slot<bool, t_uint32, vesk::string_base*>(item, 8, 0, &text);
    expect(described, "slot 8 command_description answers true");
    expect_text(text.text(), "Create cuesheet from select items", "slot 8 command_description's text");
    expect_count(call_slot<t_uint32, t_uint32>(item, 9, 0), 2, "slot 9 command_state: 2");
    expect(call_slot<bool, t_uint32>(item, 11, 0), "slot 11 command_flag: true");

    host_track_list empty;
    host_string shown("untouched");
    t_uint32 flags = 0x5A;
    expect(!call_slot<bool, t_uint32, track_handle_list*, vesk::string_base*, t_uint32*, const GUID*>(
               item, 12, 0, &empty, &shown, &flags, &null_guid),
           "slot 12 display_data hides the command for an empty selection");
    expect(shown.equals("untouched") && flags == 0x5A, "... and touches neither text nor flags");

    host_track_list one;
    one.add(golden::tracks[0], fill_style::by_writing);
    expect(call_slot<bool, t_uint32, track_handle_list*, vesk::string_base*, t_uint32*, const GUID*>(
               item, 12, 0, &one, &shown, &flags, &null_guid),
           "slot 12 display_data shows it for one track");
    expect_text(shown.text(), "Create cuesheet...", "... under its name");
    expect(flags == 0x5A, "... leaving the flags alone");
}

void check_node(contextmenu_item* item) {
    host_track_list one;
    one.add(golden::tracks[0], fill_style::by_writing);
    void* node = call_slot<void*, t_uint32, track_handle_list*, const GUID*>(item, 4, 0, &one, &null_guid);
    expect(node != nullptr, "slot 4 instantiate makes a node");
    if (!node) return;
    expect_count(call_slot<t_uint32>(node, 1), 1, "node slot 1: a single command");
    GUID guid = command_guid;
    expect(call_slot<GUID*, GUID*>(node, 7, &guid) == &guid && guid_equal(guid, null_guid),
           "node slot 7 node_guid: the null GUID through the out-pointer");
    host_string text;
    expect(call_slot<bool, vesk::string_base*>(node, 6, &text), "node slot 6 description answers true");
    expect_text(text.text(), "Create cuesheet from select items", "node slot 6 description's text");
    t_uint32 flags = 0;
    expect(call_slot<bool, vesk::string_base*, t_uint32*, track_handle_list*, const GUID*>(node, 0, &text, &flags,
                                                                                           &one, &null_guid),
           "node slot 0 display_data (outputs first) shows the command");
    expect_text(text.text(), "Create cuesheet...", "... under its name");
    expect(call_slot<bool>(node, 8), "node slot 8 flag: true");
    expect(call_slot<void*, t_uint32, t_uint32>(node, 3, 0, 0) == nullptr, "node slot 3: no child");
    expect_count(call_slot<t_uint32>(node, 4), 0, "node slot 4: no children");
    call_slot<void, t_uint32>(node, 9, 1);
    expect_count(static_cast<unsigned long>(one.handle(0).references()), 1, "the node held no track handle");
}

void check_state_stream(component_interface* record) {
    host_abort abort;
    counting_writer writer;
    record->save_state(writer, abort);
    expect_count(writer.written, 0, "save_state writes nothing: the component has no variables");

    // One record of an unknown variable (16-byte GUID, 3 data bytes), then a cut header.
    const unsigned char skipped[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 3, 0, 0, 0,
                                     0xAA, 0xBB, 0xCC, 1, 2, 3, 4, 5};
    byte_reader reader(skipped, sizeof skipped);
    bool returned = false;
    try {
        record->load_state(reader, abort);
        returned = true;
    } catch (...) {
    }
    expect(returned, "load_state skips an unknown record and stops quietly at a cut header");
    expect_count(reader.position(), sizeof skipped, "... having read everything");

    // A record that announces ten data bytes and holds three: the host's own exception returns.
    const unsigned char truncated[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 10, 0, 0, 0, 1, 2, 3};
    byte_reader short_reader(truncated, sizeof truncated);
    const char* text = "(nothing thrown)";
    try {
        record->load_state(short_reader, abort);
    } catch (const orvanta_io::exception_io_data_truncation& error) {
        text = error.what();
    } catch (...) {
        text = "(another exception)";
    }
    expect_text(text, "Unsupported format or corrupted file",
                "load_state lets the host's truncation exception from skip_exact through, by type");
}

}  // namespace

void check_component() {
    host_gateway gateway;
    component_session session(gateway);
    expect(session.ready(), "the component loads, answers its entry point and offers both services");
    if (!session.ready()) return;

    check_registry(session);
    check_version_texts(session.version());
    check_command_texts(session.item());
    check_node(session.item());
    check_state_stream(session.record());

    session.unload();
    expect(session.unloaded_cleanly(), "the component unloads");
}

}  // namespace wine_host
