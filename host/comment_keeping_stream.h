// A read-only file stream that keeps the Vorbis comment block TagLib reads on its way through a
// FLAC file's metadata. TagLib drops comment values that are not valid UTF-8 and keeps no raw
// copy; with this one they can be looked for without reading the file again.
#pragma once

#include <tbytevector.h>
#include <tfilestream.h>

namespace host {

class comment_keeping_stream : public TagLib::FileStream {
public:
    explicit comment_keeping_stream(const char* path) : FileStream(path, true) {}

    // A metadata block is read as its 4-byte header (type, 24-bit length) and then its data; type 4
    // is the Vorbis comment. The data is shared with TagLib's copy, not copied.
    TagLib::ByteVector readBlock(unsigned long length) override {
        TagLib::ByteVector data = FileStream::readBlock(length);
        if (comment_length_ == length && data.size() == length) comment_ = data;
        comment_length_ = not_expected;
        if (length == 4 && data.size() == 4 && (static_cast<unsigned char>(data[0]) & 0x7F) == 4)
            comment_length_ = data.toUInt(1U, 3U, true);
        return data;
    }

    const TagLib::ByteVector& comment_block() const noexcept { return comment_; }

private:
    static constexpr unsigned long not_expected = ~0UL;
    unsigned long comment_length_ = not_expected;
    TagLib::ByteVector comment_;
};

}  // namespace host
