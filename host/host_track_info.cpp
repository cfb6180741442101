#include "host/host_track_info.h"

#include <cstring>
#include <stdexcept>
#include <utility>

#include "abi/shared_library.h"

namespace host {

namespace {

enum header_word { field_total, value_total, info_total, text_bytes, header_words };
constexpr std::size_t words_per_field = 3;  // name, first value, value count
constexpr std::size_t words_per_info = 2;   // name, value

// Up to the first NUL, and at most length bytes unless length is all ones.
std::string copy_text(const char* text, t_uint32 length) {
    if (text == nullptr) return {};
    return std::string(text, vesk::text_length(text, length));
}

// Up to the first NUL; another record's null text reads as "" rather than crashing the copy.
std::string_view up_to_nul(const char* text) { return text != nullptr ? std::string_view(text) : std::string_view(); }

t_uint32 count_of(std::size_t size) { return static_cast<t_uint32>(size); }

std::size_t words_for(std::size_t fields, std::size_t values, std::size_t infos, std::size_t text) {
    return header_words + words_per_field * fields + values + words_per_info * infos + (text + 3) / 4;
}

// A new block for those counts, the counts filled in, the rest to be written.
std::unique_ptr<t_uint32[]> new_block(std::size_t fields, std::size_t values, std::size_t infos, std::size_t text) {
    constexpr std::size_t most = 0xFFFFFFFFu;
    if (fields > most || values > most || infos > most || text > most)
        throw std::length_error("track information too large");
    std::unique_ptr<t_uint32[]> block(new t_uint32[words_for(fields, values, infos, text)]);
    block[field_total] = count_of(fields);
    block[value_total] = count_of(values);
    block[info_total] = count_of(infos);
    block[text_bytes] = count_of(text);
    return block;
}

// Where each part of a block starts.
struct parts {
    t_uint32* fields;
    t_uint32* values;
    t_uint32* infos;
    char* texts;

    explicit parts(t_uint32* block)
        : fields(block + header_words),
          values(fields + words_per_field * block[field_total]),
          infos(values + block[value_total]),
          texts(reinterpret_cast<char*>(infos + words_per_info * block[info_total])) {}
};

// Copies text and its NUL to the end of the texts and returns its offset.
t_uint32 put_text(char* texts, t_uint32& end, std::string_view text) {
    const t_uint32 offset = end;
    std::memcpy(texts + end, text.data(), text.size());
    texts[end + text.size()] = '\0';
    end += count_of(text.size() + 1);
    return offset;
}

// A stable compaction that asks the mask only through find, as a foreign mask expects.
template <typename T>
void remove_selected(std::vector<T>& items, const index_mask& mask) {
    const t_uint32 n = count_of(items.size());
    t_uint32 i = mask.find(true, 0, static_cast<t_int32>(n));
    if (i >= n) return;
    t_uint32 k = mask.find(false, i + 1, static_cast<t_int32>(n - i - 1));
    while (k < n) {
        std::swap(items[i], items[k]);
        ++i;
        k = mask.find(false, k + 1, static_cast<t_int32>(n - k - 1));
    }
    items.resize(i);
}

}  // namespace

host_track_info::host_track_info(const host_track_info& other)
    : track_info(other), length_(other.length_), replaygain_(other.replaygain_) {
    if (!other.block_) return;
    const t_uint32* from = other.block_.get();
    block_ = new_block(from[field_total], from[value_total], from[info_total], from[text_bytes]);
    std::memcpy(block_.get(), from,
                words_for(from[field_total], from[value_total], from[info_total], from[text_bytes]) * sizeof(t_uint32));
}

host_track_info& host_track_info::operator=(const host_track_info& other) {
    if (this != &other) *this = host_track_info(other);
    return *this;
}

const t_uint32* host_track_info::fields() const noexcept { return parts(block_.get()).fields; }
const t_uint32* host_track_info::values() const noexcept { return parts(block_.get()).values; }
const t_uint32* host_track_info::infos() const noexcept { return parts(block_.get()).infos; }
const char* host_track_info::text(t_uint32 offset) const noexcept { return parts(block_.get()).texts + offset; }

host_track_info::contents host_track_info::unpacked() const {
    contents result;
    result.fields.resize(field_count());
    for (t_uint32 i = 0; i < result.fields.size(); ++i) {
        result.fields[i].name = field_name(i);
        const t_uint32 n = field_value_count(i);
        result.fields[i].values.reserve(n);
        for (t_uint32 j = 0; j < n; ++j) result.fields[i].values.emplace_back(field_value(i, j));
    }
    result.infos.reserve(info_count());
    for (t_uint32 i = 0; i < info_count(); ++i) result.infos.emplace_back(info_name(i), info_value(i));
    return result;
}

void host_track_info::pack(const contents& from) {
    std::size_t values = 0;
    std::size_t bytes = 0;
    for (const auto& field : from.fields) {
        bytes += field.name.size() + 1;
        values += field.values.size();
        for (const auto& value : field.values) bytes += value.size() + 1;
    }
    for (const auto& [name, value] : from.infos) bytes += name.size() + value.size() + 2;
    if (from.fields.empty() && from.infos.empty()) {
        block_.reset();
        return;
    }
    std::unique_ptr<t_uint32[]> block = new_block(from.fields.size(), values, from.infos.size(), bytes);
    const parts to(block.get());
    t_uint32 end = 0;
    t_uint32 value = 0;
    t_uint32* entry = to.fields;
    for (const auto& field : from.fields) {
        *entry++ = put_text(to.texts, end, field.name);
        *entry++ = value;
        *entry++ = count_of(field.values.size());
        for (const auto& text : field.values) to.values[value++] = put_text(to.texts, end, text);
    }
    entry = to.infos;
    for (const auto& [name, text] : from.infos) {
        *entry++ = put_text(to.texts, end, name);
        *entry++ = put_text(to.texts, end, text);
    }
    block_ = std::move(block);
}

// The old entries keep their offsets: each part grows at its end, and so do the texts.
t_uint32 host_track_info::append_entry(bool info, std::string_view name, const std::string_view* values,
                                       std::size_t count) {
    const t_uint32 fields = field_count();
    const t_uint32 old_values = header(value_total);
    const t_uint32 infos = info_count();
    const t_uint32 bytes = header(text_bytes);
    std::size_t more_bytes = name.size() + 1;
    for (std::size_t i = 0; i < count; ++i) more_bytes += values[i].size() + 1;

    const std::size_t new_values = info ? old_values : old_values + count;
    std::unique_ptr<t_uint32[]> block =
        new_block(info ? fields : fields + 1, new_values, info ? infos + 1 : infos, bytes + more_bytes);
    const parts to(block.get());
    if (block_) {
        const parts from(block_.get());
        std::memcpy(to.fields, from.fields, words_per_field * fields * sizeof(t_uint32));
        std::memcpy(to.values, from.values, old_values * sizeof(t_uint32));
        std::memcpy(to.infos, from.infos, words_per_info * infos * sizeof(t_uint32));
        std::memcpy(to.texts, from.texts, bytes);
    }
    t_uint32 end = bytes;
    if (info) {
        to.infos[words_per_info * infos] = put_text(to.texts, end, name);
        to.infos[words_per_info * infos + 1] = put_text(to.texts, end, values[0]);
    } else {
        t_uint32* entry = to.fields + words_per_field * fields;
        entry[0] = put_text(to.texts, end, name);
        entry[1] = old_values;
        entry[2] = count_of(count);
        for (std::size_t i = 0; i < count; ++i) to.values[old_values + i] = put_text(to.texts, end, values[i]);
    }
    block_ = std::move(block);
    return info ? infos : fields;
}

double host_track_info::get_length() const { return length_; }

void host_track_info::set_length(double seconds) { length_ = seconds; }

void host_track_info::set_replaygain(const replaygain_values& values) { replaygain_ = values; }

replaygain_values* host_track_info::get_replaygain(replaygain_values* out) const {
    *out = replaygain_;
    return out;
}

t_uint32 host_track_info::field_count() const { return header(field_total); }

const char* host_track_info::field_name(t_uint32 field) const { return text(fields()[words_per_field * field]); }

t_uint32 host_track_info::field_value_count(t_uint32 field) const { return fields()[words_per_field * field + 2]; }

const char* host_track_info::field_value(t_uint32 field, t_uint32 value) const {
    return text(values()[fields()[words_per_field * field + 1] + value]);
}

t_uint32 host_track_info::find_field(const char* name, t_uint32 name_length) const {
    for (t_uint32 i = 0; i < field_count(); ++i) {
        if (stricmp_utf8_ex(field_name(i), vesk::length_up_to_nul, name, name_length) == 0) return i;
    }
    return vesk::index_not_found;
}

t_uint32 host_track_info::set_field(const char* name, t_uint32 name_length, const char* value,
                                    t_uint32 value_length) {
    contents changed = unpacked();
    const t_uint32 found = find_field(name, name_length);
    if (found != vesk::index_not_found) changed.fields.erase(changed.fields.begin() + found);
    changed.fields.push_back({copy_text(name, name_length), {copy_text(value, value_length)}});
    pack(changed);
    return count_of(changed.fields.size() - 1);
}

void host_track_info::insert_field_value(t_uint32 field, t_uint32 value_index, const char* value,
                                         t_uint32 value_length) {
    contents changed = unpacked();
    auto& values = changed.fields[field].values;
    const std::size_t at = value_index < values.size() ? value_index : values.size();
    values.insert(values.begin() + static_cast<std::ptrdiff_t>(at), copy_text(value, value_length));
    pack(changed);
}

void host_track_info::remove_fields(const index_mask& mask) {
    contents changed = unpacked();
    remove_selected(changed.fields, mask);
    pack(changed);
}

// The values stay where they are; only the fields' entries change places.
void host_track_info::reorder_fields(const t_uint32* order) {
    if (!block_) return;
    t_uint32* entries = parts(block_.get()).fields;
    const std::vector<t_uint32> before(entries, entries + words_per_field * field_count());
    for (std::size_t k = 0; k < field_count(); ++k)
        std::memcpy(entries + words_per_field * k, before.data() + words_per_field * order[k],
                    words_per_field * sizeof(t_uint32));
}

void host_track_info::remove_field_values(t_uint32 field, const index_mask& mask) {
    contents changed = unpacked();
    remove_selected(changed.fields[field].values, mask);
    if (changed.fields[field].values.empty()) changed.fields.erase(changed.fields.begin() + field);
    pack(changed);
}

void host_track_info::replace_field_value(t_uint32 field, t_uint32 value_index, const char* value,
                                          t_uint32 value_length) {
    contents changed = unpacked();
    changed.fields[field].values[value_index] = copy_text(value, value_length);
    pack(changed);
}

t_uint32 host_track_info::info_count() const { return header(info_total); }

const char* host_track_info::info_name(t_uint32 index) const { return text(infos()[words_per_info * index]); }

const char* host_track_info::info_value(t_uint32 index) const { return text(infos()[words_per_info * index + 1]); }

t_uint32 host_track_info::set_info(const char* name, t_uint32 name_length, const char* value,
                                   t_uint32 value_length) {
    contents changed = unpacked();
    const t_uint32 found = find_info(name, name_length);
    if (found != vesk::index_not_found) changed.infos.erase(changed.infos.begin() + found);
    changed.infos.emplace_back(copy_text(name, name_length), copy_text(value, value_length));
    pack(changed);
    return count_of(changed.infos.size() - 1);
}

void host_track_info::remove_infos(const index_mask& mask) {
    contents changed = unpacked();
    remove_selected(changed.infos, mask);
    pack(changed);
}

t_uint32 host_track_info::find_info(const char* name, t_uint32 name_length) const {
    for (t_uint32 i = 0; i < info_count(); ++i) {
        if (stricmp_utf8_ex(info_name(i), vesk::length_up_to_nul, name, name_length) == 0) return i;
    }
    return vesk::index_not_found;
}

void host_track_info::copy_from(const track_info& source) {
    if (&source == this) return;
    copy_fields_from(source);
    copy_infos_from(source);
    set_length(source.get_length());
    set_replaygain(source.replaygain());
}

// Both copies read all of the source before replacing the old contents, so a record may copy
// itself.
void host_track_info::copy_fields_from(const track_info& source) {
    contents changed = unpacked();
    std::vector<contents::field> copied(source.field_count());
    for (t_uint32 i = 0; i < copied.size(); ++i) {
        copied[i].name = up_to_nul(source.field_name(i));
        const t_uint32 n = source.field_value_count(i);
        copied[i].values.reserve(n);
        for (t_uint32 j = 0; j < n; ++j) copied[i].values.emplace_back(up_to_nul(source.field_value(i, j)));
    }
    changed.fields = std::move(copied);
    pack(changed);
}

void host_track_info::copy_infos_from(const track_info& source) {
    contents changed = unpacked();
    std::vector<std::pair<std::string, std::string>> copied;
    copied.reserve(source.info_count());
    for (t_uint32 i = 0; i < source.info_count(); ++i)
        copied.emplace_back(up_to_nul(source.info_name(i)), up_to_nul(source.info_value(i)));
    changed.infos = std::move(copied);
    pack(changed);
}

// The texts are copied out first: they may lie in this record's own block.
t_uint32 host_track_info::append_field(const char* name, t_uint32 name_length, const char* value,
                                       t_uint32 value_length) {
    const std::string copied_name = copy_text(name, name_length);
    const std::string copied = copy_text(value, value_length);
    const std::string_view copied_value[] = {copied};
    return append_entry(false, copied_name, copied_value, 1);
}

t_uint32 host_track_info::append_info(const char* name, t_uint32 name_length, const char* value,
                                      t_uint32 value_length) {
    const std::string copied_name = copy_text(name, name_length);
    const std::string copied = copy_text(value, value_length);
    const std::string_view copied_value[] = {copied};
    return append_entry(true, copied_name, copied_value, 1);
}

void host_track_info::add_field(std::string name, std::vector<std::string> values) {
    // Most fields have a value or two: their views need no block of their own.
    constexpr std::size_t few = 8;
    std::string_view few_texts[few];
    std::vector<std::string_view> many_texts(values.size() > few ? values.size() : 0);
    std::string_view* texts = values.size() > few ? many_texts.data() : few_texts;
    for (std::size_t i = 0; i < values.size(); ++i) texts[i] = up_to_nul(values[i].c_str());
    append_entry(false, up_to_nul(name.c_str()), texts, values.size());
}

void host_track_info::add_info(std::string name, std::string value) {
    const std::string_view texts[] = {up_to_nul(value.c_str())};
    append_entry(true, up_to_nul(name.c_str()), texts, 1);
}

}  // namespace host
