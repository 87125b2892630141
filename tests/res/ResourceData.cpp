#include "ResourceData.h"

#include <cstring>
#include <stdexcept>

namespace {

class Reader {
public:
    Reader(const BYTE* data, size_t size) : m_data(data), m_size(size) {}

    template <class T>
    T Get()
    {
        if (m_pos + sizeof(T) > m_size)
            throw std::runtime_error("resource data ends early");
        T value;
        std::memcpy(&value, m_data + m_pos, sizeof value);
        m_pos += sizeof value;
        return value;
    }

    // A zero-terminated UTF-16 text (the formats hold only ASCII here).
    std::string Text()
    {
        std::string text;
        for (WORD c = Get<WORD>(); c != 0; c = Get<WORD>())
            text += static_cast<char>(c);
        return text;
    }

    // A name or an ordinal (0xFFFF then the number).
    std::string NameOrOrdinal(bool isClass)
    {
        const WORD first = Get<WORD>();
        if (first == 0)
            return std::string();
        if (first == 0xFFFF) {
            const WORD ordinal = Get<WORD>();
            static const char* const classes[] = {"BUTTON", "EDIT", "STATIC", "LISTBOX", "SCROLLBAR", "COMBOBOX"};
            if (isClass && ordinal >= 0x80 && ordinal <= 0x85)
                return classes[ordinal - 0x80];
            return "#" + std::to_string(ordinal);
        }
        std::string text(1, static_cast<char>(first));
        for (WORD c = Get<WORD>(); c != 0; c = Get<WORD>())
            text += static_cast<char>(c);
        return text;
    }

    void Align(size_t to) { m_pos = (m_pos + to - 1) / to * to; }
    size_t Pos() const { return m_pos; }
    void Seek(size_t pos) { m_pos = pos; }

private:
    const BYTE* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

std::string Upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    return text;
}

} // namespace

DialogTemplate ParseDialogTemplate(const BYTE* data, size_t size)
{
    Reader r(data, size);
    DialogTemplate t{};
    if (r.Get<WORD>() != 1 || r.Get<WORD>() != 0xFFFF)
        throw std::runtime_error("not an extended dialog template");
    r.Get<DWORD>(); // help id
    t.exStyle = r.Get<DWORD>();
    t.style = r.Get<DWORD>();
    const WORD count = r.Get<WORD>();
    t.x = r.Get<short>();
    t.y = r.Get<short>();
    t.cx = r.Get<short>();
    t.cy = r.Get<short>();
    r.NameOrOrdinal(false); // menu
    r.NameOrOrdinal(false); // class
    t.caption = r.Text();
    if (t.style & DS_SETFONT) {
        t.pointSize = r.Get<WORD>();
        t.weight = r.Get<WORD>();
        t.italic = r.Get<BYTE>();
        t.charset = r.Get<BYTE>();
        t.face = r.Text();
    }
    for (WORD i = 0; i < count; ++i) {
        r.Align(4);
        DialogItem item{};
        r.Get<DWORD>(); // help id
        item.exStyle = r.Get<DWORD>();
        item.style = r.Get<DWORD>();
        item.x = r.Get<short>();
        item.y = r.Get<short>();
        item.cx = r.Get<short>();
        item.cy = r.Get<short>();
        item.id = static_cast<LONG>(r.Get<DWORD>());
        item.className = Upper(r.NameOrOrdinal(true));
        item.text = r.NameOrOrdinal(false);
        const WORD extra = r.Get<WORD>();
        r.Seek(r.Pos() + extra);
        t.items.push_back(item);
    }
    return t;
}

std::vector<DlgInitEntry> ParseDlgInit(const BYTE* data, size_t size)
{
    Reader r(data, size);
    std::vector<DlgInitEntry> entries;
    for (WORD id = r.Get<WORD>(); id != 0; id = r.Get<WORD>()) {
        DlgInitEntry entry{id, r.Get<WORD>(), std::string()};
        const DWORD length = r.Get<DWORD>();
        for (DWORD i = 0; i < length; ++i)
            entry.data += static_cast<char>(r.Get<BYTE>());
        entries.push_back(entry);
    }
    return entries;
}

namespace {

// One block of the version information: length, value length, type, key,
// then the value and the child blocks, each 32-bit aligned.
struct Block {
    std::string key;
    size_t valueStart, valueLength;
    bool textValue;
    std::vector<Block> children;
};

Block ParseBlock(Reader& r, const BYTE* data)
{
    const size_t start = r.Pos();
    const WORD length = r.Get<WORD>();
    const WORD valueLength = r.Get<WORD>();
    const WORD type = r.Get<WORD>();
    Block block{r.Text(), 0, valueLength, type == 1, {}};
    r.Align(4);
    block.valueStart = r.Pos();
    r.Seek(block.valueStart + (type == 1 ? valueLength * 2u : valueLength));
    r.Align(4);
    while (r.Pos() < start + length) {
        block.children.push_back(ParseBlock(r, data));
        r.Align(4);
    }
    r.Seek(start + length);
    return block;
}

} // namespace

VersionInfo ParseVersionInfo(const BYTE* data, size_t size)
{
    Reader r(data, size);
    const Block root = ParseBlock(r, data);
    if (root.key != "VS_VERSION_INFO" || root.valueLength < 52)
        throw std::runtime_error("not a version information block");
    VersionInfo info{};
    DWORD fixed[13];
    std::memcpy(fixed, data + root.valueStart, sizeof fixed);
    if (fixed[0] != 0xFEEF04BD)
        throw std::runtime_error("no fixed file information");
    info.fileVersionMS = fixed[2];
    info.fileVersionLS = fixed[3];
    info.productVersionMS = fixed[4];
    info.productVersionLS = fixed[5];
    info.fileType = fixed[9];
    for (const Block& child : root.children) {
        if (child.key == "StringFileInfo") {
            for (const Block& table : child.children) {
                for (const Block& string : table.children) {
                    Reader text(data + string.valueStart, string.valueLength * 2);
                    info.strings[table.key][string.key] = string.valueLength ? text.Text() : std::string();
                }
            }
        } else if (child.key == "VarFileInfo") {
            for (const Block& var : child.children) {
                for (size_t i = 0; i + 4 <= var.valueLength; i += 4) {
                    WORD pair[2];
                    std::memcpy(pair, data + var.valueStart + i, sizeof pair);
                    info.translations.push_back(pair[0] | static_cast<DWORD>(pair[1]) << 16);
                }
            }
        }
    }
    return info;
}
