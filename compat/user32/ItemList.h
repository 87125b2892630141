// The items of a list box or a combo box: texts with their item data, kept in
// insertion order or sorted without regard to case, and the searches the two
// controls share.
#pragma once

#include "Window.h"

#include <string>
#include <vector>

namespace compat::user {

struct Item {
    std::string text;
    LPARAM data = 0;
};

class ItemList {
public:
    int Count() const { return static_cast<int>(m_items.size()); }
    bool Valid(WPARAM index) const { return static_cast<std::size_t>(index) < m_items.size(); }
    const std::string& Text(int index) const { return m_items[index].text; }
    LPARAM& Data(int index) { return m_items[index].data; }

    // Where a sorted list puts a new text: after the items that do not sort after it.
    int SortedPosition(const std::string& text) const
    {
        int i = 0;
        while (i < Count() && CompareNoCase(m_items[i].text, text) <= 0)
            ++i;
        return i;
    }
    int Insert(int index, const std::string& text)
    {
        m_items.insert(m_items.begin() + index, Item{text, 0});
        return index;
    }
    void Erase(int index) { m_items.erase(m_items.begin() + index); }
    void Clear() { m_items.clear(); }

    // The first item after `start` (-1: from the top) that begins with
    // `text`, or equals it, without regard to case; the search wraps round.
    int Find(WPARAM start, const std::string& text, bool exact) const
    {
        const int n = Count();
        const int first = Valid(start) ? static_cast<int>(start) + 1 : 0;
        for (int k = 0; k < n; ++k) {
            const int i = (first + k) % n;
            const bool match = exact ? CompareNoCase(m_items[i].text, text) == 0
                                     : StartsWithNoCase(m_items[i].text, text);
            if (match)
                return i;
        }
        return -1;
    }

private:
    std::vector<Item> m_items;
};

// Copies an item's text into a caller's buffer, as LB_GETTEXT and CB_GETLBTEXT do.
inline LRESULT CopyItemText(const std::string& text, LPARAM buffer)
{
    if (buffer == 0)
        return -1;
    auto out = reinterpret_cast<LPSTR>(buffer);
    text.copy(out, text.size());
    out[text.size()] = '\0';
    return static_cast<LRESULT>(text.size());
}

inline std::string TextArg(LPARAM lParam)
{
    return lParam != 0 ? std::string(reinterpret_cast<LPCSTR>(lParam)) : std::string();
}

}  // namespace compat::user
