// The test host's operating-system calls on Linux: dlopen of the component this build made, POSIX
// files, and the stand-in save dialog answered with a path and a filter.

#include <dlfcn.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <string>

#include "host/utf16_text.h"
#include "platform/standin.h"
#include "tests/win32/host_os.h"

namespace {

struct dialog_answer {
    std::u16string path;
    t_uint32 filter_index = 1;
};
dialog_answer answer;

bool answer_of(platform::save_dialog_settings& settings, void* context) {
    const auto& given = *static_cast<const dialog_answer*>(context);
    if (given.path.size() + 1 > settings.file_capacity) return false;
    std::char_traits<char16_t>::copy(settings.file, given.path.c_str(), given.path.size() + 1);
    settings.filter_index = given.filter_index;
    return true;
}

}  // namespace

namespace wine_host::os {

const char path_separator = '/';

void* load_component() { return ::dlopen(TREVALIN_COMPONENT_PATH, RTLD_NOW | RTLD_LOCAL); }

orvanta_get_interface_function component_entry(void* module) {
    return reinterpret_cast<orvanta_get_interface_function>(::dlsym(module, "orvanta_get_interface"));
}

bool unload_component(void* module) { return ::dlclose(module) == 0; }

const char* component_file_name() { return "libtrevalin.so"; }

void* create_file(const char* path) {
    const int descriptor = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    // Kept as descriptor + 1, so that descriptor 0 is not a null handle.
    return descriptor < 0 ? nullptr : reinterpret_cast<void*>(static_cast<std::intptr_t>(descriptor) + 1);
}

namespace {
int descriptor_of(void* file) { return static_cast<int>(reinterpret_cast<std::intptr_t>(file) - 1); }
}  // namespace

bool write_file(void* file, const void* bytes, t_uint32 count) {
    const char* next = static_cast<const char*>(bytes);
    while (count > 0) {
        const ssize_t written = ::write(descriptor_of(file), next, count);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        next += written;
        count -= static_cast<t_uint32>(written);
    }
    return true;
}

bool close_file(void* file) { return ::close(descriptor_of(file)) == 0; }

bool file_exists(const char* path) {
    struct stat status {};
    return ::stat(path, &status) == 0;
}

bool remove_file(const char* path) { return ::unlink(path) == 0 || errno == ENOENT; }

bool make_folder(const char* path) { return ::mkdir(path, 0755) == 0 || errno == EEXIST; }

long read_file(const char* path, char* buffer, t_uint32 capacity) {
    const int descriptor = ::open(path, O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) return -1;
    t_uint32 size = 0;
    bool whole = false;
    for (;;) {
        char probe = 0;
        char* target = size < capacity ? buffer + size : &probe;
        const std::size_t wanted = size < capacity ? capacity - size : 1;
        const ssize_t got = ::read(descriptor, target, wanted);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) break;
        if (got == 0) {
            whole = true;
            break;
        }
        if (size >= capacity) break;
        size += static_cast<t_uint32>(got);
    }
    ::close(descriptor);
    return whole ? static_cast<long>(size) : -1;
}

// iconv names are compared ignoring case.
bool ansi_code_page_is_1252() { return ::strcasecmp(platform::standin::ansi_code_page(), "windows-1252") == 0; }

void answer_dialog_with(const char* path, t_uint32 filter_index) {
    answer.path = host::utf16_from_utf8(path).value();
    answer.filter_index = filter_index;
    platform::standin::set_save_dialog_answerer(&answer_of, &answer);
}

void cancel_dialog() { platform::standin::set_save_dialog_answerer(nullptr, nullptr); }

}  // namespace wine_host::os
