#include "shell/JournalCodec.h"

#include "base/Errors.h"

namespace ketral {

void JournalOut::U32(std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void JournalOut::U64(std::uint64_t v)
{
    for (int i = 0; i < 8; ++i) bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void JournalOut::Raw(const void* data, std::size_t n)
{
    const auto* p = static_cast<const std::uint8_t*>(data);
    bytes.insert(bytes.end(), p, p + n);
}

void JournalOut::Blob(const std::vector<std::uint8_t>& data)
{
    U32(static_cast<std::uint32_t>(data.size()));
    Raw(data.data(), data.size());
}

void JournalOut::Text(const std::string& text)
{
    U32(static_cast<std::uint32_t>(text.size()));
    Raw(text.data(), text.size());
}

JournalIn::JournalIn(ByteSource& source, std::uint64_t begin, std::uint64_t end)
    : source_(source), pos_(begin), end_(end)
{
    if (begin > end || end > source.size()) Damaged();
}

void JournalIn::Damaged() const { throw Error(source_.name() + " is damaged"); }

void JournalIn::Raw(void* data, std::size_t n)
{
    if (n > Left()) Damaged();
    source_.readExact(pos_, data, n);
    pos_ += n;
}

std::uint8_t JournalIn::U8()
{
    std::uint8_t v = 0;
    Raw(&v, 1);
    return v;
}

std::uint32_t JournalIn::U32()
{
    std::uint8_t b[4];
    Raw(b, 4);
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | b[i];
    return v;
}

std::uint64_t JournalIn::U64()
{
    std::uint8_t b[8];
    Raw(b, 8);
    std::uint64_t v = 0;
    for (int i = 7; i >= 0; --i) v = (v << 8) | b[i];
    return v;
}

std::vector<std::uint8_t> JournalIn::Blob()
{
    const std::uint32_t n = U32();
    if (n > Left()) Damaged();
    std::vector<std::uint8_t> data(n);
    Raw(data.data(), n);
    return data;
}

std::string JournalIn::Text()
{
    const std::uint32_t n = U32();
    if (n > Left()) Damaged();
    std::string text(n, '\0');
    Raw(text.data(), n);
    return text;
}

std::uint32_t JournalIn::Count(std::size_t minBytes)
{
    const std::uint32_t n = U32();
    if (minBytes > 0 && n > Left() / minBytes) Damaged();
    return n;
}

void JournalIn::ExpectEnd()
{
    if (pos_ != end_) Damaged();
}

}  // namespace ketral
